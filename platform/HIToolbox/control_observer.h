// The one view of the controls that the host may attach (PlatformSetControlObserver).
#pragma once

#include <platform/user_actions.h>

namespace hitoolbox {

class Control;

// Tells the attached observer, if any, that the control changed.
void notify_observer(Control &control, PlatformControlChange change);

}  // namespace hitoolbox
