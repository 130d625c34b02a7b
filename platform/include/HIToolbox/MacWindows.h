/* The Window Manager: windows with a title, bounds and a control tree. */
#ifndef __HITOOLBOX_MACWINDOWS__
#define __HITOOLBOX_MACWINDOWS__

#include <HIToolbox/HIToolboxTypes.h>

CF_EXTERN_C_BEGIN

enum {
    kWindowTitleBarRgn = 0,
    kWindowTitleTextRgn = 1,
    kWindowCloseBoxRgn = 2,
    kWindowZoomBoxRgn = 3,
    kWindowDragRgn = 5,
    kWindowGrowRgn = 6,
    kWindowStructureRgn = 32,
    kWindowContentRgn = 33,
    kWindowUpdateRgn = 34,
    kWindowOpaqueRgn = 35,
    kWindowGlobalPortRgn = 40
};

enum {
    kAlertWindowClass = 1,
    kMovableAlertWindowClass = 2,
    kModalWindowClass = 3,
    kMovableModalWindowClass = 4,
    kFloatingWindowClass = 5,
    kDocumentWindowClass = 6,
    kSheetWindowClass = 11
};

enum {
    kWindowNoAttributes = 0,
    kWindowCloseBoxAttribute = 1 << 0,
    kWindowStandardHandlerAttribute = 1 << 25,
    kWindowCompositingAttribute = 1 << 19
};

/* contentBounds are global coordinates of the content region. */
CF_EXPORT OSStatus CreateNewWindow(WindowClass windowClass, WindowAttributes attributes, const Rect *contentBounds, WindowRef *outWindow);
CF_EXPORT void DisposeWindow(WindowRef window);
CF_EXPORT OSStatus GetWindowBounds(WindowRef window, WindowRegionCode regionCode, Rect *globalBounds);
CF_EXPORT OSStatus SetWindowBounds(WindowRef window, WindowRegionCode regionCode, const Rect *globalBounds);
CF_EXPORT OSStatus SetWindowTitleWithCFString(WindowRef inWindow, CFStringRef inString);
CF_EXPORT OSStatus CopyWindowTitleAsCFString(WindowRef inWindow, CFStringRef *outString);
CF_EXPORT void ShowWindow(WindowRef window);
CF_EXPORT void HideWindow(WindowRef window);
CF_EXPORT Boolean IsWindowVisible(WindowRef window);

CF_EXTERN_C_END

#endif
