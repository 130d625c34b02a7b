// The latest GetControlByID that found nothing, per thread: panes look their controls up on
// the host's main thread, and the host asks there right after the pane's call returned.
#include "control_lookup_miss.h"

#include <platform/control_lookup.h>

#include <optional>

namespace hitoolbox {
namespace {

thread_local std::optional<ControlID> latest_miss;

}  // namespace

void note_lookup_miss(const ControlID &id) { latest_miss = id; }

}  // namespace hitoolbox

extern "C" {

void PlatformForgetControlLookupMiss(void) { hitoolbox::latest_miss.reset(); }

Boolean PlatformGetLastControlLookupMiss(ControlID *outID) {
    if (!hitoolbox::latest_miss) return false;
    if (outID != nullptr) *outID = *hitoolbox::latest_miss;
    return true;
}

}  // extern "C"
