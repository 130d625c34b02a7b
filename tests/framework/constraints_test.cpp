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
        ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, 0, &content, &window));
        Rect bounds = makeRect(10, 10, 26, 90);
        ASSERT_EQ(noErr, CreateEditUnicodeTextControl(window, &bounds, CFSTR(""), false, nullptr, &field));
        ASSERT_EQ(noErr, PlatformFocusControl(field));
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
        ASSERT_EQ(noErr, PlatformSetTextSelection(field, end, end));
    }
    void type(UInt8 key, bool isRepeat = false) { ASSERT_EQ(noErr, PlatformPressKey(window, key, isRepeat)); }
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
    EXPECT_EQ(noErr, CreateEvent(nullptr, kEventClassKeyboard, kind, 0, kEventAttributeNone, &event));
    EXPECT_EQ(noErr, SetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, 1, &key));
    OSStatus result = TextConstraint(nullptr, event, &record);
    ReleaseEvent(event);
    return result;
}

TEST_F(ConstraintTest, LengthLimitLetsTheFifthCharacterIn) {
    attachLength(5);
    setText("1234");

    type('x');

    EXPECT_EQ("1234x", fieldText(field));
}

TEST_F(ConstraintTest, LengthLimitSwallowsTheSixthCharacter) {
    attachLength(5);
    setText("12345");

    type('6');
    type('7', true);

    EXPECT_EQ("12345", fieldText(field));
}

TEST_F(ConstraintTest, LengthLimitLetsAKeyReplaceASelection) {
    attachLength(5);
    setText("12345");
    ASSERT_EQ(noErr, PlatformSetTextSelection(field, 1, 3));

    type('9');

    EXPECT_EQ("1945", fieldText(field));
}

TEST_F(ConstraintTest, DigitsOnlySwallowsEverythingPrintableButDigits) {
    attachDigitOnly();
    setText("12");

    for (UInt8 key : {'a', 'Z', '-', '.', ' ', '+', '/', ':', '~'}) type(key);
    EXPECT_EQ("12", fieldText(field));

    type('0');
    type('9', true);
    EXPECT_EQ("1209", fieldText(field));
}

TEST_F(ConstraintTest, EditingKeysReachAFilteredField) {
    attachDigitOnly();
    attachLength(5);
    setText("12345");

    type(kLeftArrowCharCode);
    EXPECT_EQ(4, selection().selStart);
    type(kBackspaceCharCode);
    EXPECT_EQ("1235", fieldText(field));
    type(kDeleteCharCode);
    EXPECT_EQ("123", fieldText(field));
    type(kRightArrowCharCode);
    type(kTabCharCode);
    EXPECT_EQ("123", fieldText(field));
}

TEST_F(ConstraintTest, ControlCharactersAndDeletePassEveryKindOfFilter) {
    setText("12345");
    for (int key = 0; key <= 0x7F; key = key == 0x1F ? 0x7F : key + 1) {
        SCOPED_TRACE(key);
        for (SInt32 kind : std::initializer_list<SInt32>{kTextLengthConstraint, kTextDigitOnlyConstraint, 3})
            EXPECT_EQ(eventNotHandledErr, judge(field, kind, 5, static_cast<UInt8>(key)));
    }
}

// MacRoman's upper half holds letters and signs: characters like any other to both filters.
TEST_F(ConstraintTest, UpperHalfBytesAreCharactersToBothFilters) {
    for (int key = 0x80; key <= 0xFF; ++key) {
        SCOPED_TRACE(key);
        setText("12345");
        EXPECT_EQ(noErr, judge(field, kTextLengthConstraint, 5, static_cast<UInt8>(key))) << "the field is full";
        EXPECT_EQ(eventNotHandledErr, judge(field, kTextLengthConstraint, 6, static_cast<UInt8>(key)));
        EXPECT_EQ(noErr, judge(field, kTextDigitOnlyConstraint, 0, static_cast<UInt8>(key)));
        ASSERT_EQ(noErr, PlatformSetTextSelection(field, 0, 1));
        EXPECT_EQ(eventNotHandledErr, judge(field, kTextLengthConstraint, 5, static_cast<UInt8>(key)))
            << "it replaces the selection";
    }
}

TEST_F(ConstraintTest, TypedUpperHalfBytesMeetTheFilters) {
    attachLength(5);
    setText("1234");
    type(0x8E);
    EXPECT_EQ("1234\u00e9", fieldText(field)) << "MacRoman 0x8E fills the last place";
    type(0xA5);
    type(0x8E, true);
    EXPECT_EQ("1234\u00e9", fieldText(field)) << "and counts: the field is full";

    attachDigitOnly();
    setText("");
    for (int key = 0x80; key <= 0xFF; ++key) type(static_cast<UInt8>(key));
    EXPECT_EQ("", fieldText(field));
}

TEST_F(ConstraintTest, BothFiltersOnAFullField) {
    attachLength(5);
    attachDigitOnly();
    setText("12345");

    type('6');
    type('a');
    EXPECT_EQ("12345", fieldText(field));

    type(kBackspaceCharCode);
    type('6');
    EXPECT_EQ("12346", fieldText(field));
    type('x');
    EXPECT_EQ("12346", fieldText(field));
}

TEST_F(ConstraintTest, TextSetByCodeOrPastedIsNotFiltered) {
    attachLength(5);
    attachDigitOnly();

    setText("abcdefgh");
    EXPECT_EQ("abcdefgh", fieldText(field));
    auto pasted = cf::adopt(CFStringCreateWithCString(kCFAllocatorDefault, "x-1.", kCFStringEncodingUTF8));
    ASSERT_EQ(noErr, PlatformPasteText(field, pasted.get()));
    EXPECT_EQ("abcdefghx-1.", fieldText(field));
}

TEST_F(ConstraintTest, UnknownKindSwallowsPrintableKeys) {
    setText("");
    EXPECT_EQ(noErr, judge(field, 3, 5, 'a'));
    EXPECT_EQ(noErr, judge(field, 0, 5, '1'));
    EXPECT_EQ(eventNotHandledErr, judge(field, kTextLengthConstraint, 5, 'a'));
}

TEST_F(ConstraintTest, KeyWithoutCharacterGoesThrough) {
    ControlConstraint record{};
    record.textField = field;
    record.constraintType = 3;  // would swallow any printable key
    EventRef event = nullptr;
    ASSERT_EQ(noErr, CreateEvent(nullptr, kEventClassKeyboard, kEventRawKeyDown, 0, kEventAttributeNone, &event));

    EXPECT_EQ(eventNotHandledErr, TextConstraint(nullptr, event, &record));
    ReleaseEvent(event);
}

TEST_F(ConstraintTest, LengthTestJudgesLengthAndSelection) {
    setText("1234");
    EXPECT_EQ(eventNotHandledErr, TextLengthConstraint(field, 5));
    EXPECT_EQ(noErr, TextLengthConstraint(field, 4));
    EXPECT_EQ(noErr, TextLengthConstraint(field, 0));
    ASSERT_EQ(noErr, PlatformSetTextSelection(field, 2, 3));
    EXPECT_EQ(eventNotHandledErr, TextLengthConstraint(field, 4));
    ASSERT_EQ(noErr, PlatformSetTextSelection(field, 3, 3));
    EXPECT_EQ(noErr, TextLengthConstraint(field, 4));

    setText("\u00e9\u00e8\u00ea");  // three characters, six UTF-8 bytes
    EXPECT_EQ(eventNotHandledErr, TextLengthConstraint(field, 4)) << "the length counts characters";
}

TEST_F(ConstraintTest, LengthTestLetsTheKeyThroughWhenTheFieldCannotBeRead) {
    setText("12345");
    long cfObjectsBefore = PlatformLiveCFObjectCount();

    EXPECT_EQ(eventNotHandledErr, TextLengthConstraint(nullptr, 5));
    PlatformInjectFault("GetControlData", 1, errDataNotSupported);
    EXPECT_EQ(eventNotHandledErr, TextLengthConstraint(field, 5));
    PlatformInjectFault("GetControlData", 2, errDataNotSupported);  // the selection
    EXPECT_EQ(eventNotHandledErr, TextLengthConstraint(field, 5));

    EXPECT_EQ(PlatformLiveCFObjectCount(), cfObjectsBefore) << "the text read is released";
}

TEST_F(ConstraintTest, DigitTestTakesTheLowByte) {
    for (int key = '0'; key <= '9'; ++key) EXPECT_EQ(eventNotHandledErr, TextDigitOnlyConstraint(key));
    EXPECT_EQ(noErr, TextDigitOnlyConstraint('/'));
    EXPECT_EQ(noErr, TextDigitOnlyConstraint(':'));
    EXPECT_EQ(eventNotHandledErr, TextDigitOnlyConstraint(0x100 + '7'));
    EXPECT_EQ(noErr, TextDigitOnlyConstraint(0x80 + '7'));
    EXPECT_EQ(noErr, TextDigitOnlyConstraint(-1));
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

    EXPECT_EQ("1a", fieldText(field));
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore);
}

TEST_F(ConstraintTest, AttachFailureLeavesTheFieldUnfiltered) {
    long handlersBefore = PlatformLiveObjectCount("event-handler");

    allocation_failure::failNth(1);
    void *unallocated = AttachTextDigitOnlyConstraint(field);
    allocation_failure::failNth(0);
    PlatformInjectFault("InstallEventHandler", 1, memFullErr);
    void *uninstalled = AttachTextLengthConstraint(field, 1);  // its record is freed: the leak checker would tell

    EXPECT_EQ(nullptr, unallocated);
    EXPECT_EQ(nullptr, uninstalled);
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore);
    setText("1");
    type('a');
    EXPECT_EQ("1a", fieldText(field));
}

}  // namespace
}  // namespace probe_test
