// A window: title, bounds, visibility, keyboard focus and the control tree it holds.
#pragma once

#include "event_target.h"

#include "support/live_count.h"

#include <HIToolbox/MacWindows.h>

#include <memory>
#include <string>

namespace hitoolbox {

class Control;

inline constexpr char kWindowKind[] = "window";
// The height of the title bar that the structure region adds above the content.
inline constexpr short kTitleBarHeight = 22;

class Window final : public EventTarget, platform::live::Counted<kWindowKind> {
public:
    // A new hidden window with its root control, owned by the live-window registry.
    static Window &create(WindowClass window_class, WindowAttributes attributes, const Rect &content);
    // The live window behind ref, or nullptr for NULL and disposed windows.
    static Window *from_ref(WindowRef ref);
    // Frees the window with the controls still in it.
    static void dispose(Window &window);

    Window(WindowClass window_class, WindowAttributes attributes, const Rect &content);
    ~Window() override;

    WindowRef window_ref() { return reinterpret_cast<WindowRef>(this); }
    EventTarget *parent_target() const override;

    Control &root() const { return *root_; }

    // Global coordinates of the content, and of the content with its title bar.
    const Rect &content_bounds() const { return content_; }
    Rect structure_bounds() const;
    void set_content_bounds(const Rect &content);

    std::u16string title;
    bool visible = false;

    // The edit-text field that takes typed keys, or nullptr.
    Control *focus() const { return focus_; }
    // Moves the focus and tells the observer about the control that lost it and the one that got it.
    void set_focus(Control *control);
    // Drops the focus without telling anybody (the focused control is going away).
    void forget_focus() { focus_ = nullptr; }

private:
    // Kept as made, for the debugger: no behaviour here depends on them yet.
    [[maybe_unused]] WindowClass class_;
    [[maybe_unused]] WindowAttributes attributes_;
    Rect content_;
    std::unique_ptr<Control> root_;
    Control *focus_ = nullptr;
};

}  // namespace hitoolbox
