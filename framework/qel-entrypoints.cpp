/* Prologue, Initialize and Sync: the frame that every pane runs in. */
#include "qel-identity.h"
#include "qel-nib.h"
#include "qel-pane.h"
#include "qel-printer.h"

/* Creates the record and measures the nib window. The record is handed out even when the result
   is an error, so that Terminate can free it; creator and kind are set in every case. */
OSStatus Prologue(PMPDEContext *context, OSType *creator, CFStringRef *userOptionKind, CFStringRef *title,
                  UInt32 *maxH, UInt32 *maxV)
{
    if (context == NULL || creator == NULL || userOptionKind == NULL || title == NULL || maxH == NULL ||
        maxV == NULL)
        return paramErr;

    QEL_PDEContextPtr record = CreateQELContext();
    *context = (PMPDEContext)record;
    *creator = kQELSignature;
    *userOptionKind = CFSTR(QEL_PANE_KIND);
    if (record == NULL)
        return memFullErr;

    OSStatus result = kPMInvalidPDEContext;
    WindowRef window = CreatePDEWindow();
    if (window != NULL) {
        Rect contentBounds;
        result = GetWindowBounds(window, kWindowContentRgn, &contentBounds);
        if (result == noErr) {
            *maxH = (UInt32)(contentBounds.right - contentBounds.left);
            *maxV = (UInt32)(contentBounds.bottom - contentBounds.top);
            result = CopyWindowTitleAsCFString(window, title);
        }
        DisposeWindow(window);
    }
    return result;
}

/* Refuses other printers, moves the nib's container into the dialog's user pane, finds the
   controls, fills them from the ticket, attaches handlers and runs the rules once. The result is
   the ticket read's status; a missing control is kPMInvalidPDEContext. */
OSStatus Initialize(PMPDEContext context, PMPDEFlags *flags, PMPDERef ref, ControlRef parentUserPane,
                    PMPrintSession printSession)
{
    (void)ref;
    if (context == 0)
        return kPMInvalidPDEContext;
    if (!IsPDENeededForThisPrinter(printSession))
        return kPMInvalidPDEContext;

    QEL_PDEContextPtr record = GetQELContext(context);
    ResetPaneTimer(record);
    if (flags != NULL)
        *flags = kPMPDENoFlags;

    WindowRef nibWindow = CreatePDEWindow();
    MoveControlToPane(nibWindow, kQELSignature, 1, parentUserPane);

    WindowRef parentWindow = GetControlOwner(parentUserPane);
    Boolean foundEveryControl = FindPaneControls(record, parentWindow);
    if (nibWindow != NULL)
        DisposeWindow(nibWindow);
    if (!foundEveryControl)
        return kPMInvalidPDEContext;

    OSStatus result = Sync(context, printSession, true);
    AttachPaneConstraints(record);
    AttachRelationshipHandlers(context);
    EnforceRelationships(context);
    return result;
}

/* true: ticket into the controls; false: controls into the ticket. */
OSStatus Sync(PMPDEContext context, PMPrintSession printSession, Boolean reinitializePlugin)
{
    if (context == 0)
        return kPMInvalidPDEContext;
    return reinitializePlugin ? SyncPaneFromTicket(context, printSession)
                              : SyncTicketFromPane(context, printSession);
}
