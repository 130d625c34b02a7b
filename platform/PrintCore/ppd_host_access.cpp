// The host's way to the PPD library's parses: libcups' ppd_file_t, shared with the panes' printer
// tests, with marks of the host's own.
#include "ppd_cache.h"

#include "CoreFoundation/string_internal.h"

#include <platform/host_support.h>
#include <platform/test_support.h>

extern "C" {

struct ppd_file_s *PlatformPPDOpen(const char *path, CFStringRef *outReason) {
    if (outReason != nullptr) *outReason = nullptr;
    printing::PPDOpenProblem problem{printing::PPDOpenFailure::unreadable, "no path"};
    ppd_file_s *ppd = path != nullptr ? printing::open_ppd_for_marking(path, problem) : nullptr;
    if (ppd == nullptr && outReason != nullptr) *outReason = cf::create_string_from_utf8(problem.reason);
    return ppd;
}

void PlatformPPDClose(struct ppd_file_s *ppd) {
    if (ppd != nullptr) printing::release_marking_lease(ppd);
}

long PlatformPPDParseCount(void) { return static_cast<long>(printing::ppd_parse_count()); }

}  // extern "C"
