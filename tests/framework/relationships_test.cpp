// The command handler on the pane's container and the deferral timer behind it, seen from the
// pane's record, on the manual clock.
#include "probe_test_support.h"

#include <syslog.h>

namespace probe_test {
namespace {

class RelationshipTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        PlatformUseManualClock(true);
    }
    void TearDown() override {
        PlatformUseManualClock(false);
        FrameworkTest::TearDown();
    }

    static void turnRunLoop() { CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false); }
    static bool isScheduled(CFRunLoopTimerRef timer) {
        return CFRunLoopContainsTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopDefaultMode);
    }

    PPDFolder folder;
};

TEST_F(RelationshipTest, HandlerSchedulesTheRulesAndPassesTheCommandOn) {
    ProbePane pane(folder.withModel(kProbeModel));
    QEL_PDEContextPtr record = pane.record();

    EXPECT_EQ(eventNotHandledErr, HandleRelationships(nullptr, nullptr, record));
    CFRunLoopTimerRef timer = record->updateRelationshipsTimer;
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(isScheduled(timer)) << "added for the common modes, the default mode among them";
    EXPECT_LE(CFRunLoopTimerGetNextFireDate(timer), CFAbsoluteTimeGetCurrent());

    CFRunLoopTimerContext context{};
    CFRunLoopTimerGetContext(timer, &context);
    EXPECT_EQ(context.info, record);
    EXPECT_EQ(nullptr, context.retain) << "the timer does not own the record";
    EXPECT_EQ(nullptr, context.release);

    EXPECT_EQ(eventNotHandledErr, HandleRelationships(nullptr, nullptr, record));
    EXPECT_EQ(record->updateRelationshipsTimer, timer);
}

TEST_F(RelationshipTest, LaterCommandReArmsTheSameTimer) {
    ProbePane pane(folder.withModel(kProbeModel));
    QEL_PDEContextPtr record = pane.record();
    ASSERT_EQ(noErr, PlatformChoosePopupItem(record->control_Mode, 2));
    turnRunLoop();
    CFRunLoopTimerRef timer = record->updateRelationshipsTimer;
    ASSERT_NE(timer, nullptr);
    EXPECT_GT(CFRunLoopTimerGetNextFireDate(timer), CFAbsoluteTimeGetCurrent() + 86000) << "idle";
    long cfObjects = PlatformLiveCFObjectCount();
    int rulesBefore = QELProbeRuleRunCount();

    PlatformAdvanceManualClock(5);
    ASSERT_EQ(noErr, PlatformChoosePopupItem(record->control_Mode, 1));

    EXPECT_EQ(record->updateRelationshipsTimer, timer);
    EXPECT_DOUBLE_EQ(CFRunLoopTimerGetNextFireDate(timer), CFAbsoluteTimeGetCurrent());
    turnRunLoop();
    EXPECT_EQ(QELProbeRuleRunCount(), rulesBefore + 1);
    EXPECT_FALSE(IsControlEnabled(record->control_Number));
    EXPECT_EQ(PlatformLiveCFObjectCount(), cfObjects) << "no second timer";
}

TEST_F(RelationshipTest, TerminateWithTheTimerArmedStopsIt) {
    ProbePane pane(folder.withModel(kProbeModel));
    QEL_PDEContextPtr record = pane.record();
    ASSERT_EQ(noErr, PlatformChoosePopupItem(record->control_Mode, 2));
    CFRunLoopTimerRef timer = record->updateRelationshipsTimer;
    ASSERT_NE(timer, nullptr);
    CFRetain(timer);  // to look at it after the record is gone
    int rulesBefore = QELProbeRuleRunCount();

    EXPECT_EQ(noErr, pane.terminate());
    turnRunLoop();

    EXPECT_EQ(QELProbeRuleRunCount(), rulesBefore);
    EXPECT_FALSE(CFRunLoopTimerIsValid(timer));
    EXPECT_FALSE(isScheduled(timer));
    EXPECT_EQ(1, CFGetRetainCount(timer)) << "the record's reference is released";
    CFRelease(timer);
}

TEST_F(RelationshipTest, FailedTimerCreationIsLoggedAndRetriedOnTheNextCommand) {
    ProbePane pane(folder.withModel(kProbeModel));
    QEL_PDEContextPtr record = pane.record();
    int rulesBefore = QELProbeRuleRunCount();
    PlatformInjectFault("CFRunLoopTimerCreate", 1, memFullErr);

    ASSERT_EQ(noErr, PlatformChoosePopupItem(record->control_Mode, 2));

    EXPECT_EQ(nullptr, record->updateRelationshipsTimer);
    const std::vector<std::pair<int, std::string>> expectedLog = {
        {LOG_ERR, "Relationship timer creation failed! Probably lack of memory."}};
    EXPECT_EQ(expectedLog, observed().logLines);
    turnRunLoop();
    EXPECT_EQ(QELProbeRuleRunCount(), rulesBefore) << "that command's update is lost";

    ASSERT_EQ(noErr, PlatformChoosePopupItem(record->control_Mode, 2));
    EXPECT_NE(record->updateRelationshipsTimer, nullptr);
    turnRunLoop();
    EXPECT_EQ(QELProbeRuleRunCount(), rulesBefore + 1);
    EXPECT_TRUE(IsControlEnabled(record->control_Number));
    EXPECT_EQ(1u, observed().logLines.size());
}

TEST_F(RelationshipTest, WithoutItsHandlerThePaneIgnoresCommands) {
    ProbePane pane(folder.withModel(kProbeModel), false);
    long handlersBefore = PlatformLiveObjectCount("event-handler");
    // Initialize installs the two key filters first, then the command handler.
    PlatformInjectFault("InstallEventHandler", 3, memFullErr);

    EXPECT_EQ(noErr, pane.initialize());

    QEL_PDEContextPtr record = pane.record();
    EXPECT_EQ(nullptr, record->relationshipHandlerUPP);
    EXPECT_EQ(nullptr, record->relationshipEventRef);
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore + 2);
    ASSERT_EQ(noErr, PlatformChoosePopupItem(record->control_Mode, 2));
    EXPECT_EQ(nullptr, record->updateRelationshipsTimer);
}

TEST_F(RelationshipTest, DetachingRemovesTheHandlerOnce) {
    ProbePane pane(folder.withModel(kProbeModel));
    QEL_PDEContextPtr record = pane.record();
    long handlersBefore = PlatformLiveObjectCount("event-handler");

    DetachRelationshipHandlers(pane.context());
    DetachRelationshipHandlers(pane.context());
    DetachRelationshipHandlers(0);

    EXPECT_EQ(nullptr, record->relationshipEventRef);
    EXPECT_EQ(nullptr, record->relationshipHandlerUPP);
    EXPECT_EQ(PlatformLiveObjectCount("event-handler"), handlersBefore - 1);
    ASSERT_EQ(noErr, PlatformChoosePopupItem(record->control_Mode, 2));
    EXPECT_EQ(nullptr, record->updateRelationshipsTimer);
}

}  // namespace
}  // namespace probe_test
