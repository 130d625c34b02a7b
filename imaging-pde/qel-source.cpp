/* The imaging pane of the 8250K series: six pop-up menus and two check boxes, each standing for one
   PPD main keyword of the print-settings ticket. Pop-up item texts and option keywords meet through
   the bundle's strings tables, so the nib can show words a person reads while the ticket keeps the
   printer's keywords. */
#include "qel-imaging.h"

#include "apple-utilities.h"
#include "qel-bundle.h"
#include "qel-identity.h"
#include "qel-nib.h"
#include "qel-summary.h"

/* Item positions the rules rest on (menu items count from 1). */
enum {
    kMonochromeColorTypeItem = 3,
    k1200dpiResolutionItem = 2,
    kFirstImageTypeNotAt1200dpi = 2,
    kLastImageTypeNotAt1200dpi = 3
};

/* ControlID ids of the pane; the resolution pop-up came late and took id 20. */
enum {
    kContainerID = 1,
    kColorTypeID = 5,
    kHalftoneID = 6,
    kDistinguishThinLinesID = 7,
    kTonerSaveID = 8,
    kImageTypeID = 9,
    kBlackOverPrintID = 10,
    kPureBlackGrayID = 11,
    kResolutionID = 20
};

/* Ticket keys, the keywords that stand for a missing key, and the Summary titles. */
#define kColorTypeKey CFSTR("ColorType")
#define kResolutionKey CFSTR("Resolution")
#define kHalftoneKey CFSTR("Halftone")
#define kDistinguishThinLinesKey CFSTR("DistinguishThinLines")
#define kTonerSaveKey CFSTR("TonerSave")
#define kImageTypeKey CFSTR("ImageType")
#define kBlackOverPrintKey CFSTR("BlackOverPrint")
#define kPureBlackGrayKey CFSTR("PureBlackGray")

#define kColorTypeDefault CFSTR("Color")
#define kResolutionDefault CFSTR("600dpi")
#define kHalftoneDefault CFSTR("Auto")
#define kImageTypeDefault CFSTR("General")
#define kBlackOverPrintDefault CFSTR("Text&Graphics")
#define kPureBlackGrayDefault CFSTR("BlackGrayAuto")

#define kCheckedKeyword CFSTR("True")
#define kUncheckedKeyword CFSTR("False")

/* The table's entry for the key, or the key itself: one lookup serves both directions between
   item text and keyword. The bundle is found again on every use, as it is the one thing the pane
   may rely on while it runs. */
static CFStringRef CopyTranslation(CFStringRef inKey, CFStringRef inTableName)
{
    return CopyLocalizedStringOrKey(GetPaneBundle(), inKey, inTableName);
}

/* "True" for a checked box, "False" otherwise; both are constants, so releasing them is harmless. */
CFStringRef CopyCheckbox(ControlRef inCheckbox)
{
    return GetControl32BitValue(inCheckbox) != 0 ? kCheckedKeyword : kUncheckedKeyword;
}

/* Only the exact keywords move the box: anything else, "true" included, leaves it alone. */
void SetCheckbox(CFStringRef inValue, ControlRef inCheckbox)
{
    if (inValue == NULL || CFGetTypeID(inValue) != CFStringGetTypeID())
        return;
    if (CFStringCompare(inValue, kCheckedKeyword, 0) == kCFCompareEqualTo)
        SetControl32BitValue(inCheckbox, 1);
    else if (CFStringCompare(inValue, kUncheckedKeyword, 0) == kCFCompareEqualTo)
        SetControl32BitValue(inCheckbox, 0);
}

/* The keyword of the selected item, owned by the caller; NULL when no item is selected or its
   text cannot be read, so that a caller never stores a keyword the user did not choose. The
   value is checked against the item count before it is narrowed to a menu item index, so a value
   past 65535 never wraps round onto a real item. */
CFStringRef CopyPopupMenu(ControlRef inPopupMenu, CFStringRef tableName)
{
    SInt32 selectedItemIndex = GetControl32BitValue(inPopupMenu);
    MenuRef menu = GetControlPopupMenuHandle(inPopupMenu);
    if (menu == NULL || selectedItemIndex < 1 || selectedItemIndex > (SInt32)CountMenuItems(menu))
        return NULL;

    CFStringRef menuText = NULL;
    if (CopyMenuItemTextAsCFString(menu, (MenuItemIndex)selectedItemIndex, &menuText) != noErr || menuText == NULL)
        return NULL;

    CFStringRef translation = CopyTranslation(menuText, tableName);
    CFRelease(menuText);
    return translation;
}

/* Selects the item whose text the keyword translates to. Every item is looked at, so of several
   items with the same text the last one wins; no match leaves the selection where it was. */
void SetPopupMenu(CFStringRef inValue, ControlRef inPopupMenu, CFStringRef tableName)
{
    if (inValue == NULL || CFGetTypeID(inValue) != CFStringGetTypeID())
        return;
    MenuRef menu = GetControlPopupMenuHandle(inPopupMenu);
    if (menu == NULL)
        return;

    UInt16 maximumMenuItemIndex = CountMenuItems(menu);
    CFStringRef translation = CopyTranslation(inValue, tableName);
    if (translation == NULL)
        return;

    /* Counted in 32 bits, so that a menu of 65535 items still ends the loop. */
    UInt32 matchingMenuItem = 0;
    for (UInt32 menuItemIndex = 1; menuItemIndex <= maximumMenuItemIndex; menuItemIndex++) {
        CFStringRef menuText = NULL;
        if (CopyMenuItemTextAsCFString(menu, (MenuItemIndex)menuItemIndex, &menuText) != noErr || menuText == NULL)
            continue;
        if (CFStringCompare(translation, menuText, 0) == kCFCompareEqualTo)
            matchingMenuItem = menuItemIndex;
        CFRelease(menuText);
    }

    if (matchingMenuItem > 0)
        SetControl32BitValue(inPopupMenu, (SInt32)matchingMenuItem);
    CFRelease(translation);
}

/* Looks up every control before judging, so a nib that lacks several shows all of them as NULL. */
Boolean FindPaneControls(QEL_PDEContextPtr record, WindowRef parentWindow)
{
    record->control_InvisiblePane = GetControlFromWindow(parentWindow, kQELSignature, kContainerID);
    record->control_ColorType = GetControlFromWindow(parentWindow, kQELSignature, kColorTypeID);
    record->control_Resolution = GetControlFromWindow(parentWindow, kQELSignature, kResolutionID);
    record->control_Halftone = GetControlFromWindow(parentWindow, kQELSignature, kHalftoneID);
    record->control_DistinguishThinLines = GetControlFromWindow(parentWindow, kQELSignature, kDistinguishThinLinesID);
    record->control_TonerSave = GetControlFromWindow(parentWindow, kQELSignature, kTonerSaveID);
    record->control_ImageType = GetControlFromWindow(parentWindow, kQELSignature, kImageTypeID);
    record->control_BlackOverPrint = GetControlFromWindow(parentWindow, kQELSignature, kBlackOverPrintID);
    record->control_PureBlackGray = GetControlFromWindow(parentWindow, kQELSignature, kPureBlackGrayID);

    return record->control_InvisiblePane != NULL && record->control_ColorType != NULL &&
           record->control_Resolution != NULL && record->control_Halftone != NULL &&
           record->control_DistinguishThinLines != NULL && record->control_TonerSave != NULL &&
           record->control_ImageType != NULL && record->control_BlackOverPrint != NULL &&
           record->control_PureBlackGray != NULL;
}

/* The pane has no text fields, so there is nothing to filter. */
void AttachPaneConstraints(QEL_PDEContextPtr record)
{
    (void)record;
}

/* Nothing was attached, so nothing comes off. */
void DetachPaneConstraints(QEL_PDEContextPtr record)
{
    (void)record;
}

/* Stores the keyword when there is one; a control whose keyword could not be read leaves the
   ticket's entry as it was. The dictionary keeps its own reference. */
static void StoreKeyword(CFMutableDictionaryRef inPPDDict, CFStringRef inKey, CFStringRef inKeyword)
{
    if (inKeyword != NULL)
        CFDictionarySetValue(inPPDDict, inKey, inKeyword);
}

static void ReleaseKeyword(CFStringRef inKeyword)
{
    if (inKeyword != NULL)
        CFRelease(inKeyword);
}

/* Writes all eight keys, disabled controls included: the rules only narrow what the user may
   pick, they never withdraw a setting. */
OSStatus SyncTicketFromPane(PMPDEContext context, PMPrintSession printSession)
{
    QEL_PDEContextPtr record = NULL;
    CFMutableDictionaryRef ppdDict = NULL;
    OSStatus status = GetQELContextAndPPDDict(context, printSession, &record, &ppdDict);
    if (status != noErr)
        return status;

    CFStringRef colorType = CopyPopupMenu(record->control_ColorType, NULL);
    CFStringRef resolution = CopyPopupMenu(record->control_Resolution, NULL);
    CFStringRef halftone = CopyPopupMenu(record->control_Halftone, kQELHalftoneTable);
    CFStringRef distinguishThinLines = CopyCheckbox(record->control_DistinguishThinLines);
    CFStringRef tonerSave = CopyCheckbox(record->control_TonerSave);
    CFStringRef imageType = CopyPopupMenu(record->control_ImageType, NULL);
    CFStringRef blackOverPrint = CopyPopupMenu(record->control_BlackOverPrint, NULL);
    CFStringRef pureBlackGray = CopyPopupMenu(record->control_PureBlackGray, NULL);

    StoreKeyword(ppdDict, kColorTypeKey, colorType);
    StoreKeyword(ppdDict, kResolutionKey, resolution);
    StoreKeyword(ppdDict, kHalftoneKey, halftone);
    StoreKeyword(ppdDict, kDistinguishThinLinesKey, distinguishThinLines);
    StoreKeyword(ppdDict, kTonerSaveKey, tonerSave);
    StoreKeyword(ppdDict, kImageTypeKey, imageType);
    StoreKeyword(ppdDict, kBlackOverPrintKey, blackOverPrint);
    StoreKeyword(ppdDict, kPureBlackGrayKey, pureBlackGray);

    ReleaseKeyword(colorType);
    ReleaseKeyword(resolution);
    ReleaseKeyword(halftone);
    ReleaseKeyword(distinguishThinLines);
    ReleaseKeyword(tonerSave);
    ReleaseKeyword(imageType);
    ReleaseKeyword(blackOverPrint);
    ReleaseKeyword(pureBlackGray);
    return noErr;
}

/* Sets the controls from the ticket, each missing key from its default, then re-applies the rules
   so the enabled states match what was read. Nothing is written to the ticket. */
OSStatus SyncPaneFromTicket(PMPDEContext context, PMPrintSession printSession)
{
    QEL_PDEContextPtr record = NULL;
    CFMutableDictionaryRef ppdDict = NULL;
    OSStatus status = GetQELContextAndPPDDict(context, printSession, &record, &ppdDict);
    if (status != noErr)
        return status;

    CFStringRef colorType = GetPPDDictString(ppdDict, kColorTypeKey, kColorTypeDefault);
    CFStringRef resolution = GetPPDDictString(ppdDict, kResolutionKey, kResolutionDefault);
    CFStringRef halftone = GetPPDDictString(ppdDict, kHalftoneKey, kHalftoneDefault);
    CFStringRef distinguishThinLines = GetPPDDictString(ppdDict, kDistinguishThinLinesKey, kUncheckedKeyword);
    CFStringRef tonerSave = GetPPDDictString(ppdDict, kTonerSaveKey, kUncheckedKeyword);
    CFStringRef imageType = GetPPDDictString(ppdDict, kImageTypeKey, kImageTypeDefault);
    CFStringRef blackOverPrint = GetPPDDictString(ppdDict, kBlackOverPrintKey, kBlackOverPrintDefault);
    CFStringRef pureBlackGray = GetPPDDictString(ppdDict, kPureBlackGrayKey, kPureBlackGrayDefault);

    SetPopupMenu(colorType, record->control_ColorType, NULL);
    SetPopupMenu(resolution, record->control_Resolution, NULL);
    SetPopupMenu(halftone, record->control_Halftone, kQELHalftoneTable);
    SetPopupMenu(imageType, record->control_ImageType, NULL);
    SetPopupMenu(pureBlackGray, record->control_PureBlackGray, NULL);
    SetPopupMenu(blackOverPrint, record->control_BlackOverPrint, NULL);
    SetCheckbox(distinguishThinLines, record->control_DistinguishThinLines);
    SetCheckbox(tonerSave, record->control_TonerSave);

    EnforceRelationships(context);
    return noErr;
}

/* Black and white printing leaves image type, overprint and pure black without effect, so they
   are greyed out; their values stay as they are and are still written. */
void EnforceMonoRelationship(PMPDEContext context)
{
    QEL_PDEContextPtr record = GetQELContext(context);
    if (record == NULL)
        return;

    if (GetControl32BitValue(record->control_ColorType) == kMonochromeColorTypeItem) {
        DisableControl(record->control_ImageType);
        DisableControl(record->control_BlackOverPrint);
        DisableControl(record->control_PureBlackGray);
    } else {
        EnableControl(record->control_ImageType);
        EnableControl(record->control_BlackOverPrint);
        EnableControl(record->control_PureBlackGray);
    }
}

/* At 1200 dpi the printer offers neither photo nor graphics processing; only the two items are
   greyed out, and a selection already on one of them is left alone. */
void EnforceResolutionRelationship(PMPDEContext context)
{
    QEL_PDEContextPtr record = GetQELContext(context);
    if (record == NULL)
        return;

    MenuRef imageTypeMenu = GetControlPopupMenuHandle(record->control_ImageType);
    if (imageTypeMenu == NULL)
        return;

    Boolean is1200 = GetControl32BitValue(record->control_Resolution) == k1200dpiResolutionItem;
    for (MenuItemIndex item = kFirstImageTypeNotAt1200dpi; item <= kLastImageTypeNotAt1200dpi; item++) {
        if (is1200)
            DisableMenuItem(imageTypeMenu, item);
        else
            EnableMenuItem(imageTypeMenu, item);
    }
}

/* Both rules, after every ticket read, once at the end of Initialize and, through the framework's
   deferral timer, after the user's commands. */
void EnforceRelationships(PMPDEContext context)
{
    EnforceMonoRelationship(context);
    EnforceResolutionRelationship(context);
}

/* Appends one row, the title and the value both through the default table. */
static void AppendTranslatedRow(CFStringRef inTitle, CFStringRef inSummary, CFMutableArrayRef inTitles,
                                CFMutableArrayRef inSummarys)
{
    CFStringRef localTitle = CopyTranslation(inTitle, NULL);
    CFStringRef localSummary = inSummary != NULL ? CopyTranslation(inSummary, NULL) : NULL;

    /* deliberate: a value that cannot be had keeps its row, with an empty value */
    (void)AppendSummaryRow(inTitles, inSummarys, localTitle != NULL ? localTitle : inTitle,
                           localSummary != NULL ? localSummary : CFSTR(""));
    ReleaseKeyword(localTitle);
    ReleaseKeyword(localSummary);
}

/* A pop-up row: the item's keyword through the default table, whatever table the ticket uses,
   so the Summary reads the same words for every pop-up. (kept: the name says Set though it
   appends a row) */
void SetPopupSummaryValues(CFStringRef inTitle, ControlRef inPopupMenu, CFMutableArrayRef inTitles,
                           CFMutableArrayRef inSummarys)
{
    if (inTitle == NULL || inTitles == NULL || inSummarys == NULL)
        return;
    CFStringRef summary = CopyPopupMenu(inPopupMenu, NULL);
    AppendTranslatedRow(inTitle, summary, inTitles, inSummarys);
    ReleaseKeyword(summary);
}

/* A check-box row: "True" or "False" in the words the default table gives them. (kept: the
   name says Set though it appends a row) */
void SetCheckboxSummaryValues(CFStringRef inTitle, ControlRef inCheckbox, CFMutableArrayRef inTitles,
                              CFMutableArrayRef inSummarys)
{
    if (inTitle == NULL || inTitles == NULL || inSummarys == NULL)
        return;
    CFStringRef summary = CopyCheckbox(inCheckbox);
    AppendTranslatedRow(inTitle, summary, inTitles, inSummarys);
    ReleaseKeyword(summary);
}

/* Eight rows in the dialog's reading order, always all of them, disabled controls included. The
   host owns the two new arrays. */
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

    SetPopupSummaryValues(CFSTR("Color Type"), record->control_ColorType, titles, summarys);
    SetPopupSummaryValues(CFSTR("Resolution"), record->control_Resolution, titles, summarys);
    SetPopupSummaryValues(CFSTR("Halftone"), record->control_Halftone, titles, summarys);
    SetCheckboxSummaryValues(CFSTR("Distinguish Thin Lines"), record->control_DistinguishThinLines, titles, summarys);
    SetCheckboxSummaryValues(CFSTR("Toner Save"), record->control_TonerSave, titles, summarys);
    SetPopupSummaryValues(CFSTR("Image Type"), record->control_ImageType, titles, summarys);
    SetPopupSummaryValues(CFSTR("Black Over Print"), record->control_BlackOverPrint, titles, summarys);
    SetPopupSummaryValues(CFSTR("Pure Black and Gray"), record->control_PureBlackGray, titles, summarys);

    *titleArray = titles;
    *summaryArray = summarys;
    return noErr;
}
