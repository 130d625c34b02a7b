/* The Carbon Event Manager: events, targets and handler stacks. */
#ifndef __HITOOLBOX_CARBONEVENTS__
#define __HITOOLBOX_CARBONEVENTS__

#include <HIToolbox/HIToolboxTypes.h>

CF_EXTERN_C_BEGIN

typedef UInt32 EventParamName;
typedef UInt32 EventParamType;
typedef double EventTime;
typedef UInt32 EventAttributes;

enum { kEventAttributeNone = 0, kEventAttributeUserEvent = 1 };

typedef struct EventTypeSpec {
    UInt32 eventClass;
    UInt32 eventKind;
} EventTypeSpec;

#define GetEventTypeCount(t) ((ItemCount)(sizeof(t) / sizeof(EventTypeSpec)))

typedef OSStatus (*EventHandlerProcPtr)(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData);
typedef EventHandlerProcPtr EventHandlerUPP;

enum {
    kEventClassMouse = 'mous',
    kEventClassKeyboard = 'keyb',
    kEventClassTextInput = 'text',
    kEventClassApplication = 'appl',
    kEventClassMenu = 'menu',
    kEventClassWindow = 'wind',
    kEventClassControl = 'cntl',
    kEventClassCommand = 'cmds'
};

enum {
    kEventRawKeyDown = 1,
    kEventRawKeyRepeat = 2,
    kEventRawKeyUp = 3,
    kEventRawKeyModifiersChanged = 4
};

enum {
    kEventCommandProcess = 1,
    kEventCommandUpdateStatus = 2
};

enum {
    kEventControlHit = 1,
    kEventControlValueFieldChanged = 151
};

enum {
    kEventParamDirectObject = '----',
    kEventParamKeyMacCharCodes = 'kchr',
    kEventParamKeyCode = 'kcod',
    kEventParamKeyModifiers = 'kmod',
    kEventParamKeyUnicodes = 'kuni',
    kEventParamControlRef = 'ctrl'
};

enum {
    typeChar = 'TEXT',
    typeUnicodeText = 'utxt',
    typeUInt32 = 'magn',
    typeSInt32 = 'long',
    typeHICommand = 'hcmd',
    typeControlRef = 'ctrl',
    typeWindowRef = 'wind',
    typeWildCard = '****'
};

enum {
    kHICommandFromMenu = 1 << 0,
    kHICommandFromControl = 1 << 1,
    kHICommandFromWindow = 1 << 2
};

typedef struct HICommand {
    UInt32 attributes;
    UInt32 commandID;
    struct {
        MenuRef menuRef;
        MenuItemIndex menuItemIndex;
    } menu;
} HICommand;

typedef struct HICommandExtended {
    UInt32 attributes;
    UInt32 commandID;
    union {
        ControlRef control;
        WindowRef window;
        struct {
            MenuRef menuRef;
            MenuItemIndex menuItemIndex;
        } menu;
    } source;
} HICommandExtended;

CF_EXPORT EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr userRoutine);
CF_EXPORT void DisposeEventHandlerUPP(EventHandlerUPP userUPP);
CF_EXPORT OSStatus InvokeEventHandlerUPP(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData, EventHandlerUPP userUPP);

CF_EXPORT EventTargetRef GetControlEventTarget(ControlRef inControl);
CF_EXPORT EventTargetRef GetWindowEventTarget(WindowRef inWindow);
CF_EXPORT EventTargetRef GetApplicationEventTarget(void);

CF_EXPORT OSStatus InstallEventHandler(EventTargetRef inTarget, EventHandlerUPP inHandler, ItemCount inNumTypes, const EventTypeSpec *inList, void *inUserData, EventHandlerRef *outRef);
CF_EXPORT OSStatus RemoveEventHandler(EventHandlerRef inHandlerRef);
#define InstallControlEventHandler(target, handler, numTypes, list, userData, outHandlerRef) \
    InstallEventHandler(GetControlEventTarget(target), (handler), (numTypes), (list), (userData), (outHandlerRef))
#define InstallWindowEventHandler(target, handler, numTypes, list, userData, outHandlerRef) \
    InstallEventHandler(GetWindowEventTarget(target), (handler), (numTypes), (list), (userData), (outHandlerRef))
#define InstallApplicationEventHandler(handler, numTypes, list, userData, outHandlerRef) \
    InstallEventHandler(GetApplicationEventTarget(), (handler), (numTypes), (list), (userData), (outHandlerRef))

CF_EXPORT OSStatus CreateEvent(CFAllocatorRef inAllocator, UInt32 inClassID, UInt32 inKind, EventTime inWhen, EventAttributes inAttributes, EventRef *outEvent);
CF_EXPORT EventRef RetainEvent(EventRef inEvent);
CF_EXPORT void ReleaseEvent(EventRef inEvent);
CF_EXPORT UInt32 GetEventClass(EventRef inEvent);
CF_EXPORT UInt32 GetEventKind(EventRef inEvent);
CF_EXPORT EventTime GetEventTime(EventRef inEvent);
CF_EXPORT EventTime GetCurrentEventTime(void);
CF_EXPORT OSStatus SetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inType, UInt32 inSize, const void *inDataPtr);
/* Typed and size-checked; outActualType and outActualSize may be NULL. */
CF_EXPORT OSStatus GetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inDesiredType, EventParamType *outActualType, UInt32 inBufferSize, UInt32 *outActualSize, void *outData);
CF_EXPORT OSStatus SendEventToEventTarget(EventRef inEvent, EventTargetRef inTarget);
CF_EXPORT OSStatus CallNextEventHandler(EventHandlerCallRef inCallRef, EventRef inEvent);

CF_EXTERN_C_END

#endif
