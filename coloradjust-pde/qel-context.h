/* The colour-adjustment pane's context record: nine sliders, the nine text fields that mirror
   them, the framework's relationship handler and the refresh timer that runs while the pane is
   open. */
#ifndef QEL_CONTEXT_H
#define QEL_CONTEXT_H

#include <Carbon/Carbon.h>

/* Four colour balances, sharpness, brightness, contrast, saturation and background adjustment. */
enum { kColorAdjustSettingCount = 9 };

typedef struct QEL_PDEContext {
    ControlRef parentUserPane; /* kept: first in every record and never filled (qel-pane.h) */
    ControlRef control_InvisiblePane;
    ControlRef control_Slider[kColorAdjustSettingCount];
    ControlRef control_Increment[kColorAdjustSettingCount]; /* the value fields (kept: named Increment) */
    EventHandlerUPP relationshipHandlerUPP;
    EventHandlerRef relationshipEventRef;
    CFRunLoopTimerRef updateTimer; /* the refresh timer: no deferred-rules unit, so its own name */
} QEL_PDEContext, *QEL_PDEContextPtr;

#endif
