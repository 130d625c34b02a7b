// The Menu Manager, and pop-up buttons that show a menu.
#include "toolbox_fixture.h"

namespace {

using toolbox_test::count_changes;
using toolbox_test::ObservedChange;
using toolbox_test::ToolboxTest;

class MenuTest : public ToolboxTest {
protected:
    std::string item_text(MenuRef menu, MenuItemIndex item) {
        CFStringRef text = nullptr;
        EXPECT_EQ(noErr, CopyMenuItemTextAsCFString(menu, item, &text));
        return text ? cf::adopt_utf8(text) : "<null>";
    }
};

TEST_F(MenuTest, ItemsAreAppendedRenamedAndDeleted) {
    MenuRef menu = make_menu({"Normal", "Hold"});
    auto proof = cf::string("Proof");
    MenuItemIndex added = 0;
    ASSERT_EQ(noErr, AppendMenuItemTextWithCFString(menu, proof.get(), 0, 'prf ', &added));
    EXPECT_EQ(3, added);
    EXPECT_EQ(3, CountMenuItems(menu));
    auto renamed = cf::string("Held (%s)");
    ASSERT_EQ(noErr, SetMenuItemTextWithCFString(menu, 2, renamed.get()));
    EXPECT_EQ("Held (%s)", item_text(menu, 2));

    ASSERT_EQ(noErr, DeleteMenuItems(menu, 1, 1));
    EXPECT_EQ(2, CountMenuItems(menu));
    EXPECT_EQ("Held (%s)", item_text(menu, 1));
    EXPECT_EQ("Proof", item_text(menu, 2));
    EXPECT_EQ(menuItemNotFoundErr, DeleteMenuItems(menu, 3, 1));
}

TEST_F(MenuTest, CopyingItemTextGivesANewStringAndRefusesIndexesOutsideTheItems) {
    MenuRef menu = make_menu({"One", "Two"});
    CFStringRef text = nullptr;
    ASSERT_EQ(noErr, CopyMenuItemTextAsCFString(menu, 2, &text));
    EXPECT_EQ(1, CFGetRetainCount(text));
    CFRelease(text);
    text = nullptr;
    EXPECT_EQ(menuItemNotFoundErr, CopyMenuItemTextAsCFString(menu, 0, &text));
    EXPECT_EQ(menuItemNotFoundErr, CopyMenuItemTextAsCFString(menu, 3, &text));
    EXPECT_EQ(nullptr, text);
    PlatformInjectFault("CopyMenuItemTextAsCFString", 1, memFullErr);
    EXPECT_EQ(memFullErr, CopyMenuItemTextAsCFString(menu, 1, &text));
    EXPECT_EQ(nullptr, text);
}

TEST_F(MenuTest, MarksAndEnabledStatesPerItemAndForTheWholeMenu) {
    MenuRef menu = make_menu({"A", "B"});
    CharParameter mark = 99;
    CheckMenuItem(menu, 2, true);
    GetItemMark(menu, 2, &mark);
    EXPECT_EQ(kCheckCharCode, mark);
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
    ASSERT_EQ(noErr, CreateNewMenu(5, 0, &menu));
    const long menus = PlatformLiveObjectCount("menu");
    ControlRef popup = make_popup(menu);
    ReleaseMenu(menu);
    EXPECT_EQ(PlatformLiveObjectCount("menu"), menus);
    EXPECT_EQ(GetControlPopupMenuHandle(popup), menu);
    DisposeControl(popup);
    EXPECT_EQ(PlatformLiveObjectCount("menu"), menus - 1);
    EXPECT_EQ(menuInvalidErr, RetainMenu(menu));
    EXPECT_EQ(nullptr, GetControlPopupMenuHandle(make_field()));
}

class PopupTest : public ToolboxTest {};

TEST_F(PopupTest, ItemChangesOtherThanAddingOrRemovingLeaveTheValue) {
    MenuRef menu = make_menu({"Normal", "Hold", "Proof", "Private"});
    ControlRef popup = make_popup(menu);
    SetControl32BitValue(popup, 3);
    auto renamed = cf::string("Proof copy");
    SetMenuItemTextWithCFString(menu, 3, renamed.get());
    CheckMenuItem(menu, 3, false);
    CheckMenuItem(menu, 1, true);
    DisableMenuItem(menu, 3);
    DisableMenuItem(menu, 0);
    EXPECT_EQ(3, GetControl32BitValue(popup));
}

TEST_F(PopupTest, TheRangeFollowsTheItemCountAndPinsTheValue) {
    MenuRef menu = make_menu({"A", "B", "C"});
    ControlRef popup = make_popup(menu);
    EXPECT_EQ(1, GetControl32BitMinimum(popup));
    EXPECT_EQ(3, GetControl32BitMaximum(popup));
    SetControl32BitValue(popup, 0);
    EXPECT_EQ(1, GetControl32BitValue(popup));
    SetControl32BitValue(popup, 7);
    EXPECT_EQ(3, GetControl32BitValue(popup));

    DeleteMenuItems(menu, 2, 2);
    EXPECT_EQ(1, GetControl32BitMaximum(popup));
    EXPECT_EQ(1, GetControl32BitValue(popup));
    auto more = cf::string("D");
    AppendMenuItemTextWithCFString(menu, more.get(), 0, 0, nullptr);
    AppendMenuItemTextWithCFString(menu, more.get(), 0, 0, nullptr);
    EXPECT_EQ(3, GetControl32BitMaximum(popup));
    SetControl32BitValue(popup, 3);
    EXPECT_EQ(3, GetControl32BitValue(popup));
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
    EXPECT_EQ(2, count_changes(changes, first, kPlatformControlMenuChanged));
    EXPECT_EQ(2, count_changes(changes, second, kPlatformControlMenuChanged));
    EXPECT_EQ(0, count_changes(changes, unrelated, kPlatformControlMenuChanged));
}

TEST_F(PopupTest, TheOwnedMenuTagTakesOverTheCallersReference) {
    MenuRef menu = nullptr;
    CreateNewMenu(9, 0, &menu);
    ControlRef popup = make_popup(nullptr);
    EXPECT_EQ(0, GetControl32BitMaximum(popup));
    ASSERT_EQ(noErr, SetControlData(popup, kControlEntireControl, kControlPopupButtonOwnedMenuRefTag, sizeof menu, &menu));
    MenuRef held = nullptr;
    ASSERT_EQ(noErr, GetControlData(popup, kControlEntireControl, kControlPopupButtonMenuRefTag, sizeof held, &held, nullptr));
    EXPECT_EQ(held, menu);
    // No ReleaseMenu here: disposal of the popup (with its window) frees the menu, as the fixture checks.
}

}  // namespace
