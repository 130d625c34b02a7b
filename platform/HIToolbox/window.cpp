// Windows and the registry of live windows behind WindowRef.
#include "window.h"

#include "control.h"

#include <unordered_map>

namespace hitoolbox {
namespace {

// Every live window, owned here, so that a disposed WindowRef is recognised instead of used.
std::unordered_map<const Window *, std::unique_ptr<Window>> &live_windows() {
    static auto *windows = new std::unordered_map<const Window *, std::unique_ptr<Window>>();  // outlives static destructors
    return *windows;
}

// The root control covers the content, in the window's own coordinates.
Rect local_content(const Rect &content) {
    return Rect{0, 0, static_cast<short>(content.bottom - content.top), static_cast<short>(content.right - content.left)};
}

}  // namespace

Window::Window(WindowClass window_class, WindowAttributes attributes, const Rect &content)
    : class_(window_class), attributes_(attributes), content_(content),
      root_(std::make_unique<Control>(kControlKindRoot, *this, local_content(content))) {
    register_target(this);
}

// The controls go first, while the window they ask about is still whole.
Window::~Window() {
    root_.reset();
    unregister_target(this);
}

Window &Window::create(WindowClass window_class, WindowAttributes attributes, const Rect &content) {
    auto window = std::make_unique<Window>(window_class, attributes, content);
    Window &made = *window;
    live_windows().emplace(&made, std::move(window));
    made.root().announce();
    return made;
}

Window *Window::from_ref(WindowRef ref) {
    if (ref == nullptr) return nullptr;
    auto found = live_windows().find(reinterpret_cast<const Window *>(ref));
    return found == live_windows().end() ? nullptr : found->second.get();
}

// The window leaves the registry before it is destroyed, so its ref is dead during teardown.
void Window::dispose(Window &window) {
    auto found = live_windows().find(&window);
    if (found == live_windows().end()) return;
    std::unique_ptr<Window> disposed = std::move(found->second);
    live_windows().erase(found);
}

// Events that no control or window handler took go on to the application.
EventTarget *Window::parent_target() const { return &application_target(); }

Rect Window::structure_bounds() const {
    Rect structure = content_;
    structure.top = static_cast<short>(structure.top - kTitleBarHeight);
    return structure;
}

void Window::set_content_bounds(const Rect &content) {
    content_ = content;
    root_->set_bounds(local_content(content));
}

void Window::set_focus(Control *control) {
    Control *previous = focus_;
    if (previous == control) return;
    focus_ = control;
    if (previous != nullptr) previous->notify(kPlatformControlFocusChanged);
    if (control != nullptr) control->notify(kPlatformControlFocusChanged);
}

}  // namespace hitoolbox
