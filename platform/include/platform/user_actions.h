/* What a person does to controls, as the host and tests perform it, and what a view of the
   controls is told. Not part of the platform's own API; plug-in code never includes this. */
#ifndef PLATFORM_USER_ACTIONS_H
#define PLATFORM_USER_ACTIONS_H

#include <Carbon/Carbon.h>

CF_EXTERN_C_BEGIN

/* Each action fails with errControlHiddenOrDisabled on a disabled control (or one inside a
   disabled container) and with errInvalidControl on a control that is not alive. */

/* Sets a popup's value to the item, then sends a command-process event carrying the control's
   command to the control's event target. */
CF_EXPORT OSStatus PlatformChoosePopupItem(ControlRef popup, SInt32 item);
/* Toggles a check box, then sends its command event. */
CF_EXPORT OSStatus PlatformClickCheckBox(ControlRef checkBox);
/* Sets a slider's value (clamped to its range), then sends its command event. */
CF_EXPORT OSStatus PlatformMoveSlider(ControlRef slider, SInt32 value);
/* Sets the keyboard focus of the control's window to the control (an edit-text field). */
CF_EXPORT OSStatus PlatformFocusControl(ControlRef control);
/* Sets an edit-text field's selection; start == end is a caret. Clamped to the text. */
CF_EXPORT OSStatus PlatformSetTextSelection(ControlRef field, SInt16 start, SInt16 end);
/* Presses a key in the window's focused field: a raw key-down (or key-repeat) event carrying
   the character byte in kEventParamKeyMacCharCodes goes to the field's target first; only when
   every handler passed it does the field apply the key itself. */
CF_EXPORT OSStatus PlatformPressKey(WindowRef window, UInt8 characterCode, Boolean isRepeat);
/* The same, and *outRefused (when not NULL) tells whether a handler took the key before the
   field could apply it (a key filter refused it). */
CF_EXPORT OSStatus PlatformPressKeyNotingRefusal(WindowRef window, UInt8 characterCode, Boolean isRepeat,
                                                 Boolean *outRefused);
/* Inserts text at the field's selection unfiltered, as a paste from the Edit menu. */
CF_EXPORT OSStatus PlatformPasteText(ControlRef field, CFStringRef text);

/* What changed in a control, for an attached view. */
typedef enum PlatformControlChange {
    kPlatformControlCreated = 1,
    kPlatformControlDisposed,
    kPlatformControlValueChanged,
    kPlatformControlRangeChanged,
    kPlatformControlTextChanged,
    kPlatformControlSelectionChanged,
    kPlatformControlEnabledChanged,
    kPlatformControlBoundsChanged,
    kPlatformControlEmbedded,
    kPlatformControlMenuChanged,
    kPlatformControlDrawn,
    kPlatformControlFocusChanged
} PlatformControlChange;

typedef void (*PlatformControlObserver)(ControlRef control, PlatformControlChange change, void *context);

/* One observer for the process; NULL detaches it. */
CF_EXPORT void PlatformSetControlObserver(PlatformControlObserver observer, void *context);
/* How many times Draw1Control drew this control. */
CF_EXPORT UInt32 PlatformGetControlDrawCount(ControlRef control);
/* Whether a control and all its containers are enabled. */
CF_EXPORT Boolean PlatformIsControlEffectivelyEnabled(ControlRef control);

CF_EXTERN_C_END

#endif
