/* The pane entry points, and what each pane's qel-source supplies under fixed names. */
#ifndef QEL_PANE_H
#define QEL_PANE_H

#include <Carbon/Carbon.h>

#include "qel-globals.h"

/* Entry points of the PDE function table. Prologue, Initialize and Sync are the framework's;
   GetSummaryText is the pane's; Open, Close and Terminate come from the framework's deferred
   relationship unit or from the pane itself. Given a NULL context, every entry point but
   Terminate returns kPMInvalidPDEContext and Terminate returns noErr. */
OSStatus Prologue(PMPDEContext *context, OSType *creator, CFStringRef *userOptionKind, CFStringRef *title,
                  UInt32 *maxH, UInt32 *maxV);
OSStatus Initialize(PMPDEContext context, PMPDEFlags *flags, PMPDERef ref, ControlRef parentUserPane,
                    PMPrintSession printSession);
OSStatus Sync(PMPDEContext context, PMPrintSession printSession, Boolean reinitializePlugin);
OSStatus GetSummaryText(PMPDEContext context, CFArrayRef *titleArray, CFArrayRef *summaryArray);
OSStatus Open(PMPDEContext context);
OSStatus Close(PMPDEContext context);
OSStatus Terminate(PMPDEContext context, OSStatus status);

/* Supplied by every pane. */
OSStatus SyncPaneFromTicket(PMPDEContext context, PMPrintSession printSession);
OSStatus SyncTicketFromPane(PMPDEContext context, PMPrintSession printSession);
void EnforceRelationships(PMPDEContext context);
/* Looks up the container (id 1) and the pane's controls in the dialog's window, in the pane's
   order; true when every one was found. */
Boolean FindPaneControls(QEL_PDEContextPtr record, WindowRef parentWindow);
/* The pane's own attachments after the ticket read in Initialize. */
void AttachPaneConstraints(QEL_PDEContextPtr record);
/* Clears the pane's timer field at the start of Initialize. */
void ResetPaneTimer(QEL_PDEContextPtr record);
/* The command handler that AttachRelationshipHandlers installs on the container. */
OSStatus HandleRelationships(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData);

/* Supplied by the panes whose rules run deferred (with the framework's deferred unit). */
void DelayedRelationshipCallback(CFRunLoopTimerRef timer, void *inUserData);
/* The pane's own teardown in Terminate, before the handlers are detached. */
void DetachPaneConstraints(QEL_PDEContextPtr record);

/* The relationship handler on the container, shared by every pane. */
void AttachRelationshipHandlers(PMPDEContext context);
void DetachRelationshipHandlers(PMPDEContext context);

/* The deferral timer of the deferred unit. */
void ScheduleRelationshipUpdate(void *inUserData);

#endif
