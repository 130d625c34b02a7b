// Which panes serve which printer, what a shown pane reports about itself, and the default run.
#include "pdehost_run.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pdehost_test {
namespace {

std::vector<std::string> acceptedPanes(const json &document) {
    std::vector<std::string> names;
    for (const auto &each : document["panes"])
        if (each["accepted"].get<bool>()) names.push_back(each["name"]);
    return names;
}

TEST(PaneAcceptance, The7140KShowsJobModeAndColorAdjustAndRefusesImaging) {
    ProgramRun run = runActions(sample_printers::kDX7140K, {});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();

    EXPECT_EQ("QUORVEN v-DX7140KSeries", document["printer"]["modelName"]);
    EXPECT_EQ(sample_printers::kDX7140K, document["printer"]["ppd"]);
    ASSERT_EQ(3u, document["panes"].size()) << "every bundle is listed, refused ones included";
    EXPECT_EQ(acceptedPanes(document), (std::vector<std::string>{"coloradjust", "jobmode"}));
    const json &imaging = pane(document, "imaging");
    EXPECT_EQ(-9530, imaging["initializeStatus"]);
    EXPECT_EQ("com.quorven.print.pde.imaging", imaging["bundleIdentifier"]);
    EXPECT_TRUE(imaging["controls"].empty());
    EXPECT_TRUE(imaging["summary"].empty());
}

TEST(PaneAcceptance, The8250KShowsOnlyImaging) {
    ProgramRun run = runActions(sample_printers::kDX8250K, {});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    EXPECT_EQ("QUORVEN v-DX8250KSeries", document["printer"]["modelName"]);
    EXPECT_EQ(std::vector<std::string>{"imaging"}, acceptedPanes(document));
    EXPECT_EQ(-9530, pane(document, "jobmode")["initializeStatus"]);
    EXPECT_EQ(-9530, pane(document, "coloradjust")["initializeStatus"]);
}

TEST(PaneAcceptance, A5100KIsServedByNoPane) {
    ProgramRun run = runActions(sample_printers::kDX5100K, {});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    EXPECT_TRUE(acceptedPanes(document).empty());
    for (const auto &each : document["panes"]) EXPECT_EQ(-9530, each["initializeStatus"]) << each["name"];
}

TEST(PaneAcceptance, AFileThatIsNoPPDStopsBeforeAnyPaneWithTheReasonFirst) {
    TemporaryFolder folder;
    std::string printer = folder.write("printer.ppd", "not a PPD\n");
    ProgramRun run = runActions(printer, {});
    EXPECT_EQ(2, run.exitCode);
    EXPECT_EQ(0u, run.err.rfind("pdehost: cannot read the PPD " + printer + ": ", 0)) << run.err;
    EXPECT_NE(run.err.find("(line 1)"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << "no pane was loaded, nothing is reported";
}

// No pane serves the 5100K, so nothing is scheduled on the run loop, which then returns at once:
// wait must still let its time pass, and say how much did.
TEST(PaneAcceptance, WaitLetsItsTimePassWithNothingScheduled) {
    auto start = std::chrono::steady_clock::now();
    ProgramRun run = runActions(sample_printers::kDX5100K, {"wait 0.4"});
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_GE(elapsed, 0.4);
    std::string effect = action(run.document(), 0)["effect"];
    EXPECT_EQ(0u, effect.rfind("ran the run loop for 0.4", 0)) << effect;
}

TEST(PaneAcceptance, ProbePaneFromAnotherPluginFolder) {
    ProgramRun shown = runActions(sample_printers::kDX7140K, {}, {"--plugins", PDE_TEST_PLUGIN_DIR});
    ProgramRun refused = runActions(sample_printers::kDX8250K, {}, {"--plugins", PDE_TEST_PLUGIN_DIR});
    ASSERT_EQ(0, shown.exitCode) << shown.err;
    ASSERT_EQ(0, refused.exitCode) << refused.err;
    EXPECT_EQ(std::vector<std::string>{"probe"}, acceptedPanes(shown.document()));
    EXPECT_TRUE(acceptedPanes(refused.document()).empty());
}

TEST(PaneIdentity, JobModeReportsItsIdentitySizeAndControlsInNibOrder) {
    json jobmode = pane(runActions(sample_printers::kDX7140K, {}).document(), "jobmode");

    EXPECT_EQ("com.quorven.print.pde.jobmode", jobmode["bundleIdentifier"]);
    EXPECT_EQ("F92530F4-F2B7-11F1-AA73-02FC00000001", jobmode["factory"]);
    EXPECT_EQ("com.quorven.print.pde.print-mode.jobmode", jobmode["kind"]);
    EXPECT_EQ("qel ", jobmode["creator"]);
    EXPECT_EQ(0, jobmode["initializeStatus"]);
    EXPECT_EQ(jobmode["size"], (json{{"width", 420}, {"height", 170}}));
    std::vector<int> ids;
    for (const auto &each : jobmode["controls"]) ids.push_back(each["id"]);
    EXPECT_EQ(ids, (std::vector<int>{1, 5, 6, 7, 8, 9}));

    const json &printMode = control(jobmode, 5);
    EXPECT_EQ("popup", printMode["kind"]);
    EXPECT_EQ(1, printMode["value"]);
    ASSERT_EQ(4u, printMode["items"].size());
    EXPECT_TRUE(printMode["items"][3]["enabled"].get<bool>());
    const json &documentNumber = control(jobmode, 6);
    EXPECT_EQ("edittext", documentNumber["kind"]);
    EXPECT_EQ("24680", documentNumber["text"]) << "the default when the ticket has no digits";
    EXPECT_FALSE(documentNumber["enabled"].get<bool>()) << "only a private job takes a document number";
    EXPECT_EQ(2u, summaryValues(jobmode).size()) << "print mode and blank pages";
}

// The German nib's window title, read from the bundle's own resources.
std::string germanTitle() {
    std::ifstream nib(PDE_SOURCE_DIR "/jobmode-pde/Resources/de.lproj/PDE.nib");
    std::stringstream text;
    text << nib.rdbuf();
    std::string contents = text.str();
    const std::string start = "<window name=\"Window\" title=\"";
    size_t first = contents.find(start);
    if (first == std::string::npos) return "";
    first += start.size();
    return contents.substr(first, contents.find('"', first) - first);
}

TEST(PaneIdentity, LangChoosesTheLocalization) {
    json english = pane(runActions(sample_printers::kDX7140K, {}, {"--lang", "en"}).document(), "jobmode");
    json german = pane(runActions(sample_printers::kDX7140K, {}, {"--lang", "de"}).document(), "jobmode");
    ASSERT_FALSE(germanTitle().empty());
    EXPECT_EQ("Job Mode", english["title"]);
    EXPECT_EQ(german["title"], germanTitle());
    EXPECT_NE(control(german, 5)["items"][3]["text"], control(english, 5)["items"][3]["text"]);
}

TEST(BundleLoading, ABrokenBundleIsReportedAndTheOthersStillRun) {
    TemporaryFolder plugins;
    std::filesystem::copy(PDE_PLUGIN_DIR "/JobMode.plugin", plugins.path() + "/JobMode.plugin",
                          std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(plugins.path() + "/Broken.plugin/Contents");
    plugins.write("Broken.plugin/Contents/Info.plist", "this is no property list");

    ProgramRun run = runActions(sample_printers::kDX7140K, {"select jobmode 5 4", "commit"}, {"--plugins", plugins.path()});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    const json &broken = pane(document, "Broken");
    EXPECT_FALSE(broken["loaded"].get<bool>());
    EXPECT_FALSE(broken["accepted"].get<bool>());
    EXPECT_FALSE(broken["loadError"].get<std::string>().empty());
    EXPECT_EQ("Private", document["ticket"]["PrintMode"]) << "the working bundle still ran";
}

TEST(DefaultRun, TextShowsEveryBundleSummaryTicketAndCommandLine) {
    ProgramRun run = runPdehost({"-o", "Zeta=last", "-o", "Alpha=first value"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    const std::string &text = run.out;

    EXPECT_NE(text.find("Printer: QUORVEN v-DX7140KSeries"), std::string::npos);
    EXPECT_NE(text.find("== jobmode (com.quorven.print.pde.jobmode): accepted\n"), std::string::npos);
    EXPECT_NE(text.find("== imaging (com.quorven.print.pde.imaging): not for this printer (Initialize status -9530)"),
              std::string::npos);
    EXPECT_NE(text.find("popup 5 \"Print Mode:\" = Normal (item 1 of 4), enabled"), std::string::npos);
    EXPECT_NE(text.find("edittext 6 \"Document Number:\" text \"24680\", disabled"), std::string::npos);
    EXPECT_LT(text.find("popup 5 "), text.find("edittext 6 ")) << "controls in nib order";
    EXPECT_NE(text.find("Summary:"), std::string::npos);
    size_t alpha = text.find("  Alpha = first value\n"), zeta = text.find("  Zeta = last\n");
    ASSERT_NE(alpha, std::string::npos);
    ASSERT_NE(zeta, std::string::npos);
    EXPECT_LT(alpha, zeta) << "the ticket is sorted by key";
    EXPECT_NE(text.find("  Alpha=first value\n"), std::string::npos);
    EXPECT_NE(text.find("lp -o 'Alpha=first value' -o BackgroundAdjustmentQRV=0 "), std::string::npos)
        << "the run ends as Print does: every pane wrote the ticket";
    EXPECT_NE(text.find(" -o PrintMode=Normal -o SaturationQRV=0 -o SharpnessQRV=0 -o Zeta=last FILE"), std::string::npos);
    EXPECT_NE(text.find("Alpha=first value (unknown keyword)"), std::string::npos);
    EXPECT_NE(text.find("%%BeginFeature: *PrintMode Normal"), std::string::npos) << "the PPD's defaults are emitted";
}

}  // namespace
}  // namespace pdehost_test
