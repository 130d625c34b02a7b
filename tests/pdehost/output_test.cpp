// A result that cannot be written is a failed run: with the standard output on a full disk or
// closed, pdehost says so on the error stream and exits with status 1, in text and JSON alike.
#include "pdehost_run.h"

#include <algorithm>

namespace pdehost_test {
namespace {

struct LostOutput {
    std::string name;
    std::vector<std::string> arguments;
    Output output;
    std::string reason;  // strerror's words for the failed write
};

void PrintTo(const LostOutput &lost, std::ostream *out) { *out << lost.name; }

class LostResults : public ::testing::TestWithParam<LostOutput> {};

TEST_P(LostResults, FailTheRunWithOneLineNamingWhy) {
    ProgramRun run = runPdehost(GetParam().arguments, {}, GetParam().output);
    EXPECT_EQ(1, run.exitCode) << run.err;
    EXPECT_EQ(run.err, "pdehost: cannot write the result: " + GetParam().reason + "\n");
}

// Short results (--version) stay in the stream's buffer until the end; a JSON document fills it
// and fails on the way.
INSTANTIATE_TEST_SUITE_P(
    Pdehost, LostResults,
    ::testing::Values(
        LostOutput{"JsonOnAFullDisk", {"--json", "--do", "show"}, Output::FullDevice, "No space left on device"},
        LostOutput{"TextOnAFullDisk", {"--do", "show"}, Output::FullDevice, "No space left on device"},
        LostOutput{"VersionOnAFullDisk", {"--version"}, Output::FullDevice, "No space left on device"},
        LostOutput{"JsonWithoutOutput", {"--json", "--do", "show"}, Output::Closed, "Bad file descriptor"},
        LostOutput{"TextWithoutOutput", {"--do", "show"}, Output::Closed, "Bad file descriptor"},
        LostOutput{"HelpWithoutOutput", {"--help"}, Output::Closed, "Bad file descriptor"}),
    [](const ::testing::TestParamInfo<LostOutput> &param) { return param.param.name; });

// A run that failed before writing anything keeps its own status and message.
TEST(LostResults, LeaveAnEarlierFailureAsItWas) {
    ProgramRun run = runPdehost({"--json", "--do", "open nopane"}, {}, Output::FullDevice);
    EXPECT_EQ(2, run.exitCode);
    EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
    EXPECT_NE(run.err.find("unknown pane 'nopane'"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace pdehost_test
