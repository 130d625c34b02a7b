// An event target: every control, every window and the application has one.
// Handlers installed on a target form a stack (the last installed runs first);
// an event nobody handled travels to the parent target.
#pragma once

#include <HIToolbox/CarbonEvents.h>

#include <memory>
#include <vector>

namespace hitoolbox {

struct InstalledHandler;  // one InstallEventHandler call; defined by the event manager

// Exported (the library hides its symbols by default) so that tests can make targets of their own.
#define HITOOLBOX_TARGET_EXPORT __attribute__((visibility("default")))

class HITOOLBOX_TARGET_EXPORT EventTarget {
public:
    EventTarget() = default;
    EventTarget(const EventTarget &) = delete;
    EventTarget &operator=(const EventTarget &) = delete;
    // Detaches the handlers still installed here; their references stay safe to remove.
    virtual ~EventTarget();

    // Where an unhandled event goes next: the containing control, the window, the application.
    virtual EventTarget *parent_target() const = 0;

    // Installed handlers, oldest first.
    std::vector<std::shared_ptr<InstalledHandler>> &handlers() { return handlers_; }

    EventTargetRef ref() { return reinterpret_cast<EventTargetRef>(this); }
    static EventTarget *from_ref(EventTargetRef ref) { return reinterpret_cast<EventTarget *>(ref); }

private:
    std::vector<std::shared_ptr<InstalledHandler>> handlers_;
};

// The application's target, the end of every chain.
HITOOLBOX_TARGET_EXPORT EventTarget &application_target();

// Whether the pointer is a live target (a disposed control's target is not).
HITOOLBOX_TARGET_EXPORT bool is_live_target(const EventTarget *target);
HITOOLBOX_TARGET_EXPORT void register_target(EventTarget *target);
HITOOLBOX_TARGET_EXPORT void unregister_target(EventTarget *target);

}  // namespace hitoolbox
