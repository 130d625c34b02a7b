// Event dispatch: SendEventToEventTarget walks the handler stacks up the containment chain,
// and CallNextEventHandler runs what lies below the current handler.
#include "event.h"
#include "event_handlers.h"

#include <mutex>
#include <unordered_map>

namespace hitoolbox {
namespace {

// Where a dispatch stands: the target being visited and the handlers of it still to run.
struct ChainPosition {
    EventTarget *target;
    std::uintptr_t target_id;
    std::vector<std::shared_ptr<InstalledHandler>> handlers;  // newest first
    std::size_t next;
    std::uintptr_t dispatch_serial;  // handlers installed since the dispatch began are left out
};

// One handler running; its call ref names the rest of the chain below it.
struct HandlerCall {
    std::uintptr_t serial = next_serial();
    ChainPosition rest;
    bool rest_has_run = false;
};

struct CallRegistry {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, HandlerCall *> calls;
};

CallRegistry &call_registry() {
    static auto *shared = new CallRegistry();  // outlives static destructors
    return *shared;
}

// Makes a handler call reachable through its call ref while the handler runs.
class ActiveCall {
public:
    explicit ActiveCall(HandlerCall &call) : call_(call) {
        auto &shared = call_registry();
        std::lock_guard lock(shared.mutex);
        shared.calls.emplace(call_.serial, &call_);
    }
    ActiveCall(const ActiveCall &) = delete;
    ActiveCall &operator=(const ActiveCall &) = delete;
    ~ActiveCall() {
        auto &shared = call_registry();
        std::lock_guard lock(shared.mutex);
        shared.calls.erase(call_.serial);
    }

    // The reference is the call's serial number, looked up in the registry, never dereferenced.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    EventHandlerCallRef ref() const { return reinterpret_cast<EventHandlerCallRef>(call_.serial); }

private:
    HandlerCall &call_;
};

HandlerCall *find_call(EventHandlerCallRef ref) {
    auto &shared = call_registry();
    std::lock_guard lock(shared.mutex);
    auto found = shared.calls.find(reinterpret_cast<std::uintptr_t>(ref));
    return found == shared.calls.end() ? nullptr : found->second;
}

ChainPosition arrive_at(EventTarget &target, const Event &event, std::uintptr_t dispatch_serial) {
    return {&target, target_identity(&target),
            handlers_for_event(target, event.event_class(), event.kind(), dispatch_serial), 0, dispatch_serial};
}

bool still_alive(const ChainPosition &position) {
    return target_identity(position.target) == position.target_id;
}

// Runs handlers from the position on: the rest of this target's stack, then each parent's,
// until one returns something other than eventNotHandledErr. A handler removed, or whose
// target went, since the walk began is skipped; a disposed target ends the walk.
OSStatus run_chain(Event &event, ChainPosition position) {
    for (;;) {
        while (position.next < position.handlers.size()) {
            std::shared_ptr<InstalledHandler> handler = position.handlers[position.next++];
            if (handler->target != position.target) continue;

            HandlerCall call{.rest = position};
            OSStatus status;
            {
                ActiveCall active(call);
                status = handler->procedure(active.ref(), event.ref(), handler->user_data);
            }
            // After CallNextEventHandler the rest has had its turn; the handler's answer is final.
            if (status != eventNotHandledErr || call.rest_has_run) return status;
        }
        if (!still_alive(position)) return eventNotHandledErr;
        EventTarget *parent = position.target->parent_target();
        if (!is_live_target(parent)) return eventNotHandledErr;
        position = arrive_at(*parent, event, position.dispatch_serial);
    }
}

}  // namespace
}  // namespace hitoolbox

using hitoolbox::Event;
using hitoolbox::EventTarget;

extern "C" {

// Dispatches synchronously from the target up its containment chain; the event is retained
// meanwhile. eventNotHandledErr when no handler took it.
OSStatus SendEventToEventTarget(EventRef inEvent, EventTargetRef inTarget) {
    Event *event = Event::from_ref(inEvent);
    EventTarget *target = EventTarget::from_ref(inTarget);
    if (event == nullptr || !hitoolbox::is_live_target(target)) return paramErr;
    hitoolbox::RetainedEvent held(*event);
    return hitoolbox::run_chain(*event, hitoolbox::arrive_at(*target, *event, hitoolbox::next_serial()));
}

// Runs the handlers below the calling one (the rest of its target's stack, then the parent
// targets) and returns their result. Only valid while that handler runs.
// Partial: no toolbox standard handler ends the chain; past the last handler it is eventNotHandledErr.
OSStatus CallNextEventHandler(EventHandlerCallRef inCallRef, EventRef inEvent) {
    hitoolbox::HandlerCall *call = hitoolbox::find_call(inCallRef);
    Event *event = Event::from_ref(inEvent);
    if (call == nullptr || event == nullptr) return paramErr;
    call->rest_has_run = true;
    hitoolbox::RetainedEvent held(*event);
    return hitoolbox::run_chain(*event, call->rest);
}

}  // extern "C"
