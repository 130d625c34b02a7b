// Keyboard focus, one edit-text field per window at most.
#include "control.h"
#include "window.h"

using hitoolbox::Control;
using hitoolbox::Window;

namespace {

OSErr window_status(WindowRef ref, Window *&window) {
    window = Window::from_ref(ref);
    if (window != nullptr) return noErr;
    return ref == nullptr ? OSStatus{paramErr} : OSStatus{errInvalidWindowRef};
}

}  // namespace

extern "C" {

// Only edit-text fields of that window take the focus; the "no part" code removes it.
// Partial: the next-part and previous-part codes focus the control itself.
OSErr SetKeyboardFocus(WindowRef inWindow, ControlRef inControl, ControlFocusPart inPart) {
    Window *window;
    if (OSErr status = window_status(inWindow, window); status != noErr) return status;
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    if (&control->window() != window) return errCouldntSetFocus;
    if (inPart == kControlFocusNoPart) {
        window->set_focus(nullptr);
        return noErr;
    }
    if (!control->is_edit_text()) return errControlDoesntSupportFocus;
    window->set_focus(control);
    return noErr;
}

// NULL when no control has the focus.
OSErr GetKeyboardFocus(WindowRef inWindow, ControlRef *outControl) {
    Window *window;
    if (OSErr status = window_status(inWindow, window); status != noErr) return status;
    if (outControl == nullptr) return paramErr;
    *outControl = window->focus() != nullptr ? window->focus()->control_ref() : nullptr;
    return noErr;
}

OSErr ClearKeyboardFocus(WindowRef inWindow) {
    Window *window;
    if (OSErr status = window_status(inWindow, window); status != noErr) return status;
    window->set_focus(nullptr);
    return noErr;
}

}  // extern "C"
