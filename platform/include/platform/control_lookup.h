/* What the host learns of the control lookups a pane makes, for its diagnostics: the pane
   reports a missing control only as a failed Initialize. Not part of the platform's own API. */
#ifndef PLATFORM_CONTROL_LOOKUP_H
#define PLATFORM_CONTROL_LOOKUP_H

#include <Carbon/Carbon.h>

CF_EXTERN_C_BEGIN

/* Forgets the lookups made so far on this thread. */
CF_EXPORT void PlatformForgetControlLookupMiss(void);
/* True, with the ControlID, when a GetControlByID on this thread found no control since the last
   PlatformForgetControlLookupMiss; the latest such lookup is the one told. */
CF_EXPORT Boolean PlatformGetLastControlLookupMiss(ControlID *outID);

CF_EXTERN_C_END

#endif
