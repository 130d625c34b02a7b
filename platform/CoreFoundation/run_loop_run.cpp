// Running a run loop: firing due timers, sleeping until the next one, stopping.
#include "run_loop_internal.h"

#include "support/clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

using Lock = std::unique_lock<std::mutex>;

// Longest single wait; the loop recomputes its wake-up time after each one.
constexpr CFTimeInterval kLongestWait = 3600;

__CFRunLoopTimer &timer_of(const cf::TimerRef &ref) { return *cf::as<__CFRunLoopTimer>(ref.get()); }

// Earlier fire date first; then the lower order; then the older timer.
bool fires_before(const cf::TimerRef &first, const cf::TimerRef &second) {
    const __CFRunLoopTimer &a = timer_of(first);
    const __CFRunLoopTimer &b = timer_of(second);
    if (a.next_fire_date != b.next_fire_date) return a.next_fire_date < b.next_fire_date;
    if (a.order != b.order) return a.order < b.order;
    return a.creation_sequence < b.creation_sequence;
}

bool mode_has_timers(__CFRunLoop &loop, CFRunLoopMode name) {
    const __CFRunLoop::Mode *mode = loop.find_mode(name);
    return mode != nullptr && !mode->timers.empty();
}

// The earliest date a timer of the mode wants to fire; a timer already in its
// callout (a nested run) does not count, or the nested run would never sleep.
CFAbsoluteTime next_fire_date_in(__CFRunLoop &loop, CFRunLoopMode name, CFAbsoluteTime latest) {
    const __CFRunLoop::Mode *mode = loop.find_mode(name);
    if (mode == nullptr) return latest;
    CFAbsoluteTime earliest = latest;
    for (const cf::TimerRef &ref : mode->timers) {
        const __CFRunLoopTimer &timer = timer_of(ref);
        if (timer.valid && !timer.firing) earliest = std::min(earliest, timer.next_fire_date);
    }
    return earliest;
}

// Advances a repeating timer by whole intervals from the date it was due, so a
// late run loop skips the missed firings instead of catching up on them.
// A later date the callout chose for itself is kept.
void schedule_after_firing(__CFRunLoopTimer &timer, CFAbsoluteTime fired_date, CFAbsoluteTime now) {
    if (timer.rearmed_while_firing && timer.next_fire_date > fired_date) return;
    const CFTimeInterval interval = timer.interval;
    const double intervals_behind = now >= fired_date ? std::floor((now - fired_date) / interval) : 0;
    CFAbsoluteTime next = fired_date + (intervals_behind + 1) * interval;
    if (next <= now) next = fired_date + (intervals_behind + 2) * interval;  // rounding
    if (next <= now) next = std::nextafter(now, HUGE_VAL);                  // interval below resolution
    timer.next_fire_date = next;
}

// Calls one timer's callout with the lock released, then reschedules or retires it.
void fire(const cf::TimerRef &ref, Lock &lock) {
    __CFRunLoopTimer &timer = timer_of(ref);
    const CFAbsoluteTime fired_date = timer.next_fire_date;
    const CFRunLoopTimerCallBack callout = timer.callout;
    void *const info = timer.context.info;
    timer.firing = true;
    timer.rearmed_while_firing = false;

    lock.unlock();
    if (callout != nullptr) callout(ref.get(), info);
    lock.lock();

    timer.firing = false;
    if (!timer.valid) return;
    if (timer.interval <= 0) {
        lock.unlock();
        CFRunLoopTimerInvalidate(ref.get());
        lock.lock();
        return;
    }
    schedule_after_firing(timer, fired_date, platform::clock::now());
}

// One pass: every timer of the mode due now fires once, in firing order. A
// timer invalidated, removed, re-armed for later or already firing by the time
// its turn comes is passed over.
void fire_due_timers(__CFRunLoop &loop, CFRunLoopMode name, Lock &lock) {
    const __CFRunLoop::Mode *mode = loop.find_mode(name);
    if (mode == nullptr) return;
    const CFAbsoluteTime now = platform::clock::now();
    std::vector<cf::TimerRef> due;
    for (const cf::TimerRef &ref : mode->timers) {
        const __CFRunLoopTimer &timer = timer_of(ref);
        if (timer.valid && !timer.firing && timer.next_fire_date <= now) due.push_back(ref);
    }
    std::sort(due.begin(), due.end(), fires_before);
    for (const cf::TimerRef &ref : due) {
        const __CFRunLoopTimer &timer = timer_of(ref);
        if (!timer.valid || timer.firing || timer.next_fire_date > now) continue;
        if (!loop.contains(name, &timer)) continue;
        fire(ref, lock);
    }
    // The last reference to a timer may be among these; its release callback
    // must not run under the lock.
    lock.unlock();
    due.clear();
    lock.lock();
}

// Registers a run for CFRunLoopStop and CFRunLoopCopyCurrentMode while it lasts (lock held).
class ActiveRun {
public:
    ActiveRun(__CFRunLoop &loop, CFRunLoopMode mode) : loop_(loop) {
        run_.mode = cf::retain(mode);
        loop_.runs.push_back(&run_);
    }
    ActiveRun(const ActiveRun &) = delete;
    ActiveRun &operator=(const ActiveRun &) = delete;
    ~ActiveRun() { loop_.runs.pop_back(); }

    bool stopped() const { return run_.stopped; }

private:
    __CFRunLoop &loop_;
    __CFRunLoop::Run run_;
};

// Sleeps until the date, a wake-up or a stop, whichever comes first.
void sleep_until(__CFRunLoop &loop, const ActiveRun &run, CFAbsoluteTime date, CFAbsoluteTime now, Lock &lock) {
    const CFTimeInterval seconds = std::clamp(date - now, 0.0, kLongestWait);
    const auto wait = std::chrono::ceil<std::chrono::microseconds>(std::chrono::duration<double>(seconds));
    loop.wake.wait_for(lock, wait, [&] { return run.stopped() || loop.wake_requested; });
    loop.wake_requested = false;
}

CFRunLoopRunResult run_in_mode(__CFRunLoop &loop, CFRunLoopMode mode, CFTimeInterval seconds) {
    Lock lock(cf::run_loop_mutex());
    if (!mode_has_timers(loop, mode)) return kCFRunLoopRunFinished;
    ActiveRun run(loop, mode);
    const CFAbsoluteTime deadline = platform::clock::now() + (seconds > 0 ? seconds : 0);
    for (;;) {
        fire_due_timers(loop, mode, lock);
        if (run.stopped()) return kCFRunLoopRunStopped;
        // The manual clock moves only when a test advances it: waiting would never end.
        if (platform::clock::is_manual()) return kCFRunLoopRunTimedOut;
        CFAbsoluteTime now = platform::clock::now();
        if (now >= deadline) return kCFRunLoopRunTimedOut;
        if (!mode_has_timers(loop, mode)) return kCFRunLoopRunFinished;
        sleep_until(loop, run, next_fire_date_in(loop, mode, deadline), now, lock);
        // The wait lets go of the lock, so CFRunLoopStop from another thread can end the run.
        // cppcheck-suppress identicalConditionAfterEarlyExit
        if (run.stopped()) return kCFRunLoopRunStopped;
    }
}

}  // namespace

extern "C" {

// Runs the current thread's loop in one mode. Timer firings are not sources,
// so kCFRunLoopRunHandledSource never comes back and the flag has no effect.
// Partial: run loops hold timers only, no sources, so returnAfterSourceHandled never applies.
CFRunLoopRunResult CFRunLoopRunInMode(CFRunLoopMode mode, CFTimeInterval seconds, Boolean) {
    if (mode == nullptr) return kCFRunLoopRunFinished;
    if (std::isnan(seconds)) seconds = 0;
    return run_in_mode(*cf::as<__CFRunLoop>(CFRunLoopGetCurrent()), mode, seconds);
}

// Runs the default mode until stopped or empty. On the manual clock a single
// run is all there is, since time would never reach the next timer.
void CFRunLoopRun(void) {
    for (;;) {
        const CFRunLoopRunResult result = CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1.0e10, false);
        if (result == kCFRunLoopRunStopped || result == kCFRunLoopRunFinished) return;
        if (platform::clock::is_manual()) return;
    }
}

// Ends the innermost run of the loop, from a callout or from another thread.
void CFRunLoopStop(CFRunLoopRef rl) {
    auto *loop = cf::as<__CFRunLoop>(rl);
    if (loop == nullptr) return;
    std::lock_guard lock(cf::run_loop_mutex());
    if (loop->runs.empty()) return;
    loop->runs.back()->stopped = true;
    loop->wake.notify_all();
}

void CFRunLoopWakeUp(CFRunLoopRef rl) {
    auto *loop = cf::as<__CFRunLoop>(rl);
    if (loop == nullptr) return;
    std::lock_guard lock(cf::run_loop_mutex());
    loop->wake_up();
}

// The mode of the innermost run, or NULL when the loop is not running.
CFRunLoopMode CFRunLoopCopyCurrentMode(CFRunLoopRef rl) {
    auto *loop = cf::as<__CFRunLoop>(rl);
    if (loop == nullptr) return nullptr;
    std::lock_guard lock(cf::run_loop_mutex());
    if (loop->runs.empty()) return nullptr;
    return static_cast<CFRunLoopMode>(CFRetain(loop->runs.back()->mode.get()));
}

}  // extern "C"
