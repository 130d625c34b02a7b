// The pane's own functions, compiled into this program and driven through its own Prologue and
// Initialize on a window of the test's, where the host would hide what they leave behind.
#include "imaging_test_support.h"
#include "qel-imaging.h"

#include <printdialog/print_session.h>

#include <gtest/gtest.h>

using namespace imaging_test;

namespace {

class PaneFunctions : public test_support::LeakCheckedTest {
protected:
    static void SetUpTestSuite() {
        ASSERT_NE(imagingBundle(), nullptr);
        warmStringTables();
    }

    void SetUp() override {
        clock_ = std::make_unique<ManualClock>();
        LeakCheckedTest::SetUp();
        std::string error;
        ASSERT_TRUE(printdialog::PrintSession::create(sample_printers::kDX8250K, session_, error)) << error;
        Rect bounds;
        SetRect(&bounds, 100, 100, 600, 440);
        ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowStandardHandlerAttribute, &bounds, &window_));
        SetRect(&bounds, 10, 10, 330, 470);
        ASSERT_EQ(noErr, CreateUserPaneControl(window_, &bounds, kControlSupportsEmbedding, &userPane_));

        OSType creator = 0;
        CFStringRef kind = nullptr;
        CFStringRef title = nullptr;
        UInt32 width = 0, height = 0;
        ASSERT_EQ(noErr, Prologue(&context_, &creator, &kind, &title, &width, &height));
        if (title != nullptr) CFRelease(title);
    }

    void TearDown() override {
        EXPECT_EQ(noErr, Terminate(context_, noErr));
        if (window_ != nullptr) DisposeWindow(window_);
        session_ = printdialog::PrintSession();
        clock_.reset();
        LeakCheckedTest::TearDown();
    }

    OSStatus initialize(const std::map<std::string, std::string> &ticket = {}) {
        for (const auto &[key, value] : ticket)
            CFDictionarySetValue(session_.ppdDictionary(), cf::string(key).get(), cf::string(value).get());
        PMPDEFlags flags = 1234;
        OSStatus status = Initialize(context_, &flags, 0, userPane_, session_.session());
        if (status == noErr) {
            EXPECT_EQ(kPMPDENoFlags, flags);
        }
        return status;
    }

    QEL_PDEContextPtr record() const { return GetQELContext(context_); }

    std::unique_ptr<ManualClock> clock_;
    printdialog::PrintSession session_;
    WindowRef window_ = nullptr;
    ControlRef userPane_ = nullptr;
    PMPDEContext context_ = 0;
};

TEST_F(PaneFunctions, EveryLookupRunsBeforeAMissingControlRefusesThePane) {
    // Lookup 1 is the container's move; 2 is the container, 3 the colour type, 4 the resolution.
    PlatformInjectFault("GetControlByID", 4, errUnknownControl);
    EXPECT_EQ(kPMInvalidPDEContext, initialize({{"ColorType", "Mono"}}));
    EXPECT_EQ(nullptr, record()->control_Resolution);
    EXPECT_NE(record()->control_InvisiblePane, nullptr);
    EXPECT_NE(record()->control_ColorType, nullptr);
    EXPECT_NE(record()->control_Halftone, nullptr);
    EXPECT_NE(record()->control_TonerSave, nullptr);
    EXPECT_NE(record()->control_PureBlackGray, nullptr) << "the lookups after the failed one still run";

    EXPECT_EQ(1, GetControl32BitValue(record()->control_ColorType)) << "the ticket is not read";
    EXPECT_EQ(nullptr, record()->relationshipHandlerUPP) << "no handler is attached";
    EXPECT_TRUE(IsControlEnabled(record()->control_ImageType));
}

TEST_F(PaneFunctions, EachRuleTouchesOnlyWhatItGoverns) {
    ASSERT_EQ(noErr, initialize());
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
    ASSERT_EQ(noErr, initialize());
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
    ASSERT_EQ(noErr, initialize({{"Resolution", "1200dpi"}, {"DistinguishThinLines", "True"}}));
    EXPECT_EQ(2, GetControl32BitValue(record()->control_Resolution));
    EXPECT_EQ(1, GetControl32BitValue(record()->control_DistinguishThinLines));
    EXPECT_FALSE(IsMenuItemEnabled(GetControlPopupMenuHandle(record()->control_ImageType), 2));

    SetControl32BitValue(record()->control_Halftone, 3);
    CFDictionaryRemoveAllValues(session_.ppdDictionary());
    ASSERT_EQ(noErr, SyncTicketFromPane(context_, session_.session()));
    EXPECT_EQ(8, CFDictionaryGetCount(session_.ppdDictionary()));
    EXPECT_EQ("Detail", ticketValue(session_.ppdDictionary(), "Halftone"));
    EXPECT_EQ("1200dpi", ticketValue(session_.ppdDictionary(), "Resolution"));
    EXPECT_EQ("True", ticketValue(session_.ppdDictionary(), "DistinguishThinLines"));
}

TEST_F(PaneFunctions, SessionWithoutTicketsIsRefusedByBothDirections) {
    ASSERT_EQ(noErr, initialize());
    PMPrintSession bare = nullptr;
    ASSERT_EQ(noErr, PMCreateSession(&bare));
    EXPECT_EQ(kPMInvalidTicket, SyncPaneFromTicket(context_, bare));
    EXPECT_EQ(kPMInvalidTicket, SyncTicketFromPane(context_, bare));
    PMRelease(bare);
}

TEST_F(PaneFunctions, SummaryRowsKeepTitlesAndValuesAligned) {
    ASSERT_EQ(noErr, initialize({{"ColorType", "Mono"}}));
    auto titles = cf::adopt(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
    auto values = cf::adopt(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));

    SetPopupSummaryValues(CFSTR("Color Type"), record()->control_ColorType, titles.get(), values.get());
    SetCheckboxSummaryValues(CFSTR("Toner Save"), record()->control_TonerSave, titles.get(), values.get());
    SetControl32BitValue(record()->control_TonerSave, 1);
    SetCheckboxSummaryValues(CFSTR("Unknown Title"), record()->control_TonerSave, titles.get(), values.get());
    SetControl32BitMinimum(record()->control_Halftone, 0);
    SetControl32BitValue(record()->control_Halftone, 0);
    SetPopupSummaryValues(CFSTR("Halftone"), record()->control_Halftone, titles.get(), values.get());

    ASSERT_EQ(4, CFArrayGetCount(titles.get()));
    ASSERT_EQ(4, CFArrayGetCount(values.get()));
    auto at = [](CFArrayRef array, CFIndex index) { return cf::utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(array, index))); };
    EXPECT_EQ("Color Type", at(titles.get(), 0));
    EXPECT_EQ("Black and White", at(values.get(), 0));
    EXPECT_EQ("No", at(values.get(), 1));
    EXPECT_EQ("Unknown Title", at(titles.get(), 2)) << "a title without an entry shows its key";
    EXPECT_EQ("Yes", at(values.get(), 2));
    EXPECT_EQ("Halftone", at(titles.get(), 3));
    EXPECT_EQ("", at(values.get(), 3));
}

TEST_F(PaneFunctions, SummaryRefusesMissingArguments) {
    ASSERT_EQ(noErr, initialize());
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;
    EXPECT_EQ(paramErr, GetSummaryText(context_, nullptr, &values));
    EXPECT_EQ(paramErr, GetSummaryText(context_, &titles, nullptr));
    EXPECT_EQ(kPMInvalidPDEContext, GetSummaryText(0, &titles, &values));
    EXPECT_EQ(nullptr, titles);
    EXPECT_EQ(nullptr, values);
}

}  // namespace
