/* Print sessions and the data they carry. */
#ifndef __PRINTCORE_PMCORE__
#define __PRINTCORE_PMCORE__

#include <PrintCore/PMDefinitions.h>

CF_EXTERN_C_BEGIN

CF_EXPORT OSStatus PMCreateSession(PMPrintSession *printSession);
CF_EXPORT OSStatus PMRetain(PMObject object);
CF_EXPORT OSStatus PMRelease(PMObject object);
/* Get rule: the session keeps the datum. kPMKeyNotFound when there is none. */
CF_EXPORT OSStatus PMSessionGetDataFromSession(PMPrintSession printSession, CFStringRef key, CFTypeRef *data);
/* The session retains the datum. */
CF_EXPORT OSStatus PMSessionSetDataInSession(PMPrintSession printSession, CFStringRef key, CFTypeRef data);

CF_EXTERN_C_END

#endif
