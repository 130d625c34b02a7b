// Handler procedures, InstallEventHandler and RemoveEventHandler.
#include "event_handlers.h"

#include "support/faults.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <unordered_map>

namespace hitoolbox {
namespace {

// Handlers installed with an out-reference, by serial: each one lives until RemoveEventHandler,
// even past its target. Handlers installed without one are owned by their target alone.
struct HandlerRegistry {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<InstalledHandler>> handlers;
};

HandlerRegistry &registry() {
    static auto *shared = new HandlerRegistry();  // outlives static destructors
    return *shared;
}

EventHandlerRef handler_ref(const InstalledHandler &handler) {
    // The reference is the handler's serial number, looked up in the registry, never dereferenced.
    return reinterpret_cast<EventHandlerRef>(handler.serial);  // NOLINT(performance-no-int-to-ptr)
}

}  // namespace

std::uintptr_t next_serial() {
    static std::atomic<std::uintptr_t> last{0};
    return ++last;
}

InstalledHandler::InstalledHandler(EventTarget &installed_on, EventHandlerUPP handler_procedure,
                                   const EventTypeSpec *type_list, ItemCount type_count, void *handler_user_data)
    : procedure(handler_procedure),
      user_data(handler_user_data),
      types(type_list, type_list + type_count),
      target(&installed_on) {}

bool InstalledHandler::handles(UInt32 event_class, UInt32 event_kind) const {
    return std::any_of(types.begin(), types.end(), [&](const EventTypeSpec &type) {
        return type.eventClass == event_class && type.eventKind == event_kind;
    });
}

std::vector<std::shared_ptr<InstalledHandler>> handlers_for_event(EventTarget &target, UInt32 event_class,
                                                                  UInt32 event_kind,
                                                                  std::uintptr_t installed_before) {
    std::vector<std::shared_ptr<InstalledHandler>> matching;
    const auto &installed = target.handlers();
    for (auto it = installed.rbegin(); it != installed.rend(); ++it) {
        const auto &handler = *it;
        if (handler->serial < installed_before && handler->handles(event_class, event_kind))
            matching.push_back(handler);
    }
    return matching;
}

}  // namespace hitoolbox

using hitoolbox::EventTarget;
using hitoolbox::InstalledHandler;

extern "C" {

// A UPP is the procedure itself on this platform.
EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr userRoutine) {
    if (platform::faults::consume("NewEventHandlerUPP")) return nullptr;
    return userRoutine;
}

// Nothing was allocated for the UPP, so there is nothing to free.
void DisposeEventHandlerUPP(EventHandlerUPP) {}

OSStatus InvokeEventHandlerUPP(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData,
                               EventHandlerUPP userUPP) {
    if (userUPP == nullptr) return paramErr;
    return userUPP(inHandlerCallRef, inEvent, inUserData);
}

// Pushes a handler onto the target's stack. Without outRef the handler cannot be removed and
// stays until the target goes.
OSStatus InstallEventHandler(EventTargetRef inTarget, EventHandlerUPP inHandler, ItemCount inNumTypes,
                             const EventTypeSpec *inList, void *inUserData, EventHandlerRef *outRef) {
    if (auto fault = platform::faults::consume("InstallEventHandler")) return *fault;
    EventTarget *target = EventTarget::from_ref(inTarget);
    if (!hitoolbox::is_live_target(target) || inHandler == nullptr) return paramErr;
    if (inNumTypes > 0 && inList == nullptr) return paramErr;

    auto handler = std::make_shared<InstalledHandler>(*target, inHandler, inList, inNumTypes, inUserData);
    target->handlers().push_back(handler);
    if (outRef != nullptr) {
        auto &shared = hitoolbox::registry();
        std::lock_guard lock(shared.mutex);
        shared.handlers.emplace(handler->serial, handler);
        *outRef = hitoolbox::handler_ref(*handler);
    }
    return noErr;
}

// Takes the handler off its target (if the target is still alive) and frees it; a dispatch
// in progress skips it from now on. NULL and stale references give paramErr.
OSStatus RemoveEventHandler(EventHandlerRef inHandlerRef) {
    std::shared_ptr<InstalledHandler> handler;
    {
        auto &shared = hitoolbox::registry();
        std::lock_guard lock(shared.mutex);
        auto found = shared.handlers.find(reinterpret_cast<std::uintptr_t>(inHandlerRef));
        if (found == shared.handlers.end()) return paramErr;
        handler = std::move(found->second);
        shared.handlers.erase(found);
    }
    if (EventTarget *target = handler->target) {
        auto &installed = target->handlers();
        installed.erase(std::remove(installed.begin(), installed.end(), handler), installed.end());
        handler->target = nullptr;
    }
    return noErr;
}

}  // extern "C"
