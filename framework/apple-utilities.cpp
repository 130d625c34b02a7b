/* Ticket access through the print session's data. */
#include "apple-utilities.h"

#include <stdint.h>

/* Stores the named ticket through container (a PMTicketRef*). The session datum holds the ticket
   reference as a pointer-sized integer, so a 64-bit reference is never cut in half. Any failure,
   including a datum that is not such a number, is kPMInvalidTicket and container is left alone. */
OSStatus GetTicketFromSession(PMPrintSession printSession, CFStringRef ticket, void *container)
{
    CFTypeRef cfTicketRef = NULL;
    OSStatus err = PMSessionGetDataFromSession(printSession, ticket, &cfTicketRef);

    if (err == noErr && cfTicketRef != NULL && container != NULL &&
        CFGetTypeID(cfTicketRef) == CFNumberGetTypeID()) {
        long ticketAddress = 0;
        if (CFNumberGetValue((CFNumberRef)cfTicketRef, kCFNumberLongType, &ticketAddress)) {
            *(PMTicketRef *)container = (PMTicketRef)(intptr_t)ticketAddress; /* NOLINT(performance-no-int-to-ptr) */
            return noErr;
        }
    }
    return kPMInvalidTicket;
}

/* The print-settings ticket's PPD dictionary, borrowed from the ticket, or the status of the access
   that failed. A ticket that reports success but yields no dictionary counts as unreachable, so
   nothing is read or written. */
OSStatus GetPrintSettingsPPDDict(PMPrintSession printSession, CFMutableDictionaryRef *outPPDDict)
{
    PMTicketRef printSettingsContainer = NULL;
    OSStatus err = GetTicketFromSession(printSession, kQELPrintSettingsTicketKey, &printSettingsContainer);
    if (err != noErr)
        return err;

    CFMutableDictionaryRef ppdDict = NULL;
    err = PMTicketGetPPDDict(printSettingsContainer, kPMTopLevel, kPMTopLevel, &ppdDict);
    if (err != noErr)
        return err;
    if (ppdDict == NULL)
        return kPMInvalidTicket;
    *outPPDDict = ppdDict;
    return noErr;
}

/* The dictionary's keyword for the key (borrowed), or inDefault when the entry is missing or is not
   a string: only strings are option keywords, and reading anything else as one would misread it. */
CFStringRef GetPPDDictString(CFDictionaryRef inPPDDict, CFStringRef inKey, CFStringRef inDefault)
{
    CFTypeRef value = inPPDDict != NULL ? CFDictionaryGetValue(inPPDDict, inKey) : NULL;
    if (value == NULL || CFGetTypeID(value) != CFStringGetTypeID())
        return inDefault;
    return (CFStringRef)value;
}
