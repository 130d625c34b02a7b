/* The imaging pane's context record: the container, six pop-up menus and two check boxes, then the
   relationship handler and its deferral timer. */
#ifndef QEL_CONTEXT_H
#define QEL_CONTEXT_H

#include <Carbon/Carbon.h>

typedef struct QEL_PDEContext {
    ControlRef parentUserPane; /* kept: first in every record and never filled (qel-pane.h) */
    ControlRef control_InvisiblePane;
    ControlRef control_ColorType;
    ControlRef control_Resolution;
    ControlRef control_Halftone;
    ControlRef control_DistinguishThinLines;
    ControlRef control_TonerSave;
    ControlRef control_ImageType;
    ControlRef control_BlackOverPrint;
    ControlRef control_PureBlackGray;
    EventHandlerUPP relationshipHandlerUPP;
    EventHandlerRef relationshipEventRef;
    CFRunLoopTimerRef updateRelationshipsTimer;
} QEL_PDEContext, *QEL_PDEContextPtr;

#endif
