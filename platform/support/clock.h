// The platform's clock: real time, or a manual clock that only tests move.
#pragma once

#include <CoreFoundation/CFDate.h>

namespace platform::clock {

CFAbsoluteTime now();
bool is_manual();

}  // namespace platform::clock
