/* Access to the tickets that the print session holds, and the arrays a Summary is handed in. */
#ifndef APPLE_UTILITIES_H
#define APPLE_UTILITIES_H

#include <ApplicationServices/ApplicationServices.h>

#define kQELPrinterInfoTicketKey CFSTR("PMPrinterInfoTicket")
#define kQELPrintSettingsTicketKey CFSTR("PMPrintSettingsTicket")

OSStatus GetTicketFromSession(PMPrintSession printSession, CFStringRef ticket, void *container);
OSStatus GetPrintSettingsPPDDict(PMPrintSession printSession, CFMutableDictionaryRef *outPPDDict);
CFStringRef GetPPDDictString(CFDictionaryRef inPPDDict, CFStringRef inKey, CFStringRef inDefault);
OSStatus CreateSummaryArrays(CFMutableArrayRef *outTitles, CFMutableArrayRef *outSummaries);

#endif
