// Injected failures of named platform operations, for tests of failure paths.
#pragma once

#include <MacTypes.h>

#include <optional>

namespace platform::faults {

// Counts one call of the operation; returns the status to fail with when a fault is due.
std::optional<OSStatus> consume(const char *operation);

}  // namespace platform::faults
