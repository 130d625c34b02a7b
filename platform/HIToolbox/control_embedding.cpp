// The Control Manager's C interface for the control tree and control geometry.
#include "control.h"
#include "window.h"

#include "support/faults.h"

#include <memory>

using hitoolbox::Control;

extern "C" {

WindowRef GetControlOwner(ControlRef control) {
    Control *found = Control::from_ref(control);
    return found != nullptr ? found->window().window_ref() : nullptr;
}

// Moves the control, with everything in it, into the container and the container's window.
// Its bounds stay as they are: they are taken to be in the new window's coordinates.
OSErr EmbedControl(ControlRef inControl, ControlRef inContainer) {
    if (auto fault = platform::faults::consume("EmbedControl")) return static_cast<OSErr>(*fault);
    Control *control = Control::from_ref(inControl);
    Control *container = Control::from_ref(inContainer);
    if (control == nullptr || container == nullptr) return errInvalidControl;
    if (control->is_root()) return errCantEmbedRoot;
    if (control->contains(*container)) return errCantEmbedIntoSelf;
    if (!container->is_embedder()) return errControlIsNotEmbedder;
    std::unique_ptr<Control> moving = control->container()->take_child(*control);
    container->embed(std::move(moving));
    control->notify(kPlatformControlEmbedded);
    return noErr;
}

OSErr CountSubControls(ControlRef inControl, UInt16 *outNumChildren) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    if (outNumChildren == nullptr) return paramErr;
    if (!control->is_embedder()) return errControlIsNotEmbedder;
    *outNumChildren = static_cast<UInt16>(control->children().size());
    return noErr;
}

// Children are numbered from 1, in the order they were embedded.
OSErr GetIndexedSubControl(ControlRef inControl, UInt16 inIndex, ControlRef *outSubControl) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    if (outSubControl == nullptr) return paramErr;
    if (!control->is_embedder()) return errControlIsNotEmbedder;
    if (inIndex < 1 || inIndex > control->children().size()) return paramErr;
    *outSubControl = control->children()[inIndex - 1]->control_ref();
    return noErr;
}

// The root has no container.
OSErr GetSuperControl(ControlRef inControl, ControlRef *outParent) {
    Control *control = Control::from_ref(inControl);
    if (control == nullptr) return errInvalidControl;
    if (outParent == nullptr) return paramErr;
    *outParent = control->container() != nullptr ? control->container()->control_ref() : nullptr;
    return control->container() != nullptr ? OSStatus{noErr} : OSStatus{errInvalidControl};
}

// Fills and returns bounds; a dead control gives an empty rectangle.
Rect *GetControlBounds(ControlRef control, Rect *bounds) {
    if (bounds == nullptr) return nullptr;
    Control *found = Control::from_ref(control);
    *bounds = found != nullptr ? found->bounds() : Rect{0, 0, 0, 0};
    return bounds;
}

void SetControlBounds(ControlRef control, const Rect *bounds) {
    Control *found = Control::from_ref(control);
    if (found != nullptr && bounds != nullptr) found->set_bounds(*bounds);
}

}  // extern "C"
