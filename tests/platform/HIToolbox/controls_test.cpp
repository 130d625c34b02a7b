// The Control Manager: the control tree of a window, values, control data, state and focus.
#include "toolbox_fixture.h"

namespace {

using toolbox_test::count_changes;
using toolbox_test::ObservedChange;
using toolbox_test::text_of;
using toolbox_test::ToolboxTest;

constexpr OSType kSignature = 'qel ';

class ControlTreeTest : public ToolboxTest {};

TEST_F(ControlTreeTest, GetControlByIDFindsEmbeddedControlsAndNeedsBothParts) {
    ControlRef outer = make_user_pane();
    ControlRef inner = make_user_pane();
    ControlRef field = make_field();
    ASSERT_EQ(noErr, EmbedControl(inner, outer));
    ASSERT_EQ(noErr, EmbedControl(field, inner));
    ControlID id{kSignature, 6};
    ASSERT_EQ(noErr, SetControlID(field, &id));

    ControlRef found = nullptr;
    EXPECT_EQ(noErr, GetControlByID(window_, &id, &found));
    EXPECT_EQ(found, field);

    ControlID other_signature{'xxxx', 6};
    ControlID other_number{kSignature, 7};
    EXPECT_EQ(GetControlByID(window_, &other_signature, &found), errUnknownControl);
    EXPECT_EQ(-30584, GetControlByID(window_, &other_number, &found));
    EXPECT_EQ(GetControlByID(make_window(), &id, &found), errUnknownControl);
}

TEST_F(ControlTreeTest, GetControlByIDFailsWithAnInjectedFault) {
    ControlRef pane = make_user_pane();
    ControlID id{kSignature, 1};
    SetControlID(pane, &id);
    PlatformInjectFault("GetControlByID", 1, memFullErr);
    ControlRef found = nullptr;
    EXPECT_EQ(memFullErr, GetControlByID(window_, &id, &found));
    EXPECT_EQ(nullptr, found);
    EXPECT_EQ(noErr, GetControlByID(window_, &id, &found));
    EXPECT_EQ(found, pane);
}

TEST_F(ControlTreeTest, EveryCreatorPutsItsKindInTheRoot) {
    Rect bounds = {1, 2, 3, 4};
    ControlRef root = nullptr;
    ASSERT_EQ(noErr, GetRootControl(window_, &root));
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
    ASSERT_EQ(noErr, CountSubControls(root, &count));
    EXPECT_EQ(count, made.size());
    for (std::size_t index = 0; index < made.size(); ++index) {
        ControlKind kind{};
        ASSERT_EQ(noErr, GetControlKind(made[index].first, &kind));
        EXPECT_EQ(kControlKindSignatureApple, kind.signature);
        EXPECT_EQ(kind.kind, made[index].second);
        ControlRef child = nullptr;
        EXPECT_EQ(noErr, GetIndexedSubControl(root, static_cast<UInt16>(index + 1), &child));
        EXPECT_EQ(child, made[index].first);
        EXPECT_EQ(GetControlOwner(child), window_);
    }
    EXPECT_EQ(paramErr, CreateUserPaneControl(nullptr, &bounds, 0, &control));
    ControlKind root_kind{};
    GetControlKind(root, &root_kind);
    EXPECT_EQ(kControlKindRoot, root_kind.kind);
}

TEST_F(ControlTreeTest, EmbeddingRefusesNonEmbeddersSelfAndRoot) {
    ControlRef outer = make_user_pane();
    ControlRef inner = make_user_pane();
    ControlRef check_box = make_check_box();
    ControlRef root = nullptr;
    GetRootControl(window_, &root);
    ASSERT_EQ(noErr, EmbedControl(inner, outer));

    EXPECT_EQ(EmbedControl(make_field(), check_box), errControlIsNotEmbedder);
    EXPECT_EQ(EmbedControl(outer, outer), errCantEmbedIntoSelf);
    EXPECT_EQ(EmbedControl(outer, inner), errCantEmbedIntoSelf);
    EXPECT_EQ(EmbedControl(root, outer), errCantEmbedRoot);
    ControlRef container = nullptr;
    EXPECT_EQ(noErr, GetSuperControl(inner, &container));
    EXPECT_EQ(container, outer);
    EXPECT_NE(GetSuperControl(root, &container), noErr);

    PlatformInjectFault("EmbedControl", 1, paramErr);
    EXPECT_EQ(paramErr, EmbedControl(check_box, outer));
    EXPECT_EQ(noErr, GetSuperControl(check_box, &container));
    EXPECT_EQ(container, root);
}

// This layer's choice: the old reference refuses embedding across windows; later systems move the
// control, as here, and the panes rely on that.
TEST_F(ControlTreeTest, EmbeddingMovesASubtreeToAnotherWindowAndItsDisposalSparesIt) {
    WindowRef nib_window = make_window();
    ControlRef dialog_pane = make_user_pane({50, 20, 450, 520});
    ControlRef container = make_user_pane({0, 0, 300, 400}, nib_window);
    ControlRef field = make_field("12", nib_window);
    ControlRef left_behind = make_field("x", nib_window);
    ASSERT_EQ(noErr, EmbedControl(field, container));
    Rect moved_bounds = {60, 30, 360, 430};
    SetControlBounds(container, &moved_bounds);

    const long controls_before_move = PlatformLiveObjectCount("control");
    ASSERT_EQ(noErr, EmbedControl(container, dialog_pane));
    EXPECT_EQ(GetControlOwner(container), window_);
    EXPECT_EQ(GetControlOwner(field), window_);
    Rect bounds;
    EXPECT_TRUE(EqualRect(GetControlBounds(container, &bounds), &moved_bounds));

    DisposeWindow(nib_window);
    forget_window(nib_window);
    // The nib window's root and the field left in it go; the moved pane and its field stay.
    EXPECT_EQ(PlatformLiveObjectCount("control"), controls_before_move - 2);
    EXPECT_EQ("12", text_of(field));
    EXPECT_FALSE(IsControlEnabled(left_behind));
    EXPECT_EQ(nullptr, GetControlOwner(left_behind));
    ControlID id{kSignature, 1};
    SetControlID(container, &id);
    ControlRef found = nullptr;
    EXPECT_EQ(noErr, GetControlByID(window_, &id, &found));
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
    EXPECT_EQ(1, count_changes(changes, pane, kPlatformControlCreated));
    EXPECT_EQ(1, count_changes(changes, field, kPlatformControlDisposed));
    EXPECT_EQ(1, count_changes(changes, pane, kPlatformControlDisposed));
    EXPECT_EQ(EnableControl(field), errInvalidControl);
    EXPECT_EQ(nullptr, GetControlEventTarget(pane));
    ControlRef root = nullptr;
    GetRootControl(window_, &root);
    UInt16 count = 99;
    CountSubControls(root, &count);
    EXPECT_EQ(0, count);
}

class ControlValueTest : public ToolboxTest {};

TEST_F(ControlValueTest, SliderValuesArePinnedToBothEnds) {
    ControlRef slider = make_slider(500, -100, 100);
    EXPECT_EQ(100, GetControl32BitValue(slider));
    SetControl32BitValue(slider, -101);
    EXPECT_EQ(-100, GetControl32BitValue(slider));
    SetControl32BitValue(slider, 42);
    EXPECT_EQ(42, GetControl32BitValue(slider));
}

TEST_F(ControlValueTest, MovingTheRangeBringsTheValueAlong) {
    ControlRef slider = make_slider(50, 0, 100);
    SetControl32BitMaximum(slider, 30);
    EXPECT_EQ(30, GetControl32BitValue(slider));
    SetControl32BitMinimum(slider, 10);
    SetControl32BitValue(slider, 10);
    SetControl32BitMinimum(slider, 20);
    EXPECT_EQ(20, GetControl32BitValue(slider));
    // A minimum above the maximum takes the maximum along, so the range stays whole.
    SetControl32BitMinimum(slider, 40);
    EXPECT_EQ(40, GetControl32BitMaximum(slider));
    EXPECT_EQ(40, GetControl32BitValue(slider));
}

TEST_F(ControlValueTest, EnablingAndDisablingKeepsTheValueAndContainersShowOnlyInTheEffectiveState) {
    ControlRef pane = make_user_pane();
    ControlRef box = make_check_box(1);
    EmbedControl(box, pane);
    ASSERT_EQ(noErr, DisableControl(box));
    EXPECT_FALSE(IsControlEnabled(box));
    EXPECT_EQ(1, GetControl32BitValue(box));
    EnableControl(box);
    DisableControl(pane);
    EXPECT_TRUE(IsControlEnabled(box));
    EXPECT_FALSE(PlatformIsControlEffectivelyEnabled(box));
    EnableControl(pane);
    EXPECT_TRUE(PlatformIsControlEffectivelyEnabled(box));
    EXPECT_EQ(1, GetControl32BitValue(box));
}

TEST_F(ControlValueTest, DrawingIsCountedPerControlAndReported) {
    std::vector<ObservedChange> changes;
    PlatformSetControlObserver(toolbox_test::record_change, &changes);
    ControlRef field = make_field();
    ControlRef other = make_field();
    Draw1Control(field);
    Draw1Control(field);
    EXPECT_EQ(2u, PlatformGetControlDrawCount(field));
    EXPECT_EQ(0u, PlatformGetControlDrawCount(other));
    EXPECT_EQ(2, count_changes(changes, field, kPlatformControlDrawn));
}

class ControlDataTest : public ToolboxTest {};

TEST_F(ControlDataTest, GettingTheTextHandsTheCallerANewUnchangingString) {
    ControlRef field = make_field("123");
    const long live_before = PlatformLiveCFObjectCount();
    CFStringRef text = nullptr;
    ASSERT_EQ(noErr, GetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text, nullptr));
    EXPECT_EQ(PlatformLiveCFObjectCount(), live_before + 1);
    EXPECT_EQ(1, CFGetRetainCount(text));
    set_text(field, "45");
    EXPECT_EQ("123", cf::utf8(text));
    CFRelease(text);
    EXPECT_EQ(PlatformLiveCFObjectCount(), live_before);
}

TEST_F(ControlDataTest, SettingTheTextKeepsACopyAndPutsTheCaretAtTheEnd) {
    ControlRef field = make_field();
    CFMutableStringRef mutable_text = CFStringCreateMutable(nullptr, 0);
    CFStringAppendCString(mutable_text, "abc", kCFStringEncodingUTF8);
    CFStringRef ref = mutable_text;
    ASSERT_EQ(noErr, SetControlData(field, kControlLabelPart, kControlEditTextCFStringTag, sizeof ref, &ref));
    EXPECT_EQ(1, CFGetRetainCount(mutable_text));
    CFStringAppendCString(mutable_text, "def", kCFStringEncodingUTF8);
    CFRelease(mutable_text);
    EXPECT_EQ("abc", text_of(field));
    ControlEditTextSelectionRec selection = selection_of(field);
    EXPECT_EQ(3, selection.selStart);
    EXPECT_EQ(3, selection.selEnd);
}

TEST_F(ControlDataTest, SizesTagsAndPartsAreChecked) {
    ControlRef field = make_field("x");
    Rect bounds = {0, 0, 10, 10};
    ControlRef label = nullptr;
    auto label_text = cf::string("label");
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
    EXPECT_EQ(nullptr, text);
    for (ControlPartCode part : {kControlEntireControl, kControlLabelPart, kControlEditTextPart}) {
        ASSERT_EQ(noErr, GetControlData(label, part, kControlStaticTextCFStringTag, sizeof text, &text, nullptr));
        EXPECT_EQ("label", cf::utf8(text));
        CFRelease(text);
    }
    Size size = 0;
    EXPECT_EQ(noErr, GetControlDataSize(field, kControlEntireControl, kControlEditTextSelectionTag, &size));
    EXPECT_EQ(size, static_cast<Size>(sizeof(ControlEditTextSelectionRec)));
}

TEST_F(ControlDataTest, SelectionsAreClampedToTheText) {
    ControlRef field = make_field("hello");
    ControlEditTextSelectionRec wanted{4, 99};
    ASSERT_EQ(noErr, SetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof wanted, &wanted));
    ControlEditTextSelectionRec selection = selection_of(field);
    EXPECT_EQ(4, selection.selStart);
    EXPECT_EQ(5, selection.selEnd);
}

TEST_F(ControlDataTest, GetControlDataFailsWithAnInjectedFault) {
    ControlRef field = make_field("x");
    PlatformInjectFault("GetControlData", 1, memFullErr);
    CFStringRef text = nullptr;
    EXPECT_EQ(memFullErr, GetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text, nullptr));
    EXPECT_EQ(nullptr, text);
}

class KeyboardFocusTest : public ToolboxTest {};

TEST_F(KeyboardFocusTest, OnlyEditTextTakesTheFocusAndDisposalClearsIt) {
    ControlRef field = make_field();
    ControlRef focused = nullptr;
    EXPECT_EQ(SetKeyboardFocus(window_, make_check_box(), kControlFocusNextPart), errControlDoesntSupportFocus);
    ASSERT_EQ(noErr, SetKeyboardFocus(window_, field, kControlFocusNextPart));
    GetKeyboardFocus(window_, &focused);
    EXPECT_EQ(focused, field);
    DisposeControl(field);
    GetKeyboardFocus(window_, &focused);
    EXPECT_EQ(nullptr, focused);
    EXPECT_EQ(PlatformPressKey(window_, 'a', false), errCouldntSetFocus);
}

}  // namespace
