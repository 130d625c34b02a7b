/* The printer test: the PPD's model name must be this deliverable's, exactly. */
#include "qel-printer.h"
#include "apple-utilities.h"
#include "qel-identity.h"

/* Never fails: every error along the way makes the answer false, so the pane is refused. */
Boolean IsPDENeededForThisPrinter(PMPrintSession printSession)
{
    PMTicketRef printerInfoTicket = NULL;
    if (GetTicketFromSession(printSession, kQELPrinterInfoTicketKey, &printerInfoTicket) != noErr)
        return false;

    ppdContext context = NULL;
    FSSpec ppdFile;
    if (ppdOpenCompiledPPDFromTicket(printerInfoTicket, &context, &ppdFile) != noErr)
        return false;

    Boolean isNeeded = false;
    static const unsigned char kModelNameKeyword[] = { 9, 'M', 'o', 'd', 'e', 'l', 'N', 'a', 'm', 'e' };
    UInt32 modelIndex = ppdGetMainIndex(context, kModelNameKeyword);
    if (modelIndex != 0) {
        Str255 modelStr;
        if (ppdGetInvocationString(context, modelIndex, 0, modelStr, sizeof(modelStr)) == noErr) {
            CFStringRef model = CFStringCreateWithPascalString(kCFAllocatorDefault, modelStr,
                                                               kCFStringEncodingMacRoman);
            if (model != NULL) {
                if (kQELShowsModelName)
                    CFShow(model);
                isNeeded = CFStringCompare(model, CFSTR(QEL_MODEL_NAME), 0) == kCFCompareEqualTo;
                CFRelease(model);
            }
        }
    }

    if (ppdCloseCompiledPPDFromTicket(context, &ppdFile) != noErr)
        isNeeded = false;
    return isNeeded;
}
