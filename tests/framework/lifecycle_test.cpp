// The pane entry points: Prologue, Initialize, Sync, GetSummaryText, Open, Close and Terminate,
// called the way the host calls them and with the failures it may meet.
#include "probe_test_support.h"

#include <platform/cf_ref.h>

namespace probe_test {
namespace {

using LifecycleTest = FrameworkTest;

struct PrologueResult {
    OSStatus status = noErr;
    PMPDEContext context = 0;
    OSType creator = 0;
    CFStringRef kind = nullptr;
    cf::Ref<CFStringRef> title;
    UInt32 width = 0xDEAD;
    UInt32 height = 0xDEAD;
};

PrologueResult callPrologue() {
    PrologueResult result;
    CFStringRef title = nullptr;
    result.status = Prologue(&result.context, &result.creator, &result.kind, &title, &result.width, &result.height);
    result.title = cf::adopt(title);
    return result;
}

TEST_F(LifecycleTest, PrologueReportsTheNibWindowAndThePaneIdentity) {
    LiveObjects before = LiveObjects::now();

    PrologueResult result = callPrologue();

    EXPECT_EQ(noErr, result.status);
    EXPECT_NE(result.context, 0u);
    EXPECT_EQ(400u, result.width);
    EXPECT_EQ(300u, result.height);
    EXPECT_EQ("Probe", utf8(result.title.get()));
    EXPECT_EQ(result.creator, static_cast<OSType>('qel '));
    EXPECT_EQ(kProbePaneKind, utf8(result.kind));

    QEL_PDEContextPtr record = GetQELContext(result.context);
    EXPECT_EQ(nullptr, record->parentUserPane);
    EXPECT_EQ(nullptr, record->control_InvisiblePane);
    EXPECT_EQ(nullptr, record->updateRelationshipsTimer);
    EXPECT_EQ(PlatformLiveObjectCount("window"), before.count("window")) << "the nib window is disposed of";
    EXPECT_EQ(PlatformLiveObjectCount("nib"), before.count("nib"));

    EXPECT_EQ(noErr, Terminate(result.context, noErr));
    result.title.reset();
    EXPECT_EQ(LiveObjects::now(), before);
}

TEST_F(LifecycleTest, PrologueWithoutMemoryStillNamesThePane) {
    long windowsBefore = PlatformLiveObjectCount("window");
    PMPDEContext context = 12345;
    OSType creator = 0;
    CFStringRef kind = nullptr;
    CFStringRef title = nullptr;
    UInt32 width = 0;
    UInt32 height = 0;

    allocation_failure::failNth(1);
    OSStatus status = Prologue(&context, &creator, &kind, &title, &width, &height);
    allocation_failure::failNth(0);

    EXPECT_EQ(memFullErr, status);
    EXPECT_EQ(0u, context) << "NULL is handed out";
    EXPECT_EQ(creator, static_cast<OSType>('qel '));
    EXPECT_EQ(kProbePaneKind, utf8(kind));
    EXPECT_EQ(nullptr, title);
    EXPECT_EQ(PlatformLiveObjectCount("window"), windowsBefore);
    EXPECT_EQ(noErr, Terminate(context, noErr));
}

struct PrologueFault {
    const char *operation;
    OSStatus injected;
    OSStatus expected;
};

class PrologueFaultTest : public FrameworkTest, public ::testing::WithParamInterface<PrologueFault> {};

TEST_P(PrologueFaultTest, ReportsTheFailureDisposesOfTheWindowAndKeepsTheRecord) {
    LiveObjects before = LiveObjects::now();
    PlatformInjectFault(GetParam().operation, 1, GetParam().injected);

    PrologueResult result = callPrologue();

    EXPECT_EQ(result.status, GetParam().expected);
    EXPECT_NE(result.context, 0u) << "the record is handed out for Terminate to free";
    EXPECT_EQ(result.creator, static_cast<OSType>('qel '));
    EXPECT_EQ(kProbePaneKind, utf8(result.kind));
    EXPECT_EQ(nullptr, result.title.get());
    EXPECT_EQ(PlatformLiveObjectCount("window"), before.count("window"));
    EXPECT_EQ(PlatformLiveObjectCount("nib"), before.count("nib"));
    EXPECT_EQ(noErr, Terminate(result.context, noErr));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PrologueFaultTest,
    ::testing::Values(PrologueFault{"CFBundleGetBundleWithIdentifier", memFullErr, kPMInvalidPDEContext},
                      PrologueFault{"CreateNibReferenceWithCFBundle", -10960, kPMInvalidPDEContext},
                      PrologueFault{"CreateWindowFromNib", -10962, kPMInvalidPDEContext},
                      PrologueFault{"GetWindowBounds", -30593, -30593},
                      PrologueFault{"CopyWindowTitleAsCFString", memFullErr, memFullErr}),
    [](const ::testing::TestParamInfo<PrologueFault> &param) { return std::string(param.param.operation); });

TEST_F(LifecycleTest, EveryLaterEntryPointRefusesANullContext) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel), false);
    DialogWindow dialog(makeRect(100, 100, 420, 520), makeRect(10, 10, 310, 410));
    PMPDEFlags flags = 0xA5A5A5A5;
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;

    EXPECT_EQ(kPMInvalidPDEContext, Initialize(0, &flags, 0, dialog.userPane(), pane.session()));
    EXPECT_EQ(0xA5A5A5A5u, flags);
    UInt16 embedded = 99;
    EXPECT_EQ(noErr, CountSubControls(dialog.userPane(), &embedded));
    EXPECT_EQ(0, embedded);
    EXPECT_EQ(kPMInvalidPDEContext, Sync(0, pane.session(), true));
    EXPECT_EQ(kPMInvalidPDEContext, Sync(0, pane.session(), false));
    EXPECT_EQ(kPMInvalidPDEContext, GetSummaryText(0, &titles, &values));
    EXPECT_EQ(nullptr, titles);
    EXPECT_EQ(nullptr, values);
    EXPECT_EQ(kPMInvalidPDEContext, Open(0));
    EXPECT_EQ(kPMInvalidPDEContext, Close(0));
    EXPECT_EQ(noErr, Terminate(0, noErr));
}

TEST_F(LifecycleTest, InitializeRefusesAnotherModelAndWritesNoFlags) {
    ProbePane pane(sample_printers::kDX8250K, false);
    LiveObjects before = LiveObjects::now();
    int rulesBefore = QELProbeRuleRunCount();

    EXPECT_EQ(kPMInvalidPDEContext, pane.initialize());

    EXPECT_EQ(0xA5A5A5A5u, pane.flags()) << "nothing is written through flags";
    UInt16 embedded = 99;
    EXPECT_EQ(noErr, CountSubControls(pane.dialog().userPane(), &embedded));
    EXPECT_EQ(0, embedded) << "nothing is moved into the user pane";
    EXPECT_EQ(nullptr, pane.record()->control_InvisiblePane);
    EXPECT_EQ(QELProbeRuleRunCount(), rulesBefore);
    EXPECT_EQ(LiveObjects::now(), before);
    EXPECT_EQ(noErr, pane.terminate());  // the record is freed: the leak checker would tell
}

TEST_F(LifecycleTest, InitializeMovesTheControlsInFillsThemAndRunsTheRules) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel), false);
    long windowsBefore = PlatformLiveObjectCount("window");
    long handlersBefore = PlatformLiveObjectCount("event-handler");
    int rulesBefore = QELProbeRuleRunCount();

    EXPECT_EQ(noErr, pane.initialize());

    EXPECT_EQ(kPMPDENoFlags, pane.flags());
    QEL_PDEContextPtr record = pane.record();
    EXPECT_EQ(record->control_InvisiblePane, pane.dialog().control(1));
    EXPECT_EQ(record->control_Mode, pane.dialog().control(5));
    EXPECT_EQ(record->control_Number, pane.dialog().control(6));
    ASSERT_NE(record->control_InvisiblePane, nullptr);
    ControlRef container = nullptr;
    EXPECT_EQ(noErr, GetSuperControl(record->control_InvisiblePane, &container));
    EXPECT_EQ(container, pane.dialog().userPane());
    Rect bounds;
    GetControlBounds(record->control_InvisiblePane, &bounds);
    EXPECT_EQ(bounds, makeRect(10, 10, 310, 410)) << "a pane of the nib's size: no centring";
    EXPECT_EQ(PlatformLiveObjectCount("window"), windowsBefore) << "the nib window is disposed of";

    EXPECT_NE(record->relationshipEventRef, nullptr);
    EXPECT_NE(record->constraintLength_Number, nullptr);
    EXPECT_NE(record->constraintDigitOnly_Number, nullptr);
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore + 3);
    EXPECT_EQ("12345", fieldText(record->control_Number));
    EXPECT_EQ(1, GetControl32BitValue(record->control_Mode));
    EXPECT_FALSE(IsControlEnabled(record->control_Number));
    EXPECT_EQ(QELProbeRuleRunCount(), rulesBefore + 2) << "once in the ticket read, once at the end";
    EXPECT_EQ(nullptr, record->updateRelationshipsTimer) << "no timer before the first command";

    EXPECT_EQ(noErr, Open(pane.context()));
    EXPECT_EQ(noErr, Close(pane.context()));
    EXPECT_EQ(noErr, pane.terminate());
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore);
}

TEST_F(LifecycleTest, SyncReadsTheTicketIntoThePaneAndWritesItBack) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel));
    QEL_PDEContextPtr record = pane.record();
    CFDictionarySetValue(pane.ppdDictionary(), CFSTR("ProbeMode"), CFSTR("On"));
    CFDictionarySetValue(pane.ppdDictionary(), CFSTR("ProbeNumber"), CFSTR("777"));

    EXPECT_EQ(noErr, Sync(pane.context(), pane.session(), kPMSyncPaneFromTicket));
    EXPECT_EQ(2, GetControl32BitValue(record->control_Mode));
    EXPECT_EQ("777", fieldText(record->control_Number));
    EXPECT_TRUE(IsControlEnabled(record->control_Number));

    SetControl32BitValue(record->control_Mode, 1);
    ASSERT_TRUE(setFieldText(record->control_Number, "4242"));
    EXPECT_EQ(noErr, Sync(pane.context(), pane.session(), kPMSyncTicketFromPane));
    auto mode = static_cast<CFStringRef>(CFDictionaryGetValue(pane.ppdDictionary(), CFSTR("ProbeMode")));
    auto number = static_cast<CFStringRef>(CFDictionaryGetValue(pane.ppdDictionary(), CFSTR("ProbeNumber")));
    EXPECT_EQ("Off", utf8(mode));
    EXPECT_EQ("4242", utf8(number));
}

TEST_F(LifecycleTest, SyncWithoutTheTicketChangesNothing) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel));
    QEL_PDEContextPtr record = pane.record();
    CFDictionarySetValue(pane.ppdDictionary(), CFSTR("ProbeNumber"), CFSTR("1"));
    PlatformInjectFault("PMSessionGetDataFromSession", 1, kPMKeyNotFound);

    EXPECT_EQ(kPMInvalidTicket, Sync(pane.context(), pane.session(), kPMSyncPaneFromTicket));
    EXPECT_EQ("12345", fieldText(record->control_Number));

    PlatformInjectFault("PMTicketGetPPDDict", 1, kPMInvalidTicket);
    ASSERT_TRUE(setFieldText(record->control_Number, "999"));
    EXPECT_EQ(kPMInvalidTicket, Sync(pane.context(), pane.session(), kPMSyncTicketFromPane));
    EXPECT_EQ("1", utf8(static_cast<CFStringRef>(CFDictionaryGetValue(pane.ppdDictionary(), CFSTR("ProbeNumber")))));
}

TEST_F(LifecycleTest, InitializeWhoseTicketReadFailsStillMakesThePaneReady) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel), false);
    int rulesBefore = QELProbeRuleRunCount();
    PlatformInjectFault("PMTicketGetPPDDict", 1, kPMInvalidTicket);

    EXPECT_EQ(kPMInvalidTicket, pane.initialize());

    QEL_PDEContextPtr record = pane.record();
    EXPECT_NE(record->constraintLength_Number, nullptr);
    EXPECT_NE(record->constraintDigitOnly_Number, nullptr);
    EXPECT_NE(record->relationshipEventRef, nullptr);
    EXPECT_EQ(QELProbeRuleRunCount(), rulesBefore + 1) << "the rules run once even so";
    EXPECT_FALSE(IsControlEnabled(record->control_Number));
}

TEST_F(LifecycleTest, InitializeWithAMissingControlRefusesThePane) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel), false);
    long windowsBefore = PlatformLiveObjectCount("window");
    long handlersBefore = PlatformLiveObjectCount("event-handler");
    // The move looks up the container first; the pane then looks up ids 1, 5 and 6.
    PlatformInjectFault("GetControlByID", 4, errUnknownControl);

    EXPECT_EQ(kPMInvalidPDEContext, pane.initialize());

    EXPECT_EQ(nullptr, pane.record()->control_Number);
    EXPECT_EQ(PlatformLiveObjectCount("window"), windowsBefore) << "the nib window is disposed of";
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore) << "nothing is attached";
    EXPECT_EQ(noErr, pane.terminate());
}

TEST_F(LifecycleTest, InitializeWithoutTheNibWindowRefusesThePane) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel), false);
    PlatformInjectFault("CreateWindowFromNib", 1, -10962);

    EXPECT_EQ(kPMInvalidPDEContext, pane.initialize());
    EXPECT_EQ(noErr, pane.terminate());
}

TEST_F(LifecycleTest, AWholeLifeLeavesNothingBehind) {
    LiveObjects before = LiveObjects::now();
    {
        PPDFolder folder;
        ProbePane pane(folder.withModel(kProbeModel));
        QEL_PDEContextPtr record = pane.record();
        ASSERT_EQ(noErr, PlatformChoosePopupItem(record->control_Mode, 2));  // makes the deferral timer
        ASSERT_NE(record->updateRelationshipsTimer, nullptr);
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
        CFArrayRef titles = nullptr;
        CFArrayRef values = nullptr;
        EXPECT_EQ(noErr, GetSummaryText(pane.context(), &titles, &values));
        CFRelease(titles);
        CFRelease(values);
        EXPECT_EQ(noErr, Sync(pane.context(), pane.session(), false));
        EXPECT_EQ(noErr, pane.terminate());
    }
    EXPECT_EQ(LiveObjects::now(), before);
}

TEST_F(LifecycleTest, SummaryGivesTitlesAndValuesRowByRow) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel));
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;

    ASSERT_EQ(noErr, GetSummaryText(pane.context(), &titles, &values));
    auto ownedTitles = cf::adopt(titles);
    auto ownedValues = cf::adopt(values);

    ASSERT_EQ(2, CFArrayGetCount(titles));
    ASSERT_EQ(2, CFArrayGetCount(values));
    EXPECT_EQ("Mode", utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(titles, 0))));
    EXPECT_EQ("Off", utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(values, 0))));
    EXPECT_EQ("Number", utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(titles, 1))));
    EXPECT_EQ("12345", utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(values, 1))));
    EXPECT_EQ(1, CFGetRetainCount(titles)) << "the caller owns the arrays";
}

}  // namespace
}  // namespace probe_test
