/* Test-only controls of the platform layer: injected faults and live-object counts, with the
   manual clock of <platform/clock.h>, which tests use too. Plug-in code never includes this header. */
#ifndef PLATFORM_TEST_SUPPORT_H
#define PLATFORM_TEST_SUPPORT_H

#include <CoreFoundation/CoreFoundation.h>
#include <platform/clock.h>

CF_EXTERN_C_BEGIN

/* CF objects alive now, constants excluded. */
CF_EXPORT long PlatformLiveCFObjectCount(void);
/* Live platform objects of one kind: "window", "control", "menu", "event-handler", "event",
   "nib", "print-session", "ticket", "ppd-context". */
CF_EXPORT long PlatformLiveObjectCount(const char *kind);
/* How many times libcups has parsed a PPD file in this process (the PPD library keeps its parses). */
CF_EXPORT long PlatformPPDParseCount(void);

/* Makes the nth call from now (1 = the next one) of the named operation fail with the given
   status, or with a NULL result where the operation returns an object. */
CF_EXPORT void PlatformInjectFault(const char *operation, int nthCall, OSStatus status);
CF_EXPORT void PlatformClearInjectedFaults(void);

/* Forgets the parsed nibs the platform keeps, so that the next load of each nib reads and
   parses it as the first load in a process does. */
CF_EXPORT void PlatformForgetLoadedNibs(void);

CF_EXTERN_C_END

#endif
