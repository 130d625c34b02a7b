// What is alive in the platform at one moment: the CF object count and the count of every kind of
// toolbox and printing object, so that a dialog's whole life can be checked to leave nothing.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace balance {

// The kinds the platform counts (windows, controls, menus, handlers, events, nib references,
// print sessions, tickets, compiled-PPD contexts).
const std::vector<std::string> &platformKinds();

struct LiveObjects {
    long cfObjects = 0;
    std::map<std::string, long> kinds;

    static LiveObjects now();
    long count(const std::string &kind) const;
};

// One line per count that differs ("window: 3 -> 4"); empty when every count is as before.
std::vector<std::string> differences(const LiveObjects &before, const LiveObjects &after);

}  // namespace balance
