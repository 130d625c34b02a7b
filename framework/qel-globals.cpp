/* Creation and disposal of the context record, and reaching it with the ticket for a Sync. */
#include "qel-globals.h"
#include "apple-utilities.h"

#include <stdlib.h>

/* A zero-filled record, so every field starts null; NULL when memory runs out. */
QEL_PDEContextPtr CreateQELContext(void)
{
    return (QEL_PDEContextPtr)calloc(1, sizeof(QEL_PDEContext));
}

/* The context the host holds is the record's address. */
QEL_PDEContextPtr GetQELContext(PMPDEContext inContext)
{
    return (QEL_PDEContextPtr)inContext; /* NOLINT(performance-no-int-to-ptr): PMPDEContext is an integer */
}

/* Frees the record only: what it refers to belongs to whoever made it. */
void DisposeQELContext(QEL_PDEContextPtr inQELContext)
{
    free(inQELContext);
}

/* The record and the print-settings ticket's PPD dictionary (borrowed) that a Sync works on:
   kPMInvalidPDEContext without a record, else the status of the ticket access that failed. */
OSStatus GetQELContextAndPPDDict(PMPDEContext inContext, PMPrintSession printSession, QEL_PDEContextPtr *outRecord,
                                 CFMutableDictionaryRef *outPPDDict)
{
    *outRecord = GetQELContext(inContext);
    if (*outRecord == NULL)
        return kPMInvalidPDEContext;
    return GetPrintSettingsPPDDict(printSession, outPPDDict);
}
