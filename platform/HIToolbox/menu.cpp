// Menus and the registry of live menus behind MenuRef.
#include "menu.h"

#include <memory>
#include <unordered_map>

namespace hitoolbox {
namespace {

// Every live menu, owned here, so that a freed MenuRef is recognised instead of used.
std::unordered_map<const Menu *, std::unique_ptr<Menu>> &live_menus() {
    static auto *menus = new std::unordered_map<const Menu *, std::unique_ptr<Menu>>();  // outlives static destructors
    return *menus;
}

}  // namespace

Menu::Menu(MenuID id, MenuAttributes attributes) : id_(id), attributes_(attributes) {}

Menu &Menu::create(MenuID id, MenuAttributes attributes) {
    auto menu = std::make_unique<Menu>(id, attributes);
    Menu &made = *menu;
    live_menus().emplace(&made, std::move(menu));
    return made;
}

// Looks the reference up among the live menus; never dereferences a stale one.
Menu *Menu::from_ref(MenuRef ref) {
    if (ref == nullptr) return nullptr;
    auto found = live_menus().find(reinterpret_cast<const Menu *>(ref));
    return found == live_menus().end() ? nullptr : found->second.get();
}

// Frees the menu with its last reference; it leaves the registry before it is destroyed.
void Menu::release() {
    if (--references_ > 0) return;
    auto found = live_menus().find(this);
    if (found == live_menus().end()) return;
    std::unique_ptr<Menu> last = std::move(found->second);
    live_menus().erase(found);
}

MenuItem *Menu::item(MenuItemIndex index) {
    if (index < 1 || index > items_.size()) return nullptr;
    return &items_[index - 1];
}

bool Menu::erase(MenuItemIndex first, std::size_t count) {
    if (first < 1 || first > items_.size()) return false;
    auto begin = items_.begin() + (first - 1);
    auto available = static_cast<std::size_t>(items_.end() - begin);
    items_.erase(begin, begin + static_cast<std::ptrdiff_t>(count < available ? count : available));
    return true;
}

}  // namespace hitoolbox
