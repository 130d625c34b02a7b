/* The probe pane's context record: a mode popup and a five-digit number field. */
#ifndef QEL_CONTEXT_H
#define QEL_CONTEXT_H

#include <Carbon/Carbon.h>

typedef struct QEL_PDEContext {
    ControlRef parentUserPane; /* kept: first in every record and never filled (qel-pane.h) */
    ControlRef control_InvisiblePane;
    ControlRef control_Mode;
    ControlRef control_Number;
    void *constraintLength_Number;
    void *constraintDigitOnly_Number;
    EventHandlerUPP relationshipHandlerUPP;
    EventHandlerRef relationshipEventRef;
    CFRunLoopTimerRef updateRelationshipsTimer;
} QEL_PDEContext, *QEL_PDEContextPtr;

#endif
