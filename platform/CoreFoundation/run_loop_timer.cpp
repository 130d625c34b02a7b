// CFRunLoopTimer: a callout with a next fire date and an optional repeat interval.
#include "run_loop_internal.h"
#include "string_internal.h"

#include "support/faults.h"

#include <atomic>
#include <cmath>
#include <cstdio>

namespace {

// Ties between timers due at the same moment go to the one made first.
std::uint64_t next_creation_sequence() {
    static std::atomic<std::uint64_t> sequence{0};
    return ++sequence;
}

// Keeps fire dates finite so that waiting for them stays well defined.
CFAbsoluteTime clamp_fire_date(CFAbsoluteTime date) {
    constexpr CFAbsoluteTime kLatest = 9.2e18 / 1e9;  // about 290 years ahead
    if (date > kLatest) return kLatest;
    if (date < -kLatest) return -kLatest;
    return date;
}

}  // namespace

// Copies the context and takes the caller's info through its retain callback.
__CFRunLoopTimer::__CFRunLoopTimer(CFAbsoluteTime fire_date, CFTimeInterval repeat_interval,
                                   CFIndex timer_order, CFRunLoopTimerCallBack timer_callout,
                                   const CFRunLoopTimerContext *timer_context)
    : cf::Object(kTypeID),
      interval(repeat_interval > 0 ? repeat_interval : 0),
      order(timer_order),
      callout(timer_callout),
      creation_sequence(next_creation_sequence()),
      next_fire_date(clamp_fire_date(fire_date)) {
    if (timer_context != nullptr) {
        context = *timer_context;
        if (context.retain != nullptr) context.info = const_cast<void *>(context.retain(context.info));
    }
}

// A timer never invalidated gives its info back when its last reference goes.
__CFRunLoopTimer::~__CFRunLoopTimer() {
    if (valid && context.release != nullptr) context.release(context.info);
}

// Snapshot of the schedule, then the context's own text (outside the lock: it is a callback).
std::string __CFRunLoopTimer::description() const {
    bool is_valid;
    bool is_firing;
    CFAbsoluteTime fire_date;
    CFRunLoopTimerContext snapshot;
    {
        std::lock_guard lock(cf::run_loop_mutex());
        is_valid = valid;
        is_firing = firing;
        fire_date = next_fire_date;
        snapshot = context;
    }
    std::string context_text;
    if (snapshot.copyDescription != nullptr) {
        cf::Ref<CFStringRef> text = cf::adopt(snapshot.copyDescription(snapshot.info));
        context_text = cf::utf8_of(text.get());
    } else {
        context_text = "<CFRunLoopTimer context " + cf::address_text(snapshot.info) + ">";
    }
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, "interval = %g, next fire date = %.6f, order = %ld", interval,
                  fire_date, static_cast<long>(order));
    return "<CFRunLoopTimer " + cf::address_text(this) + ">{valid = " + (is_valid ? "Yes" : "No") +
           ", firing = " + (is_firing ? "Yes" : "No") + ", " + numbers +
           ", callout = " + cf::address_text(reinterpret_cast<const void *>(callout)) +
           ", context = " + context_text + "}";
}

extern "C" {

CFTypeID CFRunLoopTimerGetTypeID(void) { return cf::kTypeRunLoopTimer; }

// A new valid timer, not yet on any run loop; NULL when creation is made to fail.
CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef, CFAbsoluteTime fireDate, CFTimeInterval interval,
                                       CFOptionFlags, CFIndex order, CFRunLoopTimerCallBack callout,
                                       CFRunLoopTimerContext *context) {
    if (platform::faults::consume("CFRunLoopTimerCreate")) return nullptr;
    if (std::isnan(fireDate)) fireDate = 0;
    if (std::isnan(interval)) interval = 0;
    return new __CFRunLoopTimer(fireDate, interval, order, callout, context);
}

CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer) {
    auto *self = cf::as<__CFRunLoopTimer>(timer);
    if (self == nullptr) return 0;
    std::lock_guard lock(cf::run_loop_mutex());
    return self->next_fire_date;
}

// Moves only the next firing; the run loop is woken so it waits for the new date.
void CFRunLoopTimerSetNextFireDate(CFRunLoopTimerRef timer, CFAbsoluteTime fireDate) {
    auto *self = cf::as<__CFRunLoopTimer>(timer);
    if (self == nullptr || std::isnan(fireDate)) return;
    std::lock_guard lock(cf::run_loop_mutex());
    if (!self->valid) return;
    self->next_fire_date = clamp_fire_date(fireDate);
    if (self->firing) self->rearmed_while_firing = true;
    if (self->run_loop != nullptr) self->run_loop->wake_up();
}

CFTimeInterval CFRunLoopTimerGetInterval(CFRunLoopTimerRef timer) {
    auto *self = cf::as<__CFRunLoopTimer>(timer);
    return self == nullptr ? 0 : self->interval;
}

Boolean CFRunLoopTimerDoesRepeat(CFRunLoopTimerRef timer) {
    auto *self = cf::as<__CFRunLoopTimer>(timer);
    return self != nullptr && self->interval > 0;
}

CFIndex CFRunLoopTimerGetOrder(CFRunLoopTimerRef timer) {
    auto *self = cf::as<__CFRunLoopTimer>(timer);
    return self == nullptr ? 0 : self->order;
}

// Stops the timer for good: off every mode, the info released once. The
// caller's reference keeps the timer alive while the run loop lets go of it.
void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer) {
    auto *self = cf::as<__CFRunLoopTimer>(timer);
    if (self == nullptr) return;
    cf::TimerRef keep_alive = cf::retain(timer);
    cf::ReleasedTimers released;
    CFRunLoopTimerContext context;
    {
        std::lock_guard lock(cf::run_loop_mutex());
        if (!self->valid) return;
        self->valid = false;
        cf::unschedule_timer(*self, released);
        context = self->context;
        self->context.info = nullptr;
    }
    if (context.release != nullptr) context.release(context.info);
}

Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer) {
    auto *self = cf::as<__CFRunLoopTimer>(timer);
    if (self == nullptr) return false;
    std::lock_guard lock(cf::run_loop_mutex());
    return self->valid;
}

void CFRunLoopTimerGetContext(CFRunLoopTimerRef timer, CFRunLoopTimerContext *context) {
    auto *self = cf::as<__CFRunLoopTimer>(timer);
    if (self == nullptr || context == nullptr) return;
    std::lock_guard lock(cf::run_loop_mutex());
    *context = self->context;
}

}  // extern "C"
