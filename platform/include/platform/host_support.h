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

/* libcups' parse of a PPD file (cups/ppd.h), for the host to read and mark. Each file is parsed
   once per process while it stays the same and is shared with the panes' printer tests
   (ppdOpenCompiledPPDFromTicket); every choice is at its default when it is handed out, and the
   marks are the caller's until PlatformPPDClose (an open of the same file meanwhile gets a parse
   of its own). A file far beyond any real PPD (over 16 MiB, 2,000 options or 200,000 keyword
   lines) is refused before libcups reads it. NULL with the reason as a new string in *outReason
   (when it is not NULL) when the file cannot be read, parsed or is refused. */
struct ppd_file_s;
CF_EXPORT struct ppd_file_s *PlatformPPDOpen(const char *path, CFStringRef *outReason);
CF_EXPORT void PlatformPPDClose(struct ppd_file_s *ppd);

CF_EXTERN_C_END

#endif
