// The built pdedialog as a screen reader meets it: the accessibility tree read through AT-SPI
// (accessible_names.py) on the tests' virtual display and a session bus of the run's own.
#include "desktop_support.h"

#include <set>
#include <thread>

using namespace pdedialog_test;

namespace {

constexpr char kSystemPython[] = "/usr/bin/python3";  // Debian's, where python3-pyatspi lives
const std::set<std::string> kInteractive = {"combo box", "text", "slider", "check box", "push button", "toggle button",
                                            "spin button"};

const json *nodeNamed(const json &nodes, const std::string &role, const std::string &name) {
    for (const auto &node : nodes)
        if (node["role"] == role && node["name"] == name) return &node;
    return nullptr;
}

}  // namespace

class DesktopAccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (VirtualDisplay::shared() == nullptr) GTEST_SKIP() << "Xvfb is not installed or did not start";
        if (!programInPath("dbus-run-session")) GTEST_SKIP() << "dbus-run-session is not installed (dbus-daemon)";
        if (runCommand({kSystemPython, "-c", "import pyatspi"}).exitCode != 0)
            GTEST_SKIP() << "python3-pyatspi is not installed";
        // The display must answer before the program is started under a bus of its own.
        bool answers = false;
        for (int attempt = 0; attempt < 50 && !answers; ++attempt) {
            answers = programInPath("xdotool") ? runCommand({"xdotool", "getdisplaygeometry"}).exitCode == 0 : true;
            if (!answers) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ASSERT_TRUE(answers) << "the virtual display does not answer";
    }

    // The window's accessible nodes, read while it shows the pane; GTK's bridge must be on, so
    // NO_AT_BRIDGE (which the virtual display sets for the in-process tests) is taken away.
    json readTree(const std::vector<std::string> &options) {
        std::vector<std::string> arguments = {"env", "-u", "NO_AT_BRIDGE", "dbus-run-session", "--", kSystemPython,
                                              ACCESSIBLE_NAMES_SCRIPT, folder_.file("tree.json"), PDEDIALOG_PROGRAM,
                                              "--plugins", PDE_PLUGIN_DIR};
        arguments.insert(arguments.end(), options.begin(), options.end());
        auto run = test_support::runProgram(arguments, {}, std::chrono::seconds(60));
        EXPECT_EQ(0, run.exitCode) << "DISPLAY=" << VirtualDisplay::shared()->name() << "\n" << run.err;
        json nodes = json::parse(readFile(folder_.file("tree.json")), nullptr, false);
        EXPECT_TRUE(nodes.is_array()) << run.out << run.err;
        return nodes.is_array() ? nodes : json::array();
    }

    TemporaryFolder folder_;
};

// Every control is named; each caption and its control point at each other and the control
// bears the caption's words; the department-code field, which has no caption of its own, is
// named after the On/Off pop-up's; a caption's state is its control's (Normal mode leaves the
// document number disabled).
TEST_F(DesktopAccessibilityTest, EveryControlOfTheJobModePaneIsNamedAndTiedToItsCaption) {
    struct Caption {
        std::string caption, role, name;
        bool enabled;
    };
    struct Case {
        std::string language;
        std::vector<Caption> captions;
        std::string departmentCode;
    };
    for (const Case &each : {
             Case{"en",
                  {{"Print Mode:", "combo box", "Print Mode", true},
                   {"Document Number:", "text", "Document Number", false},
                   {"Department Code:", "combo box", "Department Code", true},
                   {"Print Blank Pages:", "combo box", "Print Blank Pages", true}},
                  "Department Code"},
             Case{"de",
                  {{"Druckmodus:", "combo box", "Druckmodus", true},
                   {"Dokumentnummer:", "text", "Dokumentnummer", false},
                   {"Abteilungscode:", "combo box", "Abteilungscode", true},
                   {"Leerseiten drucken:", "combo box", "Leerseiten drucken", true}},
                  "Abteilungscode"},
         }) {
        SCOPED_TRACE(each.language);
        json nodes = readTree({"--printer", sample_printers::kDX7140K, "--pane", "jobmode", "--lang", each.language});
        ASSERT_FALSE(nodes.empty());
        int interactive = 0;
        for (const auto &node : nodes) {
            if (kInteractive.count(node["role"].get<std::string>()) == 0) continue;
            ++interactive;
            EXPECT_NE("", node["name"]) << "an unnamed " << node["role"];
        }
        EXPECT_GE(interactive, 8) << "the pane's five controls, the page chooser, Cancel and Print";

        for (const Caption &caption : each.captions) {
            const json *label = nodeNamed(nodes, "label", caption.caption);
            const json *control = nodeNamed(nodes, caption.role, caption.name);
            ASSERT_TRUE(label != nullptr && control != nullptr) << caption.caption;
            EXPECT_EQ(json::array({caption.name}), (*label)["labelFor"]) << caption.caption;
            EXPECT_EQ(json::array({caption.caption}), (*control)["labelledBy"]) << caption.name;
            EXPECT_EQ(caption.enabled, (*control)["enabled"]) << caption.name;
            EXPECT_EQ((*control)["enabled"], (*label)["enabled"]) << caption.caption << " greys with its control";
        }
        const json *field = nodeNamed(nodes, "text", each.departmentCode);
        ASSERT_NE(field, nullptr) << "the department-code field is named after its neighbour";
        EXPECT_TRUE((*field)["labelledBy"].empty()) << "it has no caption of its own";
    }
}

// The window's own pages: every control a screen reader can reach has a name of its own words
// (the file chooser's button is not "(None)"), and each caption names its control.
TEST_F(DesktopAccessibilityTest, TheGeneralAndPrinterOptionsPagesNameEveryControl) {
    struct Case {
        std::string pane;
        std::vector<std::pair<std::string, std::string>> captions;  // caption, control's name
    };
    for (const Case &each : {
             Case{"general", {{"File:", "File"}, {"Copies:", "Copies"}, {"Pages per sheet:", "Pages per sheet"},
                              {"Orientation:", "Orientation"}, {"Range:", "Page Range"}}},
             Case{"options-General", {{"Page Size:", "Page Size"}, {"Paper Source:", "Paper Source"},
                                      {"Two-Sided:", "Two-Sided"}}},
         }) {
        SCOPED_TRACE(each.pane);
        json nodes = readTree({"--printer", sample_printers::kDX7140K, "--pane", each.pane});
        ASSERT_FALSE(nodes.empty());
        for (const auto &node : nodes) {
            if (kInteractive.count(node["role"].get<std::string>()) == 0 && node["role"] != "radio button") continue;
            if (node["showing"] != true) continue;
            EXPECT_NE("", node["name"]) << "an unnamed " << node["role"];
            EXPECT_NE("(None)", node["name"]) << node["role"] << " named by what it shows, not what it is";
        }
        for (const auto &[caption, name] : each.captions) {
            const json *label = nullptr;
            for (const auto &node : nodes)
                if (node["name"] == caption && (node["role"] == "label" || node["role"] == "radio button")) label = &node;
            ASSERT_NE(nullptr, label) << caption;
            EXPECT_EQ(json::array({name}), (*label)["labelFor"]) << caption;
        }
        for (const auto &node : nodes)
            EXPECT_EQ(std::string::npos, node["name"].get<std::string>().find("conflict"))
                << "the conflict line says nothing while there is no conflict: " << node["name"];
    }
}
