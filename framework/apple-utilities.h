/* Access to the tickets that the print session holds. */
#ifndef APPLE_UTILITIES_H
#define APPLE_UTILITIES_H

#include <ApplicationServices/ApplicationServices.h>

#define kQELPrinterInfoTicketKey CFSTR("PMPrinterInfoTicket")
#define kQELPrintSettingsTicketKey CFSTR("PMPrintSettingsTicket")

OSStatus GetTicketFromSession(PMPrintSession printSession, CFStringRef ticket, void *container);
OSStatus GetPrintSettingsPPDDict(PMPrintSession printSession, CFMutableDictionaryRef *outPPDDict);
CFStringRef GetPPDDictString(CFDictionaryRef inPPDDict, CFStringRef inKey, CFStringRef inDefault);

#endif
