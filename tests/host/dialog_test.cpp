// The host loading the Probe bundle and driving its pane as a print dialog does: identity,
// embedding, ticket exchange, Summary, typing, refusal, and a whole life without leftovers.
#include "host_test_support.h"

#include <printdialog/actions.h>

namespace host_test {
namespace {

using HostDialogTest = HostTest;

TEST_F(HostDialogTest, LoadsTheProbeAndShowsItsPane) {
    auto dialog = openProbeDialog(samplePPD("QUORVEN-v-DX7140K.ppd"));
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->panes().size(), 1u);
    printdialog::Pane &pane = *dialog->panes()[0];

    ASSERT_NE(pane.extension, nullptr) << pane.loadError;
    EXPECT_EQ(pane.extension->bundleIdentifier(), kProbeIdentifier);
    EXPECT_EQ(pane.extension->factory(), "F9252D34-F2B7-11F1-AA73-02FC00000001");
    const PMPlugInAPIVersion &version = pane.extension->apiVersion();
    EXPECT_EQ(version.buildVersionMajor, 1u);
    EXPECT_EQ(version.buildVersionMinor, 0u);
    EXPECT_EQ(version.baseVersionMajor, 1u);
    EXPECT_EQ(version.baseVersionMinor, 0u);

    EXPECT_EQ(pane.shortName, "probe");
    EXPECT_EQ(pane.prologueStatus, noErr);
    EXPECT_EQ(pane.initializeStatus, noErr);
    EXPECT_TRUE(pane.accepted());
    EXPECT_EQ(pane.creator, static_cast<OSType>('qel '));
    EXPECT_EQ(pane.kind, "com.quorven.test.pde.print-mode.probe");
    EXPECT_EQ(pane.title, "Probe");
    EXPECT_EQ(pane.width, 400u);
    EXPECT_EQ(pane.height, 300u);
    EXPECT_EQ(dialog->findPane("probe"), &pane);
}

TEST_F(HostDialogTest, PaneControlsAreEmbeddedInTheUserPane) {
    auto dialog = openProbeDialog(samplePPD("QUORVEN-v-DX7140K.ppd"));
    ASSERT_NE(dialog, nullptr);
    printdialog::Pane &pane = *dialog->panes()[0];

    ControlRef container = dialog->control(pane, 1);
    ControlRef mode = dialog->control(pane, kModeID);
    ControlRef number = dialog->control(pane, kNumberID);
    ASSERT_NE(container, nullptr);
    ASSERT_NE(mode, nullptr);
    ASSERT_NE(number, nullptr);
    ControlRef super = nullptr;
    EXPECT_EQ(GetSuperControl(container, &super), noErr);
    EXPECT_EQ(super, pane.userPane);
    Rect bounds;
    GetControlBounds(container, &bounds);
    EXPECT_EQ(bounds, makeRect(10, 10, 310, 410)) << "at the user pane's corner: the pane is the nib's size";
    EXPECT_EQ(GetControlOwner(number), pane.window);

    EXPECT_EQ(GetControl32BitValue(mode), 1);
    EXPECT_EQ(fieldText(number), "12345");
    EXPECT_FALSE(PlatformIsControlEffectivelyEnabled(number)) << "the rule ran in Initialize: mode is Off";
}

TEST_F(HostDialogTest, TicketPresetsReachThePaneAndCommitWritesItBack) {
    auto presets = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks));
    CFDictionarySetValue(presets.get(), CFSTR("ProbeMode"), CFSTR("On"));
    CFDictionarySetValue(presets.get(), CFSTR("ProbeNumber"), CFSTR("24680"));
    auto dialog = openProbeDialog(samplePPD("QUORVEN-v-DX7140K.ppd"), presets.get());
    ASSERT_NE(dialog, nullptr);
    printdialog::Pane &pane = *dialog->panes()[0];
    ControlRef mode = dialog->control(pane, kModeID);
    ControlRef number = dialog->control(pane, kNumberID);

    EXPECT_EQ(GetControl32BitValue(mode), 2);
    EXPECT_EQ(fieldText(number), "24680");
    EXPECT_TRUE(PlatformIsControlEffectivelyEnabled(number));

    ASSERT_EQ(PlatformFocusControl(number), noErr);
    ASSERT_EQ(PlatformSetTextSelection(number, 0, 5), noErr);
    for (UInt8 key : {'1', 'x', '3'}) ASSERT_EQ(PlatformPressKey(pane.window, key, false), noErr);
    ASSERT_EQ(PlatformChoosePopupItem(mode, 1), noErr);
    EXPECT_EQ(dialog->syncAll(false), noErr);

    CFDictionaryRef ticket = dialog->ppdDictionary();
    EXPECT_EQ(utf8(static_cast<CFStringRef>(CFDictionaryGetValue(ticket, CFSTR("ProbeMode")))), "Off");
    EXPECT_EQ(utf8(static_cast<CFStringRef>(CFDictionaryGetValue(ticket, CFSTR("ProbeNumber")))), "13");
}

TEST_F(HostDialogTest, TypedNumberIsFilteredButScriptedTextIsNot) {
    auto dialog = openProbeDialog(samplePPD("QUORVEN-v-DX7140K.ppd"));
    ASSERT_NE(dialog, nullptr);
    printdialog::ActionEffect effect;
    std::string error;
    auto perform = [&](const std::string &line) {
        printdialog::Action action;
        ASSERT_TRUE(printdialog::parseAction(line, action, error)) << error;
        ASSERT_TRUE(printdialog::validateAction(*dialog, action, true, error)) << error;
        EXPECT_TRUE(printdialog::performAction(*dialog, action, effect, error)) << line << ": " << error;
    };
    ControlRef number = dialog->control(*dialog->panes()[0], kNumberID);

    printdialog::Action typing;
    ASSERT_TRUE(printdialog::parseAction("type probe 6 1", typing, error)) << error;
    EXPECT_FALSE(printdialog::performAction(*dialog, typing, effect, error)) << "the field is disabled while mode is Off";

    perform("select probe 5 2");
    perform("tick 0");
    perform("selection probe 6 0 5");
    perform("type probe 6 9a8-7.6 54321");
    EXPECT_EQ(fieldText(number), "98765");
    perform("settext probe 6 abcdefg");
    EXPECT_EQ(fieldText(number), "abcdefg");
    perform("paste probe 6 -x");
    EXPECT_EQ(fieldText(number), "abcdefg-x");
}

TEST_F(HostDialogTest, SummaryListsModeAndNumber) {
    auto dialog = openProbeDialog(samplePPD("QUORVEN-v-DX7140K.ppd"));
    ASSERT_NE(dialog, nullptr);
    std::vector<printdialog::SummaryRow> rows;

    ASSERT_EQ(dialog->summary(*dialog->panes()[0], rows), noErr);

    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].title, "Mode");
    EXPECT_EQ(rows[0].value, "Off");
    EXPECT_EQ(rows[1].title, "Number");
    EXPECT_EQ(rows[1].value, "12345");
}

TEST_F(HostDialogTest, OtherPrinterRefusesThePane) {
    LiveCounts before = LiveCounts::now();
    {
        auto dialog = openProbeDialog(samplePPD("QUORVEN-v-DX8250K.ppd"));
        ASSERT_NE(dialog, nullptr);
        printdialog::Pane &pane = *dialog->panes()[0];
        std::vector<printdialog::SummaryRow> rows;

        EXPECT_EQ(pane.prologueStatus, noErr);
        EXPECT_EQ(pane.initializeStatus, kPMInvalidPDEContext);
        EXPECT_FALSE(pane.accepted());
        EXPECT_EQ(dialog->control(pane, 1), nullptr);
        EXPECT_EQ(dialog->openPane(pane), kPMInvalidPDEContext);
        EXPECT_EQ(dialog->summary(pane, rows), kPMInvalidPDEContext);
        EXPECT_TRUE(rows.empty());
        EXPECT_EQ(dialog->syncAll(false), noErr) << "a refused pane is not synchronised";
        EXPECT_EQ(CFDictionaryGetCount(dialog->ppdDictionary()), 0);
    }
    EXPECT_EQ(LiveCounts::now(), before) << "Terminate frees what the refused pane made";
}

TEST_F(HostDialogTest, BundleThatCannotLoadDoesNotStopTheOthers) {
    printdialog::Dialog::Options options;
    options.ppdPath = samplePPD("QUORVEN-v-DX7140K.ppd");
    options.bundlePaths = {PDE_TEST_PLUGIN_DIR "/Nothing.plugin", kProbeBundle};
    std::string error;
    auto dialog = printdialog::Dialog::open(options, error);
    ASSERT_NE(dialog, nullptr) << error;

    ASSERT_EQ(dialog->panes().size(), 2u);
    EXPECT_EQ(dialog->panes()[0]->extension, nullptr);
    EXPECT_FALSE(dialog->panes()[0]->loadError.empty());
    EXPECT_FALSE(dialog->panes()[0]->accepted());
    EXPECT_TRUE(dialog->panes()[1]->accepted());
}

TEST_F(HostDialogTest, OpenAndCloseAlternate) {
    auto dialog = openProbeDialog(samplePPD("QUORVEN-v-DX7140K.ppd"));
    ASSERT_NE(dialog, nullptr);
    printdialog::Pane &pane = *dialog->panes()[0];

    EXPECT_EQ(dialog->openPane(pane), noErr);
    EXPECT_TRUE(pane.isOpen);
    EXPECT_EQ(dialog->openPane(pane), noErr);
    EXPECT_EQ(dialog->closePane(pane), noErr);
    EXPECT_FALSE(pane.isOpen);
    EXPECT_EQ(dialog->closePane(pane), noErr);
    EXPECT_EQ(dialog->openPane(pane), noErr);
    dialog->terminate();
    EXPECT_TRUE(pane.terminated);
    EXPECT_EQ(pane.extension, nullptr);
    EXPECT_EQ(dialog->openPane(pane), kPMInvalidPDEContext);
}

TEST_F(HostDialogTest, WholeLifeLeavesNothingBehind) {
    LiveCounts before = LiveCounts::now();
    {
        auto dialog = openProbeDialog(samplePPD("QUORVEN-v-DX7140K.ppd"));
        ASSERT_NE(dialog, nullptr);
        printdialog::Pane &pane = *dialog->panes()[0];
        ControlRef mode = dialog->control(pane, kModeID);
        ControlRef number = dialog->control(pane, kNumberID);

        EXPECT_EQ(dialog->openPane(pane), noErr);
        ASSERT_EQ(PlatformChoosePopupItem(mode, 2), noErr);
        turnRunLoop();
        ASSERT_EQ(PlatformFocusControl(number), noErr);
        for (UInt8 key : std::initializer_list<UInt8>{kBackspaceCharCode, '9', 'z'})
            ASSERT_EQ(PlatformPressKey(pane.window, key, false), noErr);
        std::vector<printdialog::SummaryRow> rows;
        EXPECT_EQ(dialog->summary(pane, rows), noErr);
        EXPECT_EQ(dialog->syncAll(false), noErr);
        EXPECT_EQ(dialog->syncAll(true), noErr);
        ASSERT_EQ(PlatformChoosePopupItem(mode, 1), noErr);  // leaves the timer armed
        EXPECT_EQ(dialog->closePane(pane), noErr);
    }
    EXPECT_EQ(LiveCounts::now(), before);
}

}  // namespace
}  // namespace host_test
