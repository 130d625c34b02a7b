// The Window Manager's C interface.
#include "toolbox_strings.h"
#include "window.h"

#include "support/faults.h"
#include "support/log.h"

#include <utility>

using hitoolbox::Window;

namespace {

// Structure bounds put the content below a title bar of fixed height.
Rect content_from_structure(const Rect &structure) {
    Rect content = structure;
    content.top = static_cast<short>(content.top + hitoolbox::kTitleBarHeight);
    return content;
}

OSStatus region_refused(const char *function, WindowRegionCode code) {
    platform::log::write(platform::log::Channel::windows, platform::log::Level::trace,
                         "%s: region code %u is not supported", function, static_cast<unsigned>(code));
    return errWindowRegionCodeInvalid;
}

OSStatus window_status(WindowRef ref, Window *&window) {
    window = Window::from_ref(ref);
    if (window != nullptr) return noErr;
    return ref == nullptr ? OSStatus{paramErr} : OSStatus{errInvalidWindowRef};
}

}  // namespace

extern "C" {

// The window starts hidden, with its root control and no title.
// Partial: the window class and attributes are kept but change nothing.
OSStatus CreateNewWindow(WindowClass windowClass, WindowAttributes attributes, const Rect *contentBounds,
                         WindowRef *outWindow) {
    if (contentBounds == nullptr || outWindow == nullptr) return paramErr;
    *outWindow = Window::create(windowClass, attributes, *contentBounds).window_ref();
    return noErr;
}

// Takes with it the controls still in the window, not those embedded elsewhere meanwhile.
void DisposeWindow(WindowRef window) {
    if (Window *found = Window::from_ref(window)) Window::dispose(*found);
}

// Partial: only the content and structure regions; other codes give errWindowRegionCodeInvalid.
OSStatus GetWindowBounds(WindowRef window, WindowRegionCode regionCode, Rect *globalBounds) {
    if (auto fault = platform::faults::consume("GetWindowBounds")) return *fault;
    Window *found;
    if (OSStatus status = window_status(window, found); status != noErr) return status;
    if (globalBounds == nullptr) return paramErr;
    switch (regionCode) {
    case kWindowContentRgn: *globalBounds = found->content_bounds(); return noErr;
    case kWindowStructureRgn: *globalBounds = found->structure_bounds(); return noErr;
    default: return region_refused("GetWindowBounds", regionCode);
    }
}

// Partial: only the content and structure regions; other codes give errWindowRegionCodeInvalid.
OSStatus SetWindowBounds(WindowRef window, WindowRegionCode regionCode, const Rect *globalBounds) {
    Window *found;
    if (OSStatus status = window_status(window, found); status != noErr) return status;
    if (globalBounds == nullptr) return paramErr;
    switch (regionCode) {
    case kWindowContentRgn: found->set_content_bounds(*globalBounds); return noErr;
    case kWindowStructureRgn: found->set_content_bounds(content_from_structure(*globalBounds)); return noErr;
    default: return region_refused("SetWindowBounds", regionCode);
    }
}

OSStatus SetWindowTitleWithCFString(WindowRef inWindow, CFStringRef inString) {
    Window *found;
    if (OSStatus status = window_status(inWindow, found); status != noErr) return status;
    auto title = hitoolbox::characters_of_string(inString);
    if (!title) return paramErr;
    found->title = std::move(*title);
    return noErr;
}

// The caller owns the copy.
OSStatus CopyWindowTitleAsCFString(WindowRef inWindow, CFStringRef *outString) {
    if (auto fault = platform::faults::consume("CopyWindowTitleAsCFString")) return *fault;
    Window *found;
    if (OSStatus status = window_status(inWindow, found); status != noErr) return status;
    if (outString == nullptr) return paramErr;
    *outString = hitoolbox::create_string_copy(found->title);
    return noErr;
}

void ShowWindow(WindowRef window) {
    if (Window *found = Window::from_ref(window)) found->visible = true;
}

void HideWindow(WindowRef window) {
    if (Window *found = Window::from_ref(window)) found->visible = false;
}

Boolean IsWindowVisible(WindowRef window) {
    Window *found = Window::from_ref(window);
    return found != nullptr && found->visible;
}

EventTargetRef GetWindowEventTarget(WindowRef inWindow) {
    Window *found = Window::from_ref(inWindow);
    return found != nullptr ? found->ref() : nullptr;
}

}  // extern "C"
