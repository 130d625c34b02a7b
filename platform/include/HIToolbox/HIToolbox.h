/* The HIToolbox umbrella header. */
#ifndef __HITOOLBOX__
#define __HITOOLBOX__

#include <HIToolbox/HIToolboxTypes.h>
#include <HIToolbox/CarbonEvents.h>
#include <HIToolbox/Controls.h>
#include <HIToolbox/IBCarbonRuntime.h>
#include <HIToolbox/MacWindows.h>
#include <HIToolbox/Menus.h>

#endif
