// The Control Manager's C interface: identity, state, values, drawing and pop-up menus.
#include "control.h"
#include "control_lookup_miss.h"
#include "toolbox_strings.h"
#include "window.h"

#include "support/faults.h"

#include <utility>

using hitoolbox::Control;
using hitoolbox::Window;

extern "C" {

OSStatus SetControlID(ControlRef inControl, const ControlID *inID) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    if (inID == nullptr) return paramErr;
    control->id = *inID;
    return noErr;
}

OSStatus GetControlID(ControlRef inControl, ControlID *outID) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    if (outID == nullptr) return paramErr;
    *outID = control->id;
    return noErr;
}

// Searches every control of the window below the root, in tree order; the first match wins.
OSStatus GetControlByID(WindowRef inWindow, const ControlID *inID, ControlRef *outControl) {
    if (auto fault = platform::faults::consume("GetControlByID")) return *fault;
    if (inID == nullptr || outControl == nullptr) return paramErr;
    Window *window = Window::from_ref(inWindow);
    if (window == nullptr) return inWindow == nullptr ? OSStatus{paramErr} : OSStatus{errInvalidWindowRef};
    Control *found = window->root().find_descendant(*inID);
    if (found == nullptr) hitoolbox::note_lookup_miss(*inID);
    *outControl = found != nullptr ? found->control_ref() : nullptr;
    return found != nullptr ? OSStatus{noErr} : OSStatus{errUnknownControl};
}

OSStatus GetControlKind(ControlRef inControl, ControlKind *outControlKind) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    if (outControlKind == nullptr) return paramErr;
    *outControlKind = {kControlKindSignatureApple, control->kind()};
    return noErr;
}

OSStatus SetControlCommandID(ControlRef inControl, UInt32 inCommandID) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    control->command = inCommandID;
    return noErr;
}

OSStatus GetControlCommandID(ControlRef inControl, UInt32 *outCommandID) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    if (outCommandID == nullptr) return paramErr;
    *outCommandID = control->command;
    return noErr;
}

OSStatus SetControlTitleWithCFString(ControlRef inControl, CFStringRef inString) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    auto title = hitoolbox::characters_of_string(inString);
    if (!title) return paramErr;
    control->title = std::move(*title);
    return noErr;
}

// The caller owns the copy.
OSStatus CopyControlTitleAsCFString(ControlRef inControl, CFStringRef *outString) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    if (outString == nullptr) return paramErr;
    *outString = hitoolbox::create_string_copy(control->title);
    return noErr;
}

SInt32 GetControl32BitValue(ControlRef theControl) {
    Control *control = Control::from_ref(theControl);
    return control != nullptr ? control->value() : 0;
}

void SetControl32BitValue(ControlRef theControl, SInt32 newValue) {
    if (Control *control = Control::from_ref(theControl)) control->set_value(newValue);
}

SInt32 GetControl32BitMinimum(ControlRef theControl) {
    Control *control = Control::from_ref(theControl);
    return control != nullptr ? control->minimum() : 0;
}

void SetControl32BitMinimum(ControlRef theControl, SInt32 newMinimum) {
    if (Control *control = Control::from_ref(theControl)) control->set_minimum(newMinimum);
}

SInt32 GetControl32BitMaximum(ControlRef theControl) {
    Control *control = Control::from_ref(theControl);
    return control != nullptr ? control->maximum() : 0;
}

void SetControl32BitMaximum(ControlRef theControl, SInt32 newMaximum) {
    if (Control *control = Control::from_ref(theControl)) control->set_maximum(newMaximum);
}

OSStatus EnableControl(ControlRef inControl) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    control->set_enabled(true);
    return noErr;
}

OSStatus DisableControl(ControlRef inControl) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    control->set_enabled(false);
    return noErr;
}

// The control's own flag; a disabled container does not show here.
Boolean IsControlEnabled(ControlRef inControl) {
    Control *control = Control::from_ref(inControl);
    return control != nullptr && control->enabled();
}

Boolean PlatformIsControlEffectivelyEnabled(ControlRef control) {
    Control *found = Control::from_ref(control);
    return found != nullptr && found->effectively_enabled();
}

// Partial: inDoDraw is ignored; nothing is drawn here (an attached view draws).
OSStatus SetControlVisibility(ControlRef inControl, Boolean inIsVisible, Boolean) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    control->visible = inIsVisible;
    return noErr;
}

Boolean IsControlVisible(ControlRef inControl) {
    Control *control = Control::from_ref(inControl);
    return control != nullptr && control->visible;
}

// Partial: draws no pixels; the draw is counted and told to the attached view.
void Draw1Control(ControlRef theControl) {
    if (Control *control = Control::from_ref(theControl)) control->draw();
}

UInt32 PlatformGetControlDrawCount(ControlRef control) {
    Control *found = Control::from_ref(control);
    return found != nullptr ? found->draw_count() : 0;
}

MenuRef GetControlPopupMenuHandle(ControlRef control) {
    Control *popup = Control::from_ref(control);
    if (popup == nullptr || !popup->is_popup() || popup->menu() == nullptr) return nullptr;
    return popup->menu()->menu_ref();
}

// The popup keeps a reference of its own and shows items 1 to the count.
void SetControlPopupMenuHandle(ControlRef control, MenuRef popupMenu) {
    Control *popup = Control::from_ref(control);
    if (popup == nullptr || !popup->is_popup()) return;
    hitoolbox::Menu *menu = hitoolbox::Menu::from_ref(popupMenu);
    if (menu == nullptr && popupMenu != nullptr) return;
    popup->set_menu(hitoolbox::MenuReference::retain(menu));
}

EventTargetRef GetControlEventTarget(ControlRef inControl) {
    Control *control = Control::from_ref(inControl);
    return control != nullptr ? control->ref() : nullptr;
}

}  // extern "C"
