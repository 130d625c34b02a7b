// The fault table behind PlatformInjectFault.
#include "faults.h"

#include <platform/test_support.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace platform::faults {
namespace {

struct PendingFault {
    int calls_left;  // 1 = the next call fails
    OSStatus status;
};

std::mutex faults_mutex;
std::map<std::string, std::vector<PendingFault>, std::less<>> pending;

}  // namespace

std::optional<OSStatus> consume(const char *operation) {
    std::lock_guard lock(faults_mutex);
    if (pending.empty()) return std::nullopt;
    auto found = pending.find(std::string_view(operation));
    if (found == pending.end()) return std::nullopt;
    std::optional<OSStatus> result;
    auto &list = found->second;
    for (auto it = list.begin(); it != list.end();) {
        if (--it->calls_left == 0) {
            if (!result) result = it->status;
            it = list.erase(it);
        } else {
            ++it;
        }
    }
    if (list.empty()) pending.erase(found);
    return result;
}

}  // namespace platform::faults

extern "C" {

void PlatformInjectFault(const char *operation, int nthCall, OSStatus status) {
    if (operation == nullptr || nthCall < 1) return;
    std::lock_guard lock(platform::faults::faults_mutex);
    platform::faults::pending[operation].push_back({nthCall, status});
}

void PlatformClearInjectedFaults(void) {
    std::lock_guard lock(platform::faults::faults_mutex);
    platform::faults::pending.clear();
}

}  // extern "C"
