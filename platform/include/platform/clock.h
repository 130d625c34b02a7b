/* The platform's manual clock, for the host's scripted runs and for tests: while it is on, time
   moves only when told to, so a run that waits for timers is the same on every machine. Not part
   of the platform's own API; plug-in code never includes this header. */
#ifndef PLATFORM_CLOCK_H
#define PLATFORM_CLOCK_H

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN

/* Switches the manual clock on (frozen at the current real time) or back to the real clock.
   While it is on, CFAbsoluteTimeGetCurrent moves only when it is advanced, and the run loop
   fires due timers without sleeping. */
CF_EXPORT void PlatformUseManualClock(Boolean useManualClock);
CF_EXPORT Boolean PlatformIsUsingManualClock(void);
CF_EXPORT void PlatformSetManualClock(CFAbsoluteTime now);
CF_EXPORT void PlatformAdvanceManualClock(CFTimeInterval seconds);

CF_EXTERN_C_END

#endif
