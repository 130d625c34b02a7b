// The host loading the Probe bundle and driving its pane as a print dialog does: identity,
// embedding, ticket exchange, Summary, typing, refusal, and a whole life without leftovers.
#include "host_test_support.h"

#include <printdialog/actions.h>

namespace host_test {
namespace {

using HostDialogTest = HostTest;

TEST_F(HostDialogTest, LoadsTheProbeAndShowsItsPane) {
    auto dialog = openProbeDialog(sample_printers::kDX7140K);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(1u, dialog->panes().size());
    printdialog::Pane &pane = *dialog->panes()[0];

    ASSERT_NE(pane.extension, nullptr) << pane.loadError;
    EXPECT_EQ(kProbeIdentifier, pane.extension->bundleIdentifier());
    EXPECT_EQ("F9252D34-F2B7-11F1-AA73-02FC00000001", pane.extension->factory());
    const PMPlugInAPIVersion &version = pane.extension->apiVersion();
    EXPECT_EQ(1u, version.buildVersionMajor);
    EXPECT_EQ(0u, version.buildVersionMinor);
    EXPECT_EQ(1u, version.baseVersionMajor);
    EXPECT_EQ(0u, version.baseVersionMinor);

    EXPECT_EQ("probe", pane.shortName);
    EXPECT_EQ(noErr, pane.prologueStatus);
    EXPECT_EQ(noErr, pane.initializeStatus);
    EXPECT_TRUE(pane.accepted());
    EXPECT_EQ(pane.creator, static_cast<OSType>('qel '));
    EXPECT_EQ("com.quorven.test.pde.print-mode.probe", pane.kind);
    EXPECT_EQ("Probe", pane.title);
    EXPECT_EQ(400u, pane.width);
    EXPECT_EQ(300u, pane.height);
    EXPECT_EQ(dialog->findPane("probe"), &pane);
}

TEST_F(HostDialogTest, PaneControlsAreEmbeddedInTheUserPane) {
    auto dialog = openProbeDialog(sample_printers::kDX7140K);
    ASSERT_NE(dialog, nullptr);
    printdialog::Pane &pane = *dialog->panes()[0];

    ControlRef container = dialog->control(pane, 1);
    ControlRef mode = dialog->control(pane, kModeID);
    ControlRef number = dialog->control(pane, kNumberID);
    ASSERT_NE(container, nullptr);
    ASSERT_NE(mode, nullptr);
    ASSERT_NE(number, nullptr);
    ControlRef super = nullptr;
    EXPECT_EQ(noErr, GetSuperControl(container, &super));
    EXPECT_EQ(super, pane.userPane);
    Rect bounds;
    GetControlBounds(container, &bounds);
    EXPECT_EQ(bounds, makeRect(10, 10, 310, 410)) << "at the user pane's corner: the pane is the nib's size";
    EXPECT_EQ(GetControlOwner(number), pane.window);

    EXPECT_EQ(1, GetControl32BitValue(mode));
    EXPECT_EQ("12345", fieldText(number));
    EXPECT_FALSE(PlatformIsControlEffectivelyEnabled(number)) << "the rule ran in Initialize: mode is Off";
}

TEST_F(HostDialogTest, TicketPresetsReachThePaneAndCommitWritesItBack) {
    auto presets = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks));
    CFDictionarySetValue(presets.get(), CFSTR("ProbeMode"), CFSTR("On"));
    CFDictionarySetValue(presets.get(), CFSTR("ProbeNumber"), CFSTR("24680"));
    auto dialog = openProbeDialog(sample_printers::kDX7140K, presets.get());
    ASSERT_NE(dialog, nullptr);
    printdialog::Pane &pane = *dialog->panes()[0];
    ControlRef mode = dialog->control(pane, kModeID);
    ControlRef number = dialog->control(pane, kNumberID);

    EXPECT_EQ(2, GetControl32BitValue(mode));
    EXPECT_EQ("24680", fieldText(number));
    EXPECT_TRUE(PlatformIsControlEffectivelyEnabled(number));

    ASSERT_EQ(noErr, PlatformFocusControl(number));
    ASSERT_EQ(noErr, PlatformSetTextSelection(number, 0, 5));
    for (UInt8 key : {'1', 'x', '3'}) ASSERT_EQ(noErr, PlatformPressKey(pane.window, key, false));
    ASSERT_EQ(noErr, PlatformChoosePopupItem(mode, 1));
    EXPECT_EQ(noErr, dialog->syncAll(false));

    CFDictionaryRef ticket = dialog->ppdDictionary();
    EXPECT_EQ("Off", utf8(static_cast<CFStringRef>(CFDictionaryGetValue(ticket, CFSTR("ProbeMode")))));
    EXPECT_EQ("13", utf8(static_cast<CFStringRef>(CFDictionaryGetValue(ticket, CFSTR("ProbeNumber")))));
}

TEST_F(HostDialogTest, TypedNumberIsFilteredButScriptedTextIsNot) {
    auto dialog = openProbeDialog(sample_printers::kDX7140K);
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
    EXPECT_EQ("98765", fieldText(number));
    perform("settext probe 6 abcdefg");
    EXPECT_EQ("abcdefg", fieldText(number));
    perform("paste probe 6 -x");
    EXPECT_EQ("abcdefg-x", fieldText(number));
}

TEST_F(HostDialogTest, SummaryListsModeAndNumber) {
    auto dialog = openProbeDialog(sample_printers::kDX7140K);
    ASSERT_NE(dialog, nullptr);
    std::vector<printdialog::SummaryRow> rows;

    ASSERT_EQ(noErr, dialog->summary(*dialog->panes()[0], rows));

    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("Mode", rows[0].title);
    EXPECT_EQ("Off", rows[0].value);
    EXPECT_EQ("Number", rows[1].title);
    EXPECT_EQ("12345", rows[1].value);
}

TEST_F(HostDialogTest, OtherPrinterRefusesThePane) {
    LiveObjects before = LiveObjects::now();
    {
        auto dialog = openProbeDialog(sample_printers::kDX8250K);
        ASSERT_NE(dialog, nullptr);
        printdialog::Pane &pane = *dialog->panes()[0];
        std::vector<printdialog::SummaryRow> rows;

        EXPECT_EQ(noErr, pane.prologueStatus);
        EXPECT_EQ(kPMInvalidPDEContext, pane.initializeStatus);
        EXPECT_FALSE(pane.accepted());
        EXPECT_EQ(nullptr, dialog->control(pane, 1));
        EXPECT_EQ(kPMInvalidPDEContext, dialog->openPane(pane));
        EXPECT_EQ(kPMInvalidPDEContext, dialog->summary(pane, rows));
        EXPECT_TRUE(rows.empty());
        EXPECT_EQ(noErr, dialog->syncAll(false)) << "a refused pane is not synchronised";
        EXPECT_EQ(0, CFDictionaryGetCount(dialog->ppdDictionary()));
    }
    EXPECT_EQ(LiveObjects::now(), before) << "Terminate frees what the refused pane made";
}

TEST_F(HostDialogTest, BundleThatCannotLoadDoesNotStopTheOthers) {
    printdialog::Dialog::Options options;
    options.ppdPath = sample_printers::kDX7140K;
    options.bundlePaths = {PDE_TEST_PLUGIN_DIR "/Nothing.plugin", kProbeBundle};
    std::string error;
    auto dialog = printdialog::Dialog::open(options, error);
    ASSERT_NE(dialog, nullptr) << error;

    ASSERT_EQ(2u, dialog->panes().size());
    EXPECT_EQ(nullptr, dialog->panes()[0]->extension);
    EXPECT_FALSE(dialog->panes()[0]->loadError.empty());
    EXPECT_FALSE(dialog->panes()[0]->accepted());
    EXPECT_TRUE(dialog->panes()[1]->accepted());
}

TEST_F(HostDialogTest, OpenAndCloseAlternate) {
    auto dialog = openProbeDialog(sample_printers::kDX7140K);
    ASSERT_NE(dialog, nullptr);
    printdialog::Pane &pane = *dialog->panes()[0];

    EXPECT_EQ(noErr, dialog->openPane(pane));
    EXPECT_TRUE(pane.isOpen);
    EXPECT_EQ(noErr, dialog->openPane(pane));
    EXPECT_EQ(noErr, dialog->closePane(pane));
    EXPECT_FALSE(pane.isOpen);
    EXPECT_EQ(noErr, dialog->closePane(pane));
    EXPECT_EQ(noErr, dialog->openPane(pane));
    dialog->terminate();
    EXPECT_TRUE(pane.terminated);
    EXPECT_EQ(nullptr, pane.extension);
    EXPECT_EQ(kPMInvalidPDEContext, dialog->openPane(pane));
}

TEST_F(HostDialogTest, WholeLifeLeavesNothingBehind) {
    LiveObjects before = LiveObjects::now();
    {
        auto dialog = openProbeDialog(sample_printers::kDX7140K);
        ASSERT_NE(dialog, nullptr);
        printdialog::Pane &pane = *dialog->panes()[0];
        ControlRef mode = dialog->control(pane, kModeID);
        ControlRef number = dialog->control(pane, kNumberID);

        EXPECT_EQ(noErr, dialog->openPane(pane));
        ASSERT_EQ(noErr, PlatformChoosePopupItem(mode, 2));
        turnRunLoop();
        ASSERT_EQ(noErr, PlatformFocusControl(number));
        for (UInt8 key : std::initializer_list<UInt8>{kBackspaceCharCode, '9', 'z'})
            ASSERT_EQ(noErr, PlatformPressKey(pane.window, key, false));
        std::vector<printdialog::SummaryRow> rows;
        EXPECT_EQ(noErr, dialog->summary(pane, rows));
        EXPECT_EQ(noErr, dialog->syncAll(false));
        EXPECT_EQ(noErr, dialog->syncAll(true));
        ASSERT_EQ(noErr, PlatformChoosePopupItem(mode, 1));  // leaves the timer armed
        EXPECT_EQ(noErr, dialog->closePane(pane));
    }
    EXPECT_EQ(LiveObjects::now(), before);
}

}  // namespace
}  // namespace host_test
