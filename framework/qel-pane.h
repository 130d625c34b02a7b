/* The contract between the framework and a pane: the PDE entry points, the hooks each side
   supplies under fixed names, and the context-record fields that the framework uses by name. */
#ifndef QEL_PANE_H
#define QEL_PANE_H

#include <Carbon/Carbon.h>

#include <stddef.h>

#include "qel-globals.h"

/* ---- The context record ----
   Each pane declares its record, QEL_PDEContext with the pointer type QEL_PDEContextPtr, in its own
   qel-context.h. The framework uses these fields by name, so every record has them, in this order:

     ControlRef parentUserPane;               first, and never filled (kept: Initialize gets the
                                              host's user pane as an argument instead)
     ControlRef control_InvisiblePane;        the container, ControlID 'qel ' / 1: FindPaneControls
                                              fills it, AttachRelationshipHandlers installs on it
     ...                                      the pane's own fields: its controls and their handles
     EventHandlerUPP relationshipHandlerUPP;  the relationship handler's procedure and installed
     EventHandlerRef relationshipEventRef;    handler, owned by the record: Attach/DetachRelationshipHandlers
     CFRunLoopTimerRef updateRelationshipsTimer;  last, owned by the record: the deferral timer that
                                              the deferred-rules unit uses by name; a pane built
                                              without the unit names its own timer here

   Prologue creates the record zero-filled, so every field starts NULL; Terminate frees it. The
   checks below hold every pane's record to this order. */
static_assert(offsetof(QEL_PDEContext, parentUserPane) == 0, "parentUserPane is the record's first field");
static_assert(offsetof(QEL_PDEContext, control_InvisiblePane) == sizeof(ControlRef),
              "control_InvisiblePane follows parentUserPane");
static_assert(offsetof(QEL_PDEContext, relationshipEventRef) ==
                  offsetof(QEL_PDEContext, relationshipHandlerUPP) + sizeof(EventHandlerUPP),
              "relationshipEventRef follows relationshipHandlerUPP");
static_assert(sizeof(QEL_PDEContext) ==
                  offsetof(QEL_PDEContext, relationshipEventRef) + sizeof(EventHandlerRef) + sizeof(CFRunLoopTimerRef),
              "the pane's timer is the one field after relationshipEventRef");

/* ---- Entry points of the PDE function table (main.cpp fills the table) ----
   Prologue, Initialize and Sync are the framework's (qel-entrypoints.cpp); GetSummaryText is every
   pane's own; Open, Close and Terminate come from the deferred-rules unit, or from the pane when it
   is built without that unit. Prologue refuses a NULL out-argument with paramErr. Every entry point
   that takes a context returns kPMInvalidPDEContext for a NULL one before it looks at any other
   argument; Terminate alone returns noErr for it. */
OSStatus Prologue(PMPDEContext *context, OSType *creator, CFStringRef *userOptionKind, CFStringRef *title,
                  UInt32 *maxH, UInt32 *maxV);
OSStatus Initialize(PMPDEContext context, PMPDEFlags *flags, PMPDERef ref, ControlRef parentUserPane,
                    PMPrintSession printSession);
OSStatus Sync(PMPDEContext context, PMPrintSession printSession, Boolean reinitializePlugin);
/* Two new arrays, titles and values row for row, handed to the caller; paramErr for a NULL
   out-argument (after the context). The framework's qel-summary.h gives the opening. */
OSStatus GetSummaryText(PMPDEContext context, CFArrayRef *titleArray, CFArrayRef *summaryArray);
OSStatus Open(PMPDEContext context);
OSStatus Close(PMPDEContext context);
OSStatus Terminate(PMPDEContext context, OSStatus status);

/* ---- Hooks that every pane supplies (and GetSummaryText above) ---- */
/* Ticket into the controls: Sync with reinitializePlugin true, and so the ticket read of Initialize. */
OSStatus SyncPaneFromTicket(PMPDEContext context, PMPrintSession printSession);
/* Controls into the ticket: Sync with reinitializePlugin false. */
OSStatus SyncTicketFromPane(PMPDEContext context, PMPrintSession printSession);
/* The pane's rules: run at the end of Initialize, and by the deferral timer with the unit. */
void EnforceRelationships(PMPDEContext context);
/* Looks up the container (id 1) and the pane's controls in the dialog's window, in the pane's
   order; true when every one was found. */
Boolean FindPaneControls(QEL_PDEContextPtr record, WindowRef parentWindow);
/* The pane's own attachments after the ticket read in Initialize. */
void AttachPaneConstraints(QEL_PDEContextPtr record);

/* ---- Hooks of the deferred-rules unit ----
   qel-deferred-relationships.cpp, compiled in when qel_add_deliverable (framework/CMakeLists.txt)
   is given DEFERRED_RELATIONSHIPS, supplies these two and Open, Close and Terminate above. A pane
   built without the unit supplies all five itself. */
/* Clears the pane's timer field at the start of Initialize. */
void ResetPaneTimer(QEL_PDEContextPtr record);
/* The command handler that AttachRelationshipHandlers installs on the container. It always lets
   the command go on to the dialog's own handlers (eventNotHandledErr). */
OSStatus HandleRelationships(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData);

/* ---- Only with the deferred-rules unit ---- */
/* Supplied by the pane: its own teardown in the unit's Terminate, before the handlers come off. */
void DetachPaneConstraints(QEL_PDEContextPtr record);
/* Supplied by the unit: arms the deferral timer; HandleRelationships calls it. */
void ScheduleRelationshipUpdate(void *inUserData);
/* Supplied by the unit: the deferral timer's callback, which runs the pane's EnforceRelationships. */
void DelayedRelationshipCallback(CFRunLoopTimerRef timer, void *inUserData);

/* ---- Supplied by the framework to every pane (qel-relationships.cpp) ---- */
/* Installs HandleRelationships on control_InvisiblePane; called once by Initialize. */
void AttachRelationshipHandlers(PMPDEContext context);
/* Removes it; called by Terminate. */
void DetachRelationshipHandlers(PMPDEContext context);

/* What else the framework offers a pane: qel-globals.h (the record and the ticket's PPD
   dictionary), apple-utilities.h (tickets), qel-nib.h (controls by ControlID), qel-bundle.h (the
   pane's bundle and its strings), qel-summary.h (the Summary's arrays and rows) and
   qel-controlconstraints.h (key filters for text fields). */

#endif
