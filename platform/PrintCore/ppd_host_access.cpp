// The host's way to the PPD library's parses: libcups' ppd_file_t, shared with the panes' printer
// tests, with marks of the host's own.
#include "ppd_cache.h"

#include "../CoreFoundation/string_internal.h"

#include <platform/host_support.h>
#include <platform/test_support.h>

#include <map>
#include <mutex>

namespace {

struct Holds {
    std::mutex mutex;
    std::map<const ppd_file_s *, printing::SharedPPD> held;  // what PlatformPPDClose gives back
};

Holds &holds() {
    static Holds instance;
    return instance;
}

}  // namespace

extern "C" {

struct ppd_file_s *PlatformPPDOpen(const char *path, CFStringRef *outReason) {
    if (outReason != nullptr) *outReason = nullptr;
    printing::PPDOpenProblem problem;
    printing::SharedPPD ppd = path != nullptr ? printing::open_ppd_for_marking(path, problem) : nullptr;
    if (!ppd) {
        if (outReason != nullptr) *outReason = cf::create_string_from_utf8(path != nullptr ? problem.reason : "no path");
        return nullptr;
    }
    std::lock_guard lock(holds().mutex);
    holds().held[ppd.get()] = ppd;
    return ppd.get();
}

void PlatformPPDClose(struct ppd_file_s *ppd) {
    if (ppd == nullptr) return;
    printing::release_marking_lease(ppd);
    printing::SharedPPD last;  // dropped after the lock, so that ppdClose never runs under it
    std::lock_guard lock(holds().mutex);
    auto found = holds().held.find(ppd);
    if (found == holds().held.end()) return;
    last = std::move(found->second);
    holds().held.erase(found);
}

long PlatformPPDParseCount(void) { return static_cast<long>(printing::ppd_parse_count()); }

}  // extern "C"
