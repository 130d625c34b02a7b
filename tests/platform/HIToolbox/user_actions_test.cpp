// What a person does to controls: popups, check boxes, sliders and typing into text fields,
// with the command and keyboard events that handlers see on the way.
#include "toolbox_fixture.h"

#include <memory>
#include <vector>

namespace {

using toolbox_test::text_of;
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
        EXPECT_EQ(noErr, GetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, nullptr, 1, nullptr, &key));
        log->keys.push_back(key);
    } else {
        HICommand command{};
        EXPECT_EQ(noErr, GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command));
        log->commands.push_back(command);
    }
    return log->result;
}

// One handler installed through the public call, removed at the end of the test.
class InstalledHandler {
public:
    InstalledHandler(EventTargetRef target, std::vector<EventTypeSpec> types, HandlerLog &log) {
        EXPECT_EQ(noErr, InstallEventHandler(target, logging_handler, static_cast<ItemCount>(types.size()), types.data(), &log, &ref_));
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

    ASSERT_EQ(noErr, PlatformChoosePopupItem(popup, 2));
    EXPECT_EQ(2, GetControl32BitValue(popup));
    ASSERT_EQ(noErr, PlatformChoosePopupItem(unnamed, 2));
    ASSERT_EQ(2u, log.commands.size());
    EXPECT_EQ(log.commands[0].attributes, static_cast<UInt32>(kHICommandFromControl));
    EXPECT_EQ(log.commands[0].commandID, static_cast<UInt32>('pmod'));
    EXPECT_EQ(0u, log.commands[1].commandID);
}

TEST_F(UserActionTest, ItemsOutsideTheMenuOrDisabledCannotBeChosen) {
    MenuRef menu = make_menu({"A", "B", "C"});
    ControlRef popup = make_popup(menu);
    HandlerLog log;
    InstalledHandler handler(GetControlEventTarget(popup), kCommands, log);
    EXPECT_EQ(paramErr, PlatformChoosePopupItem(popup, 0));
    EXPECT_EQ(paramErr, PlatformChoosePopupItem(popup, 4));
    DisableMenuItem(menu, 3);
    EXPECT_EQ(PlatformChoosePopupItem(popup, 3), errControlHiddenOrDisabled);
    EXPECT_EQ(1, GetControl32BitValue(popup));
    EXPECT_TRUE(log.commands.empty());
}

TEST_F(UserActionTest, CheckBoxesToggleAndSlidersArePinned) {
    ControlRef box = make_check_box(0);
    ControlRef slider = make_slider(0, -50, 50);
    HandlerLog log;
    InstalledHandler box_handler(GetControlEventTarget(box), kCommands, log);
    InstalledHandler slider_handler(GetControlEventTarget(slider), kCommands, log);
    ASSERT_EQ(noErr, PlatformClickCheckBox(box));
    EXPECT_EQ(1, GetControl32BitValue(box));
    PlatformClickCheckBox(box);
    EXPECT_EQ(0, GetControl32BitValue(box));
    ASSERT_EQ(noErr, PlatformMoveSlider(slider, 80));
    EXPECT_EQ(50, GetControl32BitValue(slider));
    EXPECT_EQ(3u, log.commands.size());
    EXPECT_EQ(paramErr, PlatformClickCheckBox(slider));
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
    auto pasted = cf::string("zz");

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
    EXPECT_EQ(1, GetControl32BitValue(popup));
    EXPECT_EQ(0, GetControl32BitValue(box));
    EXPECT_EQ(0, GetControl32BitValue(slider));
    EXPECT_EQ("abc", text_of(field));
}

// A focused field holding "hello", with a handler that lets every key pass.
class TypingTest : public ToolboxTest {
protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        field_ = make_field("hello");
        ASSERT_EQ(noErr, PlatformFocusControl(field_));
        passing_ = std::make_unique<InstalledHandler>(GetControlEventTarget(field_), kRawKeys, passed_);
    }
    void TearDown() override {
        passing_.reset();
        ToolboxTest::TearDown();
    }
    void press(UInt8 key, bool repeat = false) { ASSERT_EQ(noErr, PlatformPressKey(window_, key, repeat)); }
    void select(SInt16 start, SInt16 end) { ASSERT_EQ(noErr, PlatformSetTextSelection(field_, start, end)); }
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
    EXPECT_EQ("heXllo", text_of(field_));
    expect_selection(3, 3);
    select(1, 4);
    press('a');
    EXPECT_EQ("halo", text_of(field_));
    expect_selection(2, 2);
    EXPECT_EQ(passed_.keys, (std::vector<UInt8>{'X', 'a'}));
}

TEST_F(TypingTest, UpperHalfBytesAreMacRoman) {
    press(0x8E);
    EXPECT_EQ("hello\xC3\xA9", text_of(field_));
}

TEST_F(TypingTest, ASwallowingHandlerKeepsTheKeyOutOfTheField) {
    HandlerLog swallowed;
    swallowed.result = noErr;
    {
        InstalledHandler swallowing(GetControlEventTarget(field_), kRawKeys, swallowed);
        press('7');
        press(kBackspaceCharCode);
        EXPECT_EQ("hello", text_of(field_));
        EXPECT_EQ(swallowed.keys, (std::vector<UInt8>{'7', kBackspaceCharCode}));
        EXPECT_TRUE(passed_.keys.empty());
    }
    press('7');
    EXPECT_EQ("hello7", text_of(field_));
}

TEST_F(TypingTest, PressingNotesWhetherAHandlerRefusedTheKey) {
    Boolean refused = true;
    ASSERT_EQ(noErr, PlatformPressKeyNotingRefusal(window_, '1', false, &refused));
    EXPECT_FALSE(refused);
    HandlerLog swallowed;
    swallowed.result = noErr;
    InstalledHandler swallowing(GetControlEventTarget(field_), kRawKeys, swallowed);
    ASSERT_EQ(noErr, PlatformPressKeyNotingRefusal(window_, '2', false, &refused));
    EXPECT_TRUE(refused);
    EXPECT_EQ("hello1", text_of(field_));
}

TEST_F(TypingTest, BackspaceAndDeleteRemoveTheSelectionOrOneCharacter) {
    press(kBackspaceCharCode);
    EXPECT_EQ("hell", text_of(field_));
    select(0, 0);
    press(kBackspaceCharCode);
    EXPECT_EQ("hell", text_of(field_));
    press(kDeleteCharCode);
    EXPECT_EQ("ell", text_of(field_));
    expect_selection(0, 0);
    select(1, 3);
    press(kDeleteCharCode);
    EXPECT_EQ("e", text_of(field_));
    expect_selection(1, 1);
    press(kDeleteCharCode);
    EXPECT_EQ("e", text_of(field_));
    select(0, 1);
    press(kBackspaceCharCode);
    EXPECT_EQ("", text_of(field_));
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
    EXPECT_EQ("hello", text_of(field_));
}

TEST_F(TypingTest, TabReturnEnterAndEscapeChangeNoText) {
    select(1, 3);
    for (UInt8 key : {kTabCharCode, kReturnCharCode, kEnterCharCode, kEscapeCharCode}) press(key);
    EXPECT_EQ("hello", text_of(field_));
    expect_selection(1, 3);
    EXPECT_EQ(4u, passed_.keys.size());
}

TEST_F(TypingTest, RepeatedKeysAreRawKeyRepeatEventsAndAreTyped) {
    press('z', true);
    press('z', true);
    EXPECT_EQ("hellozz", text_of(field_));
    EXPECT_EQ(passed_.kinds, (std::vector<UInt32>{kEventRawKeyRepeat, kEventRawKeyRepeat}));
}

TEST_F(TypingTest, PastingIsNotFiltered) {
    HandlerLog swallowed;
    swallowed.result = noErr;
    InstalledHandler swallowing(GetControlEventTarget(field_), kRawKeys, swallowed);
    select(1, 3);
    auto pasted = cf::string("abc!");
    ASSERT_EQ(noErr, PlatformPasteText(field_, pasted.get()));
    EXPECT_EQ("habc!lo", text_of(field_));
    expect_selection(5, 5);
    EXPECT_TRUE(swallowed.kinds.empty());
}

TEST_F(TypingTest, TheObserverHearsOfTextSelectionAndFocus) {
    std::vector<toolbox_test::ObservedChange> changes;
    PlatformSetControlObserver(toolbox_test::record_change, &changes);
    press('!');
    select(0, 0);
    ClearKeyboardFocus(window_);
    EXPECT_EQ(1, toolbox_test::count_changes(changes, field_, kPlatformControlTextChanged));
    EXPECT_EQ(2, toolbox_test::count_changes(changes, field_, kPlatformControlSelectionChanged));
    EXPECT_EQ(1, toolbox_test::count_changes(changes, field_, kPlatformControlFocusChanged));
    EXPECT_EQ(PlatformPressKey(window_, 'a', false), errCouldntSetFocus);
}

}  // namespace
