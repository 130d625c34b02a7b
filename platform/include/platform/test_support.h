/* Test-only controls of the platform layer: a manual clock, injected faults and live-object counts.
   Plug-in code never includes this header. */
#ifndef PLATFORM_TEST_SUPPORT_H
#define PLATFORM_TEST_SUPPORT_H

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN

/* Switches the manual clock on (frozen at the current real time) or back to the real clock.
   While it is on, CFAbsoluteTimeGetCurrent moves only when a test advances it, and the run
   loop fires due timers without sleeping. */
CF_EXPORT void PlatformUseManualClock(Boolean useManualClock);
CF_EXPORT Boolean PlatformIsUsingManualClock(void);
CF_EXPORT void PlatformSetManualClock(CFAbsoluteTime now);
CF_EXPORT void PlatformAdvanceManualClock(CFTimeInterval seconds);

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
