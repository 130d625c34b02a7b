// The live-object counters behind PlatformLiveObjectCount and PlatformLiveCFObjectCount.
#include "live_count.h"

#include "CoreFoundation/object.h"

#include <platform/test_support.h>

#include <map>
#include <mutex>
#include <string>

namespace platform::live {
namespace {

std::mutex counts_mutex;

std::map<std::string, long, std::less<>> &counts() {
    static auto *table = new std::map<std::string, long, std::less<>>();  // outlives static destructors
    return *table;
}

}  // namespace

void created(const char *kind) {
    std::lock_guard lock(counts_mutex);
    ++counts()[kind];
}

void destroyed(const char *kind) {
    std::lock_guard lock(counts_mutex);
    --counts()[kind];
}

}  // namespace platform::live

extern "C" {

long PlatformLiveCFObjectCount(void) { return cf::live_object_count(); }

long PlatformLiveObjectCount(const char *kind) {
    if (kind == nullptr) return 0;
    std::lock_guard lock(platform::live::counts_mutex);
    auto &table = platform::live::counts();
    auto found = table.find(std::string_view(kind));
    return found == table.end() ? 0 : found->second;
}

}  // extern "C"
