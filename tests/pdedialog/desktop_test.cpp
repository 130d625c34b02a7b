// The built pdedialog on a virtual display, driven with real X input events (xdotool) as a person
// drives it, and read back through its state file: the model, and the widgets beside it.
#include "desktop_support.h"

#include <thread>

using namespace pdedialog_test;

namespace {


bool contains(const json &array, const std::string &value) {
    return std::find(array.begin(), array.end(), value) != array.end();
}

}  // namespace

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (VirtualDisplay::shared() == nullptr) GTEST_SKIP() << "Xvfb is not installed or did not start";
        if (!programInPath("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    }

    void TearDown() override {
        if (!HasFailure() || !dialog_) return;
        std::cerr << "pdedialog's output:\n" << readFile(folder_.file("out")) << readFile(folder_.file("err"));
    }

    // Starts the dialog and waits until its window is drawn and its state written.
    void start(const std::string &printer, std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments = {PDEDIALOG_PROGRAM, "--printer", printer, "--plugins", PDE_PLUGIN_DIR,
                                              "--state", folder_.file("state.json")};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        dialog_ = std::make_unique<ChildProcess>(arguments, folder_.file("out"), folder_.file("err"));
        ASSERT_TRUE(dialog_->started());
        ASSERT_TRUE(waitFor([](const json &state) {
            return state["window"].value("xid", 0) != 0 && state["window"]["widgets"]["chooser"].contains("area");
        })) << "no window";
        window_ = std::to_string(state_["window"]["xid"].get<long>());
        xdotool({"windowfocus", "--sync", window_});
    }

    // Reads the state file until the condition holds; the last state read stays in state_.
    bool waitFor(const std::function<bool(const json &)> &condition) {
        return waitForState(folder_.file("state.json"), *dialog_, kStateLimit, condition, state_);
    }

    // A left click in the middle of an area of the window, or at a given x within it.
    void clickIn(const json &area, int xOffset = -1) {
        ASSERT_TRUE(area.is_object()) << "the widget is not laid out";
        int x = area.at("x").get<int>() + (xOffset >= 0 ? xOffset : area.at("width").get<int>() / 2);
        int y = area.at("y").get<int>() + area.at("height").get<int>() / 2;
        xdotool({"mousemove", "--window", window_, std::to_string(x), std::to_string(y), "click", "1"});
    }

    const json &widgetOf(const std::string &pane, int id) { return controlState(paneState(state_, pane), id)["widget"]; }

    // Clicks a pop-up open, then walks its menu with the arrow keys and takes the item with Return.
    void choose(const json &popupArea, const std::function<bool(const json &)> &menuShown,
                const std::vector<std::string> &keys) {
        clickIn(popupArea);
        ASSERT_TRUE(waitFor(menuShown)) << "the menu did not open";
        std::vector<std::string> press = {"key", "--delay", "30"};
        press.insert(press.end(), keys.begin(), keys.end());
        press.push_back("Return");
        xdotool(press);
    }

    void choosePaneItem(const std::string &pane, int id, const std::vector<std::string> &keys) {
        choose(widgetOf(pane, id)["area"],
               [&](const json &state) { return controlState(paneState(state, pane), id)["widget"]["popupShown"] == true; },
               keys);
    }

    int finish() { return dialog_->wait(kExitLimit); }

    TemporaryFolder folder_;
    std::unique_ptr<ChildProcess> dialog_;
    std::string window_;
    json state_;
};

TEST_F(DesktopTest, JobModeAndColourAdjustmentOnThe7140KFollowRealInput) {
    start(sample_printers::kDX7140K, {"--pane", "jobmode"});
    ASSERT_EQ("jobmode", state_["shownPane"]);

    // Private: the document number is enabled once the run loop has turned.
    choosePaneItem("jobmode", 5, {"Down", "Down", "Down"});
    ASSERT_TRUE(waitFor([](const json &state) {
        const json &pane = paneState(state, "jobmode");
        return controlState(pane, 5)["value"] == 4 && controlState(pane, 5)["widget"]["popupShown"] == false &&
               controlState(pane, 6)["enabled"] == true && controlState(pane, 6)["widget"]["sensitive"] == true;
    })) << state_.dump(1);
    EXPECT_EQ(4, widgetOf("jobmode", 5)["active"]);

    // Into the field, select all, and type a number with a letter among the digits and a sixth digit.
    clickIn(widgetOf("jobmode", 6)["area"]);
    ASSERT_TRUE(waitFor([](const json &state) { return controlState(paneState(state, "jobmode"), 6)["focused"] == true; }));
    xdotool({"windowfocus", "--sync", window_});
    xdotool({"key", "ctrl+a", "BackSpace"});
    xdotool({"type", "--delay", "30", "12a3456"});
    ASSERT_TRUE(waitFor([](const json &state) {
        const json &field = controlState(paneState(state, "jobmode"), 6);
        return field["text"] == "12345" && field["widget"]["text"] == "12345";
    })) << controlState(paneState(state_, "jobmode"), 6).dump();
    EXPECT_EQ(controlState(paneState(state_, "jobmode"), 6)["selection"], json::array({5, 5}));
    EXPECT_EQ(widgetOf("jobmode", 6)["selection"], json::array({5, 5}));

    // The colour pane through the window's pop-up, then a slider moved with the mouse.
    choose(state_["window"]["widgets"]["chooser"]["area"],
           [](const json &state) { return state["window"]["widgets"]["chooser"]["popupShown"] == true; }, {"Up"});
    ASSERT_TRUE(waitFor([](const json &state) {
        return state["shownPane"] == "coloradjust" && paneState(state, "coloradjust")["open"] == true &&
               paneState(state, "jobmode")["open"] == false &&
               state["window"]["widgets"]["chooser"]["popupShown"] == false &&
               controlState(paneState(state, "coloradjust"), 10)["widget"].contains("area");
    }));
    const json slider = widgetOf("coloradjust", 10)["area"];
    clickIn(slider, slider["width"].get<int>() * 5 / 6);
    ASSERT_TRUE(waitFor([](const json &state) {
        const json &pane = paneState(state, "coloradjust");
        int value = controlState(pane, 10)["value"];
        std::string shown = std::to_string(value);
        return value > 0 && controlState(pane, 20)["text"] == shown && controlState(pane, 20)["widget"]["text"] == shown &&
               controlState(pane, 10)["widget"]["value"] == value;
    })) << paneState(state_, "coloradjust").dump();
    int cyan = controlState(paneState(state_, "coloradjust"), 10)["value"];

    // Print: every pane commits; a PPD file is no queue, so nothing is sent, the result says so
    // and the dialog ends with status 1 when the result window is closed.
    xdotool({"windowfocus", "--sync", window_});
    clickIn(state_["window"]["widgets"]["print"]["area"]);
    ASSERT_TRUE(waitFor([](const json &state) { return state["printed"] == true; }));
    CommandResult result = runCommand({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^Print Job$"});
    ASSERT_EQ(0, result.exitCode);
    std::string resultWindow = result.output.substr(0, result.output.find('\n'));
    xdotool({"windowfocus", "--sync", resultWindow});
    xdotool({"key", "Return"});
    EXPECT_EQ(1, finish());
    EXPECT_NE(readFile(folder_.file("out")).find("Job: not sent: no queue chosen\n"), std::string::npos);

    json last = json::parse(readFile(folder_.file("state.json")));
    EXPECT_EQ("exit", last["phase"]);
    for (std::string option : {"PrintMode=Private", "DINDigit1=1", "DINDigit5=5", "DeptCode=False"})
        EXPECT_TRUE(contains(last["options"], option)) << option;
    EXPECT_TRUE(contains(last["options"], "ColorBalanceCyan=" + std::to_string(cyan)));
    std::string emitted = last["report"]["emitted"];
    EXPECT_NE(emitted.find("*PrintMode Private"), std::string::npos);
    EXPECT_NE(emitted.find("*DINDigit2 2"), std::string::npos);
    EXPECT_NE(readFile(folder_.file("out")).find("lp -o BackgroundAdjustmentQRV=0"), std::string::npos);
}

TEST_F(DesktopTest, MonochromeOnThe8250KDisablesTheColourChoicesInModelAndWidgets) {
    start(sample_printers::kDX8250K, {"--pane", "imaging"});
    ASSERT_EQ("imaging", state_["shownPane"]);
    choosePaneItem("imaging", 5, {"Down", "Down"});
    ASSERT_TRUE(waitFor([](const json &state) {
        const json &pane = paneState(state, "imaging");
        if (controlState(pane, 5)["value"] != 3 || controlState(pane, 5)["widget"]["popupShown"] != false) return false;
        for (int id : {9, 10, 11})
            if (controlState(pane, id)["enabled"] != false || controlState(pane, id)["widget"]["sensitive"] != false) return false;
        return true;
    })) << paneState(state_, "imaging").dump();
    EXPECT_EQ(true, widgetOf("imaging", 6)["sensitive"]);

    clickIn(widgetOf("imaging", 8)["area"], 8);
    ASSERT_TRUE(waitFor([](const json &state) {
        const json &box = controlState(paneState(state, "imaging"), 8);
        return box["value"] == 1 && box["widget"]["value"] == 1;
    }));

    clickIn(state_["window"]["widgets"]["cancel"]["area"]);
    EXPECT_EQ(0, finish());
    json last = json::parse(readFile(folder_.file("state.json")));
    EXPECT_EQ("exit", last["phase"]);
    EXPECT_EQ(false, last["printed"]);
    EXPECT_TRUE(last["options"].empty()) << "Cancel commits nothing";
}

TEST_F(DesktopTest, APrinterThatNoPaneServesShowsTheSummaryAlone) {
    start(sample_printers::kDX5100K);
    EXPECT_EQ("general", state_["shownPane"]) << "the window opens on General, as other print dialogs do";
    for (const auto &pane : state_["panes"]) EXPECT_EQ(false, pane["accepted"]) << pane["name"];
    EXPECT_NE(state_["summaryText"].get<std::string>().find("No pane"), std::string::npos);
    clickIn(state_["window"]["widgets"]["cancel"]["area"]);
    EXPECT_EQ(0, finish());
}

TEST_F(DesktopTest, TheScreenshotOfEachSamplePrinterIsAPicture) {
    struct Case {
        std::string printer, pane, script;
    };
    for (const Case &each : {Case{sample_printers::kDX7140K, "jobmode", "select jobmode 5 4\n"},
                             Case{sample_printers::kDX7140K, "coloradjust", "slide coloradjust 13 -4\nwait 0.6\n"},
                             Case{sample_printers::kDX8250K, "imaging", "select imaging 5 3\nselect imaging 20 2\n"},
                             Case{sample_printers::kDX5100K, "summary", ""}}) {
        std::string picture = folder_.file(each.pane + ".png");
        std::string state = folder_.file(each.pane + ".json");
        ChildProcess run({PDEDIALOG_PROGRAM, "--printer", each.printer, "--plugins", PDE_PLUGIN_DIR, "--pane", each.pane,
                          "--script", folder_.write("script", each.script), "--screenshot", picture, "--state", state},
                         folder_.file("out"), folder_.file("err"));
        ASSERT_EQ(0, run.wait(kExitLimit)) << each.pane << ": " << readFile(folder_.file("err"));
        // A control disabled just before the picture leaves a layout pending; GTK then draws nothing.
        EXPECT_EQ(std::string::npos, readFile(folder_.file("err")).find("CRITICAL")) << each.pane;
        PictureCheck check = checkPicture(picture);
        ASSERT_TRUE(check.readable) << each.pane;
        json last = json::parse(readFile(state));
        EXPECT_EQ(check.width, last["window"]["width"]) << each.pane;
        EXPECT_EQ(check.height, last["window"]["height"]) << each.pane;
        EXPECT_GT(check.colours, 20u) << each.pane << " is blank";
        if (each.pane == "coloradjust") {
            EXPECT_EQ("-4", controlState(paneState(last, "coloradjust"), 23)["text"]) << "refreshed by the timer";
        }
        if (each.pane == "imaging") {
            EXPECT_EQ(false, controlState(paneState(last, "imaging"), 9)["widget"]["sensitive"]);
        }
    }
}

TEST_F(DesktopTest, MistakesOnTheCommandLineStopBeforeAnythingRuns) {
    auto run = [this](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {PDEDIALOG_PROGRAM, "--plugins", PDE_PLUGIN_DIR});
        ChildProcess child(arguments, folder_.file("out"), folder_.file("err"));
        return child.wait(kExitLimit);
    };
    EXPECT_EQ(2, run({"--pane", "imaging"}));
    EXPECT_NE(readFile(folder_.file("err")).find("pane 'imaging' is not for this printer"), std::string::npos);
    EXPECT_EQ(2, run({"--script", folder_.write("bad", "select jobmode 5 9\n")}));
    EXPECT_NE(readFile(folder_.file("err")).find("bad line 1: select: jobmode control 5 has items 1 to 4"),
              std::string::npos)
        << readFile(folder_.file("err"));
    EXPECT_EQ(2, run({"--printer", "/nonexistent.ppd"}));
    EXPECT_EQ(2, run({"--printer", sample_printers::kDX7140K, "--printer", "/nonexistent.ppd"}));
    EXPECT_NE(readFile(folder_.file("err")).find("--printer /nonexistent.ppd: "), std::string::npos)
        << "a further printer that cannot be read is told, not left out of the menu";
    EXPECT_EQ(2, run({"--frobnicate"}));
}

// Every --printer is in the printer menu; the first is opened, the script chooses another.
TEST_F(DesktopTest, EachPrinterGivenIsInTheMenu) {
    std::string state = folder_.file("state.json");
    ChildProcess run({PDEDIALOG_PROGRAM, "--printer", sample_printers::kDX7140K, "--printer", sample_printers::kDX8250K,
                      "--plugins", PDE_PLUGIN_DIR, "--state", state, "--script",
                      folder_.write("script", std::string("printer ") + sample_printers::kDX8250K + "\nquit\n")},
                     folder_.file("out"), folder_.file("err"));
    ASSERT_EQ(0, run.wait(kExitLimit)) << readFile(folder_.file("err"));
    json last = json::parse(readFile(state));
    std::vector<std::string> files;
    for (const json &choice : last["printerMenu"]["choices"])
        if (choice["queue"] == false) files.push_back(choice["name"]);
    EXPECT_EQ((std::vector<std::string>{sample_printers::kDX7140K, sample_printers::kDX8250K}), files);
    EXPECT_EQ(sample_printers::kDX8250K, last["printerMenu"]["chosen"]);
    EXPECT_EQ(true, paneState(last, "imaging")["accepted"]);
}

// The keyboard as a person uses it: a change made with real input shows in the Summary at once,
// and stays current while the Summary is shown; Escape cancels, with nothing committed.
TEST_F(DesktopTest, TheSummaryIsCurrentAfterAChangeAndEscapeCancels) {
    start(sample_printers::kDX7140K, {"--pane", "jobmode"});
    EXPECT_NE(state_["summaryText"].get<std::string>().find("Print Mode: Normal\n"), std::string::npos)
        << state_["summaryText"];
    choosePaneItem("jobmode", 5, {"Down", "Down", "Down"});
    ASSERT_TRUE(waitFor([](const json &state) {
        return state["summaryText"].get<std::string>().find("Print Mode: Private\n") != std::string::npos;
    })) << "the Summary follows the change while the pane is shown: " << state_["summaryText"];

    // The Summary page shows the change made on the pane's page.
    choose(state_["window"]["widgets"]["chooser"]["area"],
           [](const json &state) { return state["window"]["widgets"]["chooser"]["popupShown"] == true; }, {"Down"});
    ASSERT_TRUE(waitFor([](const json &state) { return state["shownPane"] == "summary"; }));
    EXPECT_NE(state_["summaryText"].get<std::string>().find("Print Mode: Private\n"), std::string::npos);

    xdotool({"windowfocus", "--sync", window_});
    xdotool({"key", "Escape"});
    EXPECT_EQ(0, finish());
    json last = json::parse(readFile(folder_.file("state.json")));
    EXPECT_EQ("exit", last["phase"]);
    EXPECT_EQ("cancelled", last["ended"]);
    EXPECT_EQ(false, last["printed"]);
    EXPECT_TRUE(last["options"].empty()) << "Cancel commits nothing";
}

// Print is the default button: Return prints when no field takes the key.
TEST_F(DesktopTest, ReturnPrints) {
    start(sample_printers::kDX8250K);
    xdotool({"key", "Return"});
    ASSERT_TRUE(waitFor([](const json &state) { return state["printed"] == true; })) << "Return did not print";
    ASSERT_TRUE(waitFor([](const json &state) { return state["window"]["widgets"].contains("result"); }));
    CommandResult result = runCommand({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^Print Job$"});
    ASSERT_EQ(0, result.exitCode);
    xdotool({"windowfocus", "--sync", result.output.substr(0, result.output.find('\n'))});
    xdotool({"key", "Return"});
    EXPECT_EQ(1, finish()) << "a PPD file takes no job";
    EXPECT_EQ("printed", json::parse(readFile(folder_.file("state.json")))["ended"]);
}
