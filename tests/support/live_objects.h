// What is alive in the platform at one moment (the CF object count and the count of every kind of
// toolbox and printing object), and a fixture that checks a test leaves nothing behind.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace test_support {

// The kinds the platform counts: windows, controls, menus, handlers, events, nib references,
// print sessions, tickets, compiled-PPD contexts.
const std::vector<std::string> &platformKinds();

struct LiveObjects {
    long cfObjects = 0;
    std::map<std::string, long> kinds;

    static LiveObjects now();
    long count(const std::string &kind) const;
    bool operator==(const LiveObjects &) const = default;
};
void PrintTo(const LiveObjects &live, std::ostream *out);

// One line per count that differs ("window: 3 -> 4"); empty when every count is as before.
std::vector<std::string> differences(const LiveObjects &before, const LiveObjects &after);

// Fails a test that leaves a CF object or a platform object alive.
class LeakCheckedTest : public ::testing::Test {
protected:
    void SetUp() override { liveAtStart_ = LiveObjects::now(); }
    void TearDown() override {
        EXPECT_EQ(std::vector<std::string>{}, differences(liveAtStart_, LiveObjects::now())) << "objects leaked";
    }
    const LiveObjects &liveAtStart() const { return liveAtStart_; }

private:
    LiveObjects liveAtStart_;
};

}  // namespace test_support
