// A menu: reference counted, with items that have text, a command, an enabled state and a mark.
#pragma once

#include "support/live_count.h"

#include <HIToolbox/Menus.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace hitoolbox {

inline constexpr char kMenuKind[] = "menu";

struct MenuItem {
    std::u16string text;
    MenuCommand command = 0;
    bool enabled = true;
    CharParameter mark = noMark;
};

class Menu final : platform::live::Counted<kMenuKind> {
public:
    // A new menu with one reference, owned by the live-menu registry.
    static Menu &create(MenuID id, MenuAttributes attributes);
    // The live menu behind ref, or nullptr for NULL and freed menus.
    static Menu *from_ref(MenuRef ref);

    Menu(MenuID id, MenuAttributes attributes);
    Menu(const Menu &) = delete;
    Menu &operator=(const Menu &) = delete;

    MenuRef menu_ref() { return reinterpret_cast<MenuRef>(this); }
    MenuID id() const { return id_; }

    void retain() { ++references_; }
    // Drops one reference; the last one frees the menu, so it must not be used afterwards.
    void release();
    long retain_count() const { return references_; }

    std::size_t item_count() const { return items_.size(); }
    // The item at a 1-based index, or nullptr outside 1 to the count.
    MenuItem *item(MenuItemIndex index);
    void append(MenuItem item) { items_.push_back(std::move(item)); }
    // Removes up to count items from the 1-based first one; false when first is not an item.
    bool erase(MenuItemIndex first, std::size_t count);

    // The state of the whole menu (item 0).
    bool enabled() const { return enabled_; }
    void set_enabled(bool enabled) { enabled_ = enabled; }

private:
    MenuID id_;
    MenuAttributes attributes_;
    long references_ = 1;
    bool enabled_ = true;
    std::vector<MenuItem> items_;
};

// Holds one reference to a menu for as long as it lives (a popup's menu).
class MenuReference {
public:
    MenuReference() = default;
    MenuReference(const MenuReference &other) : menu_(other.menu_) { if (menu_) menu_->retain(); }
    MenuReference(MenuReference &&other) noexcept : menu_(std::exchange(other.menu_, nullptr)) {}
    MenuReference &operator=(MenuReference other) noexcept { std::swap(menu_, other.menu_); return *this; }
    ~MenuReference() { if (menu_) menu_->release(); }

    // Takes over a reference the caller owns.
    static MenuReference adopt(Menu *menu) { MenuReference holder; holder.menu_ = menu; return holder; }
    // Adds a reference of its own.
    static MenuReference retain(Menu *menu) { if (menu) menu->retain(); return adopt(menu); }

    Menu *get() const { return menu_; }

private:
    Menu *menu_ = nullptr;
};

}  // namespace hitoolbox
