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
            *(PMTicketRef *)container = (PMTicketRef)(intptr_t)ticketAddress;
            return noErr;
        }
    }
    return kPMInvalidTicket;
}
