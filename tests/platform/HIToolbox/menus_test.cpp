// The Menu Manager, and pop-up buttons that show a menu.
#include "toolbox_fixture.h"

namespace {

using toolbox_test::count_changes;
using toolbox_test::ObservedChange;
using toolbox_test::OwnedString;
using toolbox_test::ToolboxTest;

class MenuTest : public ToolboxTest {
protected:
    std::string item_text(MenuRef menu, MenuItemIndex item) {
        OwnedString text;
        EXPECT_EQ(CopyMenuItemTextAsCFString(menu, item, text.out()), noErr);
        return toolbox_test::utf8(text.get());
    }
};

TEST_F(MenuTest, ItemsAreAppendedRenamedAndDeleted) {
    MenuRef menu = make_menu({"Normal", "Hold"});
    OwnedString proof("Proof");
    MenuItemIndex added = 0;
    ASSERT_EQ(AppendMenuItemTextWithCFString(menu, proof.get(), 0, 'prf ', &added), noErr);
    EXPECT_EQ(added, 3);
    EXPECT_EQ(CountMenuItems(menu), 3);
    OwnedString renamed("Held (%s)");
    ASSERT_EQ(SetMenuItemTextWithCFString(menu, 2, renamed.get()), noErr);
    EXPECT_EQ(item_text(menu, 2), "Held (%s)");

    ASSERT_EQ(DeleteMenuItems(menu, 1, 1), noErr);
    EXPECT_EQ(CountMenuItems(menu), 2);
    EXPECT_EQ(item_text(menu, 1), "Held (%s)");
    EXPECT_EQ(item_text(menu, 2), "Proof");
    EXPECT_EQ(DeleteMenuItems(menu, 3, 1), menuItemNotFoundErr);
}

TEST_F(MenuTest, CopyingItemTextGivesANewStringAndRefusesIndexesOutsideTheItems) {
    MenuRef menu = make_menu({"One", "Two"});
    CFStringRef text = nullptr;
    ASSERT_EQ(CopyMenuItemTextAsCFString(menu, 2, &text), noErr);
    EXPECT_EQ(CFGetRetainCount(text), 1);
    CFRelease(text);
    text = nullptr;
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 0, &text), menuItemNotFoundErr);
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 3, &text), menuItemNotFoundErr);
    EXPECT_EQ(text, nullptr);
    PlatformInjectFault("CopyMenuItemTextAsCFString", 1, memFullErr);
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 1, &text), memFullErr);
    EXPECT_EQ(text, nullptr);
}

TEST_F(MenuTest, MarksAndEnabledStatesPerItemAndForTheWholeMenu) {
    MenuRef menu = make_menu({"A", "B"});
    CharParameter mark = 99;
    CheckMenuItem(menu, 2, true);
    GetItemMark(menu, 2, &mark);
    EXPECT_EQ(mark, kCheckCharCode);
    GetItemMark(menu, 1, &mark);
    EXPECT_EQ(mark, noMark);
    CheckMenuItem(menu, 2, false);
    GetItemMark(menu, 2, &mark);
    EXPECT_EQ(mark, noMark);

    DisableMenuItem(menu, 1);
    EXPECT_FALSE(IsMenuItemEnabled(menu, 1));
    EXPECT_TRUE(IsMenuItemEnabled(menu, 2));
    DisableMenuItem(menu, 0);
    EXPECT_FALSE(IsMenuItemEnabled(menu, 0));
    EnableMenuItem(menu, 0);
    EnableMenuItem(menu, 1);
    EXPECT_TRUE(IsMenuItemEnabled(menu, 0));
    EXPECT_TRUE(IsMenuItemEnabled(menu, 1));
}

TEST_F(MenuTest, MenusAreReferenceCountedAndAPopupHoldsOneReference) {
    MenuRef menu = nullptr;
    ASSERT_EQ(CreateNewMenu(5, 0, &menu), noErr);
    const long menus = PlatformLiveObjectCount("menu");
    ControlRef popup = make_popup(menu);
    ReleaseMenu(menu);
    EXPECT_EQ(PlatformLiveObjectCount("menu"), menus);
    EXPECT_EQ(GetControlPopupMenuHandle(popup), menu);
    DisposeControl(popup);
    EXPECT_EQ(PlatformLiveObjectCount("menu"), menus - 1);
    EXPECT_EQ(RetainMenu(menu), menuInvalidErr);
    EXPECT_EQ(GetControlPopupMenuHandle(make_field()), nullptr);
}

class PopupTest : public ToolboxTest {};

TEST_F(PopupTest, ItemChangesOtherThanAddingOrRemovingLeaveTheValue) {
    MenuRef menu = make_menu({"Normal", "Hold", "Proof", "Private"});
    ControlRef popup = make_popup(menu);
    SetControl32BitValue(popup, 3);
    OwnedString renamed("Proof copy");
    SetMenuItemTextWithCFString(menu, 3, renamed.get());
    CheckMenuItem(menu, 3, false);
    CheckMenuItem(menu, 1, true);
    DisableMenuItem(menu, 3);
    DisableMenuItem(menu, 0);
    EXPECT_EQ(GetControl32BitValue(popup), 3);
}

TEST_F(PopupTest, TheRangeFollowsTheItemCountAndPinsTheValue) {
    MenuRef menu = make_menu({"A", "B", "C"});
    ControlRef popup = make_popup(menu);
    EXPECT_EQ(GetControl32BitMinimum(popup), 1);
    EXPECT_EQ(GetControl32BitMaximum(popup), 3);
    SetControl32BitValue(popup, 0);
    EXPECT_EQ(GetControl32BitValue(popup), 1);
    SetControl32BitValue(popup, 7);
    EXPECT_EQ(GetControl32BitValue(popup), 3);

    DeleteMenuItems(menu, 2, 2);
    EXPECT_EQ(GetControl32BitMaximum(popup), 1);
    EXPECT_EQ(GetControl32BitValue(popup), 1);
    OwnedString more("D");
    AppendMenuItemTextWithCFString(menu, more.get(), 0, 0, nullptr);
    AppendMenuItemTextWithCFString(menu, more.get(), 0, 0, nullptr);
    EXPECT_EQ(GetControl32BitMaximum(popup), 3);
    SetControl32BitValue(popup, 3);
    EXPECT_EQ(GetControl32BitValue(popup), 3);
}

TEST_F(PopupTest, MenuChangesAreToldForEachPopupShowingTheMenu) {
    MenuRef shown = make_menu({"A", "B"});
    MenuRef other = make_menu({"X"});
    ControlRef first = make_popup(shown);
    ControlRef second = make_popup(shown);
    ControlRef unrelated = make_popup(other);
    std::vector<ObservedChange> changes;
    PlatformSetControlObserver(toolbox_test::record_change, &changes);
    DisableMenuItem(shown, 2);
    CheckMenuItem(shown, 1, true);
    EXPECT_EQ(count_changes(changes, first, kPlatformControlMenuChanged), 2);
    EXPECT_EQ(count_changes(changes, second, kPlatformControlMenuChanged), 2);
    EXPECT_EQ(count_changes(changes, unrelated, kPlatformControlMenuChanged), 0);
}

TEST_F(PopupTest, TheOwnedMenuTagTakesOverTheCallersReference) {
    MenuRef menu = nullptr;
    CreateNewMenu(9, 0, &menu);
    ControlRef popup = make_popup(nullptr);
    EXPECT_EQ(GetControl32BitMaximum(popup), 0);
    ASSERT_EQ(SetControlData(popup, kControlEntireControl, kControlPopupButtonOwnedMenuRefTag, sizeof menu, &menu), noErr);
    MenuRef held = nullptr;
    ASSERT_EQ(GetControlData(popup, kControlEntireControl, kControlPopupButtonMenuRefTag, sizeof held, &held, nullptr), noErr);
    EXPECT_EQ(held, menu);
    // No ReleaseMenu here: disposal of the popup (with its window) frees the menu, as the fixture checks.
}

}  // namespace
