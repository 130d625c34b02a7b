/* The printing system's PPD library: the compiled PPD behind a printer-info ticket. */
#ifndef __PRINTCORE_PMPPDLIBRARY__
#define __PRINTCORE_PMPPDLIBRARY__

#include <PrintCore/PMDefinitions.h>

CF_EXTERN_C_BEGIN

typedef struct OpaquePPDContext *ppdContext;

/* Opens the PPD that the printer-info ticket names; ppdFile receives its file description. */
CF_EXPORT OSStatus ppdOpenCompiledPPDFromTicket(PMTicketRef printerInfoTicket, ppdContext *outContext, FSSpec *ppdFile);
/* The 1-based position of a main keyword (a Pascal string, without the asterisk) among the
   PPD's main keywords; 0 when the PPD lacks it. */
CF_EXPORT UInt32 ppdGetMainIndex(ppdContext context, ConstStr255Param mainKeyword);
/* Option 0: the keyword's own value; option n: the invocation of its nth choice. The result is
   a Pascal string of at most bufferSize - 1 (and 255) characters, cut safely when longer. */
CF_EXPORT OSStatus ppdGetInvocationString(ppdContext context, UInt32 mainIndex, UInt32 optionIndex, StringPtr outString, UInt32 bufferSize);
CF_EXPORT OSStatus ppdCloseCompiledPPDFromTicket(ppdContext context, FSSpec *ppdFile);

CF_EXTERN_C_END

#endif
