// Event targets: the live-target registry, target teardown and the application's target.
#include "event_target.h"

#include "event_handlers.h"

#include <mutex>
#include <unordered_map>

namespace hitoolbox {
namespace {

// Live targets with the identity each was registered under.
struct TargetRegistry {
    std::mutex mutex;
    std::unordered_map<const EventTarget *, std::uintptr_t> identities;
};

TargetRegistry &registry() {
    static auto *shared = new TargetRegistry();  // outlives static destructors
    return *shared;
}

// The end of every containment chain.
class ApplicationTarget final : public EventTarget {
public:
    ApplicationTarget() { register_target(this); }
    EventTarget *parent_target() const override { return nullptr; }
};

}  // namespace

// Orphans the handlers still here: those with an out-reference live on (dead) until
// RemoveEventHandler frees them; the others go with the stack.
EventTarget::~EventTarget() {
    unregister_target(this);
    for (auto &handler : handlers_) handler->target = nullptr;
    handlers_.clear();
}

EventTarget &application_target() {
    static auto *application = new ApplicationTarget();  // never destroyed: handlers may outlive main
    return *application;
}

bool is_live_target(const EventTarget *target) { return target_identity(target) != 0; }

std::uintptr_t target_identity(const EventTarget *target) {
    if (target == nullptr) return 0;
    auto &shared = registry();
    std::lock_guard lock(shared.mutex);
    auto found = shared.identities.find(target);
    return found == shared.identities.end() ? 0 : found->second;
}

void register_target(EventTarget *target) {
    if (target == nullptr) return;
    auto &shared = registry();
    std::lock_guard lock(shared.mutex);
    shared.identities.insert_or_assign(target, next_serial());
}

void unregister_target(EventTarget *target) {
    auto &shared = registry();
    std::lock_guard lock(shared.mutex);
    shared.identities.erase(target);
}

}  // namespace hitoolbox

extern "C" {

EventTargetRef GetApplicationEventTarget(void) { return hitoolbox::application_target().ref(); }

}  // extern "C"
