/* The Summary's two arrays, titles and values, kept row for row. */
#include "qel-summary.h"

/* Two new empty arrays of CF objects for a Summary's titles and values, handed to the caller. When
   either cannot be made neither is handed out: both come back NULL with memFullErr. */
static OSStatus CreateSummaryArrays(CFMutableArrayRef *outTitles, CFMutableArrayRef *outSummarys)
{
    CFMutableArrayRef titles = CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks);
    CFMutableArrayRef summarys = CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks);
    if (titles == NULL || summarys == NULL) {
        if (titles != NULL)
            CFRelease(titles);
        if (summarys != NULL)
            CFRelease(summarys);
        titles = NULL;
        summarys = NULL;
    }
    *outTitles = titles;
    *outSummarys = summarys;
    return titles != NULL ? noErr : memFullErr;
}

/* The opening of every pane's GetSummaryText: the record (borrowed) and two new empty arrays for
   its rows, handed to the caller. A NULL context is kPMInvalidPDEContext, judged before anything
   else; then a NULL out-argument is paramErr; then arrays that cannot be made are memFullErr. On
   any failure nothing is created and nothing is stored through titleArray or summaryArray. */
OSStatus CreateSummaryTextArrays(PMPDEContext inContext, const CFArrayRef *titleArray, const CFArrayRef *summaryArray,
                                 QEL_PDEContextPtr *outRecord, CFMutableArrayRef *outTitles,
                                 CFMutableArrayRef *outSummarys)
{
    *outRecord = GetQELContext(inContext);
    *outTitles = NULL;
    *outSummarys = NULL;
    if (*outRecord == NULL)
        return kPMInvalidPDEContext;
    if (titleArray == NULL || summaryArray == NULL)
        return paramErr;
    return CreateSummaryArrays(outTitles, outSummarys);
}

/* Appends one row: the title to inTitles and the value to inSummarys, at the same index. The
   arrays keep their own references; the caller keeps its. A row that lacks its title or its value
   is not appended (paramErr), so the two arrays never fall out of step; what to show instead is
   the pane's choice. */
OSStatus AppendSummaryRow(CFMutableArrayRef inTitles, CFMutableArrayRef inSummarys, CFStringRef inTitle,
                          CFStringRef inValue)
{
    if (inTitles == NULL || inSummarys == NULL || inTitle == NULL || inValue == NULL)
        return paramErr;
    CFArrayAppendValue(inTitles, inTitle);
    CFArrayAppendValue(inSummarys, inValue);
    return noErr;
}
