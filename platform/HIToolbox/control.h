// The control model: one node of a window's control tree, with the state every kind keeps.
#pragma once

#include "event_target.h"
#include "menu.h"
#include "text_content.h"

#include "support/live_count.h"

#include <HIToolbox/Controls.h>
#include <platform/user_actions.h>

#include <memory>
#include <string>
#include <vector>

namespace hitoolbox {

class Window;

inline constexpr char kControlKind[] = "control";

class Control final : public EventTarget, platform::live::Counted<kControlKind> {
public:
    // A control in no container yet; it is alive (its ref is recognised) from here on.
    Control(OSType kind, Window &window, const Rect &bounds);
    // Disposes of the embedded controls first, then tells the observer and leaves the registries.
    ~Control() override;

    // The live control behind ref, or nullptr for NULL and disposed controls.
    static Control *from_ref(ControlRef ref);
    // The live popups that show the menu.
    static std::vector<Control *> popups_showing(const Menu &menu);

    ControlRef control_ref() { return reinterpret_cast<ControlRef>(this); }
    EventTarget *parent_target() const override;

    OSType kind() const { return kind_; }
    bool is_root() const { return kind_ == kControlKindRoot; }
    bool is_embedder() const;
    bool is_popup() const { return kind_ == kControlKindPopupButton; }
    bool is_edit_text() const { return kind_ == kControlKindEditUnicodeText; }
    bool has_text() const { return is_edit_text() || kind_ == kControlKindStaticText; }

    // Identity.
    ControlID id{0, 0};
    UInt32 command = 0;
    std::u16string title;
    bool visible = true;
    bool auto_toggle = true;

    // The tree. Every control but the root has a container; the window is where the tree lives.
    Window &window() const { return *window_; }
    Control *container() const { return container_; }
    const std::vector<std::unique_ptr<Control>> &children() const { return children_; }
    // Whether other is this control or one embedded in it, however deep.
    bool contains(const Control &other) const;
    // Takes the control (with what it holds) as the last child; the subtree moves to this window.
    void embed(std::unique_ptr<Control> child);
    // Hands over a child, which then has no container.
    std::unique_ptr<Control> take_child(const Control &child);
    // The first control below this one, in tree order, with both parts of the id equal.
    Control *find_descendant(const ControlID &wanted);

    // Bounds in the window's coordinates.
    const Rect &bounds() const { return bounds_; }
    void set_bounds(const Rect &bounds);

    // Value and range; the value is always kept within the range, and minimum <= maximum.
    SInt32 value() const { return value_; }
    SInt32 minimum() const { return minimum_; }
    SInt32 maximum() const { return maximum_; }
    void set_value(SInt32 value);
    void set_minimum(SInt32 minimum);
    void set_maximum(SInt32 maximum);
    void set_range(SInt32 minimum, SInt32 maximum);

    // The control's own enabled flag, and the flag together with every container's.
    bool enabled() const { return enabled_; }
    void set_enabled(bool enabled);
    bool effectively_enabled() const;

    // Text and selection of text controls. Edits go through edit_text so that the observer
    // hears about what changed.
    const TextContent &text_content() const { return text_; }
    template <typename Edit>
    void edit_text(Edit &&edit) {
        TextContent before = text_;
        edit(text_);
        report_text_edit(before);
    }

    // A popup's menu; attaching one sets the range to its items.
    Menu *menu() const { return menu_.get(); }
    void set_menu(MenuReference menu);
    // Brings the range in step with the menu's item count.
    void follow_menu_items();

    UInt32 draw_count() const { return draw_count_; }
    void draw();

    // Tells the observer about the finished control; nothing is reported before that.
    void announce();
    void notify(PlatformControlChange change);

private:
    void set_window(Window &window);
    void apply_range(SInt32 minimum, SInt32 maximum);
    void report_text_edit(const TextContent &before);

    OSType kind_;
    Window *window_;
    Control *container_ = nullptr;
    std::vector<std::unique_ptr<Control>> children_;
    Rect bounds_;
    SInt32 value_ = 0;
    SInt32 minimum_ = 0;
    SInt32 maximum_ = 0;
    bool enabled_ = true;
    TextContent text_;
    MenuReference menu_;
    UInt32 draw_count_ = 0;
    bool announced_ = false;
};

}  // namespace hitoolbox
