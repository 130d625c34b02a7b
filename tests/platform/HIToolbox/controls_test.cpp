// The Control Manager: the control tree of a window, values, control data, state and focus.
#include "toolbox_fixture.h"

namespace {

using toolbox_test::count_changes;
using toolbox_test::ObservedChange;
using toolbox_test::OwnedString;
using toolbox_test::ToolboxTest;

constexpr OSType kSignature = 'qel ';

class ControlTreeTest : public ToolboxTest {};

TEST_F(ControlTreeTest, GetControlByIDFindsEmbeddedControlsAndNeedsBothParts) {
    ControlRef outer = make_user_pane();
    ControlRef inner = make_user_pane();
    ControlRef field = make_field();
    ASSERT_EQ(EmbedControl(inner, outer), noErr);
    ASSERT_EQ(EmbedControl(field, inner), noErr);
    ControlID id{kSignature, 6};
    ASSERT_EQ(SetControlID(field, &id), noErr);

    ControlRef found = nullptr;
    EXPECT_EQ(GetControlByID(window_, &id, &found), noErr);
    EXPECT_EQ(found, field);

    ControlID other_signature{'xxxx', 6};
    ControlID other_number{kSignature, 7};
    EXPECT_EQ(GetControlByID(window_, &other_signature, &found), errUnknownControl);
    EXPECT_EQ(GetControlByID(window_, &other_number, &found), -30584);
    EXPECT_EQ(GetControlByID(make_window(), &id, &found), errUnknownControl);
}

TEST_F(ControlTreeTest, GetControlByIDFailsWithAnInjectedFault) {
    ControlRef pane = make_user_pane();
    ControlID id{kSignature, 1};
    SetControlID(pane, &id);
    PlatformInjectFault("GetControlByID", 1, memFullErr);
    ControlRef found = nullptr;
    EXPECT_EQ(GetControlByID(window_, &id, &found), memFullErr);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(GetControlByID(window_, &id, &found), noErr);
    EXPECT_EQ(found, pane);
}

TEST_F(ControlTreeTest, EveryCreatorPutsItsKindInTheRoot) {
    Rect bounds = {1, 2, 3, 4};
    ControlRef root = nullptr;
    ASSERT_EQ(GetRootControl(window_, &root), noErr);
    std::vector<std::pair<ControlRef, OSType>> made;
    ControlRef control = nullptr;
    CreateUserPaneControl(window_, &bounds, 0, &control), made.emplace_back(control, 'upan');
    CreateStaticTextControl(window_, &bounds, nullptr, nullptr, &control), made.emplace_back(control, 'stxt');
    CreateGroupBoxControl(window_, &bounds, nullptr, true, &control), made.emplace_back(control, 'grpb');
    CreateSeparatorControl(window_, &bounds, &control), made.emplace_back(control, 'sepa');
    made.emplace_back(make_field(), 'eutx');
    made.emplace_back(make_check_box(), 'cbox');
    made.emplace_back(make_slider(0, 0, 10), 'sldr');
    made.emplace_back(make_popup(nullptr), 'popb');

    UInt16 count = 0;
    ASSERT_EQ(CountSubControls(root, &count), noErr);
    EXPECT_EQ(count, made.size());
    for (std::size_t index = 0; index < made.size(); ++index) {
        ControlKind kind{};
        ASSERT_EQ(GetControlKind(made[index].first, &kind), noErr);
        EXPECT_EQ(kind.signature, kControlKindSignatureApple);
        EXPECT_EQ(kind.kind, made[index].second);
        ControlRef child = nullptr;
        EXPECT_EQ(GetIndexedSubControl(root, static_cast<UInt16>(index + 1), &child), noErr);
        EXPECT_EQ(child, made[index].first);
        EXPECT_EQ(GetControlOwner(child), window_);
    }
    EXPECT_EQ(CreateUserPaneControl(nullptr, &bounds, 0, &control), paramErr);
    ControlKind root_kind{};
    GetControlKind(root, &root_kind);
    EXPECT_EQ(root_kind.kind, kControlKindRoot);
}

TEST_F(ControlTreeTest, EmbeddingRefusesNonEmbeddersSelfAndRoot) {
    ControlRef outer = make_user_pane();
    ControlRef inner = make_user_pane();
    ControlRef check_box = make_check_box();
    ControlRef root = nullptr;
    GetRootControl(window_, &root);
    ASSERT_EQ(EmbedControl(inner, outer), noErr);

    EXPECT_EQ(EmbedControl(make_field(), check_box), errControlIsNotEmbedder);
    EXPECT_EQ(EmbedControl(outer, outer), errCantEmbedIntoSelf);
    EXPECT_EQ(EmbedControl(outer, inner), errCantEmbedIntoSelf);
    EXPECT_EQ(EmbedControl(root, outer), errCantEmbedRoot);
    ControlRef container = nullptr;
    EXPECT_EQ(GetSuperControl(inner, &container), noErr);
    EXPECT_EQ(container, outer);
    EXPECT_NE(GetSuperControl(root, &container), noErr);

    PlatformInjectFault("EmbedControl", 1, paramErr);
    EXPECT_EQ(EmbedControl(check_box, outer), paramErr);
    EXPECT_EQ(GetSuperControl(check_box, &container), noErr);
    EXPECT_EQ(container, root);
}

TEST_F(ControlTreeTest, EmbeddingMovesASubtreeToAnotherWindowAndItsDisposalSparesIt) {
    WindowRef nib_window = make_window();
    ControlRef dialog_pane = make_user_pane({50, 20, 450, 520});
    ControlRef container = make_user_pane({0, 0, 300, 400}, nib_window);
    ControlRef field = make_field("12", nib_window);
    ControlRef left_behind = make_field("x", nib_window);
    ASSERT_EQ(EmbedControl(field, container), noErr);
    Rect moved_bounds = {60, 30, 360, 430};
    SetControlBounds(container, &moved_bounds);

    const long controls_before_move = PlatformLiveObjectCount("control");
    ASSERT_EQ(EmbedControl(container, dialog_pane), noErr);
    EXPECT_EQ(GetControlOwner(container), window_);
    EXPECT_EQ(GetControlOwner(field), window_);
    Rect bounds;
    EXPECT_TRUE(EqualRect(GetControlBounds(container, &bounds), &moved_bounds));

    DisposeWindow(nib_window);
    forget_window(nib_window);
    // The nib window's root and the field left in it go; the moved pane and its field stay.
    EXPECT_EQ(PlatformLiveObjectCount("control"), controls_before_move - 2);
    EXPECT_EQ(text_of(field), "12");
    EXPECT_FALSE(IsControlEnabled(left_behind));
    EXPECT_EQ(GetControlOwner(left_behind), nullptr);
    ControlID id{kSignature, 1};
    SetControlID(container, &id);
    ControlRef found = nullptr;
    EXPECT_EQ(GetControlByID(window_, &id, &found), noErr);
    EXPECT_EQ(found, container);
}

TEST_F(ControlTreeTest, DisposingOfAControlTakesItsContentsAndTellsTheObserver) {
    std::vector<ObservedChange> changes;
    PlatformSetControlObserver(toolbox_test::record_change, &changes);
    ControlRef pane = make_user_pane();
    ControlRef field = make_field();
    EmbedControl(field, pane);
    const long before = PlatformLiveObjectCount("control");

    DisposeControl(pane);
    EXPECT_EQ(PlatformLiveObjectCount("control"), before - 2);
    EXPECT_EQ(count_changes(changes, pane, kPlatformControlCreated), 1);
    EXPECT_EQ(count_changes(changes, field, kPlatformControlDisposed), 1);
    EXPECT_EQ(count_changes(changes, pane, kPlatformControlDisposed), 1);
    EXPECT_EQ(EnableControl(field), errInvalidControl);
    EXPECT_EQ(GetControlEventTarget(pane), nullptr);
    ControlRef root = nullptr;
    GetRootControl(window_, &root);
    UInt16 count = 99;
    CountSubControls(root, &count);
    EXPECT_EQ(count, 0);
}

class ControlValueTest : public ToolboxTest {};

TEST_F(ControlValueTest, SliderValuesArePinnedToBothEnds) {
    ControlRef slider = make_slider(500, -100, 100);
    EXPECT_EQ(GetControl32BitValue(slider), 100);
    SetControl32BitValue(slider, -101);
    EXPECT_EQ(GetControl32BitValue(slider), -100);
    SetControl32BitValue(slider, 42);
    EXPECT_EQ(GetControl32BitValue(slider), 42);
}

TEST_F(ControlValueTest, MovingTheRangeBringsTheValueAlong) {
    ControlRef slider = make_slider(50, 0, 100);
    SetControl32BitMaximum(slider, 30);
    EXPECT_EQ(GetControl32BitValue(slider), 30);
    SetControl32BitMinimum(slider, 10);
    SetControl32BitValue(slider, 10);
    SetControl32BitMinimum(slider, 20);
    EXPECT_EQ(GetControl32BitValue(slider), 20);
    // A minimum above the maximum takes the maximum along, so the range stays whole.
    SetControl32BitMinimum(slider, 40);
    EXPECT_EQ(GetControl32BitMaximum(slider), 40);
    EXPECT_EQ(GetControl32BitValue(slider), 40);
}

TEST_F(ControlValueTest, EnablingAndDisablingKeepsTheValueAndContainersShowOnlyInTheEffectiveState) {
    ControlRef pane = make_user_pane();
    ControlRef box = make_check_box(1);
    EmbedControl(box, pane);
    ASSERT_EQ(DisableControl(box), noErr);
    EXPECT_FALSE(IsControlEnabled(box));
    EXPECT_EQ(GetControl32BitValue(box), 1);
    EnableControl(box);
    DisableControl(pane);
    EXPECT_TRUE(IsControlEnabled(box));
    EXPECT_FALSE(PlatformIsControlEffectivelyEnabled(box));
    EnableControl(pane);
    EXPECT_TRUE(PlatformIsControlEffectivelyEnabled(box));
    EXPECT_EQ(GetControl32BitValue(box), 1);
}

TEST_F(ControlValueTest, DrawingIsCountedPerControlAndReported) {
    std::vector<ObservedChange> changes;
    PlatformSetControlObserver(toolbox_test::record_change, &changes);
    ControlRef field = make_field();
    ControlRef other = make_field();
    Draw1Control(field);
    Draw1Control(field);
    EXPECT_EQ(PlatformGetControlDrawCount(field), 2u);
    EXPECT_EQ(PlatformGetControlDrawCount(other), 0u);
    EXPECT_EQ(count_changes(changes, field, kPlatformControlDrawn), 2);
}

class ControlDataTest : public ToolboxTest {};

TEST_F(ControlDataTest, GettingTheTextHandsTheCallerANewUnchangingString) {
    ControlRef field = make_field("123");
    const long live_before = PlatformLiveCFObjectCount();
    CFStringRef text = nullptr;
    ASSERT_EQ(GetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text, nullptr), noErr);
    EXPECT_EQ(PlatformLiveCFObjectCount(), live_before + 1);
    EXPECT_EQ(CFGetRetainCount(text), 1);
    set_text(field, "45");
    EXPECT_EQ(toolbox_test::utf8(text), "123");
    CFRelease(text);
    EXPECT_EQ(PlatformLiveCFObjectCount(), live_before);
}

TEST_F(ControlDataTest, SettingTheTextKeepsACopyAndPutsTheCaretAtTheEnd) {
    ControlRef field = make_field();
    CFMutableStringRef mutable_text = CFStringCreateMutable(nullptr, 0);
    CFStringAppendCString(mutable_text, "abc", kCFStringEncodingUTF8);
    CFStringRef ref = mutable_text;
    ASSERT_EQ(SetControlData(field, kControlLabelPart, kControlEditTextCFStringTag, sizeof ref, &ref), noErr);
    EXPECT_EQ(CFGetRetainCount(mutable_text), 1);
    CFStringAppendCString(mutable_text, "def", kCFStringEncodingUTF8);
    CFRelease(mutable_text);
    EXPECT_EQ(text_of(field), "abc");
    ControlEditTextSelectionRec selection = selection_of(field);
    EXPECT_EQ(selection.selStart, 3);
    EXPECT_EQ(selection.selEnd, 3);
}

TEST_F(ControlDataTest, SizesTagsAndPartsAreChecked) {
    ControlRef field = make_field("x");
    Rect bounds = {0, 0, 10, 10};
    ControlRef label = nullptr;
    OwnedString label_text("label");
    CreateStaticTextControl(window_, &bounds, label_text.get(), nullptr, &label);
    CFStringRef text = nullptr;

    EXPECT_EQ(GetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, 4, &text, nullptr), errDataSizeMismatch);
    EXPECT_EQ(GetControlData(field, kControlEntireControl, 'xxxx', sizeof text, &text, nullptr), errDataNotSupported);
    EXPECT_EQ(GetControlData(make_slider(0, 0, 1), kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text, nullptr),
              errDataNotSupported);
    ControlEditTextSelectionRec selection{};
    EXPECT_EQ(GetControlData(label, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection, &selection, nullptr),
              errDataNotSupported);
    EXPECT_EQ(GetControlData(field, kControlMenuPart, kControlEditTextCFStringTag, sizeof text, &text, nullptr), errInvalidPartCode);
    EXPECT_EQ(text, nullptr);
    for (ControlPartCode part : {kControlEntireControl, kControlLabelPart, kControlEditTextPart}) {
        ASSERT_EQ(GetControlData(label, part, kControlStaticTextCFStringTag, sizeof text, &text, nullptr), noErr);
        EXPECT_EQ(toolbox_test::utf8(text), "label");
        CFRelease(text);
    }
    Size size = 0;
    EXPECT_EQ(GetControlDataSize(field, kControlEntireControl, kControlEditTextSelectionTag, &size), noErr);
    EXPECT_EQ(size, static_cast<Size>(sizeof(ControlEditTextSelectionRec)));
}

TEST_F(ControlDataTest, SelectionsAreClampedToTheText) {
    ControlRef field = make_field("hello");
    ControlEditTextSelectionRec wanted{4, 99};
    ASSERT_EQ(SetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof wanted, &wanted), noErr);
    ControlEditTextSelectionRec selection = selection_of(field);
    EXPECT_EQ(selection.selStart, 4);
    EXPECT_EQ(selection.selEnd, 5);
}

TEST_F(ControlDataTest, GetControlDataFailsWithAnInjectedFault) {
    ControlRef field = make_field("x");
    PlatformInjectFault("GetControlData", 1, memFullErr);
    CFStringRef text = nullptr;
    EXPECT_EQ(GetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text, nullptr), memFullErr);
    EXPECT_EQ(text, nullptr);
}

class KeyboardFocusTest : public ToolboxTest {};

TEST_F(KeyboardFocusTest, OnlyEditTextTakesTheFocusAndDisposalClearsIt) {
    ControlRef field = make_field();
    ControlRef focused = nullptr;
    EXPECT_EQ(SetKeyboardFocus(window_, make_check_box(), kControlFocusNextPart), errControlDoesntSupportFocus);
    ASSERT_EQ(SetKeyboardFocus(window_, field, kControlFocusNextPart), noErr);
    GetKeyboardFocus(window_, &focused);
    EXPECT_EQ(focused, field);
    DisposeControl(field);
    GetKeyboardFocus(window_, &focused);
    EXPECT_EQ(focused, nullptr);
    EXPECT_EQ(PlatformPressKey(window_, 'a', false), errCouldntSetFocus);
}

}  // namespace
