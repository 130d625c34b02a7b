/* Job tickets and the PPD dictionary of the print-settings ticket. */
#ifndef __PRINTCORE_PMTICKET__
#define __PRINTCORE_PMTICKET__

#include <PrintCore/PMDefinitions.h>

CF_EXTERN_C_BEGIN

#define kPMTopLevel ((UInt32)0)

#define kPMPrintSettingsTicket CFSTR("com.apple.print.PrintSettingsTicket")
#define kPMPrinterInfoTicket CFSTR("com.apple.print.PrinterInfoTicket")
#define kPMPageFormatTicket CFSTR("com.apple.print.PageFormatTicket")
#define kPMJobTicket CFSTR("com.apple.print.JobTicket")

CF_EXPORT OSStatus PMTicketCreate(CFAllocatorRef allocator, CFStringRef ticketType, PMTicketRef *newTicket);
CF_EXPORT OSStatus PMTicketRetain(PMTicketRef ticket);
CF_EXPORT OSStatus PMTicketRelease(PMTicketRef ticket);
CF_EXPORT OSStatus PMTicketGetType(PMTicketRef ticket, CFStringRef *ticketType);
/* The ticket's own mutable dictionary of PPD main keyword to option keyword (Get rule). */
CF_EXPORT OSStatus PMTicketGetPPDDict(PMTicketRef ticket, UInt32 nodeIndex1, UInt32 nodeIndex2, CFMutableDictionaryRef *dict);

CF_EXTERN_C_END

#endif
