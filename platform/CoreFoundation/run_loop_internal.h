// What the run loop and its timers share: the objects themselves and the one
// lock that guards their scheduling state across threads.
#pragma once

#include "object.h"
#include "ref.h"

#include <CoreFoundation/CFRunLoop.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace cf {

using TimerRef = Ref<CFRunLoopTimerRef>;
using ModeRef = Ref<CFRunLoopMode>;

// Guards every run loop's modes and every timer's schedule. Callouts and
// context callbacks always run with it released, so they may call back in.
std::mutex &run_loop_mutex();

// References the lock holder has taken off a run loop. They are dropped only
// after the lock is released, since a last release runs the timer's context
// release callback.
using ReleasedTimers = std::vector<TimerRef>;

}  // namespace cf

struct __CFRunLoopTimer final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeRunLoopTimer;

    __CFRunLoopTimer(CFAbsoluteTime fire_date, CFTimeInterval repeat_interval, CFIndex timer_order,
                     CFRunLoopTimerCallBack timer_callout, const CFRunLoopTimerContext *timer_context);
    ~__CFRunLoopTimer() override;

    std::string description() const override;

    // Fixed at creation.
    const CFTimeInterval interval;  // <= 0 for a one-shot timer
    const CFIndex order;
    const CFRunLoopTimerCallBack callout;
    const std::uint64_t creation_sequence;

    // Guarded by cf::run_loop_mutex().
    CFRunLoopTimerContext context{};
    CFAbsoluteTime next_fire_date;
    bool valid = true;
    bool firing = false;
    bool rearmed_while_firing = false;
    __CFRunLoop *run_loop = nullptr;  // the one run loop it may be scheduled on
};

struct __CFRunLoop final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeRunLoop;

    struct Mode {
        cf::ModeRef name;
        std::vector<cf::TimerRef> timers;
    };

    // One CFRunLoopRunInMode call; the innermost one is the one CFRunLoopStop ends.
    struct Run {
        cf::ModeRef mode;
        bool stopped = false;
    };

    __CFRunLoop();

    std::string description() const override;

    // Everything below is guarded by cf::run_loop_mutex().
    Mode *find_mode(CFRunLoopMode name);
    Mode &mode_named(CFRunLoopMode name);
    bool is_common_mode(CFRunLoopMode name) const;
    bool contains(CFRunLoopMode name, const __CFRunLoopTimer *timer);
    bool holds(const __CFRunLoopTimer *timer) const;

    void add(CFRunLoopMode name, __CFRunLoopTimer *timer);
    void remove(CFRunLoopMode name, __CFRunLoopTimer *timer, cf::ReleasedTimers &released);
    void remove_everywhere(__CFRunLoopTimer *timer, cf::ReleasedTimers &released);
    void wake_up();

    std::vector<Mode> modes;
    std::vector<cf::ModeRef> common_modes;
    std::vector<cf::TimerRef> common_timers;  // added for kCFRunLoopCommonModes
    std::vector<Run *> runs;                  // active runs, innermost last
    bool wake_requested = false;
    std::condition_variable wake;
};

namespace cf {

// The timer's run loop, if any, lets go of it everywhere (lock held).
void unschedule_timer(__CFRunLoopTimer &timer, ReleasedTimers &released);

}  // namespace cf
