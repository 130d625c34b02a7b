/* The colour-adjustment pane's context record: nine sliders, the nine text fields that mirror
   them, the framework's relationship handler and the refresh timer that runs while the pane is
   open. */
#ifndef QEL_CONTEXT_H
#define QEL_CONTEXT_H

#include <Carbon/Carbon.h>

/* Four colour balances, sharpness, brightness, contrast, saturation and background adjustment. */
enum { kColorAdjustSettingCount = 9 };

typedef struct QEL_PDEContext {
    ControlRef parentUserPane;
    ControlRef control_InvisiblePane;
    ControlRef control_Slider[kColorAdjustSettingCount];
    ControlRef control_Increment[kColorAdjustSettingCount];
    EventHandlerUPP relationshipHandlerUPP;
    EventHandlerRef relationshipEventRef;
    CFRunLoopTimerRef updateTimer;
} QEL_PDEContext, *QEL_PDEContextPtr;

#endif
