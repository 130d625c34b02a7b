/* Host-facing controls of the platform layer that are not part of the platform's own API. */
#ifndef PLATFORM_HOST_SUPPORT_H
#define PLATFORM_HOST_SUPPORT_H

#include <CoreFoundation/CoreFoundation.h>
#include <PrintCore/PMDefinitions.h>

CF_EXTERN_C_BEGIN

/* The localization that bundles prefer ("en", "de", ...). NULL goes back to the environment
   (LC_ALL, LC_MESSAGES, LANG). A value that is no localization name (only ASCII letters, digits,
   '_' and '-') is ignored, here and in the environment, so that no path leads out of a bundle. */
CF_EXPORT void PlatformSetPreferredLocalization(CFStringRef localization);
CF_EXPORT CFStringRef PlatformCopyPreferredLocalization(void);

/* The PPD file that a printer-info ticket leads to (a file-system path). */
CF_EXPORT OSStatus PlatformPrinterInfoTicketSetPPDPath(PMTicketRef printerInfoTicket, CFStringRef ppdPath);
CF_EXPORT OSStatus PlatformPrinterInfoTicketCopyPPDPath(PMTicketRef printerInfoTicket, CFStringRef *ppdPath);

CF_EXTERN_C_END

#endif
