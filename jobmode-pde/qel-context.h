/* The job-mode pane's context record: its five controls, the key filters of its two number fields
   and the framework's relationship handler and deferral timer. */
#ifndef QEL_CONTEXT_H
#define QEL_CONTEXT_H

#include <Carbon/Carbon.h>

typedef struct QEL_PDEContext {
    ControlRef parentUserPane; /* kept: first in every record and never filled (qel-pane.h) */
    ControlRef control_InvisiblePane;
    ControlRef control_PrintMode;
    ControlRef control_DIN;
    ControlRef control_Department;
    ControlRef control_DC;
    ControlRef control_BlankPages;
    void *constraintLength_DIN;
    void *constraintLength_DC;
    void *constraintDigitOnly_DIN;
    void *constraintDigitOnly_DC;
    EventHandlerUPP relationshipHandlerUPP;
    EventHandlerRef relationshipEventRef;
    CFRunLoopTimerRef updateRelationshipsTimer;
} QEL_PDEContext, *QEL_PDEContextPtr;

#endif
