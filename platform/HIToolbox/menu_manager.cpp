// The Menu Manager's C interface. Every change to a menu is told to the popups that show it.
#include "control.h"
#include "menu.h"
#include "toolbox_strings.h"

#include "support/faults.h"

#include <utility>

using hitoolbox::Control;
using hitoolbox::Menu;
using hitoolbox::MenuItem;

namespace {

// kMenuItemAttrDisabled: the item starts disabled.
constexpr MenuItemAttributes kItemStartsDisabled = 1 << 0;

enum class MenuChange { item_state, item_count };

// Tells each popup showing the menu; when items came or went, its range follows them first.
// A popup that an observer disposes of on the way is skipped.
void tell_popups(const Menu &menu, MenuChange change) {
    for (Control *popup : Control::popups_showing(menu)) {
        if (Control::from_ref(popup->control_ref()) == nullptr) continue;
        if (change == MenuChange::item_count) popup->follow_menu_items();
        popup->notify(kPlatformControlMenuChanged);
    }
}

OSStatus menu_status(MenuRef ref, Menu *&menu) {
    menu = Menu::from_ref(ref);
    if (menu != nullptr) return noErr;
    return ref == nullptr ? OSStatus{paramErr} : OSStatus{menuInvalidErr};
}

}  // namespace

extern "C" {

// Partial: the menu ID and attributes are kept but change nothing.
OSStatus CreateNewMenu(MenuID inMenuID, MenuAttributes inMenuAttributes, MenuRef *outMenuRef) {
    if (outMenuRef == nullptr) return paramErr;
    *outMenuRef = Menu::create(inMenuID, inMenuAttributes).menu_ref();
    return noErr;
}

OSStatus RetainMenu(MenuRef inMenu) {
    Menu *menu;
    if (OSStatus status = menu_status(inMenu, menu); status != noErr) return status;
    menu->retain();
    return noErr;
}

OSStatus ReleaseMenu(MenuRef inMenu) {
    Menu *menu;
    if (OSStatus status = menu_status(inMenu, menu); status != noErr) return status;
    menu->release();
    return noErr;
}

void DisposeMenu(MenuRef theMenu) { ReleaseMenu(theMenu); }

UInt16 CountMenuItems(MenuRef theMenu) {
    Menu *menu = Menu::from_ref(theMenu);
    return menu != nullptr ? static_cast<UInt16>(menu->item_count()) : 0;
}

// The caller owns the copy of the item's text.
OSStatus CopyMenuItemTextAsCFString(MenuRef inMenu, MenuItemIndex inItem, CFStringRef *outString) {
    if (auto fault = platform::faults::consume("CopyMenuItemTextAsCFString")) return *fault;
    Menu *menu;
    if (OSStatus status = menu_status(inMenu, menu); status != noErr) return status;
    if (outString == nullptr) return paramErr;
    MenuItem *item = menu->item(inItem);
    if (item == nullptr) return menuItemNotFoundErr;
    *outString = hitoolbox::create_string_copy(item->text);
    return noErr;
}

OSStatus SetMenuItemTextWithCFString(MenuRef inMenu, MenuItemIndex inItem, CFStringRef inString) {
    Menu *menu;
    if (OSStatus status = menu_status(inMenu, menu); status != noErr) return status;
    MenuItem *item = menu->item(inItem);
    if (item == nullptr) return menuItemNotFoundErr;
    auto text = hitoolbox::characters_of_string(inString);
    if (!text) return paramErr;
    item->text = std::move(*text);
    tell_popups(*menu, MenuChange::item_state);
    return noErr;
}

// The text is taken as it is: no character has a special meaning.
// Partial: of the item attributes only kMenuItemAttrDisabled counts; the others are ignored.
OSStatus AppendMenuItemTextWithCFString(MenuRef inMenu, CFStringRef inString, MenuItemAttributes inAttributes,
                                        MenuCommand inCommandID, MenuItemIndex *outNewItem) {
    Menu *menu;
    if (OSStatus status = menu_status(inMenu, menu); status != noErr) return status;
    auto text = hitoolbox::characters_of_string(inString);
    if (!text) return paramErr;
    menu->append(MenuItem{std::move(*text), inCommandID, (inAttributes & kItemStartsDisabled) == 0, noMark});
    if (outNewItem != nullptr) *outNewItem = static_cast<MenuItemIndex>(menu->item_count());
    tell_popups(*menu, MenuChange::item_count);
    return noErr;
}

// Removes inNumItems items from inFirstItem on, or as many as there are.
OSStatus DeleteMenuItems(MenuRef inMenu, MenuItemIndex inFirstItem, ItemCount inNumItems) {
    Menu *menu;
    if (OSStatus status = menu_status(inMenu, menu); status != noErr) return status;
    if (!menu->erase(inFirstItem, inNumItems)) return menuItemNotFoundErr;
    tell_popups(*menu, MenuChange::item_count);
    return noErr;
}

void CheckMenuItem(MenuRef theMenu, MenuItemIndex item, Boolean checked) {
    SetItemMark(theMenu, item, checked ? CharParameter{kCheckCharCode} : CharParameter{noMark});
}

// noMark for an item that does not exist.
void GetItemMark(MenuRef theMenu, MenuItemIndex item, CharParameter *markChar) {
    if (markChar == nullptr) return;
    Menu *menu = Menu::from_ref(theMenu);
    MenuItem *found = menu != nullptr ? menu->item(item) : nullptr;
    *markChar = found != nullptr ? found->mark : CharParameter{noMark};
}

void SetItemMark(MenuRef theMenu, MenuItemIndex item, CharParameter markChar) {
    Menu *menu = Menu::from_ref(theMenu);
    MenuItem *found = menu != nullptr ? menu->item(item) : nullptr;
    if (found == nullptr) return;
    found->mark = markChar;
    tell_popups(*menu, MenuChange::item_state);
}

}  // extern "C"

namespace {

// Item 0 stands for the whole menu.
void set_item_enabled(MenuRef theMenu, MenuItemIndex item, bool enabled) {
    Menu *menu = Menu::from_ref(theMenu);
    if (menu == nullptr) return;
    if (item == 0) {
        menu->set_enabled(enabled);
    } else if (MenuItem *found = menu->item(item)) {
        found->enabled = enabled;
    } else {
        return;
    }
    tell_popups(*menu, MenuChange::item_state);
}

}  // namespace

extern "C" {

void EnableMenuItem(MenuRef theMenu, MenuItemIndex item) { set_item_enabled(theMenu, item, true); }

void DisableMenuItem(MenuRef theMenu, MenuItemIndex item) { set_item_enabled(theMenu, item, false); }

// For item 0, the whole menu's state; otherwise the item's own.
Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex item) {
    Menu *found = Menu::from_ref(menu);
    if (found == nullptr) return false;
    if (item == 0) return found->enabled();
    MenuItem *entry = found->item(item);
    return entry != nullptr && entry->enabled;
}

}  // extern "C"
