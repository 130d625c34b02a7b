// The prompt of --interactive, and what the plug-ins write to the diagnostics.
#include "pdehost_run.h"

namespace pdehost_test {
namespace {

TEST(Interactive, ReportsEachEffectAndKeepsGoingAfterAnError) {
    ProgramRun run = runPdehost({"--interactive"}, "help\nselect jobmode 5 4\nfrobnicate\nselect jobmode 5 9\n"
                                            "selection jobmode 6 0 5\ntype jobmode 6 42\nticket\ncommit\nquit\n"
                                            "select jobmode 5 1\n");
    ASSERT_EQ(0, run.exitCode) << run.err;
    const std::string &out = run.out;
    EXPECT_NE(out.find("type PANE ID TEXT"), std::string::npos) << "help lists the actions";
    EXPECT_NE(out.find("jobmode control 5 popup: \"Private\" (item 4)"), std::string::npos) << out;
    EXPECT_NE(out.find("edittext 6 \"Document Number:\" text \"24680\", enabled"), std::string::npos)
        << "the pane after the run loop turned";
    EXPECT_NE(out.find("error: unknown action 'frobnicate'"), std::string::npos);
    EXPECT_NE(out.find("error: select: jobmode control 5 has items 1 to 4, not 9"), std::string::npos);
    EXPECT_NE(out.find("jobmode control 6 edittext: text \"42\""), std::string::npos);
    EXPECT_NE(out.find("(empty: the commit action"), std::string::npos) << "ticket before the commit";
    EXPECT_NE(out.find("  PrintMode = Private\n"), std::string::npos) << "the result after quit";
    EXPECT_EQ(out.find("Print Mode: Normal"), std::string::npos) << "nothing after quit is read";
}

TEST(Diagnostics, HoldWhatThePluginsWroteToTheStandardErrorStream) {
    json jobmode = runActions(sample_printers::kDX7140K, {}).document();
    json imaging = runActions(sample_printers::kDX8250K, {}).document();
    EXPECT_NE(jobmode["diagnostics"]["standardError"].get<std::string>().find("QUORVEN v-DX7140KSeries"),
              std::string::npos);
    EXPECT_NE(imaging["diagnostics"]["standardError"].get<std::string>().find("AttachRelationshipHandlers"),
              std::string::npos);
    EXPECT_TRUE(jobmode["diagnostics"]["systemLog"].is_array());
    EXPECT_TRUE(jobmode["diagnostics"]["systemLog"].empty());
}

}  // namespace
}  // namespace pdehost_test
