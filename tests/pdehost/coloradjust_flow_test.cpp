// The colour-adjustment pane through pdehost: sliders and their value fields, the refresh timer
// on the manual clock, and the nine keys it writes.
#include "pdehost_run.h"

#include <filesystem>

namespace pdehost_test {
namespace {

const int kCyanSlider = 10, kCyanField = 20;

std::string fieldText(const json &holder, int id) { return control(pane(holder, "coloradjust"), id)["text"]; }

TEST(ColorAdjustFlow, SlidingUpdatesTheFieldAtOnceAndCommitWritesNineKeys) {
    // Only this pane, so that the ticket holds only what it writes.
    TemporaryFolder plugins;
    std::filesystem::copy(PDE_PLUGIN_DIR "/ColorAdjust.plugin", plugins.path() + "/ColorAdjust.plugin",
                          std::filesystem::copy_options::recursive);
    ProgramRun run = runActions(sample_printers::kDX7140K, {"slide coloradjust 10 3", "show", "slide coloradjust 18 5", "commit"},
                                {"--manual-clock", "--plugins", plugins.path()});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    EXPECT_EQ("3", fieldText(action(document, 1), kCyanField)) << "no tick needed: the command refreshes the fields";
    const json &ticket = document["ticket"];
    std::vector<std::string> keys;
    for (const auto &[key, value] : ticket.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"BackgroundAdjustmentQRV", "BrightnessQRV", "ColorBalanceBlack",
                                              "ColorBalanceCyan", "ColorBalanceMagenta", "ColorBalanceYellow",
                                              "ContrastQRV", "SaturationQRV", "SharpnessQRV"}));
    EXPECT_EQ("3", ticket["ColorBalanceCyan"]);
    EXPECT_EQ("5", ticket["BackgroundAdjustmentQRV"]);
    EXPECT_EQ("0", ticket["ColorBalanceMagenta"]);
    std::vector<std::string> summary = summaryValues(pane(document, "coloradjust"));
    EXPECT_EQ(summary, (std::vector<std::string>{"3", "0", "0", "0", "0", "0", "0", "0", "5"}));
}

TEST(ColorAdjustTimer, RefreshesTheFieldsEveryHalfSecondWhileOpen) {
    ProgramRun run = runActions(sample_printers::kDX7140K,
                         {"open coloradjust", "settext coloradjust 20 stale", "show",        // 0 1 2
                          "tick 0", "show",                                                 // 3 4: first refresh
                          "settext coloradjust 20 stale", "tick 0.25", "show",              // 5 6 7: not yet due
                          "tick 0.25", "show",                                              // 8 9: due again
                          "close coloradjust", "settext coloradjust 20 stale", "tick 1", "show"},  // 10-13
                         {"--manual-clock"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    EXPECT_EQ("stale", fieldText(action(document, 2), kCyanField)) << "the run loop has not turned yet";
    EXPECT_EQ("0", fieldText(action(document, 4), kCyanField));
    EXPECT_EQ("stale", fieldText(action(document, 7), kCyanField));
    EXPECT_EQ("0", fieldText(action(document, 9), kCyanField));
    EXPECT_EQ("stale", fieldText(action(document, 13), kCyanField)) << "no refresh after close";
}

TEST(ColorAdjustTimer, AClosedPaneIsNotRefreshed) {
    ProgramRun run = runActions(sample_printers::kDX7140K, {"settext coloradjust 21 stale", "tick 5"}, {"--manual-clock"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ("stale", fieldText(run.document(), 21));
}

TEST(ColorAdjustTicket, PresetsSetTheSlidersWithinTheirRange) {
    ProgramRun run = runActions(sample_printers::kDX7140K, {"cancel"}, {"-o", "ColorBalanceCyan=2", "-o", "ColorBalanceYellow=-99"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    const json &coloradjust = pane(document, "coloradjust");
    EXPECT_EQ(2, control(coloradjust, kCyanSlider)["value"]);
    EXPECT_EQ("2", control(coloradjust, kCyanField)["text"]);
    EXPECT_EQ(control(coloradjust, 12)["value"], control(coloradjust, 12)["minimum"]);
    EXPECT_EQ(1u, document["unknown"].size()) << "the printer has no -99 for yellow, and Cancel commits nothing";

    ProgramRun printed = runActions(sample_printers::kDX7140K, {}, {"-o", "ColorBalanceYellow=-99"});
    ASSERT_EQ(0, printed.exitCode) << printed.err;
    EXPECT_EQ("-5", printed.document()["ticket"]["ColorBalanceYellow"]) << "Print sends what the slider shows";
    EXPECT_TRUE(printed.document()["unknown"].empty());
}

}  // namespace
}  // namespace pdehost_test
