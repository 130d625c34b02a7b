// The colour-adjustment pane's own functions, compiled into this program, working on the controls
// of the pane's real nib window and on a real print session.
#include "coloradjust_test_support.h"
#include "qel-coloradjust.h"
#include "qel-nib.h"
#include "qel-pane.h"

#include <gtest/gtest.h>
#include <printdialog/print_session.h>

#include <cstdlib>

using namespace coloradjust_test;

namespace {

class PaneFunctions : public test_support::LeakCheckedTest {
protected:
    // The pane code finds its bundle by identifier, so the bundle must be known first. Its
    // English strings table is read once here, so that the table cache does not count as a leak.
    static void SetUpTestSuite() {
        auto url = cf::adopt(CFURLCreateFromFileSystemRepresentation(
            kCFAllocatorDefault, reinterpret_cast<const UInt8 *>(kBundlePath), strlen(kBundlePath), true));
        bundle_ = CFBundleCreate(kCFAllocatorDefault, url.get());
        PlatformSetPreferredLocalization(CFSTR("en"));
        CFRelease(CFBundleCopyLocalizedString(bundle_, CFSTR("Cyan"), CFSTR("Cyan"), nullptr));
    }
    static void TearDownTestSuite() { CFRelease(bundle_); }

    void SetUp() override {
        ASSERT_NE(bundle_, nullptr) << kBundlePath;
        LeakCheckedTest::SetUp();
        record_ = CreateQELContext();
        window_ = CreatePDEWindow();
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(FindPaneControls(record_, window_));
    }

    void TearDown() override {
        PlatformClearInjectedFaults();
        if (record_ != nullptr) {
            EXPECT_EQ(noErr, Terminate(context(), noErr));
        }
        DisposeWindow(window_);
        session_ = printdialog::PrintSession();
        LeakCheckedTest::TearDown();
    }

    PMPDEContext context() const { return reinterpret_cast<PMPDEContext>(record_); }
    ControlRef slider(int k) const { return record_->control_Slider[k]; }
    ControlRef field(int k) const { return record_->control_Increment[k]; }

    CFMutableDictionaryRef openSession(const std::map<std::string, std::string> &entries = {}) {
        std::string error;
        EXPECT_TRUE(printdialog::PrintSession::create(sample_printers::kDX7140K, session_, error)) << error;
        for (const auto &[key, value] : entries)
            CFDictionarySetValue(session_.ppdDictionary(), cf::string(key).get(), cf::string(value).get());
        return session_.ppdDictionary();
    }

    static CFBundleRef bundle_;
    ManualClockScope clock_;
    QEL_PDEContextPtr record_ = nullptr;
    WindowRef window_ = nullptr;
    printdialog::PrintSession session_;
};

CFBundleRef PaneFunctions::bundle_ = nullptr;

TEST_F(PaneFunctions, NibHoldsNineSlidersWithThePrintersRangesAndAFieldBesideEach) {
    for (int k = 0; k < 9; k++) {
        ControlID sliderID{}, fieldID{};
        GetControlID(slider(k), &sliderID);
        GetControlID(field(k), &fieldID);
        EXPECT_EQ(sliderID.id, 10 + k);
        EXPECT_EQ(fieldID.id, 20 + k);
        EXPECT_EQ(GetControl32BitMinimum(slider(k)), k == 8 ? 0 : -5) << kTicketKeys[k];
        EXPECT_EQ(5, GetControl32BitMaximum(slider(k))) << kTicketKeys[k];
        EXPECT_EQ(0, GetControl32BitValue(slider(k))) << kTicketKeys[k];
    }
}

// Which of the eighteen controls a lookup recorded in a nib window without control id, as a
// string of 's' (slider) and 'f' (field) marks in pair order, '-' where nothing was recorded.
std::string recordedWithout(SInt32 id, bool &found) {
    WindowRef window = CreatePDEWindow();
    DisposeControl(GetControlFromWindow(window, 'qel ', id));
    QEL_PDEContextPtr fresh = CreateQELContext();
    found = FindPaneControls(fresh, window);
    std::string marks = fresh->control_InvisiblePane != nullptr ? "c" : "-";
    for (int k = 0; k < 9; k++) {
        marks += fresh->control_Slider[k] != nullptr ? 's' : '-';
        marks += fresh->control_Increment[k] != nullptr ? 'f' : '-';
    }
    free(fresh);
    DisposeWindow(window);
    return marks;
}

TEST_F(PaneFunctions, LookupStopsAtTheFirstMissingControlKeepingWhatWasFound) {
    bool found = true;
    EXPECT_EQ("csfsfsfsfs---------", recordedWithout(24, found));
    EXPECT_FALSE(found);
    EXPECT_EQ("csfsfsfsfsfsf------", recordedWithout(16, found));
    EXPECT_FALSE(found);
    EXPECT_EQ("-------------------", recordedWithout(1, found));
    EXPECT_FALSE(found);
}

TEST_F(PaneFunctions, SliderValueIsPlainDecimalText) {
    for (auto [value, text] : {std::pair{-3, "-3"}, {0, "0"}, {5, "5"}}) {
        SetControl32BitValue(slider(1), value);
        auto copied = cf::adopt(CopySliderValue(slider(1)));
        EXPECT_EQ(cf::utf8(copied.get()), text);
    }
    EXPECT_EQ(nullptr, CopySliderValue(nullptr));
}

TEST_F(PaneFunctions, TextSetsTheSliderToItsLeadingIntegerPinnedToTheRange) {
    const std::pair<const char *, SInt32> cases[] = {
        {"2", 2},     {" -4", -4}, {"+3", 3},  {"3.9", 3},           {"4abc", 4},
        {"abc", 0},   {"", 0},     {"99", 5},  {"-99", -5},          {"99999999999", 5},
        {"-99999999999", -5}};
    for (auto [text, expected] : cases) {
        SetControl32BitValue(slider(0), 1);
        SetSliderValue(cf::string(text).get(), slider(0));
        EXPECT_EQ(expected, GetControl32BitValue(slider(0))) << '"' << text << '"';
    }
    SetSliderValue(CFSTR("-2"), slider(8));
    EXPECT_EQ(0, GetControl32BitValue(slider(8)));

    SInt32 four = 4;
    auto number = cf::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &four));
    SetSliderValue(reinterpret_cast<CFStringRef>(number.get()), slider(3));
    EXPECT_EQ(0, GetControl32BitValue(slider(3))) << "a number is not read as text";
    EXPECT_EQ("0", textOf(field(0))) << "setting a slider leaves its field to the next refresh";
}

TEST_F(PaneFunctions, RefreshRewritesAndRedrawsEveryField) {
    UInt32 draws[9];
    for (int k = 0; k < 9; k++) {
        SetControl32BitValue(slider(k), k - 4);
        draws[k] = PlatformGetControlDrawCount(field(k));
    }
    setText(field(2), "junk");

    EXPECT_EQ(eventNotHandledErr, HandleRelationships(nullptr, nullptr, record_));
    for (int k = 0; k < 9; k++) {
        EXPECT_EQ(textOf(field(k)), std::to_string(k - 4)) << k;
        EXPECT_EQ(PlatformGetControlDrawCount(field(k)), draws[k] + 1) << k;
    }
}

TEST_F(PaneFunctions, OpenKeepsARunningTimerAndCopesWithoutOne) {
    ASSERT_EQ(noErr, Open(context()));
    CFRunLoopTimerRef running = record_->updateTimer;
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(noErr, Open(context()));
    EXPECT_EQ(record_->updateTimer, running);
    UInt32 draws = PlatformGetControlDrawCount(field(0));
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
    EXPECT_EQ(PlatformGetControlDrawCount(field(0)), draws + 1) << "one timer, one refresh";
    EXPECT_EQ(noErr, Close(context()));
    EXPECT_EQ(nullptr, record_->updateTimer);

    PlatformInjectFault("CFRunLoopTimerCreate", 1, memFullErr);
    EXPECT_EQ(noErr, Open(context()));
    EXPECT_EQ(nullptr, record_->updateTimer);
    EXPECT_EQ(noErr, Close(context()));
}

TEST_F(PaneFunctions, TerminateWithoutCloseStopsTheTimerBeforeFreeingTheRecord) {
    ASSERT_EQ(noErr, Open(context()));
    ControlRef watched = field(0);
    UInt32 draws = PlatformGetControlDrawCount(watched);
    EXPECT_EQ(noErr, Terminate(context(), noErr));
    record_ = nullptr;
    PlatformAdvanceManualClock(2.0);
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
    EXPECT_EQ(PlatformGetControlDrawCount(watched), draws);
}

TEST_F(PaneFunctions, EntryPointsRefuseANullContext) {
    CFArrayRef titles = nullptr, values = nullptr;
    EXPECT_EQ(kPMInvalidPDEContext, Open(0));
    EXPECT_EQ(kPMInvalidPDEContext, Close(0));
    EXPECT_EQ(kPMInvalidPDEContext, GetSummaryText(0, &titles, &values));
    EXPECT_EQ(noErr, Terminate(0, noErr));
}

TEST_F(PaneFunctions, EmptyTicketLoadsZerosAndGainsNoKey) {
    CFMutableDictionaryRef ticket = openSession();
    CFIndex entries = CFDictionaryGetCount(ticket);
    for (int k = 0; k < 9; k++) {
        SetControl32BitValue(slider(k), 3);
        setText(field(k), "3");
    }
    ASSERT_EQ(noErr, SyncPaneFromTicket(context(), session_.session()));
    for (int k = 0; k < 9; k++) {
        EXPECT_EQ(0, GetControl32BitValue(slider(k))) << k;
        EXPECT_EQ("0", textOf(field(k))) << k;
    }
    EXPECT_EQ(CFDictionaryGetCount(ticket), entries);
}

TEST_F(PaneFunctions, LoadReadsNumbersAndTreatsEverythingElseAsZero) {
    CFMutableDictionaryRef ticket = openSession({{"ColorBalanceCyan", "2"}, {"ColorBalanceYellow", "9"},
                                                 {"ColorBalanceBlack", "-7"}, {"SharpnessQRV", "sharp"},
                                                 {"BackgroundAdjustmentQRV", "-1"}});
    CFDictionarySetValue(ticket, CFSTR("ColorBalanceMagenta"), kCFBooleanTrue);
    SetControl32BitValue(slider(1), 4);
    ASSERT_EQ(noErr, SyncPaneFromTicket(context(), session_.session()));
    const SInt32 expected[9] = {2, 0, 5, -5, 0, 0, 0, 0, 0};
    for (int k = 0; k < 9; k++) {
        EXPECT_EQ(expected[k], GetControl32BitValue(slider(k))) << kTicketKeys[k];
        EXPECT_EQ(textOf(field(k)), std::to_string(expected[k])) << kTicketKeys[k];
    }
    EXPECT_EQ("<not a string>", ticketValue(ticket, "ColorBalanceMagenta"));
}

TEST_F(PaneFunctions, SaveWritesAllNineKeysAndLoadThenSaveKeepsPlainValues) {
    CFMutableDictionaryRef ticket = openSession({{"ColorBalanceCyan", "-2"}, {"SharpnessQRV", "5"},
                                                 {"BackgroundAdjustmentQRV", "3"}, {"ContrastQRV", "+1"}});
    ASSERT_EQ(noErr, SyncPaneFromTicket(context(), session_.session()));
    ASSERT_EQ(noErr, SyncTicketFromPane(context(), session_.session()));
    const char *expected[9] = {"-2", "0", "0", "0", "5", "0", "1", "0", "3"};
    for (int k = 0; k < 9; k++) EXPECT_EQ(expected[k], ticketValue(ticket, kTicketKeys[k]));

    SetControl32BitValue(slider(5), -4);
    setText(field(5), "2");
    ASSERT_EQ(noErr, SyncTicketFromPane(context(), session_.session()));
    EXPECT_EQ("-4", ticketValue(ticket, "BrightnessQRV")) << "the slider counts, not its field";
}

TEST_F(PaneFunctions, UnreachableTicketChangesNothing) {
    openSession({{"ColorBalanceCyan", "2"}});
    SetControl32BitValue(slider(0), -1);
    UInt32 draws = PlatformGetControlDrawCount(field(0));
    PlatformInjectFault("PMSessionGetDataFromSession", 1, kPMInvalidTicket);
    EXPECT_EQ(kPMInvalidTicket, SyncPaneFromTicket(context(), session_.session()));
    PlatformInjectFault("PMTicketGetPPDDict", 1, kPMInvalidTicket);
    EXPECT_EQ(kPMInvalidTicket, SyncTicketFromPane(context(), session_.session()));
    EXPECT_EQ(-1, GetControl32BitValue(slider(0)));
    EXPECT_EQ(PlatformGetControlDrawCount(field(0)), draws);
    EXPECT_EQ("2", ticketValue(session_.ppdDictionary(), "ColorBalanceCyan"));
}

TEST_F(PaneFunctions, SummaryHasNineRowsFromTheSlidersAsTheyStand) {
    SetControl32BitValue(slider(0), -3);
    SetControl32BitValue(slider(8), 4);
    CFArrayRef titles = nullptr, values = nullptr;
    ASSERT_EQ(noErr, GetSummaryText(context(), &titles, &values));
    auto ownedTitles = cf::adopt(titles);
    auto ownedValues = cf::adopt(values);
    const char *expectedTitles[9] = {"Cyan Balance", "Magenta Balance", "Yellow Balance", "Black Balance",
                                     "Sharpness",    "Brightness",      "Contrast",       "Saturation",
                                     "Background Adjustment"};
    ASSERT_EQ(9, CFArrayGetCount(titles));
    ASSERT_EQ(9, CFArrayGetCount(values));
    for (int k = 0; k < 9; k++) {
        EXPECT_EQ(expectedTitles[k], cf::utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(titles, k))));
        EXPECT_EQ(cf::utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(values, k))),
                  k == 0 ? "-3" : k == 8 ? "4" : "0");
    }
}

}  // namespace
