/* Host-facing controls of the platform layer that are not part of the platform's own API. */
#ifndef PLATFORM_HOST_SUPPORT_H
#define PLATFORM_HOST_SUPPORT_H

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN

/* The localization that bundles prefer ("en", "de", ...). NULL goes back to the environment
   (LC_ALL, LC_MESSAGES, LANG). */
CF_EXPORT void PlatformSetPreferredLocalization(CFStringRef localization);
CF_EXPORT CFStringRef PlatformCopyPreferredLocalization(void);

CF_EXTERN_C_END

#endif
