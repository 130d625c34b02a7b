/* The job-mode pane's own functions: popup vocabularies, the five-digit fields and their digit
   keys, the two enabling rules. The framework's fixed names are declared in qel-pane.h. */
#ifndef QEL_SOURCE_H
#define QEL_SOURCE_H

#include <Carbon/Carbon.h>

/* ControlIDs of the pane's controls, signature 'qel '. */
enum {
    kJobModeContainerID = 1,
    kJobModePrintModeID = 5,
    kJobModeDINID = 6,
    kJobModeDepartmentID = 7,
    kJobModeDCID = 8,
    kJobModeBlankPagesID = 9
};

/* Every five-digit field has this many positions. */
enum { kJobModeDigitCount = 5 };

CFStringRef GetPrintMode(ControlRef inPrintModeControl);
void SetPrintMode(ControlRef inPrintModeControl, CFStringRef inPrintMode);
CFStringRef GetDepartmentCode(ControlRef inDepartmentCodeControl);
void SetDepartmentCode(ControlRef inDepartmentCodeControl, CFStringRef inDepartmentCode);
CFStringRef GetBlankPages(ControlRef inBlankPagesControl);
void SetBlankPages(ControlRef inBlankPagesControl, CFStringRef inBlankPages);

CFMutableStringRef CreateZeroPaddedDigitsFromTextField(ControlRef inDigitControl, SInt8 inMaxLength);
CFStringRef CreateNthDigitFromTextField(ControlRef inDigitControl, SInt8 inDigitOffset, SInt8 inMaxLength);
void SetDigitsInTextField(ControlRef inDigitControl, CFStringRef inDigits);
CFMutableStringRef CreateDigitsFromPPDDict(CFDictionaryRef inPPDDict, CFStringRef inKeyPrefix, SInt8 inMaxLength);
void SetIndividualDigitsInPPDFromTextField(ControlRef inDigitControl, SInt8 inMaxLength, CFStringRef inPPDValuePrefix,
                                           CFMutableDictionaryRef inPPDDict);

void EnforcePrivatePrintModeRelationship(PMPDEContext context);
void EnforceDepartmentCodeRelationship(PMPDEContext context);

#endif
