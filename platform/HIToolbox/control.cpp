// The control tree, control state and the registry of live controls behind ControlRef.
#include "control.h"

#include "control_observer.h"
#include "window.h"

#include <algorithm>
#include <unordered_set>

namespace hitoolbox {
namespace {

// Every live control, so that a disposed ControlRef is recognised instead of used.
// The tree owns the controls; this only knows them.
std::unordered_set<const Control *> &live_controls() {
    static auto *controls = new std::unordered_set<const Control *>();  // outlives static destructors
    return *controls;
}

}  // namespace

Control::Control(OSType kind, Window &window, const Rect &bounds)
    : kind_(kind), window_(&window), bounds_(bounds) {
    live_controls().insert(this);
    register_target(this);
}

Control::~Control() {
    while (!children_.empty()) children_.pop_back();
    notify(kPlatformControlDisposed);
    if (window_->focus() == this) window_->forget_focus();
    live_controls().erase(this);
    unregister_target(this);
}

Control *Control::from_ref(ControlRef ref) {
    if (ref == nullptr) return nullptr;
    auto *control = reinterpret_cast<Control *>(ref);
    return live_controls().contains(control) ? control : nullptr;
}

std::vector<Control *> Control::popups_showing(const Menu &menu) {
    std::vector<Control *> popups;
    for (const Control *control : live_controls()) {
        if (control->is_popup() && control->menu() == &menu) popups.push_back(const_cast<Control *>(control));
    }
    return popups;
}

// A control's events go on to its container; the root's go on to its window.
EventTarget *Control::parent_target() const {
    if (container_ != nullptr) return container_;
    return window_;
}

bool Control::is_embedder() const {
    return kind_ == kControlKindRoot || kind_ == kControlKindUserPane || kind_ == kControlKindGroupBox;
}

bool Control::contains(const Control &other) const {
    for (const Control *ancestor = &other; ancestor != nullptr; ancestor = ancestor->container_) {
        if (ancestor == this) return true;
    }
    return false;
}

void Control::embed(std::unique_ptr<Control> child) {
    child->container_ = this;
    child->set_window(*window_);
    children_.push_back(std::move(child));
}

std::unique_ptr<Control> Control::take_child(const Control &child) {
    auto found = std::find_if(children_.begin(), children_.end(),
                              [&child](const std::unique_ptr<Control> &held) { return held.get() == &child; });
    if (found == children_.end()) return nullptr;
    std::unique_ptr<Control> taken = std::move(*found);
    children_.erase(found);
    taken->container_ = nullptr;
    return taken;
}

Control *Control::find_descendant(const ControlID &wanted) {
    for (const auto &child : children_) {
        if (child->id.signature == wanted.signature && child->id.id == wanted.id) return child.get();
        if (Control *found = child->find_descendant(wanted)) return found;
    }
    return nullptr;
}

// Moves this control and everything in it to another window; a focus left behind is dropped.
void Control::set_window(Window &window) {
    if (window_ != &window && window_->focus() == this) window_->set_focus(nullptr);
    window_ = &window;
    for (const auto &child : children_) child->set_window(window);
}

void Control::set_bounds(const Rect &bounds) {
    bounds_ = bounds;
    notify(kPlatformControlBoundsChanged);
}

void Control::set_value(SInt32 value) {
    SInt32 pinned = std::clamp(value, minimum_, maximum_);
    if (pinned == value_) return;
    value_ = pinned;
    notify(kPlatformControlValueChanged);
}

// A minimum above the maximum takes the maximum along, so the range never turns over.
void Control::set_minimum(SInt32 minimum) { apply_range(minimum, std::max(minimum, maximum_)); }

// A maximum below the minimum takes the minimum along.
void Control::set_maximum(SInt32 maximum) { apply_range(std::min(minimum_, maximum), maximum); }

void Control::set_range(SInt32 minimum, SInt32 maximum) { apply_range(minimum, std::max(minimum, maximum)); }

// Stores a range and pins the value into it.
void Control::apply_range(SInt32 minimum, SInt32 maximum) {
    if (minimum != minimum_ || maximum != maximum_) {
        minimum_ = minimum;
        maximum_ = maximum;
        notify(kPlatformControlRangeChanged);
    }
    set_value(value_);
}

void Control::set_enabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    notify(kPlatformControlEnabledChanged);
}

bool Control::effectively_enabled() const {
    for (const Control *control = this; control != nullptr; control = control->container_) {
        if (!control->enabled_) return false;
    }
    return true;
}

void Control::report_text_edit(const TextContent &before) {
    if (before.text() != text_.text()) notify(kPlatformControlTextChanged);
    if (before.selection_start() != text_.selection_start() || before.selection_end() != text_.selection_end()) {
        notify(kPlatformControlSelectionChanged);
    }
}

void Control::set_menu(MenuReference menu) {
    menu_ = std::move(menu);
    notify(kPlatformControlMenuChanged);
    follow_menu_items();
}

// A popup's range is 1 to its item count; with no items (or no menu) it is 0 to 0.
void Control::follow_menu_items() {
    auto count = menu_.get() != nullptr ? static_cast<SInt32>(menu_.get()->item_count()) : 0;
    apply_range(count > 0 ? 1 : 0, count);
}

void Control::announce() {
    announced_ = true;
    notify(kPlatformControlCreated);
}

void Control::notify(PlatformControlChange change) {
    if (announced_) notify_observer(*this, change);
}

void Control::draw() {
    ++draw_count_;
    notify(kPlatformControlDrawn);
}

}  // namespace hitoolbox
