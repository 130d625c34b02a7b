// CFRunLoop: one immortal run loop per thread, and the timers in its modes.
#include "run_loop_internal.h"
#include "string_internal.h"

#include <CoreFoundation/CFString.h>

#include <algorithm>
#include <unistd.h>

extern "C" {
const CFRunLoopMode kCFRunLoopDefaultMode = CFSTR("kCFRunLoopDefaultMode");
const CFRunLoopMode kCFRunLoopCommonModes = CFSTR("kCFRunLoopCommonModes");
}

namespace cf {

std::mutex &run_loop_mutex() {
    static auto *mutex = new std::mutex();  // outlives static destructors of other files
    return *mutex;
}

namespace {

// The pseudo-mode name, looked up at call time rather than through the
// exported constant, which may not be initialised yet during start-up.
CFRunLoopMode common_modes_name() { return CFSTR("kCFRunLoopCommonModes"); }

bool is_common_modes_name(CFRunLoopMode name) { return CFEqual(name, common_modes_name()); }

bool is_mode_name(CFTypeRef name) { return name != nullptr && CFGetTypeID(name) == kTypeString; }

// Every run loop ever made; they are never freed, and keeping them here keeps
// them reachable for leak checkers.
struct Registry {
    std::mutex mutex;
    std::vector<__CFRunLoop *> all;
    __CFRunLoop *main = nullptr;
};

Registry &registry() {
    static auto *instance = new Registry();
    return *instance;
}

__CFRunLoop *make_registered_run_loop(Registry &table) {
    auto *loop = new __CFRunLoop();
    table.all.push_back(loop);
    return loop;
}

bool is_main_thread() { return ::gettid() == ::getpid(); }

bool contains_timer(const std::vector<TimerRef> &timers, const __CFRunLoopTimer *timer) {
    return std::any_of(timers.begin(), timers.end(),
                       [timer](const TimerRef &held) { return held.get() == timer; });
}

// Moves the timer's reference out of the list (into released), if it is there.
void take_timer(std::vector<TimerRef> &timers, const __CFRunLoopTimer *timer, ReleasedTimers &released) {
    auto found = std::find_if(timers.begin(), timers.end(),
                              [timer](const TimerRef &held) { return held.get() == timer; });
    if (found == timers.end()) return;
    released.push_back(std::move(*found));
    timers.erase(found);
}

}  // namespace

void unschedule_timer(__CFRunLoopTimer &timer, ReleasedTimers &released) {
    if (timer.run_loop != nullptr) timer.run_loop->remove_everywhere(&timer, released);
}

}  // namespace cf

// Immortal from the start: a run loop lives as long as the process.
__CFRunLoop::__CFRunLoop() : cf::Object(kTypeID) {
    make_immortal();
    common_modes.push_back(cf::retain(CFSTR("kCFRunLoopDefaultMode")));
}

std::string __CFRunLoop::description() const {
    std::lock_guard lock(cf::run_loop_mutex());
    std::string text = "<CFRunLoop " + cf::address_text(this) + ">{current mode = ";
    text += runs.empty() ? "(none)" : cf::utf8_of(runs.back()->mode.get());
    text += ", common modes = (";
    for (size_t index = 0; index < common_modes.size(); ++index) {
        if (index > 0) text += ", ";
        text += cf::utf8_of(common_modes[index].get());
    }
    return text + "), modes = " + std::to_string(modes.size()) + "}";
}

__CFRunLoop::Mode *__CFRunLoop::find_mode(CFRunLoopMode name) {
    for (Mode &mode : modes) {
        if (CFEqual(mode.name.get(), name)) return &mode;
    }
    return nullptr;
}

__CFRunLoop::Mode &__CFRunLoop::mode_named(CFRunLoopMode name) {
    if (Mode *mode = find_mode(name)) return *mode;
    modes.push_back(Mode{cf::retain(name), {}});
    return modes.back();
}

bool __CFRunLoop::is_common_mode(CFRunLoopMode name) const {
    return std::any_of(common_modes.begin(), common_modes.end(),
                       [name](const cf::ModeRef &mode) { return CFEqual(mode.get(), name); });
}

// For the common pseudo-mode: whether the timer was added for the common modes.
bool __CFRunLoop::contains(CFRunLoopMode name, const __CFRunLoopTimer *timer) {
    if (cf::is_common_modes_name(name)) return cf::contains_timer(common_timers, timer);
    const Mode *mode = find_mode(name);
    return mode != nullptr && cf::contains_timer(mode->timers, timer);
}

// Whether any mode, or the common set, still references the timer.
bool __CFRunLoop::holds(const __CFRunLoopTimer *timer) const {
    if (cf::contains_timer(common_timers, timer)) return true;
    return std::any_of(modes.begin(), modes.end(),
                       [timer](const Mode &mode) { return cf::contains_timer(mode.timers, timer); });
}

// Adds one reference per mode the timer joins; a timer already there is left alone.
void __CFRunLoop::add(CFRunLoopMode name, __CFRunLoopTimer *timer) {
    auto timer_ref = reinterpret_cast<CFRunLoopTimerRef>(timer);
    if (cf::is_common_modes_name(name)) {
        if (cf::contains_timer(common_timers, timer)) return;
        common_timers.push_back(cf::retain(timer_ref));
        for (const cf::ModeRef &common : common_modes) add(common.get(), timer);
        return;
    }
    Mode &mode = mode_named(name);
    if (cf::contains_timer(mode.timers, timer)) return;
    mode.timers.push_back(cf::retain(timer_ref));
    timer->run_loop = this;
    wake_up();
}

void __CFRunLoop::remove(CFRunLoopMode name, __CFRunLoopTimer *timer, cf::ReleasedTimers &released) {
    if (cf::is_common_modes_name(name)) {
        cf::take_timer(common_timers, timer, released);
        for (const cf::ModeRef &common : common_modes) remove(common.get(), timer, released);
    } else if (Mode *mode = find_mode(name)) {
        cf::take_timer(mode->timers, timer, released);
    }
    if (timer->run_loop == this && !holds(timer)) timer->run_loop = nullptr;
}

void __CFRunLoop::remove_everywhere(__CFRunLoopTimer *timer, cf::ReleasedTimers &released) {
    cf::take_timer(common_timers, timer, released);
    for (Mode &mode : modes) cf::take_timer(mode.timers, timer, released);
    if (timer->run_loop == this) timer->run_loop = nullptr;
}

// Ends the current or next wait of whichever thread runs this loop.
void __CFRunLoop::wake_up() {
    wake_requested = true;
    wake.notify_all();
}

extern "C" {

CFTypeID CFRunLoopGetTypeID(void) { return cf::kTypeRunLoop; }

// The calling thread's run loop, made on first use.
CFRunLoopRef CFRunLoopGetCurrent(void) {
    thread_local __CFRunLoop *current = nullptr;
    if (current != nullptr) return current;
    cf::Registry &table = cf::registry();
    std::lock_guard lock(table.mutex);
    if (cf::is_main_thread()) {
        if (table.main == nullptr) table.main = cf::make_registered_run_loop(table);
        current = table.main;
    } else {
        current = cf::make_registered_run_loop(table);
    }
    return current;
}

// The process's main thread's run loop, from any thread.
CFRunLoopRef CFRunLoopGetMain(void) {
    cf::Registry &table = cf::registry();
    std::lock_guard lock(table.mutex);
    if (table.main == nullptr) table.main = cf::make_registered_run_loop(table);
    return table.main;
}

// Makes the mode one of the common modes; timers added for the common modes join it.
void CFRunLoopAddCommonMode(CFRunLoopRef rl, CFRunLoopMode mode) {
    auto *loop = cf::as<__CFRunLoop>(rl);
    if (loop == nullptr || !cf::is_mode_name(mode) || cf::is_common_modes_name(mode)) return;
    std::lock_guard lock(cf::run_loop_mutex());
    if (loop->is_common_mode(mode)) return;
    loop->common_modes.push_back(cf::retain(mode));
    for (const cf::TimerRef &timer : loop->common_timers) {
        loop->add(mode, cf::as<__CFRunLoopTimer>(timer.get()));
    }
}

// Schedules a valid timer in a mode (or the common modes) of its one run loop.
void CFRunLoopAddTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode) {
    auto *loop = cf::as<__CFRunLoop>(rl);
    auto *self = cf::as<__CFRunLoopTimer>(timer);
    if (loop == nullptr || self == nullptr || !cf::is_mode_name(mode)) return;
    std::lock_guard lock(cf::run_loop_mutex());
    if (!self->valid) return;
    if (self->run_loop != nullptr && self->run_loop != loop) return;
    loop->add(mode, self);
}

void CFRunLoopRemoveTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode) {
    auto *loop = cf::as<__CFRunLoop>(rl);
    auto *self = cf::as<__CFRunLoopTimer>(timer);
    if (loop == nullptr || self == nullptr || !cf::is_mode_name(mode)) return;
    cf::ReleasedTimers released;
    std::lock_guard lock(cf::run_loop_mutex());
    loop->remove(mode, self, released);
}

Boolean CFRunLoopContainsTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode) {
    auto *loop = cf::as<__CFRunLoop>(rl);
    auto *self = cf::as<__CFRunLoopTimer>(timer);
    if (loop == nullptr || self == nullptr || !cf::is_mode_name(mode)) return false;
    std::lock_guard lock(cf::run_loop_mutex());
    return loop->contains(mode, self);
}

}  // extern "C"
