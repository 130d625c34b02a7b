/* The Carbon umbrella header. */
#ifndef __CARBON__
#define __CARBON__

#include <CoreFoundation/CoreFoundation.h>
#include <ApplicationServices/ApplicationServices.h>
#include <HIToolbox/HIToolbox.h>

#endif
