/* Printing types and status codes. */
#ifndef __PRINTCORE_PMDEFINITIONS__
#define __PRINTCORE_PMDEFINITIONS__

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN

typedef const void *PMObject;
typedef struct OpaquePMPrintSession *PMPrintSession;
typedef struct OpaquePMTicketRef *PMTicketRef;

enum {
    kPMNoError = noErr,
    kPMGeneralError = -30870,
    kPMOutOfScope = -30871,
    kPMInvalidParameter = paramErr,
    kPMNoDefaultPrinter = -30872,
    kPMNotImplemented = -30873,
    kPMNoSuchEntry = -30874,
    kPMInvalidPrintSettings = -30875,
    kPMInvalidPageFormat = -30876,
    kPMValueOutOfRange = -30877,
    kPMLockIgnored = -30878,
    kPMInvalidPrintSession = -30879,
    kPMInvalidPrinter = -30880,
    kPMObjectInUse = -30881,
    kPMInvalidTicket = -30891,
    kPMInvalidPDEContext = -9530,
    kPMDontSwitchPDEError = -9531,
    kPMUnableToFindProcess = -9532,
    kPMFeatureNotInstalled = -9533,
    kPMKeyNotFound = -9589,
    kPMKeyNotUnique = -9590,
    kPMInvalidKey = -9591,
    kPMInvalidValue = -9592
};

/* A file described as the classic file system did. */
typedef struct FSSpec {
    SInt16 vRefNum;
    SInt32 parID;
    Str63 name;
} FSSpec;
typedef FSSpec *FSSpecPtr;

CF_EXTERN_C_END

#endif
