// The ColorAdjust bundle as the print dialog runs it: loaded through CFPlugIn by the host, driven
// through the PDE function table, worked with user actions, on the manual clock.
#include "coloradjust_test_support.h"
#include "qel-context.h"

#include <gtest/gtest.h>
#include <printdialog/dialog.h>
#include <printdialog/ppd_report.h>
#include <platform/user_actions.h>

using namespace coloradjust_test;

namespace {

std::unique_ptr<printdialog::Dialog> openDialog(const std::string &bundlePath, const std::string &printer,
                                            const std::map<std::string, std::string> &presets = {}) {
    auto presetDictionary = makePresets(presets);
    printdialog::Dialog::Options options;
    options.ppdPath = printer;
    options.bundlePaths = {bundlePath};
    options.presets = presetDictionary.get();
    std::string error;
    auto dialog = printdialog::Dialog::open(options, error);
    EXPECT_NE(dialog, nullptr) << error;
    return dialog;
}

class ColorAdjustDialog : public test_support::LeakCheckedTest {
protected:
    // Bundles and their strings tables stay cached once read: one full dialog life in each
    // localization first, so that a test's count of live objects starts after that.
    static void SetUpTestSuite() {
        for (const char *localization : {"en", "de"}) {
            test_support::LocalizationScope scope(localization);
            for (const char *bundle : {kBundlePath, kTestBundlePath}) {
                auto dialog = openDialog(bundle, sample_printers::kDX7140K);
                std::vector<printdialog::SummaryRow> rows;
                if (dialog && !dialog->panes().empty()) dialog->summary(*dialog->panes().front(), rows);
            }
        }
    }

    void TearDown() override {
        dialog_.reset();
        LeakCheckedTest::TearDown();
    }

    printdialog::Pane &open(const std::map<std::string, std::string> &presets = {},
                        const std::string &bundlePath = kBundlePath) {
        dialog_ = openDialog(bundlePath, sample_printers::kDX7140K, presets);
        pane_ = dialog_->findPane("coloradjust");
        EXPECT_NE(pane_, nullptr);
        EXPECT_EQ(noErr, pane_->initializeStatus);
        return *pane_;
    }

    ControlRef control(SInt32 id) const { return dialog_->control(*pane_, id); }
    UInt32 refreshes() const { return PlatformGetControlDrawCount(control(20)); }

    ManualClockScope clock_;
    std::unique_ptr<printdialog::Dialog> dialog_;
    printdialog::Pane *pane_ = nullptr;
};

TEST_F(ColorAdjustDialog, FieldsRefreshOnTheNextPassAfterOpenThenEveryHalfSecondUntilClose) {
    printdialog::Pane &pane = open();
    printdialog::Dialog::turnRunLoop();
    UInt32 before = refreshes();
    PlatformAdvanceManualClock(1.0);
    printdialog::Dialog::turnRunLoop();
    EXPECT_EQ(refreshes(), before) << "no refresh while the pane is closed";

    ASSERT_EQ(noErr, dialog_->openPane(pane));
    EXPECT_EQ(refreshes(), before);
    printdialog::Dialog::turnRunLoop();
    EXPECT_EQ(refreshes(), before + 1) << "first refresh on the next pass";
    printdialog::Dialog::turnRunLoop();
    PlatformAdvanceManualClock(0.49);
    printdialog::Dialog::turnRunLoop();
    EXPECT_EQ(refreshes(), before + 1);
    PlatformAdvanceManualClock(0.01);
    printdialog::Dialog::turnRunLoop();
    EXPECT_EQ(refreshes(), before + 2);
    for (int tick = 0; tick < 3; tick++) {
        PlatformAdvanceManualClock(0.5);
        printdialog::Dialog::turnRunLoop();
    }
    EXPECT_EQ(refreshes(), before + 5);

    ASSERT_EQ(noErr, dialog_->closePane(pane));
    PlatformAdvanceManualClock(3.0);
    printdialog::Dialog::turnRunLoop();
    EXPECT_EQ(refreshes(), before + 5) << "no refresh after Close";
}

OSStatus countCommand(EventHandlerCallRef, EventRef, void *count) {
    ++*static_cast<int *>(count);
    return eventNotHandledErr;
}

TEST_F(ColorAdjustDialog, MovingASliderShowsItsValueAtOnceAndItsCommandGoesOn) {
    printdialog::Pane &pane = open();
    int commandsBeyondThePane = 0;
    const EventTypeSpec command = {kEventClassCommand, kEventCommandProcess};
    EventHandlerUPP counter = NewEventHandlerUPP(countCommand);
    EventHandlerRef handler = nullptr;
    ASSERT_EQ(noErr, InstallEventHandler(GetControlEventTarget(pane.userPane), counter, 1, &command,
                                  &commandsBeyondThePane, &handler));
    ASSERT_EQ(noErr, PlatformMoveSlider(control(12), -3));
    EXPECT_EQ("-3", textOf(control(22)));
    ASSERT_EQ(noErr, PlatformMoveSlider(control(12), 0));
    EXPECT_EQ("0", textOf(control(22)));
    ASSERT_EQ(noErr, PlatformMoveSlider(control(18), -2));
    EXPECT_EQ("0", textOf(control(28))) << "background adjustment starts at 0";
    EXPECT_EQ(3, commandsBeyondThePane);
    RemoveEventHandler(handler);
    DisposeEventHandlerUPP(counter);
}

TEST_F(ColorAdjustDialog, TextPutIntoAFieldIsReplacedAtTheNextRefresh) {
    printdialog::Pane &pane = open({{"BrightnessQRV", "-1"}});
    ASSERT_EQ(noErr, dialog_->openPane(pane));
    printdialog::Dialog::turnRunLoop();
    setText(control(25), "12");
    PlatformAdvanceManualClock(0.5);
    printdialog::Dialog::turnRunLoop();
    EXPECT_EQ("-1", textOf(control(25)));
}

TEST_F(ColorAdjustDialog, CommittingWritesNineKeysWhoseEveryValueThePrinterOffers) {
    printdialog::Pane &pane = open();
    for (bool toMaximum : {true, false}) {
        for (int k = 0; k < 9; k++) {
            ControlRef slider = control(10 + k);
            PlatformMoveSlider(slider, toMaximum ? GetControl32BitMaximum(slider) : GetControl32BitMinimum(slider));
        }
        ASSERT_EQ(noErr, dialog_->sync(pane, false));
        CFDictionaryRef ticket = dialog_->ppdDictionary();
        for (int k = 0; k < 9; k++)
            EXPECT_EQ(ticketValue(ticket, kTicketKeys[k]), toMaximum ? "5" : k == 8 ? "0" : "-5");
        printdialog::PPDReport report = printdialog::checkAgainstPPD(sample_printers::kDX7140K, ticket);
        ASSERT_TRUE(report.opened) << report.error;
        for (const auto &unknown : report.unknown)
            ADD_FAILURE() << unknown.key << "=" << unknown.value << ": " << unknown.reason;
    }
}

TEST_F(ColorAdjustDialog, SummaryShowsLocalizedTitlesAndTheSlidersCurrentValues) {
    PlatformSetPreferredLocalization(CFSTR("de"));
    printdialog::Pane &pane = open({{"ColorBalanceYellow", "4"}});
    PlatformMoveSlider(control(17), -2);
    std::vector<printdialog::SummaryRow> rows;
    ASSERT_EQ(noErr, dialog_->summary(pane, rows));
    const char *titles[9] = {"Farbbalance Cyan", "Farbbalance Magenta", "Farbbalance Gelb",
                             "Farbbalance Schwarz", "Schärfe", "Helligkeit", "Kontrast", "Sättigung",
                             "Hintergrundanpassung"};
    const char *values[9] = {"0", "0", "4", "0", "0", "0", "0", "-2", "0"};
    ASSERT_EQ(9u, rows.size());
    for (int k = 0; k < 9; k++) {
        EXPECT_EQ(rows[k].title, titles[k]);
        EXPECT_EQ(rows[k].value, values[k]) << titles[k];
    }
    EXPECT_EQ("<missing>", ticketValue(dialog_->ppdDictionary(), "SaturationQRV")) << "Summary does not save";
}

TEST_F(ColorAdjustDialog, StringsTableMayNameValuesInWords) {
    PlatformSetPreferredLocalization(CFSTR("de"));
    printdialog::Pane &pane = open({{"ColorBalanceCyan", "-5"}, {"ContrastQRV", "5"}}, kTestBundlePath);
    std::vector<printdialog::SummaryRow> rows;
    ASSERT_EQ(noErr, dialog_->summary(pane, rows));
    ASSERT_EQ(9u, rows.size());
    EXPECT_EQ("Minimum", rows[0].value);
    EXPECT_EQ("Maximum", rows[6].value);
    EXPECT_EQ("0", rows[1].value);
}

TEST_F(ColorAdjustDialog, PaneIsRefusedForThe8250K) {
    dialog_ = openDialog(kBundlePath, sample_printers::kDX8250K);
    printdialog::Pane *pane = dialog_->findPane("coloradjust");
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(kPMInvalidPDEContext, pane->initializeStatus);
    EXPECT_FALSE(pane->accepted());
}

TEST_F(ColorAdjustDialog, MissingValueField24FailsInitializeAfterRecordingWhatCameBefore) {
    dialog_ = openDialog(kTestBundlePath, sample_printers::kDX7140K);
    pane_ = dialog_->findPane("coloradjust");
    ASSERT_NE(pane_, nullptr);
    EXPECT_EQ(kPMInvalidPDEContext, pane_->initializeStatus);
    auto *record = reinterpret_cast<QEL_PDEContextPtr>(pane_->context);
    EXPECT_EQ(record->control_InvisiblePane, control(1));
    for (int k = 0; k < 9; k++) {
        EXPECT_EQ(record->control_Slider[k], k <= 4 ? control(10 + k) : nullptr) << k;
        EXPECT_EQ(record->control_Increment[k], k <= 3 ? control(20 + k) : nullptr) << k;
    }
    EXPECT_EQ(nullptr, record->relationshipEventRef) << "a refused pane gets no handler";
}

TEST_F(ColorAdjustDialog, ManyTimerTicksLeaveNothingBehind) {
    printdialog::Pane &pane = open({{"SharpnessQRV", "2"}});
    ASSERT_EQ(noErr, dialog_->openPane(pane));
    UInt32 before = refreshes();
    for (int tick = 0; tick < 400; tick++) {
        PlatformAdvanceManualClock(0.5);
        printdialog::Dialog::turnRunLoop();
        if (tick % 100 == 0) PlatformMoveSlider(control(16), tick % 3 - 1);
    }
    EXPECT_EQ(refreshes(), before + 400 + 4);
    EXPECT_EQ("2", textOf(control(24)));
    EXPECT_EQ(noErr, dialog_->closePane(pane));
    EXPECT_EQ(noErr, dialog_->openPane(pane));
    // The host ends with the pane open: its Close comes before Terminate.
}

}  // namespace
