// The pane against the print-settings ticket: defaults, reading, writing, and the two rules.
#include "jobmode_test_support.h"

#include "qel-pane.h"
#include "qel-source.h"

#include <platform/test_support.h>

namespace jobmode_test {
namespace {

const char *const kPaneKeys[] = {"PrintMode", "DeptCode",  "BlankPage", "DINDigit1", "DINDigit2",
                                 "DINDigit3", "DINDigit4", "DINDigit5", "DCDigit1",  "DCDigit2",
                                 "DCDigit3",  "DCDigit4",  "DCDigit5"};

class JobModeSync : public PaneTest {
protected:
    void setDigits(const std::string &prefix, const std::string &digits) {
        for (size_t index = 0; index < digits.size(); index++)
            setEntry(ppd(), prefix + std::to_string(index + 1), digits.substr(index, 1));
    }

    // The pane in a state that no ticket read gives, to see that a failed read leaves it alone.
    void putPaneInUnusualState() {
        SetControl32BitValue(record_->control_PrintMode, 3);
        SetControl32BitValue(record_->control_Department, 2);
        SetControl32BitValue(record_->control_BlankPages, 2);
        setFieldText(record_->control_DIN, "11");
        setFieldText(record_->control_DC, "22");
        EnableControl(record_->control_DIN);
        DisableControl(record_->control_DC);
    }

    void expectUnusualStateKept() {
        EXPECT_EQ(3, GetControl32BitValue(record_->control_PrintMode));
        EXPECT_EQ(2, GetControl32BitValue(record_->control_Department));
        EXPECT_EQ(2, GetControl32BitValue(record_->control_BlankPages));
        EXPECT_EQ("11", fieldText(record_->control_DIN));
        EXPECT_EQ("22", fieldText(record_->control_DC));
        EXPECT_TRUE(IsControlEnabled(record_->control_DIN));
        EXPECT_FALSE(IsControlEnabled(record_->control_DC));
    }
};

TEST_F(JobModeSync, AnEmptyTicketGivesTheDefaultsWithBothFieldsDisabled) {
    putPaneInUnusualState();
    ASSERT_EQ(noErr, SyncPaneFromTicket(context(), session()));
    EXPECT_EQ(1, GetControl32BitValue(record_->control_PrintMode));
    EXPECT_EQ("24680", fieldText(record_->control_DIN));
    EXPECT_EQ(1, GetControl32BitValue(record_->control_Department));
    EXPECT_EQ("24680", fieldText(record_->control_DC));
    EXPECT_EQ(1, GetControl32BitValue(record_->control_BlankPages));
    EXPECT_FALSE(IsControlEnabled(record_->control_DIN));
    EXPECT_FALSE(IsControlEnabled(record_->control_DC));
    for (const char *key : kPaneKeys) EXPECT_EQ("<missing>", entry(ppd(), key)) << "reading wrote " << key;
}

TEST_F(JobModeSync, PrivateFromTheTicketEnablesTheDocumentNumber) {
    setEntry(ppd(), "PrintMode", "Private");
    setDigits("DINDigit", "31415");
    ASSERT_EQ(noErr, SyncPaneFromTicket(context(), session()));
    EXPECT_EQ(4, GetControl32BitValue(record_->control_PrintMode));
    EXPECT_EQ("31415", fieldText(record_->control_DIN));
    EXPECT_TRUE(IsControlEnabled(record_->control_DIN));
    EXPECT_FALSE(IsControlEnabled(record_->control_DC));
}

TEST_F(JobModeSync, HoldFromTheTicketLeavesTheDocumentNumberDisabled) {
    setEntry(ppd(), "PrintMode", "Hold");
    ASSERT_EQ(noErr, SyncPaneFromTicket(context(), session()));
    EXPECT_EQ(2, GetControl32BitValue(record_->control_PrintMode));
    EXPECT_FALSE(IsControlEnabled(record_->control_DIN));
}

TEST_F(JobModeSync, TheSwitchAndBlankPagesComeFromTheTicket) {
    setEntry(ppd(), "DeptCode", "True");
    setEntry(ppd(), "BlankPage", "True");
    setDigits("DCDigit", "02468");
    ASSERT_EQ(noErr, SyncPaneFromTicket(context(), session()));
    EXPECT_EQ(2, GetControl32BitValue(record_->control_Department));
    EXPECT_EQ(2, GetControl32BitValue(record_->control_BlankPages));
    EXPECT_EQ("02468", fieldText(record_->control_DC));
    EXPECT_TRUE(IsControlEnabled(record_->control_DC));
}

TEST_F(JobModeSync, APartialSetOfDigitKeysGivesTheDefaultNumber) {
    setDigits("DINDigit", "1234");
    setDigits("DCDigit", "98765");
    ASSERT_EQ(noErr, SyncPaneFromTicket(context(), session()));
    EXPECT_EQ("24680", fieldText(record_->control_DIN));
    EXPECT_EQ("98765", fieldText(record_->control_DC));
}

TEST_F(JobModeSync, LowerCaseKeywordsFromTheTicketSelectTheFirstItem) {
    putPaneInUnusualState();
    setEntry(ppd(), "PrintMode", "private");
    setEntry(ppd(), "DeptCode", "true");
    setEntry(ppd(), "BlankPage", "TRUE");
    ASSERT_EQ(noErr, SyncPaneFromTicket(context(), session()));
    EXPECT_EQ(1, GetControl32BitValue(record_->control_PrintMode));
    EXPECT_EQ(1, GetControl32BitValue(record_->control_Department));
    EXPECT_EQ(1, GetControl32BitValue(record_->control_BlankPages));
}

TEST_F(JobModeSync, NonStringValuesTakeTheDefaults) {
    putPaneInUnusualState();
    SInt32 four = 4;
    auto number = cf::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &four));
    setObject(ppd(), "PrintMode", number.get());
    setObject(ppd(), "DeptCode", kCFBooleanTrue);
    setObject(ppd(), "BlankPage", number.get());
    setDigits("DINDigit", "13579");
    setObject(ppd(), "DINDigit5", number.get());
    ASSERT_EQ(noErr, SyncPaneFromTicket(context(), session()));
    EXPECT_EQ(1, GetControl32BitValue(record_->control_PrintMode));
    EXPECT_EQ(1, GetControl32BitValue(record_->control_Department));
    EXPECT_EQ(1, GetControl32BitValue(record_->control_BlankPages));
    EXPECT_EQ("24680", fieldText(record_->control_DIN));
}

TEST_F(JobModeSync, AFailingTicketLookupLeavesThePaneUntouched) {
    setEntry(ppd(), "PrintMode", "Private");
    putPaneInUnusualState();
    PlatformInjectFault("PMSessionGetDataFromSession", 1, kPMNoSuchEntry);
    EXPECT_EQ(kPMInvalidTicket, SyncPaneFromTicket(context(), session()));
    expectUnusualStateKept();

    PlatformInjectFault("PMTicketGetPPDDict", 1, kPMInvalidKey);
    EXPECT_EQ(kPMInvalidKey, SyncPaneFromTicket(context(), session()));
    expectUnusualStateKept();

    EXPECT_EQ(kPMInvalidTicket, SyncPaneFromTicket(context(), nullptr));
    expectUnusualStateKept();
}

TEST_F(JobModeSync, SavingWritesEveryKeyEvenInNormalModeWithTheSwitchOff) {
    SetControl32BitValue(record_->control_PrintMode, 1);
    SetControl32BitValue(record_->control_Department, 1);
    SetControl32BitValue(record_->control_BlankPages, 2);
    setFieldText(record_->control_DIN, "42");
    setFieldText(record_->control_DC, "");
    DisableControl(record_->control_DIN);
    DisableControl(record_->control_DC);

    ASSERT_EQ(noErr, SyncTicketFromPane(context(), session()));
    EXPECT_EQ("Normal", entry(ppd(), "PrintMode"));
    EXPECT_EQ("False", entry(ppd(), "DeptCode"));
    EXPECT_EQ("True", entry(ppd(), "BlankPage"));
    const char *documentNumber[] = {"0", "0", "0", "4", "2"};
    for (int position = 1; position <= 5; position++) {
        EXPECT_EQ(documentNumber[position - 1], entry(ppd(), "DINDigit" + std::to_string(position)));
        EXPECT_EQ("0", entry(ppd(), "DCDigit" + std::to_string(position)));
    }
    EXPECT_EQ(13, CFDictionaryGetCount(ppd()));
}

TEST_F(JobModeSync, SavingWritesEachPopupAsItsKeyword) {
    SetControl32BitValue(record_->control_PrintMode, 3);
    SetControl32BitValue(record_->control_Department, 2);
    ASSERT_EQ(noErr, SyncTicketFromPane(context(), session()));
    EXPECT_EQ("Proof", entry(ppd(), "PrintMode"));
    EXPECT_EQ("True", entry(ppd(), "DeptCode"));
    EXPECT_EQ("False", entry(ppd(), "BlankPage"));
}

TEST_F(JobModeSync, AFailingSaveWritesNothing) {
    setFieldText(record_->control_DIN, "12345");
    PlatformInjectFault("PMTicketGetPPDDict", 1, kPMInvalidKey);
    EXPECT_EQ(kPMInvalidKey, SyncTicketFromPane(context(), session()));
    PlatformInjectFault("PMSessionGetDataFromSession", 1, kPMNoSuchEntry);
    EXPECT_EQ(kPMInvalidTicket, SyncTicketFromPane(context(), session()));
    EXPECT_EQ(0, CFDictionaryGetCount(ppd()));
}

TEST_F(JobModeSync, ASavedNumberReadsBackWithItsLeadingZeros) {
    SetControl32BitValue(record_->control_PrintMode, 4);
    setFieldText(record_->control_DIN, "42");
    ASSERT_EQ(noErr, SyncTicketFromPane(context(), session()));
    setFieldText(record_->control_DIN, "");
    SetControl32BitValue(record_->control_PrintMode, 1);
    ASSERT_EQ(noErr, SyncPaneFromTicket(context(), session()));
    EXPECT_EQ("00042", fieldText(record_->control_DIN));
    EXPECT_EQ(4, GetControl32BitValue(record_->control_PrintMode));
}

TEST_F(JobModeSync, WithoutARecordNothingIsTouched) {
    EXPECT_EQ(kPMInvalidPDEContext, SyncPaneFromTicket(0, session()));
    EXPECT_EQ(kPMInvalidPDEContext, SyncTicketFromPane(0, session()));
    EXPECT_EQ(0, CFDictionaryGetCount(ppd()));
}

using JobModeRules = PaneTest;

TEST_F(JobModeRules, EachFieldFollowsItsOwnChoice) {
    setFieldText(record_->control_DIN, "13579");
    const struct {
        SInt32 printMode;
        SInt32 departmentSwitch;
        bool documentNumberEnabled;
        bool departmentCodeEnabled;
    } cases[] = {{4, 1, true, false}, {1, 2, false, true}, {4, 2, true, true}, {3, 1, false, false}, {2, 2, false, true}};
    for (const auto &row : cases) {
        SetControl32BitValue(record_->control_PrintMode, row.printMode);
        SetControl32BitValue(record_->control_Department, row.departmentSwitch);
        EnforceRelationships(context());
        EXPECT_EQ(row.documentNumberEnabled, IsControlEnabled(record_->control_DIN)) << row.printMode;
        EXPECT_EQ(row.departmentCodeEnabled, IsControlEnabled(record_->control_DC)) << row.departmentSwitch;
    }
    EXPECT_EQ("13579", fieldText(record_->control_DIN)) << "disabling must keep the text";
}

TEST_F(JobModeRules, TheTimerCallbackRunsBothRules) {
    SetControl32BitValue(record_->control_PrintMode, 4);
    SetControl32BitValue(record_->control_Department, 2);
    DisableControl(record_->control_DIN);
    DisableControl(record_->control_DC);
    DelayedRelationshipCallback(nullptr, record_);
    EXPECT_TRUE(IsControlEnabled(record_->control_DIN));
    EXPECT_TRUE(IsControlEnabled(record_->control_DC));

    SetControl32BitValue(record_->control_PrintMode, 2);
    SetControl32BitValue(record_->control_Department, 1);
    DelayedRelationshipCallback(nullptr, record_);
    EXPECT_FALSE(IsControlEnabled(record_->control_DIN));
    EXPECT_FALSE(IsControlEnabled(record_->control_DC));
}

}  // namespace
}  // namespace jobmode_test
