/* The pane's context record: one per pane, from Prologue to Terminate, and the ticket a Sync works on. */
#ifndef QEL_GLOBALS_H
#define QEL_GLOBALS_H

#include <PrintCore/PMPrintingDialogExtensions.h>

#include "qel-context.h" /* the deliverable's own record layout */

QEL_PDEContextPtr CreateQELContext(void);
QEL_PDEContextPtr GetQELContext(PMPDEContext inContext);
void DisposeQELContext(QEL_PDEContextPtr inQELContext);
OSStatus GetQELContextAndPPDDict(PMPDEContext inContext, PMPrintSession printSession, QEL_PDEContextPtr *outRecord,
                                 CFMutableDictionaryRef *outPPDDict);

#endif
