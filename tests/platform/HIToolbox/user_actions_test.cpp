// What a person does to controls: popups, check boxes, sliders and typing into text fields,
// with the command and keyboard events that handlers see on the way.
#include "toolbox_fixture.h"

#include <memory>
#include <vector>

namespace {

using toolbox_test::OwnedString;
using toolbox_test::ToolboxTest;

// What a handler saw, and what it answers.
struct HandlerLog {
    OSStatus result = eventNotHandledErr;
    std::vector<UInt32> kinds;
    std::vector<UInt8> keys;
    std::vector<HICommand> commands;
};

OSStatus logging_handler(EventHandlerCallRef, EventRef event, void *user_data) {
    auto *log = static_cast<HandlerLog *>(user_data);
    log->kinds.push_back(GetEventKind(event));
    if (GetEventClass(event) == kEventClassKeyboard) {
        UInt8 key = 0;
        EXPECT_EQ(GetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, nullptr, 1, nullptr, &key), noErr);
        log->keys.push_back(key);
    } else {
        HICommand command{};
        EXPECT_EQ(GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command), noErr);
        log->commands.push_back(command);
    }
    return log->result;
}

// One handler installed through the public call, removed at the end of the test.
class InstalledHandler {
public:
    InstalledHandler(EventTargetRef target, std::vector<EventTypeSpec> types, HandlerLog &log) {
        EXPECT_EQ(InstallEventHandler(target, logging_handler, static_cast<ItemCount>(types.size()), types.data(), &log, &ref_), noErr);
    }
    InstalledHandler(const InstalledHandler &) = delete;
    InstalledHandler &operator=(const InstalledHandler &) = delete;
    ~InstalledHandler() { RemoveEventHandler(ref_); }

private:
    EventHandlerRef ref_ = nullptr;
};

const std::vector<EventTypeSpec> kCommands = {{kEventClassCommand, kEventCommandProcess}};
const std::vector<EventTypeSpec> kRawKeys = {{kEventClassKeyboard, kEventRawKeyDown}, {kEventClassKeyboard, kEventRawKeyRepeat}};

class UserActionTest : public ToolboxTest {};

TEST_F(UserActionTest, ChoosingAPopupItemSendsItsCommandUpToTheContainer) {
    ControlRef pane = make_user_pane();
    ControlRef popup = make_popup(make_menu({"Normal", "Hold", "Proof"}));
    ControlRef unnamed = make_popup(make_menu({"Off", "On"}));
    EmbedControl(popup, pane);
    EmbedControl(unnamed, pane);
    SetControlCommandID(popup, 'pmod');
    HandlerLog log;
    InstalledHandler handler(GetControlEventTarget(pane), kCommands, log);

    ASSERT_EQ(PlatformChoosePopupItem(popup, 2), noErr);
    EXPECT_EQ(GetControl32BitValue(popup), 2);
    ASSERT_EQ(PlatformChoosePopupItem(unnamed, 2), noErr);
    ASSERT_EQ(log.commands.size(), 2u);
    EXPECT_EQ(log.commands[0].attributes, static_cast<UInt32>(kHICommandFromControl));
    EXPECT_EQ(log.commands[0].commandID, static_cast<UInt32>('pmod'));
    EXPECT_EQ(log.commands[1].commandID, 0u);
}

TEST_F(UserActionTest, ItemsOutsideTheMenuOrDisabledCannotBeChosen) {
    MenuRef menu = make_menu({"A", "B", "C"});
    ControlRef popup = make_popup(menu);
    HandlerLog log;
    InstalledHandler handler(GetControlEventTarget(popup), kCommands, log);
    EXPECT_EQ(PlatformChoosePopupItem(popup, 0), paramErr);
    EXPECT_EQ(PlatformChoosePopupItem(popup, 4), paramErr);
    DisableMenuItem(menu, 3);
    EXPECT_EQ(PlatformChoosePopupItem(popup, 3), errControlHiddenOrDisabled);
    EXPECT_EQ(GetControl32BitValue(popup), 1);
    EXPECT_TRUE(log.commands.empty());
}

TEST_F(UserActionTest, CheckBoxesToggleAndSlidersArePinned) {
    ControlRef box = make_check_box(0);
    ControlRef slider = make_slider(0, -50, 50);
    HandlerLog log;
    InstalledHandler box_handler(GetControlEventTarget(box), kCommands, log);
    InstalledHandler slider_handler(GetControlEventTarget(slider), kCommands, log);
    ASSERT_EQ(PlatformClickCheckBox(box), noErr);
    EXPECT_EQ(GetControl32BitValue(box), 1);
    PlatformClickCheckBox(box);
    EXPECT_EQ(GetControl32BitValue(box), 0);
    ASSERT_EQ(PlatformMoveSlider(slider, 80), noErr);
    EXPECT_EQ(GetControl32BitValue(slider), 50);
    EXPECT_EQ(log.commands.size(), 3u);
    EXPECT_EQ(PlatformClickCheckBox(slider), paramErr);
}

TEST_F(UserActionTest, DisabledControlsAndControlsInDisabledContainersRefuseEveryAction) {
    ControlRef pane = make_user_pane();
    ControlRef popup = make_popup(make_menu({"A", "B"}));
    ControlRef box = make_check_box(0);
    ControlRef slider = make_slider(0, 0, 10);
    ControlRef field = make_field("abc");
    for (ControlRef control : {popup, box, slider, field}) EmbedControl(control, pane);
    HandlerLog log;
    InstalledHandler handler(GetControlEventTarget(pane), kCommands, log);
    OwnedString pasted("zz");

    DisableControl(pane);
    EXPECT_EQ(PlatformChoosePopupItem(popup, 2), errControlHiddenOrDisabled);
    EXPECT_EQ(PlatformClickCheckBox(box), errControlHiddenOrDisabled);
    EXPECT_EQ(PlatformMoveSlider(slider, 5), errControlHiddenOrDisabled);
    EXPECT_EQ(PlatformFocusControl(field), errControlHiddenOrDisabled);
    EXPECT_EQ(PlatformPasteText(field, pasted.get()), errControlHiddenOrDisabled);
    EnableControl(pane);
    DisableControl(box);
    EXPECT_EQ(PlatformClickCheckBox(box), errControlHiddenOrDisabled);

    EXPECT_TRUE(log.commands.empty());
    EXPECT_EQ(GetControl32BitValue(popup), 1);
    EXPECT_EQ(GetControl32BitValue(box), 0);
    EXPECT_EQ(GetControl32BitValue(slider), 0);
    EXPECT_EQ(text_of(field), "abc");
}

// A focused field holding "hello", with a handler that lets every key pass.
class TypingTest : public ToolboxTest {
protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        field_ = make_field("hello");
        ASSERT_EQ(PlatformFocusControl(field_), noErr);
        passing_ = std::make_unique<InstalledHandler>(GetControlEventTarget(field_), kRawKeys, passed_);
    }
    void TearDown() override {
        passing_.reset();
        ToolboxTest::TearDown();
    }
    void press(UInt8 key, bool repeat = false) { ASSERT_EQ(PlatformPressKey(window_, key, repeat), noErr); }
    void select(SInt16 start, SInt16 end) { ASSERT_EQ(PlatformSetTextSelection(field_, start, end), noErr); }
    void expect_selection(SInt16 start, SInt16 end) {
        ControlEditTextSelectionRec selection = selection_of(field_);
        EXPECT_EQ(selection.selStart, start);
        EXPECT_EQ(selection.selEnd, end);
    }

    ControlRef field_ = nullptr;
    HandlerLog passed_;
    std::unique_ptr<InstalledHandler> passing_;
};

TEST_F(TypingTest, PrintableKeysGoInAtTheCaretOrReplaceTheSelection) {
    select(2, 2);
    press('X');
    EXPECT_EQ(text_of(field_), "heXllo");
    expect_selection(3, 3);
    select(1, 4);
    press('a');
    EXPECT_EQ(text_of(field_), "halo");
    expect_selection(2, 2);
    EXPECT_EQ(passed_.keys, (std::vector<UInt8>{'X', 'a'}));
}

TEST_F(TypingTest, UpperHalfBytesAreMacRoman) {
    press(0x8E);
    EXPECT_EQ(text_of(field_), "hello\xC3\xA9");
}

TEST_F(TypingTest, ASwallowingHandlerKeepsTheKeyOutOfTheField) {
    HandlerLog swallowed;
    swallowed.result = noErr;
    {
        InstalledHandler swallowing(GetControlEventTarget(field_), kRawKeys, swallowed);
        press('7');
        press(kBackspaceCharCode);
        EXPECT_EQ(text_of(field_), "hello");
        EXPECT_EQ(swallowed.keys, (std::vector<UInt8>{'7', kBackspaceCharCode}));
        EXPECT_TRUE(passed_.keys.empty());
    }
    press('7');
    EXPECT_EQ(text_of(field_), "hello7");
}

TEST_F(TypingTest, PressingNotesWhetherAHandlerRefusedTheKey) {
    Boolean refused = true;
    ASSERT_EQ(PlatformPressKeyNotingRefusal(window_, '1', false, &refused), noErr);
    EXPECT_FALSE(refused);
    HandlerLog swallowed;
    swallowed.result = noErr;
    InstalledHandler swallowing(GetControlEventTarget(field_), kRawKeys, swallowed);
    ASSERT_EQ(PlatformPressKeyNotingRefusal(window_, '2', false, &refused), noErr);
    EXPECT_TRUE(refused);
    EXPECT_EQ("hello1", text_of(field_));
}

TEST_F(TypingTest, BackspaceAndDeleteRemoveTheSelectionOrOneCharacter) {
    press(kBackspaceCharCode);
    EXPECT_EQ(text_of(field_), "hell");
    select(0, 0);
    press(kBackspaceCharCode);
    EXPECT_EQ(text_of(field_), "hell");
    press(kDeleteCharCode);
    EXPECT_EQ(text_of(field_), "ell");
    expect_selection(0, 0);
    select(1, 3);
    press(kDeleteCharCode);
    EXPECT_EQ(text_of(field_), "e");
    expect_selection(1, 1);
    press(kDeleteCharCode);
    EXPECT_EQ(text_of(field_), "e");
    select(0, 1);
    press(kBackspaceCharCode);
    EXPECT_EQ(text_of(field_), "");
}

TEST_F(TypingTest, ArrowsMoveTheCaretAndCollapseASelection) {
    select(2, 2);
    press(kLeftArrowCharCode);
    expect_selection(1, 1);
    select(1, 4);
    press(kRightArrowCharCode);
    expect_selection(4, 4);
    select(1, 4);
    press(kLeftArrowCharCode);
    expect_selection(1, 1);
    select(5, 5);
    press(kRightArrowCharCode);
    expect_selection(5, 5);
    select(0, 0);
    press(kLeftArrowCharCode);
    expect_selection(0, 0);
    EXPECT_EQ(text_of(field_), "hello");
}

TEST_F(TypingTest, TabReturnEnterAndEscapeChangeNoText) {
    select(1, 3);
    for (UInt8 key : {kTabCharCode, kReturnCharCode, kEnterCharCode, kEscapeCharCode}) press(key);
    EXPECT_EQ(text_of(field_), "hello");
    expect_selection(1, 3);
    EXPECT_EQ(passed_.keys.size(), 4u);
}

TEST_F(TypingTest, RepeatedKeysAreRawKeyRepeatEventsAndAreTyped) {
    press('z', true);
    press('z', true);
    EXPECT_EQ(text_of(field_), "hellozz");
    EXPECT_EQ(passed_.kinds, (std::vector<UInt32>{kEventRawKeyRepeat, kEventRawKeyRepeat}));
}

TEST_F(TypingTest, PastingIsNotFiltered) {
    HandlerLog swallowed;
    swallowed.result = noErr;
    InstalledHandler swallowing(GetControlEventTarget(field_), kRawKeys, swallowed);
    select(1, 3);
    OwnedString pasted("abc!");
    ASSERT_EQ(PlatformPasteText(field_, pasted.get()), noErr);
    EXPECT_EQ(text_of(field_), "habc!lo");
    expect_selection(5, 5);
    EXPECT_TRUE(swallowed.kinds.empty());
}

TEST_F(TypingTest, TheObserverHearsOfTextSelectionAndFocus) {
    std::vector<toolbox_test::ObservedChange> changes;
    PlatformSetControlObserver(toolbox_test::record_change, &changes);
    press('!');
    select(0, 0);
    ClearKeyboardFocus(window_);
    EXPECT_EQ(toolbox_test::count_changes(changes, field_, kPlatformControlTextChanged), 1);
    EXPECT_EQ(toolbox_test::count_changes(changes, field_, kPlatformControlSelectionChanged), 2);
    EXPECT_EQ(toolbox_test::count_changes(changes, field_, kPlatformControlFocusChanged), 1);
    EXPECT_EQ(PlatformPressKey(window_, 'a', false), errCouldntSetFocus);
}

}  // namespace
