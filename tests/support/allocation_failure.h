// Makes malloc and calloc, as called by code linked with --wrap=malloc,--wrap=calloc, fail on
// demand: the nth call from now returns NULL. Only the code of the program that was linked with
// the wrap is affected, never the platform library or the C++ runtime.
#pragma once

namespace allocation_failure {

// The nth wrapped allocation from now (1 = the next one) fails; 0 disarms.
void failNth(int nth);
// Wrapped allocations since the last failNth call.
int callsSinceArmed();

}  // namespace allocation_failure
