// The ticket API and the host's hook that names a printer-info ticket's PPD file.
#include "ticket.h"

#include "support/faults.h"

#include <PrintCore/PMTicket.h>
#include <platform/host_support.h>

namespace printing {

Ticket::Ticket(CFStringRef type)
    : PrintingObject(kKind),
      type_(cf::adopt(CFStringCreateCopy(kCFAllocatorDefault, type))),
      ppd_dictionary_(cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                          &kCFTypeDictionaryValueCallBacks))) {}

void Ticket::set_ppd_path(CFStringRef path) {
    ppd_path_ = cf::adopt(CFStringCreateCopy(kCFAllocatorDefault, path));
}

}  // namespace printing

using printing::Ticket;

extern "C" {

// Makes an empty ticket of the given type; the caller owns its one reference.
OSStatus PMTicketCreate(CFAllocatorRef, CFStringRef ticketType, PMTicketRef *newTicket) {
    if (auto fault = platform::faults::consume("PMTicketCreate")) return *fault;
    if (!printing::is_string(ticketType) || newTicket == nullptr) return kPMInvalidParameter;
    auto *ticket = new Ticket(ticketType);
    if (!ticket->is_usable()) {
        ticket->release();
        return memFullErr;
    }
    *newTicket = printing::reference_to<PMTicketRef>(ticket);
    return kPMNoError;
}

// Adds a reference to a ticket.
OSStatus PMTicketRetain(PMTicketRef ticket) {
    auto *live = printing::live_as<Ticket>(ticket);
    if (live == nullptr) return kPMInvalidTicket;
    live->retain();
    return kPMNoError;
}

// Drops a reference to a ticket; the last one frees it and its dictionary.
OSStatus PMTicketRelease(PMTicketRef ticket) {
    auto *live = printing::live_as<Ticket>(ticket);
    if (live == nullptr) return kPMInvalidTicket;
    live->release();
    return kPMNoError;
}

// The ticket's type string (Get rule).
OSStatus PMTicketGetType(PMTicketRef ticket, CFStringRef *ticketType) {
    auto *live = printing::live_as<Ticket>(ticket);
    if (live == nullptr) return kPMInvalidTicket;
    if (ticketType == nullptr) return kPMInvalidParameter;
    *ticketType = live->type();
    return kPMNoError;
}

// The ticket's own PPD dictionary (Get rule). Tickets here have no sub-tickets,
// so only the top level exists; any other node is a bad parameter.
// Partial: only the kPMTopLevel node.
OSStatus PMTicketGetPPDDict(PMTicketRef ticket, UInt32 nodeIndex1, UInt32 nodeIndex2, CFMutableDictionaryRef *dict) {
    if (auto fault = platform::faults::consume("PMTicketGetPPDDict")) return *fault;
    auto *live = printing::live_as<Ticket>(ticket);
    if (live == nullptr) return kPMInvalidTicket;
    if (nodeIndex1 != kPMTopLevel || nodeIndex2 != kPMTopLevel || dict == nullptr) return kPMInvalidParameter;
    *dict = live->ppd_dictionary();
    return kPMNoError;
}

// Names the PPD file of the printer that the ticket describes.
OSStatus PlatformPrinterInfoTicketSetPPDPath(PMTicketRef printerInfoTicket, CFStringRef ppdPath) {
    auto *live = printing::live_as<Ticket>(printerInfoTicket);
    if (live == nullptr) return kPMInvalidTicket;
    if (!printing::is_string(ppdPath)) return kPMInvalidParameter;
    live->set_ppd_path(ppdPath);
    return kPMNoError;
}

// The ticket's PPD path, retained for the caller; kPMKeyNotFound when none was set.
OSStatus PlatformPrinterInfoTicketCopyPPDPath(PMTicketRef printerInfoTicket, CFStringRef *ppdPath) {
    auto *live = printing::live_as<Ticket>(printerInfoTicket);
    if (live == nullptr) return kPMInvalidTicket;
    if (ppdPath == nullptr) return kPMInvalidParameter;
    if (live->ppd_path() == nullptr) return kPMKeyNotFound;
    *ppdPath = static_cast<CFStringRef>(CFRetain(live->ppd_path()));
    return kPMNoError;
}

}  // extern "C"
