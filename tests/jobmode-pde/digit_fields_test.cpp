// The two five-digit fields: padding, single digits, the digit keys in both directions, and the
// key filters that the pane attaches to them.
#include "jobmode_test_support.h"

#include "qel-pane.h"
#include "qel-source.h"

#include <platform/test_support.h>
#include <platform/user_actions.h>

namespace jobmode_test {
namespace {

using JobModeDigits = PaneTest;

TEST_F(JobModeDigits, ShortTextIsLeftFilledWithZeros) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"7", "00007"}, {"42", "00042"}, {"", "00000"}, {"12345", "12345"}};
    for (const auto &[typed, padded] : cases) {
        setFieldText(record_->control_DIN, typed);
        EXPECT_EQ(padded, cf::adopt_utf8(CreateZeroPaddedDigitsFromTextField(record_->control_DIN, 5))) << typed;
    }
}

TEST_F(JobModeDigits, LongTextIsReadUnchanged) {
    setFieldText(record_->control_DC, "1234567");
    EXPECT_EQ("1234567", cf::adopt_utf8(CreateZeroPaddedDigitsFromTextField(record_->control_DC, 5)));
}

TEST_F(JobModeDigits, AnUnreadableFieldGivesNull) {
    setFieldText(record_->control_DIN, "123");
    PlatformInjectFault("GetControlData", 1, errDataNotSupported);
    EXPECT_EQ(nullptr, CreateZeroPaddedDigitsFromTextField(record_->control_DIN, 5));
    PlatformInjectFault("GetControlData", 1, errDataNotSupported);
    EXPECT_EQ(nullptr, CreateNthDigitFromTextField(record_->control_DIN, 0, 5));
    EXPECT_EQ(nullptr, CreateZeroPaddedDigitsFromTextField(record_->control_PrintMode, 5))
        << "a popup has no text to read";
}

TEST_F(JobModeDigits, NthDigitCountsFromTheLeftOfThePaddedText) {
    setFieldText(record_->control_DIN, "7");
    const char *expected[] = {"0", "0", "0", "0", "7"};
    for (SInt8 offset = 0; offset < 5; offset++)
        EXPECT_EQ(expected[offset], cf::adopt_utf8(CreateNthDigitFromTextField(record_->control_DIN, offset, 5))) << +offset;

    setFieldText(record_->control_DIN, "90817");
    EXPECT_EQ("9", cf::adopt_utf8(CreateNthDigitFromTextField(record_->control_DIN, 0, 5)));
    EXPECT_EQ("7", cf::adopt_utf8(CreateNthDigitFromTextField(record_->control_DIN, 4, 5)));
    EXPECT_EQ(nullptr, CreateNthDigitFromTextField(record_->control_DIN, 5, 5)) << "past the end";
    EXPECT_EQ(nullptr, CreateNthDigitFromTextField(record_->control_DIN, -1, 5));
}

TEST_F(JobModeDigits, ASingleDigitIsStoredWithFourLeadingZeros) {
    setFieldText(record_->control_DIN, "7");
    SetIndividualDigitsInPPDFromTextField(record_->control_DIN, 5, CFSTR("DINDigit"), ppd());
    EXPECT_EQ("0", entry(ppd(), "DINDigit1"));
    EXPECT_EQ("0", entry(ppd(), "DINDigit2"));
    EXPECT_EQ("0", entry(ppd(), "DINDigit3"));
    EXPECT_EQ("0", entry(ppd(), "DINDigit4"));
    EXPECT_EQ("7", entry(ppd(), "DINDigit5"));
    EXPECT_EQ(5, CFDictionaryGetCount(ppd()));
}

TEST_F(JobModeDigits, AnEmptyFieldStoresZeroUnderEveryKey) {
    setFieldText(record_->control_DC, "");
    SetIndividualDigitsInPPDFromTextField(record_->control_DC, 5, CFSTR("DCDigit"), ppd());
    for (int position = 1; position <= 5; position++)
        EXPECT_EQ("0", entry(ppd(), "DCDigit" + std::to_string(position))) << position;
}

TEST_F(JobModeDigits, OnlyTheFirstFiveCharactersOfALongTextAreStored) {
    setFieldText(record_->control_DIN, "1234567");
    SetIndividualDigitsInPPDFromTextField(record_->control_DIN, 5, CFSTR("DINDigit"), ppd());
    for (int position = 1; position <= 5; position++)
        EXPECT_EQ(std::to_string(position), entry(ppd(), "DINDigit" + std::to_string(position)));
    EXPECT_EQ("<missing>", entry(ppd(), "DINDigit6"));
    EXPECT_EQ(5, CFDictionaryGetCount(ppd()));
}

TEST_F(JobModeDigits, StoringReplacesOldDigitsAndLeavesAnUnreadablePositionAlone) {
    for (int position = 1; position <= 5; position++)
        setEntry(ppd(), "DINDigit" + std::to_string(position), "9");
    setFieldText(record_->control_DIN, "12345");
    // Each position reads the field once: the third read fails.
    PlatformInjectFault("GetControlData", 3, errDataNotSupported);
    SetIndividualDigitsInPPDFromTextField(record_->control_DIN, 5, CFSTR("DINDigit"), ppd());
    EXPECT_EQ("1", entry(ppd(), "DINDigit1"));
    EXPECT_EQ("2", entry(ppd(), "DINDigit2"));
    EXPECT_EQ("9", entry(ppd(), "DINDigit3")) << "an unreadable position must keep its key";
    EXPECT_EQ("4", entry(ppd(), "DINDigit4"));
    EXPECT_EQ("5", entry(ppd(), "DINDigit5"));
}

TEST_F(JobModeDigits, StoredDigitsReadBackWhole) {
    setFieldText(record_->control_DIN, "42");
    SetIndividualDigitsInPPDFromTextField(record_->control_DIN, 5, CFSTR("DINDigit"), ppd());
    EXPECT_EQ("00042", cf::adopt_utf8(CreateDigitsFromPPDDict(ppd(), CFSTR("DINDigit"), 5)));
    EXPECT_EQ(nullptr, CreateDigitsFromPPDDict(ppd(), CFSTR("DCDigit"), 5)) << "the other group is absent";
}

TEST_F(JobModeDigits, RebuildingRefusesNullArgumentsAndZeroLength) {
    for (int position = 1; position <= 5; position++)
        setEntry(ppd(), "DCDigit" + std::to_string(position), "1");
    EXPECT_EQ(nullptr, CreateDigitsFromPPDDict(nullptr, CFSTR("DCDigit"), 5));
    EXPECT_EQ(nullptr, CreateDigitsFromPPDDict(ppd(), nullptr, 5));
    EXPECT_EQ(nullptr, CreateDigitsFromPPDDict(ppd(), CFSTR("DCDigit"), 0));
    EXPECT_EQ(nullptr, CreateDigitsFromPPDDict(ppd(), CFSTR("DCDigit"), -1));
    EXPECT_EQ("11111", cf::adopt_utf8(CreateDigitsFromPPDDict(ppd(), CFSTR("DCDigit"), 5)));
}

TEST_F(JobModeDigits, AMissingPositionGivesNullNeverAShorterNumber) {
    for (int position = 1; position <= 4; position++)
        setEntry(ppd(), "DCDigit" + std::to_string(position), std::to_string(position));
    EXPECT_EQ(nullptr, CreateDigitsFromPPDDict(ppd(), CFSTR("DCDigit"), 5));
    EXPECT_EQ("1234", cf::adopt_utf8(CreateDigitsFromPPDDict(ppd(), CFSTR("DCDigit"), 4)));

    setEntry(ppd(), "DCDigit5", "5");
    CFDictionaryRemoveValue(ppd(), CFSTR("DCDigit1"));
    EXPECT_EQ(nullptr, CreateDigitsFromPPDDict(ppd(), CFSTR("DCDigit"), 5)) << "the first position is missing";
}

TEST_F(JobModeDigits, ValuesAreJoinedWhateverTheirLength) {
    const char *digits[] = {"1", "2", "AB", "4", "5"};
    for (int position = 1; position <= 5; position++)
        setEntry(ppd(), "DINDigit" + std::to_string(position), digits[position - 1]);
    EXPECT_EQ("12AB45", cf::adopt_utf8(CreateDigitsFromPPDDict(ppd(), CFSTR("DINDigit"), 5)));
}

TEST_F(JobModeDigits, ANonStringPositionCountsAsMissing) {
    for (int position = 1; position <= 5; position++)
        setEntry(ppd(), "DINDigit" + std::to_string(position), "3");
    SInt32 seven = 7;
    auto number = cf::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &seven));
    setObject(ppd(), "DINDigit2", number.get());
    EXPECT_EQ(nullptr, CreateDigitsFromPPDDict(ppd(), CFSTR("DINDigit"), 5));
}

TEST_F(JobModeDigits, SettingAFieldLeavesTheStringWithTheCaller) {
    CFMutableStringRef digits = CFStringCreateMutableCopy(kCFAllocatorDefault, 0, CFSTR("13579"));
    SetDigitsInTextField(record_->control_DC, digits);
    CFStringAppend(digits, CFSTR("0"));
    EXPECT_EQ("13579", fieldText(record_->control_DC)) << "the field must keep its own copy";
    CFRelease(digits);
    EXPECT_EQ("13579", fieldText(record_->control_DC));

    SetDigitsInTextField(record_->control_DC, nullptr);
    EXPECT_EQ("13579", fieldText(record_->control_DC));
}

// Typing into a field that carries the pane's filters, as a user would.
class JobModeKeyFilters : public PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        AttachPaneConstraints(record_);
    }

    void press(ControlRef field, UInt8 key) {
        ASSERT_EQ(noErr, PlatformFocusControl(field));
        ASSERT_EQ(noErr, PlatformPressKey(window_, key, false));
    }
};

TEST_F(JobModeKeyFilters, BothFieldsGetALengthAndADigitFilter) {
    EXPECT_NE(nullptr, record_->constraintLength_DIN);
    EXPECT_NE(nullptr, record_->constraintLength_DC);
    EXPECT_NE(nullptr, record_->constraintDigitOnly_DIN);
    EXPECT_NE(nullptr, record_->constraintDigitOnly_DC);
    for (ControlRef field : {record_->control_DIN, record_->control_DC}) {
        setFieldText(field, "1234");
        for (UInt8 key : {UInt8('a'), UInt8('-'), UInt8('.'), UInt8(' ')}) press(field, key);
        EXPECT_EQ("1234", fieldText(field));
        press(field, '5');
        press(field, '6');
        EXPECT_EQ("12345", fieldText(field)) << "a sixth digit must be swallowed";
        press(field, 0x08);
        EXPECT_EQ("1234", fieldText(field)) << "backspace must pass";
    }
}

// An accented letter (MacRoman 0x8E, e acute) is a letter to both filters and never reaches the ticket.
TEST_F(JobModeKeyFilters, AnAccentedLetterIsRefusedInAFullAndInAnEmptyField) {
    constexpr UInt8 kEAcute = 0x8E;
    setFieldText(record_->control_DIN, "24680");
    ASSERT_EQ(noErr, PlatformSetTextSelection(record_->control_DIN, 5, 5));
    press(record_->control_DIN, kEAcute);
    EXPECT_EQ("24680", fieldText(record_->control_DIN));
    SetIndividualDigitsInPPDFromTextField(record_->control_DIN, 5, CFSTR("DINDigit"), ppd());
    EXPECT_EQ("0", entry(ppd(), "DINDigit5"));

    setFieldText(record_->control_DC, "");
    press(record_->control_DC, kEAcute);
    EXPECT_EQ("", fieldText(record_->control_DC));
}

TEST_F(JobModeKeyFilters, TextPutInByCodeIsNotFiltered) {
    SetDigitsInTextField(record_->control_DIN, CFSTR("12AB45"));
    EXPECT_EQ("12AB45", fieldText(record_->control_DIN));
}

TEST_F(JobModeKeyFilters, DetachingRemovesEveryFilter) {
    long handlersAttached = PlatformLiveObjectCount("event-handler");
    DetachPaneConstraints(record_);
    EXPECT_EQ(handlersAttached - 4, PlatformLiveObjectCount("event-handler"));
    EXPECT_EQ(nullptr, record_->constraintLength_DIN);
    EXPECT_EQ(nullptr, record_->constraintDigitOnly_DC);
    setFieldText(record_->control_DIN, "12345");
    press(record_->control_DIN, 'x');
    EXPECT_EQ("12345x", fieldText(record_->control_DIN));
}

TEST_F(JobModeKeyFilters, TerminateDetachesTheFourFilters) {
    long handlersAttached = PlatformLiveObjectCount("event-handler");
    ControlRef field = record_->control_DC;
    EXPECT_EQ(noErr, Terminate(context(), noErr));
    record_ = nullptr;  // freed by Terminate
    EXPECT_EQ(handlersAttached - 4, PlatformLiveObjectCount("event-handler"));
    setFieldText(field, "");
    press(field, 'q');
    EXPECT_EQ("q", fieldText(field));
}

}  // namespace
}  // namespace jobmode_test
