// Building a window from a nib's description, through the toolbox's public calls only.
#pragma once

#include "nib_document.h"

#include <HIToolbox/MacWindows.h>

namespace hitoolbox::nib {

// A new, hidden window with the description's title, content size and controls. On failure
// nothing is left: the part of the window already built is disposed of.
OSStatus build_window(const WindowDescription &description, WindowRef *out_window);

}  // namespace hitoolbox::nib
