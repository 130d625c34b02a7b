// The built JobMode.plugin in the print dialog host: which printers it serves, a user's whole
// job from choosing "Private" to committing, the key filters, and no CF object left behind.
#include "jobmode_test_support.h"
#include "platform_scopes.h"

#include <printdialog/dialog.h>
#include <printdialog/ppd_report.h>
#include <platform/host_support.h>
#include <platform/test_support.h>
#include <platform/user_actions.h>

namespace jobmode_test {
namespace {

class JobModeDialog : public test_support::LeakCheckedTest {
protected:
    void SetUp() override {
        PlatformClearInjectedFaults();
        LeakCheckedTest::SetUp();
    }

    void TearDown() override {
        dialog_.reset();
        presets_.reset();
        LeakCheckedTest::TearDown();
    }

    test_support::LocalizationScope english_{"en"};
    test_support::ManualClockScope clock_;

    CFMutableDictionaryRef presets() {
        if (!presets_)
            presets_ = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                           &kCFTypeDictionaryValueCallBacks));
        return presets_.get();
    }

    printdialog::Pane &open(const std::string &printer = sample_printers::kDX7140K) {
        printdialog::Dialog::Options options;
        options.ppdPath = printer;
        options.bundlePaths = {kBuiltBundle};
        options.presets = presets_.get();
        std::string error;
        dialog_ = printdialog::Dialog::open(options, error);
        EXPECT_NE(nullptr, dialog_) << error;
        printdialog::Pane *pane = dialog_ ? dialog_->findPane("jobmode") : nullptr;
        EXPECT_NE(nullptr, pane);
        static printdialog::Pane none;
        return pane != nullptr ? *pane : none;
    }

    ControlRef control(SInt32 id) { return dialog_->control(*dialog_->findPane("jobmode"), id); }

    void type(ControlRef field, const std::string &keys) {
        ASSERT_EQ(noErr, PlatformFocusControl(field));
        for (char key : keys) ASSERT_EQ(noErr, PlatformPressKey(GetControlOwner(field), UInt8(key), false));
    }

    std::unique_ptr<printdialog::Dialog> dialog_;

private:
    cf::Ref<CFMutableDictionaryRef> presets_;
};

TEST_F(JobModeDialog, The7140KPrinterGetsThePane) {
    testing::internal::CaptureStderr();
    printdialog::Pane &pane = open();
    std::string diagnostics = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(pane.accepted()) << pane.loadError << " " << pane.initializeStatus;
    EXPECT_EQ(OSType('qel '), pane.creator);
    EXPECT_EQ("com.quorven.print.pde.print-mode.jobmode", pane.kind);
    EXPECT_EQ("Job Mode", pane.title);
    EXPECT_EQ(420u, pane.width);
    EXPECT_EQ(170u, pane.height);
    EXPECT_NE(std::string::npos, diagnostics.find("QUORVEN v-DX7140KSeries\n")) << diagnostics;

    for (SInt32 id : {1, 5, 6, 7, 8, 9}) EXPECT_NE(nullptr, control(id)) << id;
    EXPECT_EQ("24680", fieldText(control(6)));
    EXPECT_EQ("24680", fieldText(control(8)));
    EXPECT_FALSE(IsControlEnabled(control(6)));
    EXPECT_FALSE(IsControlEnabled(control(8)));
    EXPECT_EQ(0, CFDictionaryGetCount(dialog_->ppdDictionary())) << "opening must not write the ticket";
}

TEST_F(JobModeDialog, OtherPrintersRefuseThePane) {
    for (const std::string &printer : {sample_printers::kDX8250K, sample_printers::kDX5100K}) {
        printdialog::Pane &pane = open(printer);
        EXPECT_TRUE(pane.initialized);
        EXPECT_EQ(noErr, pane.prologueStatus);
        EXPECT_EQ(kPMInvalidPDEContext, pane.initializeStatus) << printer;
        EXPECT_FALSE(pane.accepted());
        dialog_.reset();
    }
}

TEST_F(JobModeDialog, AUsersPrivateJobReachesTheTicket) {
    printdialog::Pane &pane = open();
    ASSERT_TRUE(pane.accepted());
    ASSERT_EQ(noErr, dialog_->openPane(pane));

    ASSERT_EQ(noErr, PlatformChoosePopupItem(control(5), 4));
    EXPECT_FALSE(IsControlEnabled(control(6))) << "the rules wait for the run loop";
    printdialog::Dialog::turnRunLoop();
    ASSERT_TRUE(IsControlEnabled(control(6)));
    ASSERT_EQ(noErr, PlatformSetTextSelection(control(6), 0, 5));
    type(control(6), "31415");
    EXPECT_EQ("31415", fieldText(control(6)));

    ASSERT_EQ(noErr, PlatformChoosePopupItem(control(7), 2));
    EXPECT_FALSE(IsControlEnabled(control(8)));
    printdialog::Dialog::turnRunLoop();
    ASSERT_TRUE(IsControlEnabled(control(8)));
    ASSERT_EQ(noErr, PlatformSetTextSelection(control(8), 0, 5));
    type(control(8), "2468");

    std::vector<printdialog::SummaryRow> rows;
    ASSERT_EQ(noErr, dialog_->summary(pane, rows));
    ASSERT_EQ(4u, rows.size());
    EXPECT_EQ("Private", rows[0].value);
    EXPECT_EQ("31415", rows[1].value);
    EXPECT_EQ("Print Blank Pages", rows[2].title);
    EXPECT_EQ("Department Code", rows[3].title);
    EXPECT_EQ("02468", rows[3].value);

    ASSERT_EQ(noErr, dialog_->closePane(pane));
    ASSERT_EQ(noErr, dialog_->syncAll(false));
    CFDictionaryRef ticket = dialog_->ppdDictionary();
    EXPECT_EQ("Private", entry(ticket, "PrintMode"));
    EXPECT_EQ("True", entry(ticket, "DeptCode"));
    EXPECT_EQ("False", entry(ticket, "BlankPage"));
    const std::string documentNumber = "31415";
    const std::string departmentCode = "02468";
    for (int position = 1; position <= 5; position++) {
        EXPECT_EQ(documentNumber.substr(position - 1, 1), entry(ticket, "DINDigit" + std::to_string(position)));
        EXPECT_EQ(departmentCode.substr(position - 1, 1), entry(ticket, "DCDigit" + std::to_string(position)));
    }

    printdialog::PPDReport report = printdialog::checkAgainstPPD(sample_printers::kDX7140K, ticket);
    ASSERT_TRUE(report.opened) << report.error;
    EXPECT_TRUE(report.unknown.empty()) << report.unknown.front().key << "=" << report.unknown.front().value;
    EXPECT_EQ(13u, report.options.size());
}

TEST_F(JobModeDialog, RulesFollowTheLastChoiceBeforeTheRunLoopTurns) {
    printdialog::Pane &pane = open();
    ASSERT_TRUE(pane.accepted());
    ASSERT_EQ(noErr, PlatformChoosePopupItem(control(5), 4));
    ASSERT_EQ(noErr, PlatformChoosePopupItem(control(5), 3));
    printdialog::Dialog::turnRunLoop();
    EXPECT_FALSE(IsControlEnabled(control(6)));

    ASSERT_EQ(noErr, PlatformChoosePopupItem(control(5), 4));
    printdialog::Dialog::turnRunLoop();
    EXPECT_TRUE(IsControlEnabled(control(6))) << "a later choice must run the rules again";

    ASSERT_EQ(noErr, PlatformChoosePopupItem(control(7), 2));
    ASSERT_EQ(noErr, PlatformChoosePopupItem(control(7), 1));
    printdialog::Dialog::turnRunLoop();
    EXPECT_FALSE(IsControlEnabled(control(8)));
}

TEST_F(JobModeDialog, TypedKeysAreFilteredButTicketTextIsNot) {
    setEntry(presets(), "PrintMode", "Private");
    const char *digits[] = {"2", "4", "AB", "8", "0"};
    for (int position = 1; position <= 5; position++)
        setEntry(presets(), "DINDigit" + std::to_string(position), digits[position - 1]);
    printdialog::Pane &pane = open();
    ASSERT_TRUE(pane.accepted());
    ControlRef field = control(6);
    ASSERT_TRUE(IsControlEnabled(field));
    EXPECT_EQ("24AB80", fieldText(field)) << "text from the ticket must arrive unfiltered";

    ASSERT_EQ(noErr, PlatformSetTextSelection(field, 0, 6));
    type(field, "1234");
    EXPECT_EQ("1234", fieldText(field));
    type(field, "a-x.");
    EXPECT_EQ("1234", fieldText(field)) << "letters and signs must be swallowed";
    type(field, "56");
    EXPECT_EQ("12345", fieldText(field)) << "a sixth digit must be swallowed";
    type(field, "\b");
    EXPECT_EQ("1234", fieldText(field)) << "backspace must pass";

    ASSERT_EQ(noErr, PlatformPasteText(field, CFSTR("zz")));
    EXPECT_EQ("1234zz", fieldText(field)) << "a paste is not typing";
}

TEST_F(JobModeDialog, AReloadPutsTheTicketBackIntoThePane) {
    setEntry(presets(), "PrintMode", "Hold");
    setEntry(presets(), "BlankPage", "True");
    printdialog::Pane &pane = open();
    ASSERT_TRUE(pane.accepted());
    EXPECT_EQ(2, GetControl32BitValue(control(5)));
    EXPECT_EQ(2, GetControl32BitValue(control(9)));

    ASSERT_EQ(noErr, PlatformChoosePopupItem(control(5), 4));
    ASSERT_EQ(noErr, PlatformChoosePopupItem(control(9), 1));
    printdialog::Dialog::turnRunLoop();
    ASSERT_EQ(noErr, dialog_->sync(pane, true));
    EXPECT_EQ(2, GetControl32BitValue(control(5)));
    EXPECT_EQ(2, GetControl32BitValue(control(9)));
    EXPECT_FALSE(IsControlEnabled(control(6))) << "a reload runs the rules";
}

TEST_F(JobModeDialog, TheGermanBundleShowsGermanWords) {
    PlatformSetPreferredLocalization(CFSTR("de"));
    setEntry(presets(), "BlankPage", "True");
    printdialog::Pane &pane = open();
    ASSERT_TRUE(pane.accepted());
    EXPECT_EQ("Auftragsmodus", pane.title);
    std::vector<printdialog::SummaryRow> rows;
    ASSERT_EQ(noErr, dialog_->summary(pane, rows));
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("Druckmodus", rows[0].title);
    EXPECT_EQ("Normal", rows[0].value);
    EXPECT_EQ("Leerseiten drucken", rows[1].title);
    EXPECT_EQ("Ein", rows[1].value);
}

TEST_F(JobModeDialog, AMissingControlRefusesThePaneAndLeavesNothingBehind) {
    // Moving the container looks id 1 up once; then come ids 1, 5, 6, 7, 8 and 9: the seventh
    // lookup, the blank-pages popup, fails.
    PlatformInjectFault("GetControlByID", 7, errUnknownControl);
    printdialog::Pane &pane = open();
    EXPECT_EQ(kPMInvalidPDEContext, pane.initializeStatus);
    EXPECT_FALSE(pane.accepted());
}

}  // namespace
}  // namespace jobmode_test
