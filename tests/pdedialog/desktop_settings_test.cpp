// The General page of the built pdedialog driven with real X input (xdotool), read back through
// its state file: Copies counted up with its "+" button, and a wrong page range that holds Print back.
#include "desktop_support.h"

#include <thread>

using namespace pdedialog_test;

class DesktopSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (VirtualDisplay::shared() == nullptr) GTEST_SKIP() << "Xvfb is not installed or did not start";
        if (!programInPath("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    }

    // Reads the state file until the condition holds; the last state read stays in state_.
    bool waitFor(const std::function<bool(const json &)> &condition) {
        return waitForState(folder_.file("state.json"), *dialog_, kStateLimit, condition, state_);
    }

    // A click in one of the window's named widgets: in its middle, or at a given x within it.
    void clickOn(const std::string &name, int xOffset = -1) {
        const json &area = state_["window"]["widgets"][name]["area"];
        ASSERT_TRUE(area.is_object()) << name << " is not laid out";
        int x = area.at("x").get<int>() + (xOffset >= 0 ? xOffset : area.at("width").get<int>() / 2);
        int y = area.at("y").get<int>() + area.at("height").get<int>() / 2;
        xdotool({"mousemove", "--window", window_, std::to_string(x), std::to_string(y), "click", "1"});
    }

    TemporaryFolder folder_;
    std::unique_ptr<ChildProcess> dialog_;
    std::string window_;
    json state_;
};

TEST_F(DesktopSettingsTest, CopiesAndPagesTypedOnTheGeneralPage) {
    dialog_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{PDEDIALOG_PROGRAM, "--printer", sample_printers::kDX7140K, "--plugins", PDE_PLUGIN_DIR,
                                 "--pane", "general", "--state", folder_.file("state.json")},
        folder_.file("out"), folder_.file("err"));
    ASSERT_TRUE(dialog_->started());
    ASSERT_TRUE(waitFor([](const json &state) {
        return state["window"].value("xid", 0) != 0 && state["window"]["widgets"]["copies"].contains("area");
    })) << "no General page";
    window_ = std::to_string(state_["window"]["xid"].get<long>());
    xdotool({"windowfocus", "--sync", window_});
    EXPECT_EQ(1, state_["general"]["copies"]);

    // The spin button's "+", at its right end, twice.
    int plus = state_["window"]["widgets"]["copies"]["area"]["width"].get<int>() - 12;
    clickOn("copies", plus);
    ASSERT_TRUE(waitFor([](const json &state) { return state["general"]["copies"] == 2; })) << state_["general"];
    clickOn("copies", plus);
    EXPECT_TRUE(waitFor([](const json &state) { return state["general"]["copies"] == 3; })) << state_["general"];

    clickOn("pages");
    xdotool({"type", "--delay", "30", "3-1"});
    ASSERT_TRUE(waitFor([](const json &state) { return state["general"]["pages"] == "3-1"; })) << state_["general"];
    EXPECT_NE("", state_["general"]["pagesProblem"]);
    EXPECT_EQ(false, state_["window"]["widgets"]["print"]["sensitive"]);
    xdotool({"key", "BackSpace", "BackSpace", "BackSpace"});
    xdotool({"type", "--delay", "30", "1-3"});
    ASSERT_TRUE(waitFor([](const json &state) { return state["general"]["pages"] == "1-3"; })) << state_["general"];
    EXPECT_EQ("", state_["general"]["pagesProblem"]);
    EXPECT_EQ(true, state_["window"]["widgets"]["print"]["sensitive"]);

    xdotool({"key", "Escape"});
    EXPECT_EQ(0, dialog_->wait(kExitLimit)) << readFile(folder_.file("err"));
}
