// The pane's own functions, compiled into this program and driven through its own Prologue and
// Initialize on a window of the test's, where the host would hide what they leave behind.
#include "imaging_test_support.h"
#include "qel-imaging.h"

#include <printdialog/print_session.h>

#include <gtest/gtest.h>

using namespace imaging_test;

namespace {

class PaneFunctions : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_NE(imagingBundle(), nullptr);
        warmStringTables();
    }

    void SetUp() override {
        clock_ = std::make_unique<ManualClock>();
        liveAtStart_ = PlatformLiveCFObjectCount();
        std::string error;
        ASSERT_TRUE(printdialog::PrintSession::create(kImagingPrinter, session_, error)) << error;
        Rect bounds;
        SetRect(&bounds, 100, 100, 600, 440);
        ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, kWindowStandardHandlerAttribute, &bounds, &window_), noErr);
        SetRect(&bounds, 10, 10, 330, 470);
        ASSERT_EQ(CreateUserPaneControl(window_, &bounds, kControlSupportsEmbedding, &userPane_), noErr);

        OSType creator = 0;
        CFStringRef kind = nullptr;
        CFStringRef title = nullptr;
        UInt32 width = 0, height = 0;
        ASSERT_EQ(Prologue(&context_, &creator, &kind, &title, &width, &height), noErr);
        if (title != nullptr) CFRelease(title);
    }

    void TearDown() override {
        EXPECT_EQ(Terminate(context_, noErr), noErr);
        if (window_ != nullptr) DisposeWindow(window_);
        session_ = printdialog::PrintSession();
        clock_.reset();
        EXPECT_EQ(PlatformLiveCFObjectCount(), liveAtStart_);
    }

    OSStatus initialize(const std::map<std::string, std::string> &ticket = {}) {
        for (const auto &[key, value] : ticket)
            CFDictionarySetValue(session_.ppdDictionary(), string(key).get(), string(value).get());
        PMPDEFlags flags = 1234;
        OSStatus status = Initialize(context_, &flags, 0, userPane_, session_.session());
        if (status == noErr) {
            EXPECT_EQ(flags, kPMPDENoFlags);
        }
        return status;
    }

    QEL_PDEContextPtr record() const { return GetQELContext(context_); }

    std::unique_ptr<ManualClock> clock_;
    printdialog::PrintSession session_;
    WindowRef window_ = nullptr;
    ControlRef userPane_ = nullptr;
    PMPDEContext context_ = 0;
    long liveAtStart_ = 0;
};

TEST_F(PaneFunctions, EveryLookupRunsBeforeAMissingControlRefusesThePane) {
    // Lookup 1 is the container's move; 2 is the container, 3 the colour type, 4 the resolution.
    PlatformInjectFault("GetControlByID", 4, errUnknownControl);
    EXPECT_EQ(initialize({{"ColorType", "Mono"}}), kPMInvalidPDEContext);
    EXPECT_EQ(record()->control_Resolution, nullptr);
    EXPECT_NE(record()->control_InvisiblePane, nullptr);
    EXPECT_NE(record()->control_ColorType, nullptr);
    EXPECT_NE(record()->control_Halftone, nullptr);
    EXPECT_NE(record()->control_TonerSave, nullptr);
    EXPECT_NE(record()->control_PureBlackGray, nullptr) << "the lookups after the failed one still run";

    EXPECT_EQ(GetControl32BitValue(record()->control_ColorType), 1) << "the ticket is not read";
    EXPECT_EQ(record()->relationshipHandlerUPP, nullptr) << "no handler is attached";
    EXPECT_TRUE(IsControlEnabled(record()->control_ImageType));
}

TEST_F(PaneFunctions, EachRuleTouchesOnlyWhatItGoverns) {
    ASSERT_EQ(initialize(), noErr);
    MenuRef imageTypes = GetControlPopupMenuHandle(record()->control_ImageType);
    SetControl32BitValue(record()->control_ColorType, 3);
    SetControl32BitValue(record()->control_Resolution, 2);

    EnforceResolutionRelationship(context_);
    EXPECT_FALSE(IsMenuItemEnabled(imageTypes, 2));
    EXPECT_FALSE(IsMenuItemEnabled(imageTypes, 3));
    EXPECT_TRUE(IsMenuItemEnabled(imageTypes, 4));
    EXPECT_TRUE(IsControlEnabled(record()->control_ImageType)) << "the resolution rule leaves the controls";

    SetControl32BitValue(record()->control_Resolution, 1);
    EnforceMonoRelationship(context_);
    EXPECT_FALSE(IsControlEnabled(record()->control_ImageType));
    EXPECT_FALSE(IsControlEnabled(record()->control_BlackOverPrint));
    EXPECT_FALSE(IsControlEnabled(record()->control_PureBlackGray));
    EXPECT_TRUE(IsControlEnabled(record()->control_Halftone));
    EXPECT_FALSE(IsMenuItemEnabled(imageTypes, 2)) << "the monochrome rule leaves the items";
}

TEST_F(PaneFunctions, TimerCallbackRunsBothRulesOnTheRecordItIsGiven) {
    ASSERT_EQ(initialize(), noErr);
    SetControl32BitValue(record()->control_ColorType, 3);
    SetControl32BitValue(record()->control_Resolution, 2);
    DelayedRelationshipCallback(nullptr, record());
    EXPECT_FALSE(IsControlEnabled(record()->control_BlackOverPrint));
    EXPECT_FALSE(IsMenuItemEnabled(GetControlPopupMenuHandle(record()->control_ImageType), 3));

    SetControl32BitValue(record()->control_ColorType, 1);
    SetControl32BitValue(record()->control_Resolution, 3);
    DelayedRelationshipCallback(nullptr, record());
    EXPECT_TRUE(IsControlEnabled(record()->control_BlackOverPrint));
    EXPECT_TRUE(IsMenuItemEnabled(GetControlPopupMenuHandle(record()->control_ImageType), 3));
}

TEST_F(PaneFunctions, SyncReadsAndWritesTheEightKeysDirectly) {
    ASSERT_EQ(initialize({{"Resolution", "1200dpi"}, {"DistinguishThinLines", "True"}}), noErr);
    EXPECT_EQ(GetControl32BitValue(record()->control_Resolution), 2);
    EXPECT_EQ(GetControl32BitValue(record()->control_DistinguishThinLines), 1);
    EXPECT_FALSE(IsMenuItemEnabled(GetControlPopupMenuHandle(record()->control_ImageType), 2));

    SetControl32BitValue(record()->control_Halftone, 3);
    CFDictionaryRemoveAllValues(session_.ppdDictionary());
    ASSERT_EQ(SyncTicketFromPane(context_, session_.session()), noErr);
    EXPECT_EQ(CFDictionaryGetCount(session_.ppdDictionary()), 8);
    EXPECT_EQ(ticketValue(session_.ppdDictionary(), "Halftone"), "Detail");
    EXPECT_EQ(ticketValue(session_.ppdDictionary(), "Resolution"), "1200dpi");
    EXPECT_EQ(ticketValue(session_.ppdDictionary(), "DistinguishThinLines"), "True");
}

TEST_F(PaneFunctions, SessionWithoutTicketsIsRefusedByBothDirections) {
    ASSERT_EQ(initialize(), noErr);
    PMPrintSession bare = nullptr;
    ASSERT_EQ(PMCreateSession(&bare), noErr);
    EXPECT_EQ(SyncPaneFromTicket(context_, bare), kPMInvalidTicket);
    EXPECT_EQ(SyncTicketFromPane(context_, bare), kPMInvalidTicket);
    PMRelease(bare);
}

TEST_F(PaneFunctions, SummaryRowsKeepTitlesAndValuesAligned) {
    ASSERT_EQ(initialize({{"ColorType", "Mono"}}), noErr);
    auto titles = cf::adopt(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
    auto values = cf::adopt(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));

    SetPopupSummaryValues(CFSTR("Color Type"), record()->control_ColorType, titles.get(), values.get());
    SetCheckboxSummaryValues(CFSTR("Toner Save"), record()->control_TonerSave, titles.get(), values.get());
    SetControl32BitValue(record()->control_TonerSave, 1);
    SetCheckboxSummaryValues(CFSTR("Unknown Title"), record()->control_TonerSave, titles.get(), values.get());
    SetControl32BitMinimum(record()->control_Halftone, 0);
    SetControl32BitValue(record()->control_Halftone, 0);
    SetPopupSummaryValues(CFSTR("Halftone"), record()->control_Halftone, titles.get(), values.get());

    ASSERT_EQ(CFArrayGetCount(titles.get()), 4);
    ASSERT_EQ(CFArrayGetCount(values.get()), 4);
    auto at = [](CFArrayRef array, CFIndex index) { return text(static_cast<CFStringRef>(CFArrayGetValueAtIndex(array, index))); };
    EXPECT_EQ(at(titles.get(), 0), "Color Type");
    EXPECT_EQ(at(values.get(), 0), "Black and White");
    EXPECT_EQ(at(values.get(), 1), "No");
    EXPECT_EQ(at(titles.get(), 2), "Unknown Title") << "a title without an entry shows its key";
    EXPECT_EQ(at(values.get(), 2), "Yes");
    EXPECT_EQ(at(titles.get(), 3), "Halftone");
    EXPECT_EQ(at(values.get(), 3), "");
}

TEST_F(PaneFunctions, SummaryRefusesMissingArguments) {
    ASSERT_EQ(initialize(), noErr);
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;
    EXPECT_EQ(GetSummaryText(context_, nullptr, &values), paramErr);
    EXPECT_EQ(GetSummaryText(context_, &titles, nullptr), paramErr);
    EXPECT_EQ(GetSummaryText(0, &titles, &values), kPMInvalidPDEContext);
    EXPECT_EQ(titles, nullptr);
    EXPECT_EQ(values, nullptr);
}

}  // namespace
