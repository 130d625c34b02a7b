// The Carbon event object: class, kind, time and typed parameters, reference counted.
#pragma once

#include "support/live_count.h"

#include <HIToolbox/CarbonEvents.h>

#include <cstddef>
#include <map>
#include <vector>

namespace hitoolbox {

inline constexpr char kEventKind[] = "event";

// errAECoercionFail: the status of asking for a parameter as a type it was not stored as.
inline constexpr OSStatus kParameterTypeMismatchErr = -1700;

class Event : platform::live::Counted<kEventKind> {
public:
    struct Parameter {
        EventParamType type;
        std::vector<std::byte> bytes;
    };

    // A new event with one reference, owned by the live-event registry.
    static Event &create(UInt32 event_class, UInt32 kind, EventTime when, EventAttributes attributes);
    // The live event behind ref, or nullptr for NULL and released events.
    static Event *from_ref(EventRef ref);

    Event(UInt32 event_class, UInt32 kind, EventTime when, EventAttributes attributes);
    Event(const Event &) = delete;
    Event &operator=(const Event &) = delete;

    EventRef ref() { return reinterpret_cast<EventRef>(this); }

    UInt32 event_class() const { return class_; }
    UInt32 kind() const { return kind_; }
    EventTime time() const { return time_; }
    EventAttributes attributes() const { return attributes_; }

    void retain() { ++references_; }
    // Drops one reference; the last one frees the event, so it must not be used afterwards.
    void release();

    // Stores a copy of the bytes, replacing an earlier parameter of the same name.
    void set_parameter(EventParamName name, EventParamType type, const void *data, UInt32 size);
    const Parameter *find_parameter(EventParamName name) const;

private:
    UInt32 class_;
    UInt32 kind_;
    EventTime time_;
    EventAttributes attributes_;
    long references_ = 1;
    std::map<EventParamName, Parameter> parameters_;
};

// Holds one reference to an event for as long as it lives (a dispatch in progress).
class RetainedEvent {
public:
    explicit RetainedEvent(Event &event) : event_(event) { event_.retain(); }
    RetainedEvent(const RetainedEvent &) = delete;
    RetainedEvent &operator=(const RetainedEvent &) = delete;
    ~RetainedEvent() { event_.release(); }

    Event &get() const { return event_; }

private:
    Event &event_;
};

}  // namespace hitoolbox
