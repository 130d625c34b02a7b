// Each pane's whole life in the host leaves the platform as it found it: every CF object, and
// every window, control, menu, handler, event, nib reference, session, ticket and PPD context the
// host or the pane made, is gone once the dialog has terminated the pane and released it.
#include "live_objects.h"
#include "pane_life.h"
#include "platform_scopes.h"
#include "sample_printers.h"

#include <platform/cf_text.h>
#include <platform/host_support.h>
#include <platform/test_support.h>
#include <platform/user_actions.h>

#include <gtest/gtest.h>

namespace balance {

using test_support::differences;
using test_support::LiveObjects;

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
    return CFBundleGetBundleWithIdentifier(cf::string(identifier).get()) != nullptr;
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
    void SetUp() override { PlatformClearInjectedFaults(); }
    const PaneLife &life() const { return *GetParam(); }

    test_support::ManualClockScope clock_;
    test_support::LocalizationScope english_{"en"};
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
            ASSERT_EQ(noErr, dialog->sync(*pane, false)) << "pane to ticket, round " << round;
            ASSERT_EQ(noErr, dialog->sync(*pane, true)) << "ticket to pane, round " << round;
        }
        ASSERT_EQ(noErr, dialog->openPane(*pane));

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
            ASSERT_EQ(noErr, dialog->summary(*pane, rows));
            EXPECT_EQ(rows.size(), life().summaryRowsAfterWork);
        }
        EXPECT_EQ(noErr, dialog->sync(*pane, false));
        EXPECT_EQ(noErr, dialog->closePane(*pane));
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
        ASSERT_EQ(noErr, dialog->openPane(*pane));
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
                          ? sample_printers::kDX8250K
                          : sample_printers::kDX7140K;
    const LiveObjects start = LiveObjects::now();
    {
        printdialog::Pane *pane = nullptr;
        std::string error;
        auto dialog = openDialog(refused, pane, error);
        ASSERT_NE(dialog, nullptr) << error;
        EXPECT_EQ(nullptr, pane) << "the pane took a printer it does not serve";
        printdialog::Pane *found = dialog->findPane(life().name);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(kPMInvalidPDEContext, found->initializeStatus);
    }
    letTimeGoOn();
    EXPECT_FALSE(bundleIsLoaded(life().identifier));
    std::vector<std::string> left = differences(start, LiveObjects::now());
    EXPECT_TRUE(left.empty()) << "left behind:" << joined(left);
}

// The same lives one after another in a single dialog of all three bundles.
TEST(BalanceOfAllPanes, OneDialogWithEveryBundleLeavesNothingBehind) {
    test_support::ManualClockScope clock;
    test_support::LocalizationScope english("en");
    const LiveObjects start = LiveObjects::now();
    {
        printdialog::Dialog::Options options;
        options.ppdPath = sample_printers::kDX7140K;
        for (const PaneLife *life : everyPaneLife()) options.bundlePaths.push_back(life->bundlePath);
        std::string error;
        auto dialog = printdialog::Dialog::open(options, error);
        ASSERT_NE(dialog, nullptr) << error;
        ASSERT_EQ(3u, dialog->panes().size());
        EXPECT_FALSE(dialog->findPane("imaging")->accepted()) << "imaging serves only the 8250K";
        for (const char *name : {"jobmode", "coloradjust"}) {
            printdialog::Pane *pane = dialog->findPane(name);
            ASSERT_TRUE(pane != nullptr && pane->accepted()) << name;
            EXPECT_EQ(noErr, dialog->openPane(*pane));
        }
        EXPECT_EQ(noErr, dialog->syncAll(false));
        EXPECT_EQ(noErr, dialog->syncAll(true));
        letTimeGoOn();
        // The dialog goes while both panes are open: the host closes them before Terminate.
    }
    letTimeGoOn();
    std::vector<std::string> left = differences(start, LiveObjects::now());
    EXPECT_TRUE(left.empty()) << "left behind:" << joined(left);
}

INSTANTIATE_TEST_SUITE_P(Panes, Balance, ::testing::ValuesIn(everyPaneLife()),
                         [](const ::testing::TestParamInfo<const PaneLife *> &param) { return param.param->name; });

}  // namespace
}  // namespace balance
