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
    LiveCounts before = LiveCounts::now();

    PrologueResult result = callPrologue();

    EXPECT_EQ(result.status, noErr);
    EXPECT_NE(result.context, 0u);
    EXPECT_EQ(result.width, 400u);
    EXPECT_EQ(result.height, 300u);
    EXPECT_EQ(utf8(result.title.get()), "Probe");
    EXPECT_EQ(result.creator, static_cast<OSType>('qel '));
    EXPECT_EQ(utf8(result.kind), kProbePaneKind);

    QEL_PDEContextPtr record = GetQELContext(result.context);
    EXPECT_EQ(record->parentUserPane, nullptr);
    EXPECT_EQ(record->control_InvisiblePane, nullptr);
    EXPECT_EQ(record->updateRelationshipsTimer, nullptr);
    EXPECT_EQ(PlatformLiveObjectCount("window"), before.windows) << "the nib window is disposed of";
    EXPECT_EQ(PlatformLiveObjectCount("nib"), before.nibs);

    EXPECT_EQ(Terminate(result.context, noErr), noErr);
    result.title.reset();
    EXPECT_EQ(LiveCounts::now(), before);
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

    EXPECT_EQ(status, memFullErr);
    EXPECT_EQ(context, 0u) << "NULL is handed out";
    EXPECT_EQ(creator, static_cast<OSType>('qel '));
    EXPECT_EQ(utf8(kind), kProbePaneKind);
    EXPECT_EQ(title, nullptr);
    EXPECT_EQ(PlatformLiveObjectCount("window"), windowsBefore);
    EXPECT_EQ(Terminate(context, noErr), noErr);
}

struct PrologueFault {
    const char *operation;
    OSStatus injected;
    OSStatus expected;
};

class PrologueFaultTest : public FrameworkTest, public ::testing::WithParamInterface<PrologueFault> {};

TEST_P(PrologueFaultTest, ReportsTheFailureDisposesOfTheWindowAndKeepsTheRecord) {
    LiveCounts before = LiveCounts::now();
    PlatformInjectFault(GetParam().operation, 1, GetParam().injected);

    PrologueResult result = callPrologue();

    EXPECT_EQ(result.status, GetParam().expected);
    EXPECT_NE(result.context, 0u) << "the record is handed out for Terminate to free";
    EXPECT_EQ(result.creator, static_cast<OSType>('qel '));
    EXPECT_EQ(utf8(result.kind), kProbePaneKind);
    EXPECT_EQ(result.title.get(), nullptr);
    EXPECT_EQ(PlatformLiveObjectCount("window"), before.windows);
    EXPECT_EQ(PlatformLiveObjectCount("nib"), before.nibs);
    EXPECT_EQ(Terminate(result.context, noErr), noErr);
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

    EXPECT_EQ(Initialize(0, &flags, 0, dialog.userPane(), pane.session()), kPMInvalidPDEContext);
    EXPECT_EQ(flags, 0xA5A5A5A5u);
    UInt16 embedded = 99;
    EXPECT_EQ(CountSubControls(dialog.userPane(), &embedded), noErr);
    EXPECT_EQ(embedded, 0);
    EXPECT_EQ(Sync(0, pane.session(), true), kPMInvalidPDEContext);
    EXPECT_EQ(Sync(0, pane.session(), false), kPMInvalidPDEContext);
    EXPECT_EQ(GetSummaryText(0, &titles, &values), kPMInvalidPDEContext);
    EXPECT_EQ(titles, nullptr);
    EXPECT_EQ(values, nullptr);
    EXPECT_EQ(Open(0), kPMInvalidPDEContext);
    EXPECT_EQ(Close(0), kPMInvalidPDEContext);
    EXPECT_EQ(Terminate(0, noErr), noErr);
}

TEST_F(LifecycleTest, InitializeRefusesAnotherModelAndWritesNoFlags) {
    ProbePane pane(samplePPD("QUORVEN-v-DX8250K.ppd"), false);
    LiveCounts before = LiveCounts::now();
    int rulesBefore = QELProbeRuleRunCount();

    EXPECT_EQ(pane.initialize(), kPMInvalidPDEContext);

    EXPECT_EQ(pane.flags(), 0xA5A5A5A5u) << "nothing is written through flags";
    UInt16 embedded = 99;
    EXPECT_EQ(CountSubControls(pane.dialog().userPane(), &embedded), noErr);
    EXPECT_EQ(embedded, 0) << "nothing is moved into the user pane";
    EXPECT_EQ(pane.record()->control_InvisiblePane, nullptr);
    EXPECT_EQ(QELProbeRuleRunCount(), rulesBefore);
    EXPECT_EQ(LiveCounts::now(), before);
    EXPECT_EQ(pane.terminate(), noErr);  // the record is freed: the leak checker would tell
}

TEST_F(LifecycleTest, InitializeMovesTheControlsInFillsThemAndRunsTheRules) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel), false);
    long windowsBefore = PlatformLiveObjectCount("window");
    long handlersBefore = PlatformLiveObjectCount("event-handler");
    int rulesBefore = QELProbeRuleRunCount();

    EXPECT_EQ(pane.initialize(), noErr);

    EXPECT_EQ(pane.flags(), kPMPDENoFlags);
    QEL_PDEContextPtr record = pane.record();
    EXPECT_EQ(record->control_InvisiblePane, pane.dialog().control(1));
    EXPECT_EQ(record->control_Mode, pane.dialog().control(5));
    EXPECT_EQ(record->control_Number, pane.dialog().control(6));
    ASSERT_NE(record->control_InvisiblePane, nullptr);
    ControlRef container = nullptr;
    EXPECT_EQ(GetSuperControl(record->control_InvisiblePane, &container), noErr);
    EXPECT_EQ(container, pane.dialog().userPane());
    Rect bounds;
    GetControlBounds(record->control_InvisiblePane, &bounds);
    EXPECT_EQ(bounds, makeRect(10, 10, 310, 410)) << "a pane of the nib's size: no centring";
    EXPECT_EQ(PlatformLiveObjectCount("window"), windowsBefore) << "the nib window is disposed of";

    EXPECT_NE(record->relationshipEventRef, nullptr);
    EXPECT_NE(record->constraintLength_Number, nullptr);
    EXPECT_NE(record->constraintDigitOnly_Number, nullptr);
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore + 3);
    EXPECT_EQ(fieldText(record->control_Number), "12345");
    EXPECT_EQ(GetControl32BitValue(record->control_Mode), 1);
    EXPECT_FALSE(IsControlEnabled(record->control_Number));
    EXPECT_EQ(QELProbeRuleRunCount(), rulesBefore + 2) << "once in the ticket read, once at the end";
    EXPECT_EQ(record->updateRelationshipsTimer, nullptr) << "no timer before the first command";

    EXPECT_EQ(Open(pane.context()), noErr);
    EXPECT_EQ(Close(pane.context()), noErr);
    EXPECT_EQ(pane.terminate(), noErr);
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore);
}

TEST_F(LifecycleTest, SyncReadsTheTicketIntoThePaneAndWritesItBack) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel));
    QEL_PDEContextPtr record = pane.record();
    CFDictionarySetValue(pane.ppdDictionary(), CFSTR("ProbeMode"), CFSTR("On"));
    CFDictionarySetValue(pane.ppdDictionary(), CFSTR("ProbeNumber"), CFSTR("777"));

    EXPECT_EQ(Sync(pane.context(), pane.session(), kPMSyncPaneFromTicket), noErr);
    EXPECT_EQ(GetControl32BitValue(record->control_Mode), 2);
    EXPECT_EQ(fieldText(record->control_Number), "777");
    EXPECT_TRUE(IsControlEnabled(record->control_Number));

    SetControl32BitValue(record->control_Mode, 1);
    ASSERT_TRUE(setFieldText(record->control_Number, "4242"));
    EXPECT_EQ(Sync(pane.context(), pane.session(), kPMSyncTicketFromPane), noErr);
    auto mode = static_cast<CFStringRef>(CFDictionaryGetValue(pane.ppdDictionary(), CFSTR("ProbeMode")));
    auto number = static_cast<CFStringRef>(CFDictionaryGetValue(pane.ppdDictionary(), CFSTR("ProbeNumber")));
    EXPECT_EQ(utf8(mode), "Off");
    EXPECT_EQ(utf8(number), "4242");
}

TEST_F(LifecycleTest, SyncWithoutTheTicketChangesNothing) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel));
    QEL_PDEContextPtr record = pane.record();
    CFDictionarySetValue(pane.ppdDictionary(), CFSTR("ProbeNumber"), CFSTR("1"));
    PlatformInjectFault("PMSessionGetDataFromSession", 1, kPMKeyNotFound);

    EXPECT_EQ(Sync(pane.context(), pane.session(), kPMSyncPaneFromTicket), kPMInvalidTicket);
    EXPECT_EQ(fieldText(record->control_Number), "12345");

    PlatformInjectFault("PMTicketGetPPDDict", 1, kPMInvalidTicket);
    ASSERT_TRUE(setFieldText(record->control_Number, "999"));
    EXPECT_EQ(Sync(pane.context(), pane.session(), kPMSyncTicketFromPane), kPMInvalidTicket);
    EXPECT_EQ(utf8(static_cast<CFStringRef>(CFDictionaryGetValue(pane.ppdDictionary(), CFSTR("ProbeNumber")))), "1");
}

TEST_F(LifecycleTest, InitializeWhoseTicketReadFailsStillMakesThePaneReady) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel), false);
    int rulesBefore = QELProbeRuleRunCount();
    PlatformInjectFault("PMTicketGetPPDDict", 1, kPMInvalidTicket);

    EXPECT_EQ(pane.initialize(), kPMInvalidTicket);

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

    EXPECT_EQ(pane.initialize(), kPMInvalidPDEContext);

    EXPECT_EQ(pane.record()->control_Number, nullptr);
    EXPECT_EQ(PlatformLiveObjectCount("window"), windowsBefore) << "the nib window is disposed of";
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore) << "nothing is attached";
    EXPECT_EQ(pane.terminate(), noErr);
}

TEST_F(LifecycleTest, InitializeWithoutTheNibWindowRefusesThePane) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel), false);
    PlatformInjectFault("CreateWindowFromNib", 1, -10962);

    EXPECT_EQ(pane.initialize(), kPMInvalidPDEContext);
    EXPECT_EQ(pane.terminate(), noErr);
}

TEST_F(LifecycleTest, AWholeLifeLeavesNothingBehind) {
    LiveCounts before = LiveCounts::now();
    {
        PPDFolder folder;
        ProbePane pane(folder.withModel(kProbeModel));
        QEL_PDEContextPtr record = pane.record();
        ASSERT_EQ(PlatformChoosePopupItem(record->control_Mode, 2), noErr);  // makes the deferral timer
        ASSERT_NE(record->updateRelationshipsTimer, nullptr);
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
        CFArrayRef titles = nullptr;
        CFArrayRef values = nullptr;
        EXPECT_EQ(GetSummaryText(pane.context(), &titles, &values), noErr);
        CFRelease(titles);
        CFRelease(values);
        EXPECT_EQ(Sync(pane.context(), pane.session(), false), noErr);
        EXPECT_EQ(pane.terminate(), noErr);
    }
    EXPECT_EQ(LiveCounts::now(), before);
}

TEST_F(LifecycleTest, SummaryGivesTitlesAndValuesRowByRow) {
    PPDFolder folder;
    ProbePane pane(folder.withModel(kProbeModel));
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;

    ASSERT_EQ(GetSummaryText(pane.context(), &titles, &values), noErr);
    auto ownedTitles = cf::adopt(titles);
    auto ownedValues = cf::adopt(values);

    ASSERT_EQ(CFArrayGetCount(titles), 2);
    ASSERT_EQ(CFArrayGetCount(values), 2);
    EXPECT_EQ(utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(titles, 0))), "Mode");
    EXPECT_EQ(utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(values, 0))), "Off");
    EXPECT_EQ(utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(titles, 1))), "Number");
    EXPECT_EQ(utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(values, 1))), "12345");
    EXPECT_EQ(CFGetRetainCount(titles), 1) << "the caller owns the arrays";
}

}  // namespace
}  // namespace probe_test
