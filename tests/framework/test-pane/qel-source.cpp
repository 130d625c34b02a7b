/* The probe pane: the smallest pane that uses every part of the framework. Its rule enables the
   number field while the mode is "On"; the rule counts its runs so that tests can see them. */
#include "qel-bundle.h"
#include "qel-controlconstraints.h"
#include "qel-identity.h"
#include "qel-nib.h"
#include "qel-pane.h"
#include "qel-summary.h"
#include "apple-utilities.h"

#include "probe-hooks.h"

#include <stdexcept>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int gRuleRuns = 0;

int QELProbeRuleRunCount(void)
{
    return gRuleRuns;
}

Boolean FindPaneControls(QEL_PDEContextPtr record, WindowRef parentWindow)
{
    record->control_InvisiblePane = GetControlFromWindow(parentWindow, kQELSignature, 1);
    record->control_Mode = GetControlFromWindow(parentWindow, kQELSignature, 5);
    record->control_Number = GetControlFromWindow(parentWindow, kQELSignature, 6);
    return record->control_InvisiblePane != NULL && record->control_Mode != NULL && record->control_Number != NULL;
}

void AttachPaneConstraints(QEL_PDEContextPtr record)
{
    record->constraintLength_Number = AttachTextLengthConstraint(record->control_Number, 5);
    record->constraintDigitOnly_Number = AttachTextDigitOnlyConstraint(record->control_Number);
}

void DetachPaneConstraints(QEL_PDEContextPtr record)
{
    DetachTextConstraint(record->constraintLength_Number);
    DetachTextConstraint(record->constraintDigitOnly_Number);
    record->constraintLength_Number = NULL;
    record->constraintDigitOnly_Number = NULL;
}

/* A test may ask the pane to die on purpose (PDE_PROBE_CRASH), to see that the host passes on
   what a dying pane writes: a message and abort, an uncaught exception, a write through a null
   pointer, or a use after free that only a sanitizer catches. */
static void ThrowOnPurpose(void)
{
    throw std::runtime_error("probe crashed on purpose");
}

static void CallWithoutExceptions(void (*function)(void)) noexcept
{
    function();
}

static void CrashIfAsked(void)
{
    const char *how = getenv("PDE_PROBE_CRASH");
    if (how == NULL)
        return;
    fprintf(stderr, "probe: about to crash (%s)\n", how);
    if (strcmp(how, "abort") == 0)
        abort();
    if (strcmp(how, "throw") == 0)
        CallWithoutExceptions(ThrowOnPurpose);
    if (strcmp(how, "null-write") == 0) {
        volatile int *nowhere = NULL;
        *nowhere = 1;
    }
    if (strcmp(how, "use-after-free") == 0) {
        char *block = (char *)calloc(16, 1);
        char *volatile kept = block; /* the compiler cannot follow it through a volatile */
        free(block);
        fprintf(stderr, "probe: read %d\n", kept[3]);
    }
}

OSStatus SyncPaneFromTicket(PMPDEContext context, PMPrintSession printSession)
{
    CrashIfAsked();
    QEL_PDEContextPtr record = GetQELContext(context);
    CFMutableDictionaryRef ppdDict = NULL;
    OSStatus status = GetPrintSettingsPPDDict(printSession, &ppdDict);
    if (status != noErr)
        return status;

    CFTypeRef mode = CFDictionaryGetValue(ppdDict, CFSTR("ProbeMode"));
    Boolean isOn = mode != NULL && CFGetTypeID(mode) == CFStringGetTypeID() &&
                   CFStringCompare((CFStringRef)mode, CFSTR("On"), 0) == kCFCompareEqualTo;
    SetControl32BitValue(record->control_Mode, isOn ? 2 : 1);

    CFTypeRef number = CFDictionaryGetValue(ppdDict, CFSTR("ProbeNumber"));
    CFStringRef text = (number != NULL && CFGetTypeID(number) == CFStringGetTypeID()) ? (CFStringRef)number
                                                                                       : CFSTR("12345");
    SetControlData(record->control_Number, kControlEntireControl, kControlEditTextCFStringTag, sizeof(text), &text);
    EnforceRelationships(context);
    return noErr;
}

OSStatus SyncTicketFromPane(PMPDEContext context, PMPrintSession printSession)
{
    QEL_PDEContextPtr record = GetQELContext(context);
    CFMutableDictionaryRef ppdDict = NULL;
    OSStatus status = GetPrintSettingsPPDDict(printSession, &ppdDict);
    if (status != noErr)
        return status;

    CFDictionarySetValue(ppdDict, CFSTR("ProbeMode"),
                         GetControl32BitValue(record->control_Mode) == 2 ? CFSTR("On") : CFSTR("Off"));
    CFStringRef text = NULL;
    if (GetControlData(record->control_Number, kControlEntireControl, kControlEditTextCFStringTag, sizeof(text),
                       &text, NULL) == noErr && text != NULL) {
        CFDictionarySetValue(ppdDict, CFSTR("ProbeNumber"), text);
        CFRelease(text);
    }
    return noErr;
}

void EnforceRelationships(PMPDEContext context)
{
    QEL_PDEContextPtr record = GetQELContext(context);
    gRuleRuns++;
    if (GetControl32BitValue(record->control_Mode) == 2)
        EnableControl(record->control_Number);
    else
        DisableControl(record->control_Number);
}

/* The mode row, and the number row when the field's text can be read. */
OSStatus GetSummaryText(PMPDEContext context, CFArrayRef *titleArray, CFArrayRef *summaryArray)
{
    QEL_PDEContextPtr record = NULL;
    CFMutableArrayRef titles = NULL;
    CFMutableArrayRef summarys = NULL;
    OSStatus status = CreateSummaryTextArrays(context, titleArray, summaryArray, &record, &titles, &summarys);
    if (status != noErr)
        return status;
    CFBundleRef bundle = GetPaneBundle();

    CFStringRef title = CopyLocalizedStringOrKey(bundle, CFSTR("MODE"), NULL);
    (void)AppendSummaryRow(titles, summarys, title,
                           GetControl32BitValue(record->control_Mode) == 2 ? CFSTR("On") : CFSTR("Off"));
    if (title != NULL)
        CFRelease(title);

    CFStringRef text = NULL;
    if (GetControlData(record->control_Number, kControlEntireControl, kControlEditTextCFStringTag, sizeof(text),
                       &text, NULL) == noErr && text != NULL) {
        title = CopyLocalizedStringOrKey(bundle, CFSTR("NUMBER"), NULL);
        (void)AppendSummaryRow(titles, summarys, title, text);
        if (title != NULL)
            CFRelease(title);
        CFRelease(text);
    }
    *titleArray = titles;
    *summaryArray = summarys;
    return noErr;
}
