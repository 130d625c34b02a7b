/* The Menu Manager: menus of items with text, enabled state and a check mark. */
#ifndef __HITOOLBOX_MENUS__
#define __HITOOLBOX_MENUS__

#include <HIToolbox/HIToolboxTypes.h>

CF_EXTERN_C_BEGIN

enum { noMark = 0, kCheckCharCode = 18 };

CF_EXPORT OSStatus CreateNewMenu(MenuID inMenuID, MenuAttributes inMenuAttributes, MenuRef *outMenuRef);
CF_EXPORT OSStatus RetainMenu(MenuRef inMenu);
CF_EXPORT OSStatus ReleaseMenu(MenuRef inMenu);
CF_EXPORT void DisposeMenu(MenuRef theMenu);
CF_EXPORT UInt16 CountMenuItems(MenuRef theMenu);
CF_EXPORT OSStatus CopyMenuItemTextAsCFString(MenuRef inMenu, MenuItemIndex inItem, CFStringRef *outString);
CF_EXPORT OSStatus SetMenuItemTextWithCFString(MenuRef inMenu, MenuItemIndex inItem, CFStringRef inString);
CF_EXPORT OSStatus AppendMenuItemTextWithCFString(MenuRef inMenu, CFStringRef inString, MenuItemAttributes inAttributes, MenuCommand inCommandID, MenuItemIndex *outNewItem);
CF_EXPORT OSStatus DeleteMenuItems(MenuRef inMenu, MenuItemIndex inFirstItem, ItemCount inNumItems);
CF_EXPORT void CheckMenuItem(MenuRef theMenu, MenuItemIndex item, Boolean checked);
CF_EXPORT void GetItemMark(MenuRef theMenu, MenuItemIndex item, CharParameter *markChar);
CF_EXPORT void SetItemMark(MenuRef theMenu, MenuItemIndex item, CharParameter markChar);
/* Item 0 means the whole menu. */
CF_EXPORT void EnableMenuItem(MenuRef theMenu, MenuItemIndex item);
CF_EXPORT void DisableMenuItem(MenuRef theMenu, MenuItemIndex item);
CF_EXPORT Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex item);

CF_EXTERN_C_END

#endif
