// Snapshots of the platform's live-object counts.
#include "live_objects.h"

#include <platform/test_support.h>

namespace test_support {

const std::vector<std::string> &platformKinds() {
    static const std::vector<std::string> kinds = {"window", "control",       "menu",   "event-handler", "event",
                                                   "nib",    "print-session", "ticket", "ppd-context"};
    return kinds;
}

LiveObjects LiveObjects::now() {
    LiveObjects live;
    live.cfObjects = PlatformLiveCFObjectCount();
    for (const std::string &kind : platformKinds()) live.kinds[kind] = PlatformLiveObjectCount(kind.c_str());
    return live;
}

long LiveObjects::count(const std::string &kind) const {
    auto found = kinds.find(kind);
    return found == kinds.end() ? 0 : found->second;
}

void PrintTo(const LiveObjects &live, std::ostream *out) {
    *out << "{CF objects " << live.cfObjects;
    for (const auto &[kind, count] : live.kinds) *out << ", " << kind << " " << count;
    *out << "}";
}

std::vector<std::string> differences(const LiveObjects &before, const LiveObjects &after) {
    std::vector<std::string> lines;
    auto compare = [&lines](const std::string &what, long was, long is) {
        if (was != is) lines.push_back(what + ": " + std::to_string(was) + " -> " + std::to_string(is));
    };
    compare("CF objects", before.cfObjects, after.cfObjects);
    for (const std::string &kind : platformKinds()) compare(kind, before.count(kind), after.count(kind));
    return lines;
}

}  // namespace test_support
