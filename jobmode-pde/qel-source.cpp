/* The job-mode pane: print mode, document number, department code and blank pages. The two
   five-digit numbers travel to the printer one digit per PPD keyword; the document number matters
   only for private jobs and the department code only while its switch is on, so their fields are
   enabled by those two choices. */
#include "qel-source.h"

#include "apple-utilities.h"
#include "qel-bundle.h"
#include "qel-controlconstraints.h"
#include "qel-identity.h"
#include "qel-nib.h"
#include "qel-pane.h"
#include "qel-summary.h"

#define kPrintModeKey CFSTR("PrintMode")
#define kDeptCodeKey CFSTR("DeptCode")
#define kBlankPageKey CFSTR("BlankPage")
#define kDINDigitPrefix CFSTR("DINDigit")
#define kDCDigitPrefix CFSTR("DCDigit")

#define kDefaultPrintMode CFSTR("Normal")
#define kDefaultSwitch CFSTR("False")
#define kDefaultDigits CFSTR("24680")

/* kept: the title a row shows when the strings table lacks its key */
#define kMissingTitle CFSTR("Missing Localizable.strings")

enum {
    kPrintModeItemCount = 4,
    kSwitchItemCount = 2
};

/* ------------------------------------------------------------------------------------------------
   Popup vocabularies
   ------------------------------------------------------------------------------------------------ */

/* The print-mode keyword of a popup item; any item outside the menu reads as the first. */
static CFStringRef PrintModeKeywordForItem(SInt32 inItem)
{
    switch (inItem) {
    case 2:
        return CFSTR("Hold");
    case 3:
        return CFSTR("Proof");
    case 4:
        return CFSTR("Private");
    default:
        return CFSTR("Normal");
    }
}

/* The switch and blank-pages popups share one two-item vocabulary: only item 2 means "True". */
static CFStringRef SwitchKeywordForItem(SInt32 inItem)
{
    return inItem == 2 ? CFSTR("True") : CFSTR("False");
}

/* The item whose keyword equals the given one exactly; item 1 when none does, also for a missing
   or non-string keyword, so a stored value never fails a load. */
static SInt32 ItemForKeyword(CFStringRef inKeyword, CFStringRef (*inKeywordForItem)(SInt32), SInt32 inItemCount)
{
    if (inKeyword == NULL || CFGetTypeID(inKeyword) != CFStringGetTypeID())
        return 1;
    for (SInt32 item = 1; item <= inItemCount; item++) {
        if (CFStringCompare(inKeyword, inKeywordForItem(item), 0) == kCFCompareEqualTo)
            return item;
    }
    return 1;
}

/* Clears the check mark that the old choice left in the menu before selecting the new item; a
   popup without a menu still gets its value. */
static void SelectPopupItem(ControlRef inPopup, SInt32 inItem)
{
    MenuRef menu = GetControlPopupMenuHandle(inPopup);
    if (menu != NULL) {
        SInt32 selected = GetControl32BitValue(inPopup);
        if (selected >= 1 && selected <= 0xFFFF)
            CheckMenuItem(menu, (MenuItemIndex)selected, false);
    }
    SetControl32BitValue(inPopup, inItem);
}

/* The keyword the ticket carries for the selected print mode (a constant). */
CFStringRef GetPrintMode(ControlRef inPrintModeControl)
{
    return PrintModeKeywordForItem(GetControl32BitValue(inPrintModeControl));
}

/* Any word outside the table selects "Normal", the printer's own default. */
void SetPrintMode(ControlRef inPrintModeControl, CFStringRef inPrintMode)
{
    SelectPopupItem(inPrintModeControl, ItemForKeyword(inPrintMode, PrintModeKeywordForItem, kPrintModeItemCount));
}

/* "True" while the department code is switched on. */
CFStringRef GetDepartmentCode(ControlRef inDepartmentCodeControl)
{
    return SwitchKeywordForItem(GetControl32BitValue(inDepartmentCodeControl));
}

/* Only an exact "True" switches the code on. */
void SetDepartmentCode(ControlRef inDepartmentCodeControl, CFStringRef inDepartmentCode)
{
    SelectPopupItem(inDepartmentCodeControl, ItemForKeyword(inDepartmentCode, SwitchKeywordForItem, kSwitchItemCount));
}

/* "True" when blank pages are to be printed. */
CFStringRef GetBlankPages(ControlRef inBlankPagesControl)
{
    return SwitchKeywordForItem(GetControl32BitValue(inBlankPagesControl));
}

/* Only an exact "True" prints blank pages. */
void SetBlankPages(ControlRef inBlankPagesControl, CFStringRef inBlankPages)
{
    SelectPopupItem(inBlankPagesControl, ItemForKeyword(inBlankPages, SwitchKeywordForItem, kSwitchItemCount));
}

/* ------------------------------------------------------------------------------------------------
   Five-digit fields and their digit keys
   ------------------------------------------------------------------------------------------------ */

/* The field's text left-filled with '0' up to inMaxLength; a longer text is kept whole, since the
   filters limit only typing. NULL when the text cannot be read. */
CFMutableStringRef CreateZeroPaddedDigitsFromTextField(ControlRef inDigitControl, SInt8 inMaxLength)
{
    CFStringRef text = NULL;
    OSStatus err = GetControlData(inDigitControl, kControlEntireControl, kControlEditTextCFStringTag,
                                  sizeof(CFStringRef), &text, NULL);
    if (err != noErr || text == NULL)
        return NULL;

    CFMutableStringRef digits = NULL;
    CFIndex shortfall = (CFIndex)inMaxLength - CFStringGetLength(text);
    if (shortfall > 0) {
        digits = CFStringCreateMutable(kCFAllocatorDefault, inMaxLength);
        if (digits != NULL) {
            for (CFIndex index = 0; index < shortfall; index++)
                CFStringAppend(digits, CFSTR("0"));
            CFStringAppend(digits, text);
        }
    } else {
        digits = CFStringCreateMutableCopy(kCFAllocatorDefault, 0, text);
    }
    CFRelease(text);
    return digits;
}

/* One position of the padded field as a one-character string; NULL when the field cannot be read
   or the offset lies outside the text, so that nothing is stored for that position. */
CFStringRef CreateNthDigitFromTextField(ControlRef inDigitControl, SInt8 inDigitOffset, SInt8 inMaxLength)
{
    CFMutableStringRef digits = CreateZeroPaddedDigitsFromTextField(inDigitControl, inMaxLength);
    if (digits == NULL)
        return NULL;

    CFStringRef digit = NULL;
    if (inDigitOffset >= 0 && inDigitOffset < CFStringGetLength(digits)) {
        UniChar character = CFStringGetCharacterAtIndex(digits, inDigitOffset);
        digit = CFStringCreateWithCharacters(kCFAllocatorDefault, &character, 1);
    }
    CFRelease(digits);
    return digit;
}

/* The field keeps its own copy, so the caller still owns inDigits. */
void SetDigitsInTextField(ControlRef inDigitControl, CFStringRef inDigits)
{
    if (inDigits == NULL)
        return;
    SetControlData(inDigitControl, kControlEntireControl, kControlEditTextCFStringTag, sizeof(CFStringRef), &inDigits);
}

/* "DINDigit3" and the like: the prefix followed by the 1-based position. */
static CFStringRef CreateDigitKey(CFStringRef inKeyPrefix, SInt32 inPosition)
{
    return CFStringCreateWithFormat(kCFAllocatorDefault, NULL, CFSTR("%@%d"), inKeyPrefix, (int)inPosition);
}

/* Writes each position of the field under its own key. A position that cannot be read leaves its
   key as it was rather than storing something the printer would reject. */
void SetIndividualDigitsInPPDFromTextField(ControlRef inDigitControl, SInt8 inMaxLength, CFStringRef inPPDValuePrefix,
                                           CFMutableDictionaryRef inPPDDict)
{
    if (inPPDDict == NULL || inPPDValuePrefix == NULL)
        return;
    for (SInt32 position = 1; position <= inMaxLength; position++) {
        CFStringRef digit = CreateNthDigitFromTextField(inDigitControl, (SInt8)(position - 1), inMaxLength);
        if (digit == NULL)
            continue;
        CFStringRef key = CreateDigitKey(inPPDValuePrefix, position);
        if (key != NULL) {
            CFDictionarySetValue(inPPDDict, key, digit);
            CFRelease(key);
        }
        CFRelease(digit);
    }
}

/* Joins the digit keys back into one number. Any missing (or non-string) position gives NULL,
   never a shorter number, so the caller falls back to its default. */
CFMutableStringRef CreateDigitsFromPPDDict(CFDictionaryRef inPPDDict, CFStringRef inKeyPrefix, SInt8 inMaxLength)
{
    if (inPPDDict == NULL || inKeyPrefix == NULL || inMaxLength <= 0)
        return NULL;

    CFMutableStringRef digits = CFStringCreateMutable(kCFAllocatorDefault, 0);
    if (digits == NULL)
        return NULL;

    Boolean isMissing = false;
    for (SInt32 position = 1; position <= inMaxLength; position++) {
        CFStringRef key = CreateDigitKey(inKeyPrefix, position);
        if (key == NULL) {
            isMissing = true;
            continue;
        }
        CFStringRef digit = GetPPDDictString(inPPDDict, key, NULL);
        CFRelease(key);
        if (digit != NULL)
            CFStringAppend(digits, digit);
        else
            isMissing = true;
    }

    if (isMissing) {
        CFRelease(digits);
        return NULL;
    }
    return digits;
}

/* ------------------------------------------------------------------------------------------------
   Framework hooks: controls, key filters, rules
   ------------------------------------------------------------------------------------------------ */

/* Every lookup is made even after a miss, so the record never holds a stale control. */
Boolean FindPaneControls(QEL_PDEContextPtr record, WindowRef parentWindow)
{
    record->control_InvisiblePane = GetControlFromWindow(parentWindow, kQELSignature, kJobModeContainerID);
    record->control_PrintMode = GetControlFromWindow(parentWindow, kQELSignature, kJobModePrintModeID);
    record->control_DIN = GetControlFromWindow(parentWindow, kQELSignature, kJobModeDINID);
    record->control_Department = GetControlFromWindow(parentWindow, kQELSignature, kJobModeDepartmentID);
    record->control_DC = GetControlFromWindow(parentWindow, kQELSignature, kJobModeDCID);
    record->control_BlankPages = GetControlFromWindow(parentWindow, kQELSignature, kJobModeBlankPagesID);
    return record->control_InvisiblePane != NULL && record->control_PrintMode != NULL && record->control_DIN != NULL &&
           record->control_Department != NULL && record->control_DC != NULL && record->control_BlankPages != NULL;
}

/* Attached after the ticket read, so that only what the user types is filtered. A filter that
   cannot be attached leaves its handle NULL. */
void AttachPaneConstraints(QEL_PDEContextPtr record)
{
    record->constraintLength_DIN = AttachTextLengthConstraint(record->control_DIN, kJobModeDigitCount);
    record->constraintLength_DC = AttachTextLengthConstraint(record->control_DC, kJobModeDigitCount);
    record->constraintDigitOnly_DIN = AttachTextDigitOnlyConstraint(record->control_DIN);
    record->constraintDigitOnly_DC = AttachTextDigitOnlyConstraint(record->control_DC);
}

/* The record owns the four filters; NULL handles are ignored by DetachTextConstraint. */
void DetachPaneConstraints(QEL_PDEContextPtr record)
{
    DetachTextConstraint(record->constraintLength_DIN);
    record->constraintLength_DIN = NULL;
    DetachTextConstraint(record->constraintLength_DC);
    record->constraintLength_DC = NULL;
    DetachTextConstraint(record->constraintDigitOnly_DIN);
    record->constraintDigitOnly_DIN = NULL;
    DetachTextConstraint(record->constraintDigitOnly_DC);
    record->constraintDigitOnly_DC = NULL;
}

/* The document number belongs to private jobs only. Its text is kept when disabled. */
void EnforcePrivatePrintModeRelationship(PMPDEContext context)
{
    QEL_PDEContextPtr record = GetQELContext(context);
    if (record == NULL)
        return;
    if (CFStringCompare(GetPrintMode(record->control_PrintMode), CFSTR("Private"), 0) == kCFCompareEqualTo)
        EnableControl(record->control_DIN);
    else
        DisableControl(record->control_DIN);
}

/* The department code is typed only while its switch is on. */
void EnforceDepartmentCodeRelationship(PMPDEContext context)
{
    QEL_PDEContextPtr record = GetQELContext(context);
    if (record == NULL)
        return;
    if (CFStringCompare(GetDepartmentCode(record->control_Department), CFSTR("True"), 0) == kCFCompareEqualTo)
        EnableControl(record->control_DC);
    else
        DisableControl(record->control_DC);
}

/* Both rules, after every ticket read, once at the end of Initialize and, through the framework's
   deferral timer, after the user's commands. */
void EnforceRelationships(PMPDEContext context)
{
    EnforcePrivatePrintModeRelationship(context);
    EnforceDepartmentCodeRelationship(context);
}

/* ------------------------------------------------------------------------------------------------
   Ticket synchronisation
   ------------------------------------------------------------------------------------------------ */

/* Writes every key on every save, the digit groups included whatever the mode and switch say,
   so the job always carries a complete set. */
OSStatus SyncTicketFromPane(PMPDEContext context, PMPrintSession printSession)
{
    QEL_PDEContextPtr record = NULL;
    CFMutableDictionaryRef ppdDict = NULL;
    OSStatus err = GetQELContextAndPPDDict(context, printSession, &record, &ppdDict);
    if (err != noErr)
        return err;

    CFStringRef printMode = GetPrintMode(record->control_PrintMode);
    CFStringRef departmentCode = GetDepartmentCode(record->control_Department);
    CFStringRef blankPages = GetBlankPages(record->control_BlankPages);

    CFDictionarySetValue(ppdDict, kDeptCodeKey, departmentCode);
    CFDictionarySetValue(ppdDict, kPrintModeKey, printMode);
    CFDictionarySetValue(ppdDict, kBlankPageKey, blankPages);
    SetIndividualDigitsInPPDFromTextField(record->control_DIN, kJobModeDigitCount, kDINDigitPrefix, ppdDict);
    SetIndividualDigitsInPPDFromTextField(record->control_DC, kJobModeDigitCount, kDCDigitPrefix, ppdDict);
    return noErr;
}

/* Fills every control, each missing entry taking its default, then runs the rules. A ticket that
   cannot be reached leaves the pane exactly as it was. */
OSStatus SyncPaneFromTicket(PMPDEContext context, PMPrintSession printSession)
{
    QEL_PDEContextPtr record = NULL;
    CFMutableDictionaryRef ppdDict = NULL;
    OSStatus err = GetQELContextAndPPDDict(context, printSession, &record, &ppdDict);
    if (err != noErr)
        return err;

    CFStringRef printMode = GetPPDDictString(ppdDict, kPrintModeKey, NULL);
    CFMutableStringRef documentNumber = CreateDigitsFromPPDDict(ppdDict, kDINDigitPrefix, kJobModeDigitCount);
    CFStringRef departmentCode = GetPPDDictString(ppdDict, kDeptCodeKey, NULL);
    CFMutableStringRef departmentDigits = CreateDigitsFromPPDDict(ppdDict, kDCDigitPrefix, kJobModeDigitCount);
    CFStringRef blankPages = GetPPDDictString(ppdDict, kBlankPageKey, NULL);

    SetPrintMode(record->control_PrintMode, printMode != NULL ? printMode : kDefaultPrintMode);
    SetDigitsInTextField(record->control_DIN, documentNumber != NULL ? (CFStringRef)documentNumber : kDefaultDigits);
    SetDepartmentCode(record->control_Department, departmentCode != NULL ? departmentCode : kDefaultSwitch);
    SetDigitsInTextField(record->control_DC, departmentDigits != NULL ? (CFStringRef)departmentDigits : kDefaultDigits);
    SetBlankPages(record->control_BlankPages, blankPages != NULL ? blankPages : kDefaultSwitch);

    if (documentNumber != NULL)
        CFRelease(documentNumber);
    if (departmentDigits != NULL)
        CFRelease(departmentDigits);

    EnforceRelationships(context);
    return noErr;
}

/* ------------------------------------------------------------------------------------------------
   Summary
   ------------------------------------------------------------------------------------------------ */

/* The row title from the bundle's default strings table, looked up afresh each time. A lookup
   that yields nothing shows the missing-table text, not the key: deliberate, this pane's rows say
   that the table is missing. */
static CFStringRef CopySummaryTitle(CFStringRef inKey)
{
    CFBundleRef myBundle = GetPaneBundle();
    CFStringRef title = NULL;
    if (myBundle != NULL)
        title = CFBundleCopyLocalizedString(myBundle, inKey, kMissingTitle, NULL);
    if (title == NULL)
        title = (CFStringRef)CFRetain(kMissingTitle);
    return title;
}

/* The text the user sees on the popup's selected item. A popup without a menu is
   kPMGeneralError; a failed copy returns its own status. */
static OSStatus CopySelectedItemText(ControlRef inPopup, CFStringRef *outText)
{
    MenuRef menu = GetControlPopupMenuHandle(inPopup);
    if (menu == NULL)
        return kPMGeneralError;
    SInt32 selected = GetControl32BitValue(inPopup);
    if (selected < 0 || selected > 0xFFFF)
        selected = 0;
    CFStringRef text = NULL;
    OSStatus err = CopyMenuItemTextAsCFString(menu, (MenuItemIndex)selected, &text);
    if (err != noErr)
        return err;
    if (text == NULL)
        return kPMGeneralError;
    *outText = text;
    return noErr;
}

/* A popup row: its title and the selected item's text. */
static OSStatus AppendPopupRow(CFMutableArrayRef inTitles, CFMutableArrayRef inSummarys, CFStringRef inTitleKey,
                               ControlRef inPopup)
{
    CFStringRef text = NULL;
    OSStatus err = CopySelectedItemText(inPopup, &text);
    if (err != noErr)
        return err;
    CFStringRef title = CopySummaryTitle(inTitleKey);
    (void)AppendSummaryRow(inTitles, inSummarys, title, text);
    CFRelease(title);
    CFRelease(text);
    return noErr;
}

/* A number row: the field in full with its leading '0's. */
static void AppendDigitsRow(CFMutableArrayRef inTitles, CFMutableArrayRef inSummarys, CFStringRef inTitleKey,
                            ControlRef inDigitControl)
{
    CFStringRef digits = CreateZeroPaddedDigitsFromTextField(inDigitControl, kJobModeDigitCount);
    if (digits == NULL) /* deliberate: an unreadable field keeps its row, with an empty value */
        digits = (CFStringRef)CFRetain(CFSTR(""));
    CFStringRef title = CopySummaryTitle(inTitleKey);
    (void)AppendSummaryRow(inTitles, inSummarys, title, digits);
    CFRelease(title);
    CFRelease(digits);
}

/* Two to four rows from the controls as they stand: print mode, the document number for private
   jobs, blank pages, and the department code while its switch is on. All rows or none: on failure
   nothing is handed out. */
OSStatus GetSummaryText(PMPDEContext context, CFArrayRef *titleArray, CFArrayRef *summaryArray)
{
    QEL_PDEContextPtr record = NULL;
    CFMutableArrayRef titles = NULL;
    CFMutableArrayRef summarys = NULL;
    OSStatus err = CreateSummaryTextArrays(context, titleArray, summaryArray, &record, &titles, &summarys);

    /* kept: the strings tables title the print-mode row under the key "DINTITLE" */
    if (err == noErr)
        err = AppendPopupRow(titles, summarys, CFSTR("DINTITLE"), record->control_PrintMode);
    if (err == noErr) {
        if (CFStringCompare(GetPrintMode(record->control_PrintMode), CFSTR("Private"), 0) == kCFCompareEqualTo)
            AppendDigitsRow(titles, summarys, CFSTR("DIN"), record->control_DIN);
        err = AppendPopupRow(titles, summarys, CFSTR("BLANKPAGES"), record->control_BlankPages);
    }
    if (err == noErr) {
        if (CFStringCompare(GetDepartmentCode(record->control_Department), CFSTR("True"), 0) == kCFCompareEqualTo)
            AppendDigitsRow(titles, summarys, CFSTR("DC"), record->control_DC);
    }

    if (err != noErr) {
        if (titles != NULL)
            CFRelease(titles);
        if (summarys != NULL)
            CFRelease(summarys);
        return err;
    }
    *titleArray = titles;
    *summaryArray = summarys;
    return noErr;
}
