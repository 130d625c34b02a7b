/* Types and constants shared by the HIToolbox managers. */
#ifndef __HITOOLBOX_TYPES__
#define __HITOOLBOX_TYPES__

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN

typedef struct OpaqueControlRef *ControlRef;
typedef struct OpaqueWindowPtr *WindowRef;
typedef struct OpaqueMenuRef *MenuRef;
typedef struct OpaqueEventRef *EventRef;
typedef struct OpaqueEventTargetRef *EventTargetRef;
typedef struct OpaqueEventHandlerRef *EventHandlerRef;
typedef struct OpaqueEventHandlerCallRef *EventHandlerCallRef;
typedef struct OpaqueIBNibRef *IBNibRef;

typedef SInt16 ControlPartCode;
typedef UInt16 MenuItemIndex;
typedef SInt16 MenuID;
typedef UInt32 MenuCommand;
typedef UInt32 MenuAttributes;
typedef UInt32 MenuItemAttributes;
typedef UInt16 WindowRegionCode;
typedef UInt32 WindowClass;
typedef UInt32 WindowAttributes;
typedef UInt16 CharParameter;
typedef unsigned char Style;

/* Status codes of the toolbox. */
enum {
    errInvalidWindowRef = -5600,
    menuItemNotFoundErr = -5622,
    menuInvalidErr = -5623,
    errMessageNotSupported = -30580,
    errDataNotSupported = -30581,
    errControlDoesntSupportFocus = -30582,
    errUnknownControl = -30584,
    errCouldntSetFocus = -30585,
    errNoRootControl = -30586,
    errInvalidPartCode = -30588,
    errControlIsNotEmbedder = -30590,
    errDataSizeMismatch = -30591,
    errControlHiddenOrDisabled = -30592,
    errWindowRegionCodeInvalid = -30593,
    errCantEmbedIntoSelf = -30594,
    errCantEmbedRoot = -30595,
    errInvalidControl = -30599,
    eventAlreadyPostedErr = -9860,
    eventTargetBusyErr = -9861,
    eventClassInvalidErr = -9862,
    eventClassIncorrectErr = -9864,
    eventHandlerAlreadyInstalledErr = -9866,
    eventInternalErr = -9868,
    eventKindIncorrectErr = -9869,
    eventParameterNotFoundErr = -9870,
    eventNotHandledErr = -9874,
    eventLoopTimedOutErr = -9875,
    eventLoopQuitErr = -9876,
    eventNotInQueueErr = -9877,
    kIBCarbonRuntimeCantFindNibFile = -10960,
    kIBCarbonRuntimeObjectNotOfRequestedType = -10961,
    kIBCarbonRuntimeCantFindObject = -10962
};

/* Character codes of the special keys, as raw key events carry them. */
enum {
    kNullCharCode = 0,
    kHomeCharCode = 1,
    kEnterCharCode = 3,
    kEndCharCode = 4,
    kHelpCharCode = 5,
    kBellCharCode = 7,
    kBackspaceCharCode = 8,
    kTabCharCode = 9,
    kLineFeedCharCode = 10,
    kPageUpCharCode = 11,
    kPageDownCharCode = 12,
    kReturnCharCode = 13,
    kFunctionKeyCharCode = 16,
    kEscapeCharCode = 27,
    kLeftArrowCharCode = 28,
    kRightArrowCharCode = 29,
    kUpArrowCharCode = 30,
    kDownArrowCharCode = 31,
    kSpaceCharCode = 32,
    kDeleteCharCode = 127
};

CF_EXTERN_C_END

#endif
