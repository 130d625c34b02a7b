// Carbon event objects: creation, reference counting and the event clock.
#include "event.h"

#include "support/clock.h"
#include "support/faults.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace hitoolbox {
namespace {

// Every live event, owned here, so that a released EventRef is recognised instead of used.
struct EventRegistry {
    std::mutex mutex;
    std::unordered_map<const Event *, std::unique_ptr<Event>> events;
};

EventRegistry &registry() {
    static auto *shared = new EventRegistry();  // outlives static destructors
    return *shared;
}

}  // namespace

Event::Event(UInt32 event_class, UInt32 kind, EventTime when, EventAttributes attributes)
    : class_(event_class), kind_(kind), time_(when), attributes_(attributes) {}

// Makes the event and hands its first reference to the caller.
Event &Event::create(UInt32 event_class, UInt32 kind, EventTime when, EventAttributes attributes) {
    auto event = std::make_unique<Event>(event_class, kind, when, attributes);
    Event &made = *event;
    auto &shared = registry();
    std::lock_guard lock(shared.mutex);
    shared.events.emplace(&made, std::move(event));
    return made;
}

// Looks the reference up among the live events; never dereferences a stale one.
Event *Event::from_ref(EventRef ref) {
    if (ref == nullptr) return nullptr;
    auto &shared = registry();
    std::lock_guard lock(shared.mutex);
    auto found = shared.events.find(reinterpret_cast<const Event *>(ref));
    return found == shared.events.end() ? nullptr : found->second.get();
}

// Frees the event with its last reference.
void Event::release() {
    if (--references_ > 0) return;
    std::unique_ptr<Event> doomed;
    auto &shared = registry();
    {
        std::lock_guard lock(shared.mutex);
        auto found = shared.events.find(this);
        if (found == shared.events.end()) return;
        doomed = std::move(found->second);
        shared.events.erase(found);
    }
    // doomed goes out of scope here and deletes this event
}

// Copies the data; a parameter set again is replaced whole, type included.
void Event::set_parameter(EventParamName name, EventParamType type, const void *data, UInt32 size) {
    Parameter parameter{type, std::vector<std::byte>(size)};
    if (size > 0) std::memcpy(parameter.bytes.data(), data, size);
    parameters_.insert_or_assign(name, std::move(parameter));
}

const Event::Parameter *Event::find_parameter(EventParamName name) const {
    auto found = parameters_.find(name);
    return found == parameters_.end() ? nullptr : &found->second;
}

}  // namespace hitoolbox

using hitoolbox::Event;

extern "C" {

// Makes an event with one reference; a time of 0 stands for now.
OSStatus CreateEvent(CFAllocatorRef, UInt32 inClassID, UInt32 inKind, EventTime inWhen,
                     EventAttributes inAttributes, EventRef *outEvent) {
    if (auto fault = platform::faults::consume("CreateEvent")) return *fault;
    if (outEvent == nullptr) return paramErr;
    const EventTime when = inWhen == 0 ? GetCurrentEventTime() : inWhen;
    *outEvent = Event::create(inClassID, inKind, when, inAttributes).ref();
    return noErr;
}

// Adds a reference; returns the event, or NULL for a NULL or released one.
EventRef RetainEvent(EventRef inEvent) {
    Event *event = Event::from_ref(inEvent);
    if (event == nullptr) return nullptr;
    event->retain();
    return inEvent;
}

// Drops a reference; NULL and released events are ignored.
void ReleaseEvent(EventRef inEvent) {
    if (Event *event = Event::from_ref(inEvent)) event->release();
}

UInt32 GetEventClass(EventRef inEvent) {
    const Event *event = Event::from_ref(inEvent);
    return event ? event->event_class() : 0;
}

UInt32 GetEventKind(EventRef inEvent) {
    const Event *event = Event::from_ref(inEvent);
    return event ? event->kind() : 0;
}

EventTime GetEventTime(EventRef inEvent) {
    const Event *event = Event::from_ref(inEvent);
    return event ? event->time() : 0;
}

// Seconds on the platform clock (CFAbsoluteTime), so the manual test clock moves it too.
EventTime GetCurrentEventTime(void) { return platform::clock::now(); }

}  // extern "C"
