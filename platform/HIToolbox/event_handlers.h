// Installed event handlers: what InstallEventHandler puts on a target's stack.
#pragma once

#include "support/live_count.h"
#include "event_target.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace hitoolbox {

inline constexpr char kEventHandlerKind[] = "event-handler";

// Increasing numbers that are never reused: handler refs, call refs and target identities are
// made from them, so a stale reference can never name a newer object.
std::uintptr_t next_serial();

struct InstalledHandler : platform::live::Counted<kEventHandlerKind> {
    InstalledHandler(EventTarget &installed_on, EventHandlerUPP handler_procedure, const EventTypeSpec *type_list,
                     ItemCount type_count, void *handler_user_data);

    bool handles(UInt32 event_class, UInt32 event_kind) const;
    // Still on its target: neither removed nor orphaned by the target's disposal.
    bool is_installed() const { return target != nullptr; }

    EventHandlerUPP procedure;
    void *user_data;
    std::vector<EventTypeSpec> types;
    EventTarget *target;  // nullptr once removed or once the target has gone
    std::uintptr_t serial = next_serial();  // installation order; also the EventHandlerRef
};

// The handlers of the target that take this class and kind, the last installed first,
// leaving out those installed at or after the given serial (after a dispatch began).
std::vector<std::shared_ptr<InstalledHandler>> handlers_for_event(EventTarget &target, UInt32 event_class,
                                                                  UInt32 event_kind,
                                                                  std::uintptr_t installed_before);

// The identity a live target was registered with, or 0 when it is not alive; unlike the
// address, it changes when a new target is made where a disposed one was.
std::uintptr_t target_identity(const EventTarget *target);

}  // namespace hitoolbox
