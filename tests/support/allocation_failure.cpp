// The wrapped allocator behind allocation_failure.h.
#include "allocation_failure.h"

#include <cstddef>

extern "C" void *__real_malloc(size_t size);
extern "C" void *__real_calloc(size_t count, size_t size);

namespace allocation_failure {
namespace {
int countdown = 0;
int calls = 0;

bool shouldFail() {
    ++calls;
    if (countdown == 0) return false;
    return --countdown == 0;
}
}  // namespace

void failNth(int nth) {
    countdown = nth < 0 ? 0 : nth;
    calls = 0;
}

int callsSinceArmed() { return calls; }

}  // namespace allocation_failure

extern "C" void *__wrap_malloc(size_t size) {
    return allocation_failure::shouldFail() ? nullptr : __real_malloc(size);
}

extern "C" void *__wrap_calloc(size_t count, size_t size) {
    return allocation_failure::shouldFail() ? nullptr : __real_calloc(count, size);
}
