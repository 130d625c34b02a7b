// The probe's rule after a user works the mode popup in the dialog: deferred to the run loop,
// once per burst of commands, with one timer for the pane's life, and never after Terminate.
#include "host_test_support.h"

namespace host_test {
namespace {

class HostRelationshipTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        dialog = openProbeDialog(sample_printers::kDX7140K);
        ASSERT_NE(dialog, nullptr);
        pane = dialog->panes()[0].get();
        ASSERT_TRUE(pane->accepted());
        mode = dialog->control(*pane, kModeID);
        number = dialog->control(*pane, kNumberID);
        code = std::make_unique<ProbeCode>();
        ASSERT_TRUE(code->found()) << "the probe exports its rule counter";
    }
    void TearDown() override {
        dialog.reset();
        code.reset();
        HostTest::TearDown();
    }

    void choose(SInt32 item) { ASSERT_EQ(noErr, PlatformChoosePopupItem(mode, item)); }
    bool numberEnabled() const { return PlatformIsControlEffectivelyEnabled(number); }

    std::unique_ptr<printdialog::Dialog> dialog;
    printdialog::Pane *pane = nullptr;
    ControlRef mode = nullptr;
    ControlRef number = nullptr;
    std::unique_ptr<ProbeCode> code;
};

TEST_F(HostRelationshipTest, TwoCommandsBeforeTheLoopTurnsRunTheRulesOnce) {
    int before = code->ruleRuns();

    choose(2);
    choose(2);
    EXPECT_EQ(code->ruleRuns(), before);
    EXPECT_FALSE(numberEnabled()) << "nothing changes before the run loop turns";

    turnRunLoop();
    EXPECT_EQ(code->ruleRuns(), before + 1);
    EXPECT_TRUE(numberEnabled());
    turnRunLoop();
    EXPECT_EQ(code->ruleRuns(), before + 1);
}

TEST_F(HostRelationshipTest, LaterCommandFiresTheSameTimerAgain) {
    choose(2);
    turnRunLoop();
    long cfObjects = PlatformLiveCFObjectCount();
    int before = code->ruleRuns();

    PlatformAdvanceManualClock(90000);  // past the first day
    turnRunLoop();
    EXPECT_EQ(code->ruleRuns(), before) << "an idle timer does not fire by itself";
    choose(1);
    turnRunLoop();

    EXPECT_EQ(code->ruleRuns(), before + 1);
    EXPECT_FALSE(numberEnabled());
    EXPECT_EQ(PlatformLiveCFObjectCount(), cfObjects) << "no second timer";
}

TEST_F(HostRelationshipTest, TerminateWithTheTimerArmedMeansTheRulesNeverRun) {
    choose(2);
    int before = code->ruleRuns();

    dialog->terminate();
    turnRunLoop();
    PlatformAdvanceManualClock(1);
    turnRunLoop();

    EXPECT_EQ(code->ruleRuns(), before);
}

OSStatus countCommand(EventHandlerCallRef, EventRef event, void *count) {
    if (GetEventClass(event) == kEventClassCommand && GetEventKind(event) == kEventCommandProcess)
        ++*static_cast<int *>(count);
    return eventNotHandledErr;
}

TEST_F(HostRelationshipTest, CommandGoesOnToTheDialogsOwnHandlers) {
    static const EventTypeSpec kCommand[] = {{kEventClassCommand, kEventCommandProcess}};
    int windowSaw = 0;
    int userPaneSaw = 0;
    EventHandlerUPP counter = NewEventHandlerUPP(countCommand);
    EventHandlerRef onWindow = nullptr;
    EventHandlerRef onUserPane = nullptr;
    ASSERT_EQ(noErr, InstallEventHandler(GetWindowEventTarget(pane->window), counter, 1, kCommand, &windowSaw, &onWindow));
    ASSERT_EQ(noErr,
              InstallEventHandler(GetControlEventTarget(pane->userPane), counter, 1, kCommand, &userPaneSaw, &onUserPane));
    int before = code->ruleRuns();

    choose(2);
    choose(1);
    turnRunLoop();

    EXPECT_EQ(2, userPaneSaw);
    EXPECT_EQ(2, windowSaw);
    EXPECT_EQ(code->ruleRuns(), before + 1);
    RemoveEventHandler(onWindow);
    RemoveEventHandler(onUserPane);
    DisposeEventHandlerUPP(counter);
}

TEST_F(HostRelationshipTest, FailedTimerCreationLosesOneUpdateOnly) {
    int before = code->ruleRuns();
    PlatformInjectFault("CFRunLoopTimerCreate", 1, memFullErr);

    choose(2);
    turnRunLoop();
    EXPECT_EQ(code->ruleRuns(), before);
    EXPECT_FALSE(numberEnabled());

    choose(2);
    turnRunLoop();
    EXPECT_EQ(code->ruleRuns(), before + 1);
    EXPECT_TRUE(numberEnabled());
}

}  // namespace
}  // namespace host_test
