// Key filters on an edit-text field: typed through the toolbox's key events, and judged directly by
// the handler for every byte.
#include "probe_test_support.h"

#include <platform/cf_ref.h>

namespace probe_test {
namespace {

class ConstraintTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        Rect content = makeRect(100, 100, 200, 400);
        ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, 0, &content, &window), noErr);
        Rect bounds = makeRect(10, 10, 26, 90);
        ASSERT_EQ(CreateEditUnicodeTextControl(window, &bounds, CFSTR(""), false, nullptr, &field), noErr);
        ASSERT_EQ(PlatformFocusControl(field), noErr);
    }
    void TearDown() override {
        for (void *constraint : constraints) DetachTextConstraint(constraint);
        DisposeWindow(window);
        FrameworkTest::TearDown();
    }

    void attachLength(SInt32 maxLength) { constraints.push_back(AttachTextLengthConstraint(field, maxLength)); }
    void attachDigitOnly() { constraints.push_back(AttachTextDigitOnlyConstraint(field)); }

    // Sets the text with the caret at its end.
    void setText(const char *text) {
        ASSERT_TRUE(setFieldText(field, text));
        auto end = static_cast<SInt16>(fieldText(field).size());
        ASSERT_EQ(PlatformSetTextSelection(field, end, end), noErr);
    }
    void type(UInt8 key, bool isRepeat = false) { ASSERT_EQ(PlatformPressKey(window, key, isRepeat), noErr); }
    ControlEditTextSelectionRec selection() {
        ControlEditTextSelectionRec result = {-1, -1};
        GetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof result, &result, nullptr);
        return result;
    }

    WindowRef window = nullptr;
    ControlRef field = nullptr;
    std::vector<void *> constraints;
};

// What the handler says about one key for a constraint record of the given kind.
OSStatus judge(ControlRef field, SInt32 constraintType, SInt32 maxLength, UInt8 key, UInt32 kind = kEventRawKeyDown) {
    ControlConstraint record{};
    record.textField = field;
    record.constraintType = constraintType;
    record.maxLength = maxLength;
    EventRef event = nullptr;
    EXPECT_EQ(CreateEvent(nullptr, kEventClassKeyboard, kind, 0, kEventAttributeNone, &event), noErr);
    EXPECT_EQ(SetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, 1, &key), noErr);
    OSStatus result = TextConstraint(nullptr, event, &record);
    ReleaseEvent(event);
    return result;
}

TEST_F(ConstraintTest, LengthLimitLetsTheFifthCharacterIn) {
    attachLength(5);
    setText("1234");

    type('x');

    EXPECT_EQ(fieldText(field), "1234x");
}

TEST_F(ConstraintTest, LengthLimitSwallowsTheSixthCharacter) {
    attachLength(5);
    setText("12345");

    type('6');
    type('7', true);

    EXPECT_EQ(fieldText(field), "12345");
}

TEST_F(ConstraintTest, LengthLimitLetsAKeyReplaceASelection) {
    attachLength(5);
    setText("12345");
    ASSERT_EQ(PlatformSetTextSelection(field, 1, 3), noErr);

    type('9');

    EXPECT_EQ(fieldText(field), "1945");
}

TEST_F(ConstraintTest, DigitsOnlySwallowsEverythingPrintableButDigits) {
    attachDigitOnly();
    setText("12");

    for (UInt8 key : {'a', 'Z', '-', '.', ' ', '+', '/', ':', '~'}) type(key);
    EXPECT_EQ(fieldText(field), "12");

    type('0');
    type('9', true);
    EXPECT_EQ(fieldText(field), "1209");
}

TEST_F(ConstraintTest, EditingKeysReachAFilteredField) {
    attachDigitOnly();
    attachLength(5);
    setText("12345");

    type(kLeftArrowCharCode);
    EXPECT_EQ(selection().selStart, 4);
    type(kBackspaceCharCode);
    EXPECT_EQ(fieldText(field), "1235");
    type(kDeleteCharCode);
    EXPECT_EQ(fieldText(field), "123");
    type(kRightArrowCharCode);
    type(kTabCharCode);
    EXPECT_EQ(fieldText(field), "123");
}

TEST_F(ConstraintTest, ControlCharactersAndDeletePassEveryKindOfFilter) {
    setText("12345");
    for (int key = 0; key <= 0x7F; key = key == 0x1F ? 0x7F : key + 1) {
        SCOPED_TRACE(key);
        for (SInt32 kind : std::initializer_list<SInt32>{kTextLengthConstraint, kTextDigitOnlyConstraint, 3})
            EXPECT_EQ(judge(field, kind, 5, static_cast<UInt8>(key)), eventNotHandledErr);
    }
}

// MacRoman's upper half holds letters and signs: characters like any other to both filters.
TEST_F(ConstraintTest, UpperHalfBytesAreCharactersToBothFilters) {
    for (int key = 0x80; key <= 0xFF; ++key) {
        SCOPED_TRACE(key);
        setText("12345");
        EXPECT_EQ(judge(field, kTextLengthConstraint, 5, static_cast<UInt8>(key)), noErr) << "the field is full";
        EXPECT_EQ(judge(field, kTextLengthConstraint, 6, static_cast<UInt8>(key)), eventNotHandledErr);
        EXPECT_EQ(judge(field, kTextDigitOnlyConstraint, 0, static_cast<UInt8>(key)), noErr);
        ASSERT_EQ(PlatformSetTextSelection(field, 0, 1), noErr);
        EXPECT_EQ(judge(field, kTextLengthConstraint, 5, static_cast<UInt8>(key)), eventNotHandledErr)
            << "it replaces the selection";
    }
}

TEST_F(ConstraintTest, TypedUpperHalfBytesMeetTheFilters) {
    attachLength(5);
    setText("1234");
    type(0x8E);
    EXPECT_EQ(fieldText(field), "1234\u00e9") << "MacRoman 0x8E fills the last place";
    type(0xA5);
    type(0x8E, true);
    EXPECT_EQ(fieldText(field), "1234\u00e9") << "and counts: the field is full";

    attachDigitOnly();
    setText("");
    for (int key = 0x80; key <= 0xFF; ++key) type(static_cast<UInt8>(key));
    EXPECT_EQ(fieldText(field), "");
}

TEST_F(ConstraintTest, BothFiltersOnAFullField) {
    attachLength(5);
    attachDigitOnly();
    setText("12345");

    type('6');
    type('a');
    EXPECT_EQ(fieldText(field), "12345");

    type(kBackspaceCharCode);
    type('6');
    EXPECT_EQ(fieldText(field), "12346");
    type('x');
    EXPECT_EQ(fieldText(field), "12346");
}

TEST_F(ConstraintTest, TextSetByCodeOrPastedIsNotFiltered) {
    attachLength(5);
    attachDigitOnly();

    setText("abcdefgh");
    EXPECT_EQ(fieldText(field), "abcdefgh");
    auto pasted = cf::adopt(CFStringCreateWithCString(kCFAllocatorDefault, "x-1.", kCFStringEncodingUTF8));
    ASSERT_EQ(PlatformPasteText(field, pasted.get()), noErr);
    EXPECT_EQ(fieldText(field), "abcdefghx-1.");
}

TEST_F(ConstraintTest, UnknownKindSwallowsPrintableKeys) {
    setText("");
    EXPECT_EQ(judge(field, 3, 5, 'a'), noErr);
    EXPECT_EQ(judge(field, 0, 5, '1'), noErr);
    EXPECT_EQ(judge(field, kTextLengthConstraint, 5, 'a'), eventNotHandledErr);
}

TEST_F(ConstraintTest, KeyWithoutCharacterGoesThrough) {
    ControlConstraint record{};
    record.textField = field;
    record.constraintType = 3;  // would swallow any printable key
    EventRef event = nullptr;
    ASSERT_EQ(CreateEvent(nullptr, kEventClassKeyboard, kEventRawKeyDown, 0, kEventAttributeNone, &event), noErr);

    EXPECT_EQ(TextConstraint(nullptr, event, &record), eventNotHandledErr);
    ReleaseEvent(event);
}

TEST_F(ConstraintTest, LengthTestJudgesLengthAndSelection) {
    setText("1234");
    EXPECT_EQ(TextLengthConstraint(field, 5), eventNotHandledErr);
    EXPECT_EQ(TextLengthConstraint(field, 4), noErr);
    EXPECT_EQ(TextLengthConstraint(field, 0), noErr);
    ASSERT_EQ(PlatformSetTextSelection(field, 2, 3), noErr);
    EXPECT_EQ(TextLengthConstraint(field, 4), eventNotHandledErr);
    ASSERT_EQ(PlatformSetTextSelection(field, 3, 3), noErr);
    EXPECT_EQ(TextLengthConstraint(field, 4), noErr);

    setText("\u00e9\u00e8\u00ea");  // three characters, six UTF-8 bytes
    EXPECT_EQ(TextLengthConstraint(field, 4), eventNotHandledErr) << "the length counts characters";
}

TEST_F(ConstraintTest, LengthTestLetsTheKeyThroughWhenTheFieldCannotBeRead) {
    setText("12345");
    long cfObjectsBefore = PlatformLiveCFObjectCount();

    EXPECT_EQ(TextLengthConstraint(nullptr, 5), eventNotHandledErr);
    PlatformInjectFault("GetControlData", 1, errDataNotSupported);
    EXPECT_EQ(TextLengthConstraint(field, 5), eventNotHandledErr);
    PlatformInjectFault("GetControlData", 2, errDataNotSupported);  // the selection
    EXPECT_EQ(TextLengthConstraint(field, 5), eventNotHandledErr);

    EXPECT_EQ(PlatformLiveCFObjectCount(), cfObjectsBefore) << "the text read is released";
}

TEST_F(ConstraintTest, DigitTestTakesTheLowByte) {
    for (int key = '0'; key <= '9'; ++key) EXPECT_EQ(TextDigitOnlyConstraint(key), eventNotHandledErr);
    EXPECT_EQ(TextDigitOnlyConstraint('/'), noErr);
    EXPECT_EQ(TextDigitOnlyConstraint(':'), noErr);
    EXPECT_EQ(TextDigitOnlyConstraint(0x100 + '7'), eventNotHandledErr);
    EXPECT_EQ(TextDigitOnlyConstraint(0x80 + '7'), noErr);
    EXPECT_EQ(TextDigitOnlyConstraint(-1), noErr);
}

TEST_F(ConstraintTest, DetachingLeavesTheFieldUnfiltered) {
    long handlersBefore = PlatformLiveObjectCount("event-handler");
    void *digits = AttachTextDigitOnlyConstraint(field);
    ASSERT_NE(digits, nullptr);
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore + 1);

    DetachTextConstraint(digits);
    DetachTextConstraint(nullptr);
    setText("1");
    type('a');

    EXPECT_EQ(fieldText(field), "1a");
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore);
}

TEST_F(ConstraintTest, AttachFailureLeavesTheFieldUnfiltered) {
    long handlersBefore = PlatformLiveObjectCount("event-handler");

    allocation_failure::failNth(1);
    void *unallocated = AttachTextDigitOnlyConstraint(field);
    allocation_failure::failNth(0);
    PlatformInjectFault("InstallEventHandler", 1, memFullErr);
    void *uninstalled = AttachTextLengthConstraint(field, 1);  // its record is freed: the leak checker would tell

    EXPECT_EQ(unallocated, nullptr);
    EXPECT_EQ(uninstalled, nullptr);
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore);
    setText("1");
    type('a');
    EXPECT_EQ(fieldText(field), "1a");
}

}  // namespace
}  // namespace probe_test
