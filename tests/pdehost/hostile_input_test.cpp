// What a careless administrator or an attacker hands pdehost: a pane that dies, PPDs at paths
// that are not UTF-8 or with two model names, arguments with bytes that would drive a terminal,
// job titles the server would refuse. Nothing crashes silently, nothing misleads.
#include "pdehost_run.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace pdehost_test {
namespace {

namespace fs = std::filesystem;

// A plug-in folder holding only the probe pane.
struct ProbeFolder {
    TemporaryFolder folder;
    ProbeFolder() { fs::create_directory_symlink(PDE_TEST_PLUGIN_DIR "/Probe.plugin", folder.path() + "/Probe.plugin"); }
    const std::string &path() const { return folder.path(); }
};

// Runs pdehost on the probe with PDE_PROBE_CRASH set, which makes the pane die in Initialize.
ProgramRun runCrashingProbe(const std::string &how) {
    ProbeFolder plugins;
    setenv("PDE_PROBE_CRASH", how.c_str(), 1);
    ProgramRun run = runPdehost({"--json", "--plugins", plugins.path(), "--printer", sample_printers::kDX7140K});
    unsetenv("PDE_PROBE_CRASH");
    return run;
}

struct Crash {
    const char *how;
    std::vector<std::string> reported;  // what the error stream must show, besides the pane's own line
    bool onlyUnderSanitizer = false;
};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// The host captures what panes write to the error stream; when a pane kills the process, the text
// and the crash report reach the real stream all the same.
TEST(HostileInput, APaneThatCrashesLeavesItsReportOnTheErrorStream) {
    const Crash crashes[] = {
        {"abort", {}},
        {"throw", {"terminate called after throwing an instance of 'std::runtime_error'", "probe crashed on purpose"}},
        // Under the sanitizers UBSan sees the null pointer before the fault.
        {"null-write", kSanitized ? std::vector<std::string>{"runtime error: store to null pointer"}
                                  : std::vector<std::string>{}},
        {"use-after-free", {"AddressSanitizer: heap-use-after-free"}, true},
    };
    for (const Crash &crash : crashes) {
        SCOPED_TRACE(crash.how);
        if (crash.onlyUnderSanitizer && !kSanitized) continue;
        ProgramRun run = runCrashingProbe(crash.how);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_NE(run.err.find(std::string("probe: about to crash (") + crash.how + ")"), std::string::npos) << run.err;
        for (const std::string &text : crash.reported) EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
    }
}

// A copy of the 7140K PPD with some lines changed, at a path of the test's choosing.
std::string writePPD(const TemporaryFolder &folder, const std::string &name, const std::string &from,
                     const std::string &to) {
    std::ifstream in(sample_printers::kDX7140K, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!from.empty()) text.replace(text.find(from), from.size(), to);
    return folder.write(name, text);
}

TEST(HostileInput, PrintersAreJudgedAsTheLibraryJudgesThem) {
    TemporaryFolder folder;
    // A path that is not UTF-8 names a file like any other.
    ProgramRun latin1 = runPdehost({"--json", "--printer", writePPD(folder, "caf\xE9.ppd", "", "")});
    ASSERT_EQ(0, latin1.exitCode) << latin1.err;
    EXPECT_TRUE(pane(latin1.document(), "jobmode").value("accepted", false)) << latin1.out;

    // Two *ModelName lines: the last one counts, for the panes as for libcups and the server.
    std::string twoModels = writePPD(folder, "two-models.ppd", "*ModelName: \"QUORVEN v-DX7140KSeries\"\n",
                                     "*ModelName: \"QUORVEN v-DX7140KSeries\"\n*ModelName: \"QUORVEN v-DX8250KSeries\"\n");
    ProgramRun run = runPdehost({"--json", "--printer", twoModels});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    EXPECT_FALSE(pane(document, "jobmode").value("accepted", true));
    EXPECT_TRUE(pane(document, "imaging").value("accepted", false));
    EXPECT_EQ("QUORVEN v-DX8250KSeries", document["printer"].value("modelName", ""));
}

struct RefusedRun {
    const char *what;
    std::vector<std::string> arguments;
    int exitCode;
    std::string message;  // the whole error line after "pdehost: "
};

TEST(HostileInput, MessagesShowWhatWasGivenEscapedAndRefuseWhatTheServerWould) {
    const std::string longTitle(256, 't');
    const RefusedRun runs[] = {
        {"a path with a Latin-1 byte", {"--printer", "/nonexistent/caf\xE9.ppd"}, 2,
         "no printer PPD at /nonexistent/caf\\xE9.ppd"},
        {"a path with an escape sequence", {"--printer", "/nonexistent/\x1B[2J.ppd"}, 2,
         "no printer PPD at /nonexistent/\\x1B[2J.ppd"},
        {"a title past the server's limit", {"--queue", "q", "--print", sample_printers::kDX7140K, "--title", longTitle}, 2,
         "--title: the title is 256 bytes long; a job title has at most 255"},
        {"a title that is not UTF-8", {"--queue", "q", "--print", sample_printers::kDX7140K, "--title", "caf\xE9"}, 2,
         "--title: the title is not UTF-8 text"},
        {"a title with a newline", {"--queue", "q", "--print", sample_printers::kDX7140K, "--title", "two\nlines"}, 2,
         "--title: the title holds a control character"},
    };
    for (const RefusedRun &refused : runs) {
        SCOPED_TRACE(refused.what);
        ProgramRun run = runPdehost(refused.arguments);
        EXPECT_EQ(run.exitCode, refused.exitCode);
        EXPECT_EQ(run.err, "pdehost: " + refused.message + "\n");
    }
}

}  // namespace
}  // namespace pdehost_test
