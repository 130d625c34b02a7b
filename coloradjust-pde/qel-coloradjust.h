/* The colour-adjustment pane's own functions, beyond those that every pane supplies (qel-pane.h). */
#ifndef QEL_COLORADJUST_H
#define QEL_COLORADJUST_H

#include <Carbon/Carbon.h>

#include "qel-globals.h"

/* Seconds between two refreshes of the value fields while the pane is open. */
#define kColorAdjustRefreshInterval 0.5

/* Slider value <-> decimal text. */
CFStringRef CopySliderValue(ControlRef inSlider);
void SetSliderValue(CFStringRef inValue, ControlRef inSlider);

/* The value fields following their sliders. */
void UpdateTextControlWithSliderValue(ControlRef inText, ControlRef inSlider);
void EnforceSliderValueRelationships(PMPDEContext context);
void EnforceRelationshipsCallback(CFRunLoopTimerRef inTimer, void *inUserData);

/* One Summary line: localized title and localized value text. */
void SetSliderSummaryValues(CFStringRef inTitle, ControlRef inSlider, CFMutableArrayRef inTitles,
                            CFMutableArrayRef inSummarys);

#endif
