/* The colour-adjustment pane: nine sliders whose values travel to the printer as plain decimal
   strings, each mirrored by a display-only text field. A setting lives in its slider alone; the
   fields are rewritten from the sliders after every command, after every ticket read and, while
   the pane is open, twice a second, so they never lag behind a slider for long. */
#include "qel-coloradjust.h"

#include "apple-utilities.h"
#include "qel-bundle.h"
#include "qel-identity.h"
#include "qel-nib.h"
#include "qel-pane.h"
#include "qel-summary.h"

enum {
    kContainerID = 1,
    kFirstSliderID = 10,
    kFirstValueFieldID = 20
};

/* Ticket keys, in the order of the sliders. */
static const CFStringRef ppdKeys[kColorAdjustSettingCount] = {
    CFSTR("ColorBalanceCyan"), CFSTR("ColorBalanceMagenta"), CFSTR("ColorBalanceYellow"),
    CFSTR("ColorBalanceBlack"), CFSTR("SharpnessQRV"), CFSTR("BrightnessQRV"),
    CFSTR("ContrastQRV"), CFSTR("SaturationQRV"), CFSTR("BackgroundAdjustmentQRV")
};

/* Summary title keys of the strings table, in the same order. */
static const CFStringRef localisationStrings[kColorAdjustSettingCount] = {
    CFSTR("Cyan"), CFSTR("Magenta"), CFSTR("Yellow"), CFSTR("Black"), CFSTR("SharpnessQRV"),
    CFSTR("BrightnessQRV"), CFSTR("ContrastQRV"), CFSTR("SaturationQRV"), CFSTR("BackgroundAdjustmentQRV")
};

/* What a setting that the ticket does not hold loads as. */
#define kMissingTicketValue CFSTR("0")

/* ------------------------------------------------------------------------------------------------
   Slider values and their text
   ------------------------------------------------------------------------------------------------ */

/* The slider's value in the form the printer's options use: "%d", no padding, no plus sign.
   NULL for a missing slider, so that a save leaves that key alone. */
CFStringRef CopySliderValue(ControlRef inSlider)
{
    if (inSlider == NULL)
        return NULL;
    return CFStringCreateWithFormat(kCFAllocatorDefault, NULL, CFSTR("%d"), (int)GetControl32BitValue(inSlider));
}

/* Takes the leading decimal integer of the text, 0 when there is none (or no string at all); the
   slider itself pins a value outside its range. The value field is left to the next refresh. */
void SetSliderValue(CFStringRef inValue, ControlRef inSlider)
{
    if (inSlider == NULL)
        return;
    SInt32 value = 0;
    if (inValue != NULL && CFGetTypeID(inValue) == CFStringGetTypeID())
        value = CFStringGetIntValue(inValue);
    SetControl32BitValue(inSlider, value);
}

/* ------------------------------------------------------------------------------------------------
   Value fields following their sliders
   ------------------------------------------------------------------------------------------------ */

/* Rewrites one field from its slider and draws it at once, whatever it held before: the field is
   a mirror, so text put there by other means does not survive a refresh. */
void UpdateTextControlWithSliderValue(ControlRef inText, ControlRef inSlider)
{
    if (inText == NULL || inSlider == NULL)
        return;
    CFStringRef valueText = CopySliderValue(inSlider);
    if (valueText == NULL)
        return;
    (void)SetControlData(inText, kControlLabelPart, kControlStaticTextCFStringTag, sizeof(CFStringRef), &valueText);
    CFRelease(valueText);
    Draw1Control(inText);
}

/* All nine pairs, every time: cheap enough that comparing with the old text is not worth it. */
void EnforceSliderValueRelationships(PMPDEContext context)
{
    QEL_PDEContextPtr record = GetQELContext(context);
    if (record == NULL)
        return;
    for (int k = 0; k < kColorAdjustSettingCount; k++)
        UpdateTextControlWithSliderValue(record->control_Increment[k], record->control_Slider[k]);
}

/* The pane's only relationship is the fields following the sliders. */
void EnforceRelationships(PMPDEContext context)
{
    EnforceSliderValueRelationships(context);
}

/* The refresh timer's tick; the timer's info is the record. */
void EnforceRelationshipsCallback(CFRunLoopTimerRef inTimer, void *inUserData)
{
    (void)inTimer;
    EnforceRelationships((PMPDEContext)inUserData);
}

/* A moved slider shows its number at once rather than at the next tick. The command goes on to
   the dialog's own handlers. */
OSStatus HandleRelationships(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData)
{
    (void)inHandlerCallRef;
    (void)inEvent;
    EnforceSliderValueRelationships((PMPDEContext)inUserData);
    return eventNotHandledErr;
}

/* ------------------------------------------------------------------------------------------------
   Controls and the refresh timer. Built without the framework's deferred-rules unit, the pane
   supplies ResetPaneTimer, HandleRelationships (above), Open, Close and Terminate itself.
   ------------------------------------------------------------------------------------------------ */

/* Container first, then slider and field of each pair in order. Stops at the first missing
   control, so what was found before it stays recorded and the rest stay null. */
Boolean FindPaneControls(QEL_PDEContextPtr record, WindowRef parentWindow)
{
    record->control_InvisiblePane = GetControlFromWindow(parentWindow, kQELSignature, kContainerID);
    if (record->control_InvisiblePane == NULL)
        return false;
    for (int k = 0; k < kColorAdjustSettingCount; k++) {
        record->control_Slider[k] = GetControlFromWindow(parentWindow, kQELSignature, kFirstSliderID + k);
        if (record->control_Slider[k] == NULL)
            return false;
        record->control_Increment[k] = GetControlFromWindow(parentWindow, kQELSignature, kFirstValueFieldID + k);
        if (record->control_Increment[k] == NULL)
            return false;
    }
    return true;
}

/* The value fields are display only: nothing to filter. */
void AttachPaneConstraints(QEL_PDEContextPtr record)
{
    (void)record;
}

/* The refresh timer exists only between Open and Close. */
void ResetPaneTimer(QEL_PDEContextPtr record)
{
    record->updateTimer = NULL;
}

/* Invalidating also takes the timer off the run loop; the record's reference goes last. */
static void StopUpdateTimer(QEL_PDEContextPtr record)
{
    if (record->updateTimer == NULL)
        return;
    CFRunLoopTimerInvalidate(record->updateTimer);
    CFRelease(record->updateTimer);
    record->updateTimer = NULL;
}

/* Starts refreshing the fields: first on the run loop's next pass, then every half second. A
   timer that is already running is kept, so there is never a second one. If the timer cannot be
   made the pane still works; its fields follow commands and ticket reads only. */
OSStatus Open(PMPDEContext context)
{
    QEL_PDEContextPtr record = GetQELContext(context);
    if (record == NULL)
        return kPMInvalidPDEContext;
    if (record->updateTimer != NULL)
        return noErr;

    CFRunLoopTimerContext timerContext = { 0, record, NULL, NULL, NULL };
    record->updateTimer = CFRunLoopTimerCreate(kCFAllocatorDefault, CFAbsoluteTimeGetCurrent(),
                                               kColorAdjustRefreshInterval, 0, 0, EnforceRelationshipsCallback,
                                               &timerContext);
    if (record->updateTimer != NULL)
        CFRunLoopAddTimer(CFRunLoopGetCurrent(), record->updateTimer, kCFRunLoopCommonModes);
    return noErr;
}

/* A hidden pane needs no refreshes. */
OSStatus Close(PMPDEContext context)
{
    QEL_PDEContextPtr record = GetQELContext(context);
    if (record == NULL)
        return kPMInvalidPDEContext;
    StopUpdateTimer(record);
    return noErr;
}

/* The handler goes first, then the timer (the host may end without a last Close), and only then
   the record, so that no refresh can reach freed memory. */
OSStatus Terminate(PMPDEContext context, OSStatus status)
{
    (void)status;
    QEL_PDEContextPtr record = GetQELContext(context);
    if (record == NULL)
        return noErr;
    DetachRelationshipHandlers(context);
    StopUpdateTimer(record);
    DisposeQELContext(record);
    return noErr;
}

/* ------------------------------------------------------------------------------------------------
   Ticket
   ------------------------------------------------------------------------------------------------ */

/* Writes all nine keys, changed or not, so that after one save the ticket holds every setting. A
   value that cannot be made leaves its key as it was. */
OSStatus SyncTicketFromPane(PMPDEContext context, PMPrintSession printSession)
{
    QEL_PDEContextPtr record = NULL;
    CFMutableDictionaryRef ppdDict = NULL;
    OSStatus status = GetQELContextAndPPDDict(context, printSession, &record, &ppdDict);
    if (status != noErr)
        return status;

    for (int k = 0; k < kColorAdjustSettingCount; k++) {
        CFStringRef value = CopySliderValue(record->control_Slider[k]);
        if (value == NULL)
            continue;
        CFDictionarySetValue(ppdDict, ppdKeys[k], value);
        CFRelease(value);
    }
    return noErr;
}

/* Sets the nine sliders from the ticket and shows their new values. Reading never writes: a
   missing key loads as 0 and stays missing. */
OSStatus SyncPaneFromTicket(PMPDEContext context, PMPrintSession printSession)
{
    QEL_PDEContextPtr record = NULL;
    CFMutableDictionaryRef ppdDict = NULL;
    OSStatus status = GetQELContextAndPPDDict(context, printSession, &record, &ppdDict);
    if (status != noErr)
        return status;

    for (int k = 0; k < kColorAdjustSettingCount; k++)
        SetSliderValue(GetPPDDictString(ppdDict, ppdKeys[k], kMissingTicketValue), record->control_Slider[k]);
    EnforceRelationships(context);
    return noErr;
}

/* ------------------------------------------------------------------------------------------------
   Summary
   ------------------------------------------------------------------------------------------------ */

/* Appends one row (kept: the name says Set though it appends a row). The value text goes through
   the default strings table too, so that a table may put words in place of numbers; title and
   value fall back to their keys. */
void SetSliderSummaryValues(CFStringRef inTitle, ControlRef inSlider, CFMutableArrayRef inTitles,
                            CFMutableArrayRef inSummarys)
{
    CFBundleRef myBundle = GetPaneBundle();
    CFStringRef summary = CopySliderValue(inSlider);
    if (summary == NULL) /* deliberate: a row that cannot be made completely is left out */
        return;
    CFStringRef localSummary = CopyLocalizedStringOrKey(myBundle, summary, NULL);
    CFRelease(summary);
    CFStringRef localTitle = CopyLocalizedStringOrKey(myBundle, inTitle, NULL);

    /* deliberate: AppendSummaryRow leaves out a row without its title or value, as this pane wants */
    (void)AppendSummaryRow(inTitles, inSummarys, localTitle, localSummary);
    if (localTitle != NULL)
        CFRelease(localTitle);
    if (localSummary != NULL)
        CFRelease(localSummary);
}

/* Nine rows in slider order, from the sliders as they stand (saved or not). The host owns both
   arrays. */
OSStatus GetSummaryText(PMPDEContext context, CFArrayRef *titleArray, CFArrayRef *summaryArray)
{
    QEL_PDEContextPtr record = NULL;
    CFMutableArrayRef titles = NULL;
    CFMutableArrayRef summarys = NULL;
    OSStatus status = CreateSummaryTextArrays(context, titleArray, summaryArray, &record, &titles, &summarys);
    if (status == memFullErr) { /* deliberate: this pane hands back NULL arrays when none can be made */
        *titleArray = NULL;
        *summaryArray = NULL;
    }
    if (status != noErr)
        return status;

    for (int k = 0; k < kColorAdjustSettingCount; k++)
        SetSliderSummaryValues(localisationStrings[k], record->control_Slider[k], titles, summarys);
    *titleArray = titles;
    *summaryArray = summarys;
    return noErr;
}
