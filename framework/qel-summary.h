/* What every pane's GetSummaryText shares: its opening with the two arrays, and appending a row. */
#ifndef QEL_SUMMARY_H
#define QEL_SUMMARY_H

#include <CoreFoundation/CoreFoundation.h>

#include "qel-globals.h"

OSStatus CreateSummaryTextArrays(PMPDEContext inContext, const CFArrayRef *titleArray, const CFArrayRef *summaryArray,
                                 QEL_PDEContextPtr *outRecord, CFMutableArrayRef *outTitles,
                                 CFMutableArrayRef *outSummarys);
OSStatus AppendSummaryRow(CFMutableArrayRef inTitles, CFMutableArrayRef inSummarys, CFStringRef inTitle,
                          CFStringRef inValue);

#endif
