// CFAbsoluteTimeGetCurrent and the manual clock of <platform/clock.h>.
#include "clock.h"

#include <platform/clock.h>

#include <chrono>
#include <mutex>

namespace platform::clock {
namespace {

std::mutex clock_mutex;
bool manual = false;
CFAbsoluteTime manual_now = 0;

CFAbsoluteTime real_now() {
    using namespace std::chrono;
    const double unix_seconds = duration<double>(system_clock::now().time_since_epoch()).count();
    return unix_seconds - kCFAbsoluteTimeIntervalSince1970;
}

}  // namespace

CFAbsoluteTime now() {
    std::lock_guard lock(clock_mutex);
    return manual ? manual_now : real_now();
}

bool is_manual() {
    std::lock_guard lock(clock_mutex);
    return manual;
}

}  // namespace platform::clock

using namespace platform::clock;

extern "C" {

CFAbsoluteTime CFAbsoluteTimeGetCurrent(void) { return now(); }

void PlatformUseManualClock(Boolean useManualClock) {
    std::lock_guard lock(clock_mutex);
    if (useManualClock && !manual) manual_now = real_now();
    manual = useManualClock;
}

Boolean PlatformIsUsingManualClock(void) { return is_manual(); }

void PlatformSetManualClock(CFAbsoluteTime when) {
    std::lock_guard lock(clock_mutex);
    manual_now = when;
}

void PlatformAdvanceManualClock(CFTimeInterval seconds) {
    std::lock_guard lock(clock_mutex);
    manual_now += seconds;
}

}  // extern "C"
