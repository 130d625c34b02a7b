/* The imaging pane's own operations: the conversions between controls and option keywords, the
   two rules and the Summary rows. The framework reaches the pane through qel-pane.h. */
#ifndef QEL_IMAGING_H
#define QEL_IMAGING_H

#include <Carbon/Carbon.h>

#include "qel-pane.h"

/* The strings table through which the halftone pop-up maps to and from its keywords. */
#define kQELHalftoneTable CFSTR("Halftone")

CFStringRef CopyCheckbox(ControlRef inCheckbox);
void SetCheckbox(CFStringRef inValue, ControlRef inCheckbox);
CFStringRef CopyPopupMenu(ControlRef inPopupMenu, CFStringRef tableName);
void SetPopupMenu(CFStringRef inValue, ControlRef inPopupMenu, CFStringRef tableName);

void EnforceMonoRelationship(PMPDEContext context);
void EnforceResolutionRelationship(PMPDEContext context);

void SetPopupSummaryValues(CFStringRef inTitle, ControlRef inPopupMenu, CFMutableArrayRef inTitles,
                           CFMutableArrayRef inSummarys);
void SetCheckboxSummaryValues(CFStringRef inTitle, ControlRef inCheckbox, CFMutableArrayRef inTitles,
                              CFMutableArrayRef inSummarys);

#endif
