// The real Imaging.plugin in the print dialog host: which printers get the pane, the ticket read
// and written through Sync, the two rules following the user once the run loop turns, and the
// Summary rows.
#include "imaging_test_support.h"

#include <platform/user_actions.h>

#include <gtest/gtest.h>

using namespace imaging_test;

namespace {

const char *const kPaneKeys[] = {"ColorType", "Resolution",     "Halftone",     "DistinguishThinLines",
                                 "TonerSave", "ImageType",      "BlackOverPrint", "PureBlackGray"};

class ImagingDialog : public test_support::LeakCheckedTest {
protected:
    static void SetUpTestSuite() {
        ASSERT_NE(imagingBundle(), nullptr);
        warmStringTables();
    }
    void SetUp() override {
        clock_ = std::make_unique<ManualClock>();
        LeakCheckedTest::SetUp();
    }
    void TearDown() override {
        dialog_.reset();
        clock_.reset();
        LeakCheckedTest::TearDown();
    }

    printdialog::Pane &open(const std::map<std::string, std::string> &ticket = {}) {
        dialog_ = openDialog(sample_printers::kDX8250K, ticket);
        printdialog::Pane *pane = dialog_ ? dialog_->findPane("imaging") : nullptr;
        if (pane == nullptr) {
            ADD_FAILURE() << "no imaging pane";
            static printdialog::Pane none;
            return none;
        }
        EXPECT_TRUE(pane->accepted()) << "Initialize returned " << pane->initializeStatus;
        pane_ = pane;
        return *pane;
    }

    ControlRef control(SInt32 id) const { return dialog_->control(*pane_, id); }
    SInt32 value(SInt32 id) const { return GetControl32BitValue(control(id)); }
    bool enabled(SInt32 id) const { return IsControlEnabled(control(id)); }
    bool imageTypeItemEnabled(MenuItemIndex item) const {
        return IsMenuItemEnabled(GetControlPopupMenuHandle(control(kImageType)), item);
    }
    CFMutableDictionaryRef ticket() const { return dialog_->ppdDictionary(); }

    std::vector<printdialog::SummaryRow> summary() {
        std::vector<printdialog::SummaryRow> rows;
        EXPECT_EQ(noErr, dialog_->summary(*pane_, rows));
        return rows;
    }
    std::vector<std::string> summaryValues() {
        std::vector<std::string> values;
        for (const auto &row : summary()) values.push_back(row.value);
        return values;
    }

    std::unique_ptr<ManualClock> clock_;
    std::unique_ptr<printdialog::Dialog> dialog_;
    printdialog::Pane *pane_ = nullptr;
};

// ---- Which printer, and the pane's identity -------------------------------------------------

TEST_F(ImagingDialog, PaneIsShownForThe8250KSeries) {
    printdialog::Pane &pane = open();
    EXPECT_EQ(pane.creator, static_cast<OSType>('qel '));
    EXPECT_EQ("com.quorven.print.pde.print-mode.imaging", pane.kind);
    EXPECT_EQ("Imaging", pane.title);
    EXPECT_EQ(460u, pane.width);
    EXPECT_EQ(300u, pane.height);
    for (SInt32 id : {kContainer, kColorType, kResolution, kHalftone, kDistinguishThinLines, kTonerSave, kImageType,
                      kBlackOverPrint, kPureBlackGray})
        EXPECT_NE(control(id), nullptr) << id;
}

TEST_F(ImagingDialog, PaneIsRefusedForThe7140KSeries) {
    testing::internal::CaptureStderr();
    dialog_ = openDialog(sample_printers::kDX7140K);
    std::string diagnostics = testing::internal::GetCapturedStderr();
    printdialog::Pane *pane = dialog_->findPane("imaging");
    ASSERT_NE(pane, nullptr);
    EXPECT_FALSE(pane->accepted());
    EXPECT_EQ(kPMInvalidPDEContext, pane->initializeStatus);
    EXPECT_EQ(0, CFDictionaryGetCount(ticket())) << "a refused pane reads and writes nothing";
    EXPECT_EQ(diagnostics.find("AttachRelationshipHandlers"), std::string::npos);
}

TEST_F(ImagingDialog, AttachingTheHandlersIsTracedOnce) {
    testing::internal::CaptureStderr();
    open();
    std::string diagnostics = testing::internal::GetCapturedStderr();
    size_t first = diagnostics.find("AttachRelationshipHandlers");
    ASSERT_NE(first, std::string::npos) << diagnostics;
    EXPECT_EQ(diagnostics.find("AttachRelationshipHandlers", first + 1), std::string::npos);
    EXPECT_EQ(diagnostics.find("QUORVEN"), std::string::npos) << "the model name is not this pane's diagnostic";
}

TEST_F(ImagingDialog, LookupFailureOfAnyControlRefusesThePane) {
    // The move of the container makes the first lookup, the resolution pop-up is the fourth after it.
    PlatformInjectFault("GetControlByID", 4, errUnknownControl);
    testing::internal::CaptureStderr();
    dialog_ = openDialog(sample_printers::kDX8250K);
    std::string diagnostics = testing::internal::GetCapturedStderr();
    printdialog::Pane *pane = dialog_->findPane("imaging");
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(kPMInvalidPDEContext, pane->initializeStatus);
    EXPECT_EQ(diagnostics.find("AttachRelationshipHandlers"), std::string::npos);
}

// ---- Reading and writing the ticket ---------------------------------------------------------

TEST_F(ImagingDialog, EmptyTicketReadsTheDefaults) {
    open();
    EXPECT_EQ(1, value(kColorType));
    EXPECT_EQ(1, value(kResolution));
    EXPECT_EQ(1, value(kHalftone));
    EXPECT_EQ(1, value(kImageType));
    EXPECT_EQ(3, value(kBlackOverPrint));
    EXPECT_EQ(1, value(kPureBlackGray));
    EXPECT_EQ(0, value(kDistinguishThinLines));
    EXPECT_EQ(0, value(kTonerSave));
    EXPECT_EQ(0, CFDictionaryGetCount(ticket())) << "reading never writes";
}

TEST_F(ImagingDialog, EmptyTicketWrittenBackHoldsTheSixDefaultsAndFalseTwice) {
    open();
    ASSERT_EQ(noErr, dialog_->syncAll(false));
    EXPECT_EQ(8, CFDictionaryGetCount(ticket()));
    EXPECT_EQ("Color", ticketValue(ticket(), "ColorType"));
    EXPECT_EQ("600dpi", ticketValue(ticket(), "Resolution"));
    EXPECT_EQ("Auto", ticketValue(ticket(), "Halftone"));
    EXPECT_EQ("False", ticketValue(ticket(), "DistinguishThinLines"));
    EXPECT_EQ("False", ticketValue(ticket(), "TonerSave"));
    EXPECT_EQ("General", ticketValue(ticket(), "ImageType"));
    EXPECT_EQ("Text&Graphics", ticketValue(ticket(), "BlackOverPrint"));
    EXPECT_EQ("BlackGrayAuto", ticketValue(ticket(), "PureBlackGray"));
}

TEST_F(ImagingDialog, DefaultsAreThePrintersOwnDefaults) {
    open();
    ASSERT_EQ(noErr, dialog_->syncAll(false));
    auto options = readPPDOptions(sample_printers::kDX8250K);
    for (const char *key : kPaneKeys) EXPECT_EQ(ticketValue(ticket(), key), options[key].defaultKeyword) << key;
}

TEST_F(ImagingDialog, TicketIsReadIntoTheControlsAndWrittenBackUnchanged) {
    const std::map<std::string, std::string> settings = {
        {"ColorType", "AutoColor"}, {"Resolution", "300dpi"},   {"Halftone", "Detail"},
        {"DistinguishThinLines", "True"}, {"TonerSave", "True"}, {"ImageType", "FineText"},
        {"BlackOverPrint", "Off"},  {"PureBlackGray", "BlackGrayOff"}};
    open(settings);
    EXPECT_EQ(2, value(kColorType));
    EXPECT_EQ(3, value(kResolution));
    EXPECT_EQ(3, value(kHalftone));
    EXPECT_EQ(1, value(kDistinguishThinLines));
    EXPECT_EQ(1, value(kTonerSave));
    EXPECT_EQ(4, value(kImageType));
    EXPECT_EQ(1, value(kBlackOverPrint));
    EXPECT_EQ(3, value(kPureBlackGray));

    CFDictionaryRemoveAllValues(ticket());
    ASSERT_EQ(noErr, dialog_->syncAll(false));
    for (const auto &[key, keyword] : settings) EXPECT_EQ(ticketValue(ticket(), key.c_str()), keyword) << key;
}

TEST_F(ImagingDialog, UnknownKeywordsLeaveTheControlsAsTheyWere) {
    open();
    SetControl32BitValue(control(kColorType), 2);
    SetControl32BitValue(control(kHalftone), 2);
    SetControl32BitValue(control(kTonerSave), 1);
    for (const auto &[key, keyword] : std::map<std::string, std::string>{
             {"ColorType", "Sepia"}, {"Halftone", "Automatic"}, {"TonerSave", "true"}, {"DistinguishThinLines", ""}})
        CFDictionarySetValue(ticket(), cf::string(key).get(), cf::string(keyword).get());
    ASSERT_EQ(noErr, dialog_->sync(*pane_, true));
    EXPECT_EQ(2, value(kColorType));
    EXPECT_EQ(2, value(kHalftone)) << "\"Automatic\" is the item's text, not its keyword";
    EXPECT_EQ(1, value(kTonerSave));
    EXPECT_EQ(0, value(kDistinguishThinLines));
}

TEST_F(ImagingDialog, ValueThatIsNotAStringIsReadAsMissing) {
    open();
    SetControl32BitValue(control(kColorType), 3);
    SetControl32BitValue(control(kTonerSave), 1);
    int number = 3;
    auto three = cf::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberIntType, &number));
    CFDictionarySetValue(ticket(), CFSTR("ColorType"), three.get());
    CFDictionarySetValue(ticket(), CFSTR("TonerSave"), kCFBooleanTrue);
    ASSERT_EQ(noErr, dialog_->sync(*pane_, true));
    EXPECT_EQ(1, value(kColorType)) << "the default \"Color\" applies";
    EXPECT_EQ(0, value(kTonerSave)) << "the default \"False\" applies";
}

TEST_F(ImagingDialog, WritingReplacesEarlierEntriesAndLeavesOtherKeys) {
    open({{"ColorType", "Mono"}, {"PrintMode", "Hold"}});
    PlatformChoosePopupItem(control(kColorType), 2);
    ASSERT_EQ(noErr, dialog_->syncAll(false));
    EXPECT_EQ("AutoColor", ticketValue(ticket(), "ColorType"));
    EXPECT_EQ("Hold", ticketValue(ticket(), "PrintMode"));
}

TEST_F(ImagingDialog, FailingTicketLookupTouchesNothingAndRunsNoRule) {
    open({{"ColorType", "Mono"}, {"ImageType", "Photo"}});
    ASSERT_FALSE(enabled(kImageType));
    SetControl32BitValue(control(kColorType), 1);  // no command: the rules have not seen it
    SetControl32BitValue(control(kImageType), 3);

    PlatformInjectFault("PMSessionGetDataFromSession", 1, kPMKeyNotFound);
    EXPECT_EQ(kPMInvalidTicket, dialog_->sync(*pane_, true));
    EXPECT_EQ(1, value(kColorType));
    EXPECT_EQ(3, value(kImageType));
    EXPECT_FALSE(enabled(kImageType)) << "no rule may run after a failed read";

    PlatformInjectFault("PMTicketGetPPDDict", 1, kPMGeneralError);
    EXPECT_EQ(kPMGeneralError, dialog_->sync(*pane_, true));
    EXPECT_EQ(3, value(kImageType));
    EXPECT_FALSE(enabled(kImageType));

    PlatformInjectFault("PMSessionGetDataFromSession", 1, kPMKeyNotFound);
    EXPECT_EQ(kPMInvalidTicket, dialog_->sync(*pane_, false));
    PlatformInjectFault("PMTicketGetPPDDict", 1, kPMGeneralError);
    EXPECT_EQ(kPMGeneralError, dialog_->sync(*pane_, false));
    EXPECT_EQ("Mono", ticketValue(ticket(), "ColorType"));
    EXPECT_EQ("Photo", ticketValue(ticket(), "ImageType"));
    EXPECT_EQ(2, CFDictionaryGetCount(ticket()));
}

TEST_F(ImagingDialog, UnreadableSelectionLeavesItsKeyAndShowsAnEmptyValue) {
    open({{"ColorType", "AutoColor"}});
    SetControl32BitMaximum(control(kColorType), 9);
    SetControl32BitValue(control(kColorType), 9);
    ASSERT_EQ(noErr, dialog_->syncAll(false));
    EXPECT_EQ("AutoColor", ticketValue(ticket(), "ColorType"));
    EXPECT_EQ("600dpi", ticketValue(ticket(), "Resolution")) << "the other keys are still written";

    auto rows = summary();
    ASSERT_EQ(8u, rows.size());
    EXPECT_EQ("Color Type", rows[0].title);
    EXPECT_EQ("", rows[0].value);
    EXPECT_EQ("600 dpi", rows[1].value);
}

// ---- The monochrome rule ----------------------------------------------------------------------

TEST_F(ImagingDialog, MonochromeDisablesThreeControlsOnceTheRunLoopTurns) {
    open();
    ASSERT_EQ(noErr, PlatformChoosePopupItem(control(kColorType), 3));
    EXPECT_TRUE(enabled(kImageType)) << "the rules wait for the run loop";
    printdialog::Dialog::turnRunLoop();
    EXPECT_FALSE(enabled(kImageType));
    EXPECT_FALSE(enabled(kBlackOverPrint));
    EXPECT_FALSE(enabled(kPureBlackGray));
    EXPECT_TRUE(enabled(kHalftone));
    EXPECT_TRUE(enabled(kResolution));
    EXPECT_TRUE(enabled(kTonerSave));
    EXPECT_TRUE(enabled(kDistinguishThinLines));
}

TEST_F(ImagingDialog, AnyOtherColourTypeEnablesThemAgain) {
    open({{"ColorType", "Mono"}});
    for (SInt32 item : {1, 3, 2}) {
        ASSERT_EQ(noErr, PlatformChoosePopupItem(control(kColorType), item));
        printdialog::Dialog::turnRunLoop();
        bool expected = item != 3;
        EXPECT_EQ(expected, enabled(kImageType)) << item;
        EXPECT_EQ(expected, enabled(kBlackOverPrint)) << item;
        EXPECT_EQ(expected, enabled(kPureBlackGray)) << item;
    }
}

TEST_F(ImagingDialog, TicketSelectingMonochromeLeavesTheThreeDisabledAfterTheRead) {
    open({{"ColorType", "Mono"}});
    EXPECT_EQ(3, value(kColorType));
    EXPECT_FALSE(enabled(kImageType));
    EXPECT_FALSE(enabled(kBlackOverPrint));
    EXPECT_FALSE(enabled(kPureBlackGray));

    CFDictionarySetValue(ticket(), CFSTR("ColorType"), CFSTR("Color"));
    ASSERT_EQ(noErr, dialog_->sync(*pane_, true));
    EXPECT_TRUE(enabled(kImageType)) << "every successful read ends with the rules";
}

TEST_F(ImagingDialog, DisabledControlsAreStillWrittenAndSummarised) {
    open({{"ImageType", "Graphics"}, {"BlackOverPrint", "Text"}, {"PureBlackGray", "BlackGrayOn"}});
    PlatformChoosePopupItem(control(kColorType), 3);
    printdialog::Dialog::turnRunLoop();
    ASSERT_FALSE(enabled(kBlackOverPrint));
    EXPECT_EQ(3, value(kImageType)) << "disabling keeps the value";

    CFDictionaryRemoveAllValues(ticket());
    ASSERT_EQ(noErr, dialog_->syncAll(false));
    EXPECT_EQ("Mono", ticketValue(ticket(), "ColorType"));
    EXPECT_EQ("Graphics", ticketValue(ticket(), "ImageType"));
    EXPECT_EQ("Text", ticketValue(ticket(), "BlackOverPrint"));
    EXPECT_EQ("BlackGrayOn", ticketValue(ticket(), "PureBlackGray"));

    auto values = summaryValues();
    ASSERT_EQ(8u, values.size());
    EXPECT_EQ("Black and White", values[0]);
    EXPECT_EQ("Graphics", values[5]);
    EXPECT_EQ("Text", values[6]);
    EXPECT_EQ("Pure Black", values[7]);
}

// ---- The 1200 dpi rule ------------------------------------------------------------------------

TEST_F(ImagingDialog, At1200dpiPhotoAndGraphicsAreDisabled) {
    open();
    ASSERT_EQ(noErr, PlatformChoosePopupItem(control(kResolution), 2));
    EXPECT_TRUE(imageTypeItemEnabled(2)) << "the rules wait for the run loop";
    printdialog::Dialog::turnRunLoop();
    EXPECT_TRUE(imageTypeItemEnabled(1));
    EXPECT_FALSE(imageTypeItemEnabled(2));
    EXPECT_FALSE(imageTypeItemEnabled(3));
    EXPECT_TRUE(imageTypeItemEnabled(4));
    EXPECT_TRUE(enabled(kImageType)) << "only two items, not the control";
}

TEST_F(ImagingDialog, SelectedImageTypeStaysSelectedAndWrittenAt1200dpi) {
    open({{"ImageType", "Photo"}});
    PlatformChoosePopupItem(control(kResolution), 2);
    printdialog::Dialog::turnRunLoop();
    ASSERT_FALSE(imageTypeItemEnabled(2));
    EXPECT_EQ(2, value(kImageType));
    ASSERT_EQ(noErr, dialog_->syncAll(false));
    EXPECT_EQ("1200dpi", ticketValue(ticket(), "Resolution"));
    EXPECT_EQ("Photo", ticketValue(ticket(), "ImageType"));
}

TEST_F(ImagingDialog, AnyOtherResolutionEnablesTheItemsAgain) {
    open({{"Resolution", "1200dpi"}});
    ASSERT_FALSE(imageTypeItemEnabled(3));
    for (SInt32 item : {3, 2, 1}) {
        PlatformChoosePopupItem(control(kResolution), item);
        printdialog::Dialog::turnRunLoop();
        EXPECT_EQ(imageTypeItemEnabled(2), item != 2) << item;
        EXPECT_EQ(imageTypeItemEnabled(3), item != 2) << item;
    }
}

TEST_F(ImagingDialog, BothRulesTouchTheImageTypeIndependently) {
    open({{"ColorType", "Mono"}, {"Resolution", "1200dpi"}});
    EXPECT_FALSE(enabled(kImageType));
    EXPECT_FALSE(imageTypeItemEnabled(2));
    PlatformChoosePopupItem(control(kColorType), 1);
    printdialog::Dialog::turnRunLoop();
    EXPECT_TRUE(enabled(kImageType));
    EXPECT_FALSE(imageTypeItemEnabled(2)) << "the monochrome rule does not re-enable the items";
}

TEST_F(ImagingDialog, RulesFollowTheLastOfSeveralChoicesInOnePass) {
    open();
    PlatformChoosePopupItem(control(kColorType), 3);
    PlatformChoosePopupItem(control(kResolution), 2);
    PlatformChoosePopupItem(control(kColorType), 2);
    printdialog::Dialog::turnRunLoop();
    EXPECT_TRUE(enabled(kImageType));
    EXPECT_FALSE(imageTypeItemEnabled(2));

    PlatformChoosePopupItem(control(kResolution), 1);
    printdialog::Dialog::turnRunLoop();
    EXPECT_TRUE(imageTypeItemEnabled(2)) << "the same timer serves the next command";
}

TEST_F(ImagingDialog, TerminatingWithTheRulesPendingLeavesNothingBehind) {
    long handlersAtStart = PlatformLiveObjectCount("event-handler");
    open();
    PlatformChoosePopupItem(control(kColorType), 3);
    dialog_->terminate();
    printdialog::Dialog::turnRunLoop();
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersAtStart);
}

// ---- Summary ------------------------------------------------------------------------------------

TEST_F(ImagingDialog, SummaryHasEightRowsInTheDialogsOrder) {
    open();
    auto rows = summary();
    ASSERT_EQ(8u, rows.size());
    std::vector<std::string> expectedTitles = {"Color Type", "Resolution", "Halftone",         "Distinguish Thin Lines",
                                               "Toner Save", "Image Type", "Black Over Print", "Pure Black and Gray"};
    std::vector<std::string> expectedValues = {"Color",   "600 dpi", "Automatic",         "No",
                                               "No",      "General", "Text and Graphics", "Automatic Black"};
    for (size_t row = 0; row < rows.size(); ++row) {
        EXPECT_EQ(expectedTitles[row], rows[row].title) << row;
        EXPECT_EQ(expectedValues[row], rows[row].value) << row;
    }
}

TEST_F(ImagingDialog, SummaryShowsTheControlsNotTheTicket) {
    open();
    PlatformClickCheckBox(control(kTonerSave));
    PlatformChoosePopupItem(control(kHalftone), 3);
    PlatformChoosePopupItem(control(kResolution), 3);
    auto values = summaryValues();
    ASSERT_EQ(8u, values.size());
    EXPECT_EQ("300 dpi", values[1]);
    EXPECT_EQ("Fine Detail", values[2]) << "the halftone row maps through the default table only";
    EXPECT_EQ("No", values[3]);
    EXPECT_EQ("Yes", values[4]);
    EXPECT_EQ(0, CFDictionaryGetCount(ticket()));
}

TEST_F(ImagingDialog, EachSummaryCallHandsOverTwoNewArrays) {
    open();
    const PlugInIntfVTable &table = pane_->extension->table();
    CFArrayRef titles[2] = {nullptr, nullptr};
    CFArrayRef values[2] = {nullptr, nullptr};
    ASSERT_EQ(noErr, table.GetSummaryText(pane_->context, &titles[0], &values[0]));
    ASSERT_EQ(noErr, table.GetSummaryText(pane_->context, &titles[1], &values[1]));
    auto ownedTitles0 = cf::adopt(titles[0]), ownedTitles1 = cf::adopt(titles[1]);
    auto ownedValues0 = cf::adopt(values[0]), ownedValues1 = cf::adopt(values[1]);
    EXPECT_NE(titles[0], titles[1]);
    EXPECT_NE(values[0], values[1]);
    EXPECT_NE(titles[0], values[0]);
    for (CFArrayRef array : {titles[0], titles[1], values[0], values[1]}) {
        EXPECT_EQ(8, CFArrayGetCount(array));
        EXPECT_EQ(1, CFGetRetainCount(array)) << "the host holds the only reference";
    }
}

TEST_F(ImagingDialog, GermanDialogShowsGermanWordsAndWritesTheSameKeywords) {
    test_support::LocalizationScope german("de");
    open({{"ColorType", "Mono"}, {"Halftone", "Smooth"}, {"TonerSave", "True"}});
    EXPECT_EQ("Bildverarbeitung", pane_->title);
    EXPECT_EQ("Schwarzweiß", itemText(control(kColorType), 3));
    EXPECT_EQ(3, value(kColorType));
    EXPECT_EQ(2, value(kHalftone));
    EXPECT_FALSE(enabled(kImageType));

    auto rows = summary();
    ASSERT_EQ(8u, rows.size());
    std::vector<std::string> expectedTitles = {"Farbmodus",    "Auflösung", "Rasterung",           "Dünne Linien hervorheben",
                                               "Toner sparen", "Bildart",   "Schwarz überdrucken", "Reines Schwarz und Grau"};
    std::vector<std::string> expectedValues = {"Schwarzweiß", "600 dpi",   "Glatt",          "Nein",
                                               "Ja",          "Allgemein", "Text und Grafik", "Automatisches Schwarz"};
    for (size_t row = 0; row < rows.size(); ++row) {
        EXPECT_EQ(expectedTitles[row], rows[row].title) << row;
        EXPECT_EQ(expectedValues[row], rows[row].value) << row;
    }

    CFDictionaryRemoveAllValues(ticket());
    ASSERT_EQ(noErr, dialog_->syncAll(false));
    EXPECT_EQ("Mono", ticketValue(ticket(), "ColorType"));
    EXPECT_EQ("Smooth", ticketValue(ticket(), "Halftone"));
    EXPECT_EQ("General", ticketValue(ticket(), "ImageType"));
    EXPECT_EQ("True", ticketValue(ticket(), "TonerSave"));
    EXPECT_EQ("Text&Graphics", ticketValue(ticket(), "BlackOverPrint"));
}

}  // namespace
