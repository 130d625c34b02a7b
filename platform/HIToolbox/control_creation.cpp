// Creating and disposing of controls: every Create...Control puts the control in the window's root.
#include "control.h"
#include "toolbox_strings.h"
#include "window.h"

#include "support/log.h"

#include <memory>

namespace hitoolbox {
namespace {

// errRootAlreadyExists: the window has its root control from the start.
constexpr OSStatus kRootAlreadyExistsErr = -30587;

// Makes a control of the kind, lets configure set it up, embeds it in the window's root and
// announces it, so the observer hears of it only when it is complete.
template <typename Configure>
OSStatus create_in_root(WindowRef window_ref, const Rect *bounds, OSType kind, ControlRef *out_control,
                        Configure &&configure) {
    if (window_ref == nullptr || bounds == nullptr || out_control == nullptr) return paramErr;
    Window *window = Window::from_ref(window_ref);
    if (window == nullptr) return errInvalidWindowRef;
    auto control = std::make_unique<Control>(kind, *window, *bounds);
    Control &made = *control;
    configure(made);
    window->root().embed(std::move(control));
    made.announce();
    *out_control = made.control_ref();
    return noErr;
}

void no_configuration(Control &) {}

std::u16string text_or_empty(CFStringRef string) { return characters_of_string(string).value_or(u""); }

// Tells the controls channel that a creation function ignored what it was given.
void trace_ignored(const char *function, const char *what) {
    platform::log::write(platform::log::Channel::controls, platform::log::Level::trace, "%s: %s ignored", function, what);
}

}  // namespace
}  // namespace hitoolbox

using hitoolbox::Control;
using hitoolbox::Window;

extern "C" {

// The root exists from the window's creation; a second one is refused but the first is handed out.
OSStatus CreateRootControl(WindowRef inWindow, ControlRef *outControl) {
    if (inWindow == nullptr || outControl == nullptr) return paramErr;
    Window *window = Window::from_ref(inWindow);
    if (window == nullptr) return errInvalidWindowRef;
    *outControl = window->root().control_ref();
    return hitoolbox::kRootAlreadyExistsErr;
}

OSStatus GetRootControl(WindowRef inWindow, ControlRef *outControl) {
    if (inWindow == nullptr || outControl == nullptr) return paramErr;
    Window *window = Window::from_ref(inWindow);
    if (window == nullptr) return errInvalidWindowRef;
    *outControl = window->root().control_ref();
    return noErr;
}

// Partial: the features are ignored; every user pane embeds controls.
OSStatus CreateUserPaneControl(WindowRef window, const Rect *boundsRect, UInt32 features, ControlRef *outControl) {
    if (features != 0 && features != kControlSupportsEmbedding)
        hitoolbox::trace_ignored("CreateUserPaneControl", "features other than kControlSupportsEmbedding");
    return hitoolbox::create_in_root(window, boundsRect, kControlKindUserPane, outControl, hitoolbox::no_configuration);
}

// The menu comes later (SetControlPopupMenuHandle); until then the range is 0 to 0.
// Partial: the menu ID, variable width, title width, justification and style are ignored.
OSStatus CreatePopupButtonControl(WindowRef window, const Rect *boundsRect, CFStringRef title, SInt16, Boolean,
                                  SInt16, SInt16, Style, ControlRef *outControl) {
    return hitoolbox::create_in_root(window, boundsRect, kControlKindPopupButton, outControl, [title](Control &popup) {
        popup.title = hitoolbox::text_or_empty(title);
        popup.follow_menu_items();
    });
}

// Partial: password fields (isPassword) and the style are ignored; the text shows as typed.
OSStatus CreateEditUnicodeTextControl(WindowRef window, const Rect *boundsRect, CFStringRef text, Boolean isPassword,
                                      const void *style, ControlRef *outControl) {
    if (isPassword) hitoolbox::trace_ignored("CreateEditUnicodeTextControl", "isPassword");
    if (style != nullptr) hitoolbox::trace_ignored("CreateEditUnicodeTextControl", "the style");
    return hitoolbox::create_in_root(window, boundsRect, kControlKindEditUnicodeText, outControl, [text](Control &field) {
        field.edit_text([text](hitoolbox::TextContent &content) { content.set_text(hitoolbox::text_or_empty(text)); });
    });
}

// Partial: the style is ignored.
OSStatus CreateStaticTextControl(WindowRef window, const Rect *boundsRect, CFStringRef text, const void *,
                                 ControlRef *outControl) {
    return hitoolbox::create_in_root(window, boundsRect, kControlKindStaticText, outControl, [text](Control &label) {
        label.edit_text([text](hitoolbox::TextContent &content) { content.set_text(hitoolbox::text_or_empty(text)); });
    });
}

OSStatus CreateCheckBoxControl(WindowRef window, const Rect *boundsRect, CFStringRef title, SInt32 initialValue,
                               Boolean autoToggle, ControlRef *outControl) {
    return hitoolbox::create_in_root(window, boundsRect, kControlKindCheckBox, outControl,
                                     [title, initialValue, autoToggle](Control &checkBox) {
                                         checkBox.title = hitoolbox::text_or_empty(title);
                                         checkBox.auto_toggle = autoToggle;
                                         checkBox.set_range(0, 1);
                                         checkBox.set_value(initialValue);
                                     });
}

// Partial: orientation, tick marks and live tracking are ignored.
OSStatus CreateSliderControl(WindowRef window, const Rect *boundsRect, SInt32 value, SInt32 minimum, SInt32 maximum,
                             UInt16 orientation, UInt16 numTickMarks, Boolean liveTracking, void *liveTrackingProc,
                             ControlRef *outControl) {
    if (orientation != kControlSliderPointsDownOrRight) hitoolbox::trace_ignored("CreateSliderControl", "the orientation");
    if (numTickMarks != 0) hitoolbox::trace_ignored("CreateSliderControl", "the tick marks");
    if (liveTracking || liveTrackingProc != nullptr) hitoolbox::trace_ignored("CreateSliderControl", "live tracking");
    return hitoolbox::create_in_root(window, boundsRect, kControlKindSlider, outControl,
                                     [value, minimum, maximum](Control &slider) {
                                         slider.set_range(minimum, maximum);
                                         slider.set_value(value);
                                     });
}

// Partial: primary is ignored (primary and secondary group boxes are alike).
OSStatus CreateGroupBoxControl(WindowRef window, const Rect *boundsRect, CFStringRef title, Boolean,
                               ControlRef *outControl) {
    return hitoolbox::create_in_root(window, boundsRect, kControlKindGroupBox, outControl,
                                     [title](Control &box) { box.title = hitoolbox::text_or_empty(title); });
}

OSStatus CreateSeparatorControl(WindowRef window, const Rect *boundsRect, ControlRef *outControl) {
    return hitoolbox::create_in_root(window, boundsRect, kControlKindSeparator, outControl, hitoolbox::no_configuration);
}

// Disposes of the control with everything embedded in it. The root goes only with its window.
void DisposeControl(ControlRef theControl) {
    Control *control = Control::from_ref(theControl);
    if (control == nullptr || control->container() == nullptr) return;
    std::unique_ptr<Control> disposed = control->container()->take_child(*control);
}

}  // extern "C"
