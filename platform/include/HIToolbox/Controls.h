/* The Control Manager: a tree of controls per window. */
#ifndef __HITOOLBOX_CONTROLS__
#define __HITOOLBOX_CONTROLS__

#include <HIToolbox/HIToolboxTypes.h>

CF_EXTERN_C_BEGIN

typedef struct ControlID {
    OSType signature;
    SInt32 id;
} ControlID;

typedef struct ControlKind {
    OSType signature;
    OSType kind;
} ControlKind;

typedef struct ControlEditTextSelectionRec {
    SInt16 selStart;
    SInt16 selEnd;
} ControlEditTextSelectionRec;

typedef ControlEditTextSelectionRec *ControlEditTextSelectionPtr;

enum {
    kControlEntireControl = 0,
    kControlNoPart = 0,
    kControlLabelPart = 1,
    kControlMenuPart = 2,
    kControlEditTextPart = 5,
    kControlButtonPart = 10,
    kControlCheckBoxPart = 11,
    kControlIndicatorPart = 129
};

enum {
    kControlKindSignatureApple = 'appl',
    kControlKindUserPane = 'upan',
    kControlKindPopupButton = 'popb',
    kControlKindEditUnicodeText = 'eutx',
    kControlKindEditText = 'etxt',
    kControlKindStaticText = 'stxt',
    kControlKindCheckBox = 'cbox',
    kControlKindSlider = 'sldr',
    kControlKindGroupBox = 'grpb',
    kControlKindSeparator = 'sepa',
    kControlKindRoot = 'root'
};

enum {
    kControlEditTextCFStringTag = 'cfst',
    kControlEditTextSelectionTag = 'sele',
    kControlEditTextTextTag = 'text',
    kControlStaticTextCFStringTag = 'cfst',
    kControlStaticTextTextTag = 'text',
    kControlPopupButtonMenuRefTag = 'mhan',
    kControlPopupButtonMenuHandleTag = 'mhan',
    kControlPopupButtonOwnedMenuRefTag = 'omrf'
};

enum {
    kControlSupportsEmbedding = 1 << 1
};

enum {
    kControlSliderPointsDownOrRight = 0,
    kControlSliderPointsUpOrLeft = 1,
    kControlSliderDoesNotPoint = 2
};

/* Creating controls (the nib loader and the host use these). */
CF_EXPORT OSStatus CreateRootControl(WindowRef inWindow, ControlRef *outControl);
CF_EXPORT OSStatus GetRootControl(WindowRef inWindow, ControlRef *outControl);
CF_EXPORT OSStatus CreateUserPaneControl(WindowRef window, const Rect *boundsRect, UInt32 features, ControlRef *outControl);
CF_EXPORT OSStatus CreatePopupButtonControl(WindowRef window, const Rect *boundsRect, CFStringRef title, SInt16 menuID, Boolean variableWidth, SInt16 titleWidth, SInt16 titleJustification, Style titleStyle, ControlRef *outControl);
CF_EXPORT OSStatus CreateEditUnicodeTextControl(WindowRef window, const Rect *boundsRect, CFStringRef text, Boolean isPassword, const void *style, ControlRef *outControl);
CF_EXPORT OSStatus CreateStaticTextControl(WindowRef window, const Rect *boundsRect, CFStringRef text, const void *style, ControlRef *outControl);
CF_EXPORT OSStatus CreateCheckBoxControl(WindowRef window, const Rect *boundsRect, CFStringRef title, SInt32 initialValue, Boolean autoToggle, ControlRef *outControl);
CF_EXPORT OSStatus CreateSliderControl(WindowRef window, const Rect *boundsRect, SInt32 value, SInt32 minimum, SInt32 maximum, UInt16 orientation, UInt16 numTickMarks, Boolean liveTracking, void *liveTrackingProc, ControlRef *outControl);
CF_EXPORT OSStatus CreateGroupBoxControl(WindowRef window, const Rect *boundsRect, CFStringRef title, Boolean primary, ControlRef *outControl);
CF_EXPORT OSStatus CreateSeparatorControl(WindowRef window, const Rect *boundsRect, ControlRef *outControl);
CF_EXPORT void DisposeControl(ControlRef theControl);

/* Identity. */
CF_EXPORT OSStatus SetControlID(ControlRef inControl, const ControlID *inID);
CF_EXPORT OSStatus GetControlID(ControlRef inControl, ControlID *outID);
CF_EXPORT OSStatus GetControlByID(WindowRef inWindow, const ControlID *inID, ControlRef *outControl);
CF_EXPORT OSStatus GetControlKind(ControlRef inControl, ControlKind *outControlKind);
CF_EXPORT OSStatus SetControlCommandID(ControlRef inControl, UInt32 inCommandID);
CF_EXPORT OSStatus GetControlCommandID(ControlRef inControl, UInt32 *outCommandID);
CF_EXPORT OSStatus SetControlTitleWithCFString(ControlRef inControl, CFStringRef inString);
CF_EXPORT OSStatus CopyControlTitleAsCFString(ControlRef inControl, CFStringRef *outString);

/* Embedding and geometry. */
CF_EXPORT WindowRef GetControlOwner(ControlRef control);
CF_EXPORT OSErr EmbedControl(ControlRef inControl, ControlRef inContainer);
CF_EXPORT OSErr CountSubControls(ControlRef inControl, UInt16 *outNumChildren);
CF_EXPORT OSErr GetIndexedSubControl(ControlRef inControl, UInt16 inIndex, ControlRef *outSubControl);
CF_EXPORT OSErr GetSuperControl(ControlRef inControl, ControlRef *outParent);
CF_EXPORT Rect *GetControlBounds(ControlRef control, Rect *bounds);
CF_EXPORT void SetControlBounds(ControlRef control, const Rect *bounds);

/* Values. A value outside the range is brought to the nearest end. */
CF_EXPORT SInt32 GetControl32BitValue(ControlRef theControl);
CF_EXPORT void SetControl32BitValue(ControlRef theControl, SInt32 newValue);
CF_EXPORT SInt32 GetControl32BitMinimum(ControlRef theControl);
CF_EXPORT void SetControl32BitMinimum(ControlRef theControl, SInt32 newMinimum);
CF_EXPORT SInt32 GetControl32BitMaximum(ControlRef theControl);
CF_EXPORT void SetControl32BitMaximum(ControlRef theControl, SInt32 newMaximum);

/* Control data. Getting the CFString tag hands out a new reference; setting keeps its own. */
CF_EXPORT OSErr GetControlData(ControlRef inControl, ControlPartCode inPart, ResType inTagName, Size inBufferSize, void *inBuffer, Size *outActualSize);
CF_EXPORT OSErr SetControlData(ControlRef inControl, ControlPartCode inPart, ResType inTagName, Size inSize, const void *inData);
CF_EXPORT OSErr GetControlDataSize(ControlRef inControl, ControlPartCode inPart, ResType inTagName, Size *outMaxSize);

/* State and drawing. */
CF_EXPORT OSStatus EnableControl(ControlRef inControl);
CF_EXPORT OSStatus DisableControl(ControlRef inControl);
CF_EXPORT Boolean IsControlEnabled(ControlRef inControl);
CF_EXPORT OSStatus SetControlVisibility(ControlRef inControl, Boolean inIsVisible, Boolean inDoDraw);
CF_EXPORT Boolean IsControlVisible(ControlRef inControl);
CF_EXPORT void Draw1Control(ControlRef theControl);
#define DrawOneControl Draw1Control

/* Pop-up buttons. */
CF_EXPORT MenuRef GetControlPopupMenuHandle(ControlRef control);
#define GetControlPopupMenuRef GetControlPopupMenuHandle
CF_EXPORT void SetControlPopupMenuHandle(ControlRef control, MenuRef popupMenu);
#define SetControlPopupMenuRef SetControlPopupMenuHandle

/* Keyboard focus. */
typedef SInt16 ControlFocusPart;
enum { kControlFocusNoPart = 0, kControlFocusNextPart = -1, kControlFocusPrevPart = -2 };
CF_EXPORT OSErr SetKeyboardFocus(WindowRef inWindow, ControlRef inControl, ControlFocusPart inPart);
CF_EXPORT OSErr GetKeyboardFocus(WindowRef inWindow, ControlRef *outControl);
CF_EXPORT OSErr ClearKeyboardFocus(WindowRef inWindow);

CF_EXTERN_C_END

#endif
