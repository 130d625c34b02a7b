// The latest GetControlByID that found nothing, kept for the host's diagnostics.
#pragma once

#include <HIToolbox/Controls.h>

namespace hitoolbox {

// Records a lookup of id that found no control on this thread.
void note_lookup_miss(const ControlID &id);

}  // namespace hitoolbox
