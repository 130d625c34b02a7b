// Each pane's whole life in the host leaves the platform as it found it: every CF object, and
// every window, control, menu, handler, event, nib reference, session, ticket and PPD context the
// host or the pane made, is gone once the dialog has terminated the pane and released it.
#include "live_objects.h"
#include "pane_life.h"

#include <platform/cf_ref.h>
#include <platform/host_support.h>
#include <platform/test_support.h>
#include <platform/user_actions.h>

#include <gtest/gtest.h>

namespace balance {

// Test names and messages show the pane, not the address of its description.
void PrintTo(const PaneLife *life, std::ostream *out) { *out << life->name; }

namespace {

constexpr int kSyncsEachWay = 100;
constexpr int kSummaries = 10;
constexpr int kRefreshTicks = 100;
constexpr double kRefreshInterval = 0.5;

std::string joined(const std::vector<std::string> &lines) {
    std::string text;
    for (const auto &line : lines) text += "\n  " + line;
    return text;
}

bool bundleIsLoaded(const std::string &identifier) {
    auto name = cf::adopt(CFStringCreateWithCString(kCFAllocatorDefault, identifier.c_str(), kCFStringEncodingUTF8));
    return CFBundleGetBundleWithIdentifier(name.get()) != nullptr;
}

// Time goes on after the dialog: a timer left on the run loop would fire into a freed record.
void letTimeGoOn() {
    for (int pass = 0; pass < 4; ++pass) {
        PlatformAdvanceManualClock(kRefreshInterval);
        printdialog::Dialog::turnRunLoop();
    }
}

class Balance : public ::testing::TestWithParam<const PaneLife *> {
protected:
    void SetUp() override {
        PlatformClearInjectedFaults();
        PlatformUseManualClock(true);
        PlatformSetPreferredLocalization(CFSTR("en"));
    }
    void TearDown() override {
        PlatformUseManualClock(false);
        PlatformSetPreferredLocalization(nullptr);
    }
    const PaneLife &life() const { return *GetParam(); }
};

TEST_P(Balance, WholeLifeInTheHostLeavesNothingBehind) {
    const LiveObjects start = LiveObjects::now();
    ASSERT_FALSE(bundleIsLoaded(life().identifier)) << "the bundle is already loaded before the dialog";
    {
        printdialog::Pane *pane = nullptr;
        std::string error;
        auto dialog = openDialog(life(), pane, error);
        ASSERT_NE(pane, nullptr) << error;

        // The host really made what it must later give back.
        const LiveObjects loaded = LiveObjects::now();
        for (const char *kind : {"window", "control", "event-handler", "print-session", "ticket"})
            EXPECT_GT(loaded.count(kind), start.count(kind)) << kind;
        EXPECT_TRUE(bundleIsLoaded(life().identifier));

        for (int round = 0; round < kSyncsEachWay; ++round) {
            ASSERT_EQ(dialog->sync(*pane, false), noErr) << "pane to ticket, round " << round;
            ASSERT_EQ(dialog->sync(*pane, true), noErr) << "ticket to pane, round " << round;
        }
        ASSERT_EQ(dialog->openPane(*pane), noErr);

        UserSession session(*dialog, *pane);
        life().workEveryControl(session);
        EXPECT_FALSE(session.failed()) << session.failure();

        if (life().refreshesWhileOpen) {
            ControlRef field = dialog->control(*pane, 20);
            ASSERT_NE(field, nullptr);
            printdialog::Dialog::turnRunLoop();
            UInt32 drawsBefore = PlatformGetControlDrawCount(field);
            for (int tick = 0; tick < kRefreshTicks; ++tick) {
                PlatformAdvanceManualClock(kRefreshInterval);
                printdialog::Dialog::turnRunLoop();
            }
            EXPECT_EQ(PlatformGetControlDrawCount(field) - drawsBefore, static_cast<UInt32>(kRefreshTicks))
                << "one refresh a tick while open";
        }

        for (int call = 0; call < kSummaries; ++call) {
            std::vector<printdialog::SummaryRow> rows;
            ASSERT_EQ(dialog->summary(*pane, rows), noErr);
            EXPECT_EQ(rows.size(), life().summaryRowsAfterWork);
        }
        EXPECT_EQ(dialog->sync(*pane, false), noErr);
        EXPECT_EQ(dialog->closePane(*pane), noErr);
        dialog->terminate();
        EXPECT_EQ(LiveObjects::now().count("window"), start.count("window")) << "Terminate leaves no window";
    }
    letTimeGoOn();

    EXPECT_FALSE(bundleIsLoaded(life().identifier)) << "the bundle outlived the dialog";
    std::vector<std::string> left = differences(start, LiveObjects::now());
    EXPECT_TRUE(left.empty()) << "left behind:" << joined(left);
}

// The dialog goes while the pane is open and a user action's follow-up still waits for the run
// loop: nothing may fire into the freed pane afterwards, and nothing stays behind.
TEST_P(Balance, DialogGoneWithWorkPendingLeavesNothingBehind) {
    const LiveObjects start = LiveObjects::now();
    {
        printdialog::Pane *pane = nullptr;
        std::string error;
        auto dialog = openDialog(life(), pane, error);
        ASSERT_NE(pane, nullptr) << error;
        ASSERT_EQ(dialog->openPane(*pane), noErr);
        UserSession session(*dialog, *pane);
        life().leaveWorkPending(session);
        EXPECT_FALSE(session.failed()) << session.failure();
        EXPECT_GT(PlatformLiveCFObjectCount(), start.cfObjects);
    }
    letTimeGoOn();
    EXPECT_FALSE(bundleIsLoaded(life().identifier));
    std::vector<std::string> left = differences(start, LiveObjects::now());
    EXPECT_TRUE(left.empty()) << "left behind:" << joined(left);
}

// A printer the pane does not serve: Initialize refuses, and Terminate still undoes everything.
TEST_P(Balance, RefusedPaneLeavesNothingBehind) {
    PaneLife refused = life();
    refused.printer = refused.printer.find("7140K") != std::string::npos
                          ? PDE_SOURCE_DIR "/printers/QUORVEN-v-DX8250K.ppd"
                          : PDE_SOURCE_DIR "/printers/QUORVEN-v-DX7140K.ppd";
    const LiveObjects start = LiveObjects::now();
    {
        printdialog::Pane *pane = nullptr;
        std::string error;
        auto dialog = openDialog(refused, pane, error);
        ASSERT_NE(dialog, nullptr) << error;
        EXPECT_EQ(pane, nullptr) << "the pane took a printer it does not serve";
        printdialog::Pane *found = dialog->findPane(life().name);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->initializeStatus, kPMInvalidPDEContext);
    }
    letTimeGoOn();
    EXPECT_FALSE(bundleIsLoaded(life().identifier));
    std::vector<std::string> left = differences(start, LiveObjects::now());
    EXPECT_TRUE(left.empty()) << "left behind:" << joined(left);
}

// The same lives one after another in a single dialog of all three bundles.
TEST(BalanceOfAllPanes, OneDialogWithEveryBundleLeavesNothingBehind) {
    PlatformUseManualClock(true);
    PlatformSetPreferredLocalization(CFSTR("en"));
    const LiveObjects start = LiveObjects::now();
    {
        printdialog::Dialog::Options options;
        options.ppdPath = PDE_SOURCE_DIR "/printers/QUORVEN-v-DX7140K.ppd";
        for (const PaneLife *life : everyPaneLife()) options.bundlePaths.push_back(life->bundlePath);
        std::string error;
        auto dialog = printdialog::Dialog::open(options, error);
        ASSERT_NE(dialog, nullptr) << error;
        ASSERT_EQ(dialog->panes().size(), 3u);
        EXPECT_FALSE(dialog->findPane("imaging")->accepted()) << "imaging serves only the 8250K";
        for (const char *name : {"jobmode", "coloradjust"}) {
            printdialog::Pane *pane = dialog->findPane(name);
            ASSERT_TRUE(pane != nullptr && pane->accepted()) << name;
            EXPECT_EQ(dialog->openPane(*pane), noErr);
        }
        EXPECT_EQ(dialog->syncAll(false), noErr);
        EXPECT_EQ(dialog->syncAll(true), noErr);
        letTimeGoOn();
        // The dialog goes while both panes are open: the host closes them before Terminate.
    }
    letTimeGoOn();
    std::vector<std::string> left = differences(start, LiveObjects::now());
    EXPECT_TRUE(left.empty()) << "left behind:" << joined(left);
    PlatformUseManualClock(false);
    PlatformSetPreferredLocalization(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Panes, Balance, ::testing::ValuesIn(everyPaneLife()),
                         [](const ::testing::TestParamInfo<const PaneLife *> &param) { return param.param->name; });

}  // namespace
}  // namespace balance
