// Run loop timers as the plug-ins use them: deferral timers re-armed per command,
// repeating pane timers, common modes, stopping, and the real clock.
#include <CoreFoundation/CoreFoundation.h>
#include <platform/test_support.h>

#include "live_objects.h"
#include "platform_scopes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// Counts what the run loop does with one timer.
struct Probe {
    int fires = 0;
    int retains = 0;
    int releases = 0;
    std::function<void(CFRunLoopTimerRef)> on_fire;
};

const void *probe_retain(const void *info) {
    ++static_cast<Probe *>(const_cast<void *>(info))->retains;
    return info;
}
void probe_release(const void *info) { ++static_cast<Probe *>(const_cast<void *>(info))->releases; }
void probe_fire(CFRunLoopTimerRef timer, void *info) {
    auto *probe = static_cast<Probe *>(info);
    ++probe->fires;
    if (probe->on_fire) probe->on_fire(timer);
}

CFRunLoopTimerRef make_timer(Probe &probe, CFAbsoluteTime fire_date, CFTimeInterval interval, CFIndex order = 0) {
    CFRunLoopTimerContext context = {0, &probe, probe_retain, probe_release, nullptr};
    return CFRunLoopTimerCreate(nullptr, fire_date, interval, 0, order, probe_fire, &context);
}

CFRunLoopRunResult run_once() { return CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false); }

class RunLoopTimer : public test_support::LeakCheckedTest {
protected:
    void TearDown() override {
        PlatformClearInjectedFaults();
        LeakCheckedTest::TearDown();
    }
    test_support::ManualClockScope clock_;
    CFRunLoopRef loop_ = CFRunLoopGetCurrent();
    CFAbsoluteTime start_ = CFAbsoluteTimeGetCurrent();
};

TEST_F(RunLoopTimer, OneShotFiresOnceThenInvalidatesItself) {
    Probe probe;
    CFRunLoopTimerRef timer = make_timer(probe, start_ + 1, 0);
    CFRunLoopAddTimer(loop_, timer, kCFRunLoopCommonModes);
    EXPECT_EQ(1, probe.retains);
    EXPECT_FALSE(CFRunLoopTimerDoesRepeat(timer));
    run_once();
    EXPECT_EQ(0, probe.fires) << "fired before its date";
    PlatformAdvanceManualClock(1);
    EXPECT_EQ(kCFRunLoopRunTimedOut, run_once());
    EXPECT_EQ(1, probe.fires);
    EXPECT_FALSE(CFRunLoopTimerIsValid(timer));
    EXPECT_FALSE(CFRunLoopContainsTimer(loop_, timer, kCFRunLoopDefaultMode));
    EXPECT_EQ(1, probe.releases);
    EXPECT_EQ(kCFRunLoopRunFinished, run_once());
    EXPECT_EQ(1, CFGetRetainCount(timer));
    CFRelease(timer);
    EXPECT_EQ(1, probe.fires);
    EXPECT_EQ(1, probe.releases);
}

TEST_F(RunLoopTimer, RepeatingTimerSkipsMissedFiringsAndStaysOnItsGrid) {
    Probe probe;
    CFRunLoopTimerRef timer = make_timer(probe, start_ + 2, 2);
    CFRunLoopAddTimer(loop_, timer, kCFRunLoopCommonModes);
    CFRelease(timer);  // the run loop's reference keeps it alive
    PlatformAdvanceManualClock(2 + 3.5 * 2);
    run_once();
    EXPECT_EQ(1, probe.fires);
    EXPECT_DOUBLE_EQ(CFRunLoopTimerGetNextFireDate(timer), start_ + 2 + 4 * 2);
    PlatformAdvanceManualClock(1);  // exactly on the next date: due, and the one after is strictly later
    run_once();
    EXPECT_EQ(2, probe.fires);
    EXPECT_DOUBLE_EQ(CFRunLoopTimerGetNextFireDate(timer), start_ + 2 + 5 * 2);
    probe.on_fire = [&](CFRunLoopTimerRef self) { CFRunLoopTimerSetNextFireDate(self, start_ + 100); };
    PlatformAdvanceManualClock(2);
    run_once();
    EXPECT_DOUBLE_EQ(CFRunLoopTimerGetNextFireDate(timer), start_ + 100) << "callout's own date not kept";
    CFRunLoopTimerInvalidate(timer);
    EXPECT_EQ(1, probe.releases);
}

TEST_F(RunLoopTimer, DeferralTimerIsReArmedAndCoalescesCommands) {
    Probe probe;
    CFRunLoopTimerRef timer = make_timer(probe, CFAbsoluteTimeGetCurrent(), 86400);
    CFRunLoopAddTimer(loop_, timer, kCFRunLoopCommonModes);
    run_once();
    EXPECT_EQ(kCFRunLoopRunTimedOut, CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1, false)) << "slept";
    EXPECT_EQ(1, probe.fires);
    EXPECT_DOUBLE_EQ(CFRunLoopTimerGetNextFireDate(timer), start_ + 86400);
    for (int command = 0; command < 3; ++command) {
        PlatformAdvanceManualClock(0.1);
        CFRunLoopTimerSetNextFireDate(timer, CFAbsoluteTimeGetCurrent());
    }
    EXPECT_EQ(CFRunLoopTimerGetNextFireDate(timer), CFAbsoluteTimeGetCurrent());
    run_once();
    run_once();
    EXPECT_EQ(2, probe.fires);
    EXPECT_EQ(86400, CFRunLoopTimerGetInterval(timer));
    CFRunLoopTimerInvalidate(timer);
    CFRelease(timer);
}

TEST_F(RunLoopTimer, InvalidatedTimerNeverFiresAndReleasesInfoOnce) {
    Probe armed, victim, self_stopping;
    CFRunLoopTimerRef armed_timer = make_timer(armed, start_, 0.5);
    CFRunLoopTimerRef victim_timer = make_timer(victim, start_, 0.5, 1);
    CFRunLoopTimerRef killer_timer = make_timer(self_stopping, start_, 0.5, 0);
    self_stopping.on_fire = [&](CFRunLoopTimerRef self) {
        CFRunLoopTimerInvalidate(victim_timer);
        CFRunLoopTimerInvalidate(self);
    };
    for (CFRunLoopTimerRef timer : {armed_timer, victim_timer, killer_timer}) {
        CFRunLoopAddTimer(loop_, timer, kCFRunLoopCommonModes);
    }
    CFRunLoopTimerInvalidate(armed_timer);
    CFRunLoopTimerInvalidate(armed_timer);
    EXPECT_EQ(1, armed.releases);
    EXPECT_EQ(1, CFGetRetainCount(armed_timer)) << "run loop kept its reference";
    CFRunLoopAddTimer(loop_, armed_timer, kCFRunLoopDefaultMode);
    EXPECT_FALSE(CFRunLoopContainsTimer(loop_, armed_timer, kCFRunLoopDefaultMode)) << "invalid timer added";
    EXPECT_EQ(kCFRunLoopRunTimedOut, run_once());
    EXPECT_EQ(1, self_stopping.fires);
    EXPECT_EQ(0, victim.fires) << "fired after another callout invalidated it";
    EXPECT_EQ(0, armed.fires);
    EXPECT_EQ(1, self_stopping.releases);
    EXPECT_EQ(1, victim.releases);
    EXPECT_EQ(kCFRunLoopRunFinished, run_once());
    for (CFRunLoopTimerRef timer : {armed_timer, victim_timer, killer_timer}) CFRelease(timer);
}

TEST_F(RunLoopTimer, DueTimersFireInDateThenOrderThenCreationOrder) {
    std::vector<std::string> fired;
    Probe late, early, tie_low, tie_high, tie_second;
    std::vector<std::pair<Probe *, CFRunLoopTimerRef>> timers = {
        {&late, make_timer(late, start_ - 1, 0)},          {&tie_high, make_timer(tie_high, start_ - 2, 0, 5)},
        {&tie_low, make_timer(tie_low, start_ - 2, 0, 1)}, {&tie_second, make_timer(tie_second, start_ - 2, 0, 5)},
        {&early, make_timer(early, start_ - 3, 0)}};
    const char *names[] = {"late", "tie_high", "tie_low", "tie_second", "early"};
    for (size_t index = 0; index < timers.size(); ++index) {
        timers[index].first->on_fire = [&, name = names[index]](CFRunLoopTimerRef) { fired.push_back(name); };
        CFRunLoopAddTimer(loop_, timers[index].second, kCFRunLoopDefaultMode);
    }
    run_once();
    EXPECT_EQ(fired, (std::vector<std::string>{"early", "tie_low", "tie_high", "tie_second", "late"}));
    for (auto &entry : timers) CFRelease(entry.second);
}

TEST_F(RunLoopTimer, CommonModesReachModesAddedLater) {
    // A fresh interned name per run: common modes, once added, stay for the process.
    static int round = 0;
    CFStringRef pane_mode = __CFStringMakeConstantString(("RunLoopTimerTestPane" + std::to_string(++round)).c_str());
    Probe common, default_only;
    CFRunLoopTimerRef common_timer = make_timer(common, start_, 1);
    CFRunLoopTimerRef default_timer = make_timer(default_only, start_, 1);
    CFRunLoopAddTimer(loop_, common_timer, kCFRunLoopCommonModes);
    CFRunLoopAddTimer(loop_, default_timer, kCFRunLoopDefaultMode);
    CFRunLoopAddTimer(loop_, default_timer, kCFRunLoopDefaultMode);
    EXPECT_EQ(2, CFGetRetainCount(default_timer)) << "added twice to one mode";
    EXPECT_FALSE(CFRunLoopContainsTimer(loop_, default_timer, kCFRunLoopCommonModes));
    EXPECT_EQ(kCFRunLoopRunFinished, CFRunLoopRunInMode(pane_mode, 0, false));
    CFRunLoopAddCommonMode(loop_, pane_mode);
    EXPECT_TRUE(CFRunLoopContainsTimer(loop_, common_timer, pane_mode));
    EXPECT_EQ(kCFRunLoopRunTimedOut, CFRunLoopRunInMode(pane_mode, 0, false));
    EXPECT_EQ(1, common.fires);
    EXPECT_EQ(0, default_only.fires) << "default-mode timer fired in another mode";
    PlatformAdvanceManualClock(1);
    run_once();
    EXPECT_EQ(2, common.fires);
    EXPECT_EQ(1, default_only.fires);

    CFRunLoopRemoveTimer(loop_, common_timer, kCFRunLoopCommonModes);
    CFRunLoopRemoveTimer(loop_, default_timer, kCFRunLoopDefaultMode);
    for (CFRunLoopMode mode : {kCFRunLoopCommonModes, kCFRunLoopDefaultMode, pane_mode}) {
        EXPECT_FALSE(CFRunLoopContainsTimer(loop_, common_timer, mode));
        EXPECT_FALSE(CFRunLoopContainsTimer(loop_, default_timer, mode));
    }
    EXPECT_EQ(1, CFGetRetainCount(common_timer));
    EXPECT_EQ(kCFRunLoopRunFinished, CFRunLoopRunInMode(pane_mode, 0, false));
    EXPECT_TRUE(CFRunLoopTimerIsValid(common_timer)) << "removal is not invalidation";
    CFRelease(common_timer);
    CFRelease(default_timer);
    EXPECT_EQ(1, common.releases);
    EXPECT_EQ(1, default_only.releases);
}

TEST_F(RunLoopTimer, TimerBelongsToOneRunLoopAndMainIsTheMainThreads) {
    Probe probe;
    CFRunLoopTimerRef timer = make_timer(probe, start_, 1);
    CFRunLoopAddTimer(loop_, timer, kCFRunLoopDefaultMode);
    CFRunLoopRef other_loop = nullptr, main_seen_there = nullptr;
    std::thread([&] {
        other_loop = CFRunLoopGetCurrent();
        main_seen_there = CFRunLoopGetMain();
    }).join();
    EXPECT_EQ(main_seen_there, CFRunLoopGetMain());
    EXPECT_EQ(loop_, CFRunLoopGetMain());
    ASSERT_NE(other_loop, loop_);
    CFRunLoopAddTimer(other_loop, timer, kCFRunLoopDefaultMode);
    EXPECT_FALSE(CFRunLoopContainsTimer(other_loop, timer, kCFRunLoopDefaultMode));
    CFRunLoopTimerInvalidate(timer);
    CFRelease(timer);
}

TEST_F(RunLoopTimer, StopFromCalloutAndNestedRunsSkipTheFiringTimer) {
    Probe outer, inner;
    CFRunLoopTimerRef outer_timer = make_timer(outer, start_, 1);
    CFRunLoopTimerRef inner_timer = make_timer(inner, start_, 1);
    CFRunLoopMode mode_in_callout = nullptr;
    outer.on_fire = [&](CFRunLoopTimerRef) {
        mode_in_callout = CFRunLoopCopyCurrentMode(loop_);
        EXPECT_EQ(kCFRunLoopRunTimedOut, run_once());
        CFRunLoopStop(loop_);
    };
    CFRunLoopAddTimer(loop_, outer_timer, kCFRunLoopDefaultMode);
    CFRunLoopAddTimer(loop_, inner_timer, kCFRunLoopDefaultMode);
    EXPECT_EQ(kCFRunLoopRunStopped, CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, true));
    EXPECT_EQ(1, outer.fires) << "nested run fired the timer already firing";
    EXPECT_EQ(1, inner.fires);
    ASSERT_NE(mode_in_callout, nullptr);
    EXPECT_TRUE(CFEqual(mode_in_callout, kCFRunLoopDefaultMode));
    CFRelease(mode_in_callout);
    EXPECT_EQ(nullptr, CFRunLoopCopyCurrentMode(loop_));
    for (CFRunLoopTimerRef timer : {outer_timer, inner_timer}) {
        CFRunLoopTimerInvalidate(timer);
        CFRelease(timer);
    }
}

TEST_F(RunLoopTimer, CreationFaultReturnsNull) {
    Probe probe;
    PlatformInjectFault("CFRunLoopTimerCreate", 1, -108);
    EXPECT_EQ(nullptr, make_timer(probe, start_, 0));
    EXPECT_EQ(0, probe.retains);
    CFRunLoopTimerRef timer = make_timer(probe, start_, 0);
    ASSERT_NE(timer, nullptr);
    CFRelease(timer);
    EXPECT_EQ(1, probe.releases) << "never-invalidated timer kept its info";
}

TEST_F(RunLoopTimer, RealClockSleepsUntilTheTimerAndWakesForStops) {
    PlatformUseManualClock(false);
    EXPECT_EQ(kCFRunLoopRunFinished, CFRunLoopRunInMode(CFSTR("RunLoopTimerTestEmptyMode"), 10, false));
    Probe probe;
    CFRunLoopTimerRef timer = make_timer(probe, CFAbsoluteTimeGetCurrent() + 0.01, 0);
    CFRunLoopAddTimer(loop_, timer, kCFRunLoopCommonModes);
    const auto began = std::chrono::steady_clock::now();
    EXPECT_EQ(kCFRunLoopRunFinished, CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.05, false));
    EXPECT_EQ(1, probe.fires);
    EXPECT_GE(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(9));
    CFRelease(timer);

    Probe idle;
    CFRunLoopTimerRef idle_timer = make_timer(idle, CFAbsoluteTimeGetCurrent() + 60, 60);
    CFRunLoopAddTimer(loop_, idle_timer, kCFRunLoopDefaultMode);
    std::thread stopper([main_loop = loop_] {
        CFRunLoopMode running = nullptr;
        while ((running = CFRunLoopCopyCurrentMode(main_loop)) == nullptr) std::this_thread::yield();
        CFRelease(running);
        CFRunLoopStop(main_loop);
    });
    const auto stop_began = std::chrono::steady_clock::now();
    EXPECT_EQ(kCFRunLoopRunStopped, CFRunLoopRunInMode(kCFRunLoopDefaultMode, 10, false));
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - stop_began, std::chrono::seconds(5));
    EXPECT_EQ(0, idle.fires);
    CFRunLoopTimerInvalidate(idle_timer);
    CFRelease(idle_timer);
}

}  // namespace
