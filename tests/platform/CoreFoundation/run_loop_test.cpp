// Run loop timers as the plug-ins use them: deferral timers re-armed per command,
// repeating pane timers, common modes, stopping, and the real clock.
#include <CoreFoundation/CoreFoundation.h>
#include <platform/test_support.h>

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

class RunLoopTimer : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformUseManualClock(true);
        start_ = CFAbsoluteTimeGetCurrent();
        live_ = PlatformLiveCFObjectCount();
    }
    void TearDown() override {
        PlatformUseManualClock(false);
        PlatformClearInjectedFaults();
        EXPECT_EQ(PlatformLiveCFObjectCount(), live_);
    }
    CFRunLoopRef loop_ = CFRunLoopGetCurrent();
    CFAbsoluteTime start_ = 0;
    long live_ = 0;
};

TEST_F(RunLoopTimer, OneShotFiresOnceThenInvalidatesItself) {
    Probe probe;
    CFRunLoopTimerRef timer = make_timer(probe, start_ + 1, 0);
    CFRunLoopAddTimer(loop_, timer, kCFRunLoopCommonModes);
    EXPECT_EQ(probe.retains, 1);
    EXPECT_FALSE(CFRunLoopTimerDoesRepeat(timer));
    run_once();
    EXPECT_EQ(probe.fires, 0) << "fired before its date";
    PlatformAdvanceManualClock(1);
    EXPECT_EQ(run_once(), kCFRunLoopRunTimedOut);
    EXPECT_EQ(probe.fires, 1);
    EXPECT_FALSE(CFRunLoopTimerIsValid(timer));
    EXPECT_FALSE(CFRunLoopContainsTimer(loop_, timer, kCFRunLoopDefaultMode));
    EXPECT_EQ(probe.releases, 1);
    EXPECT_EQ(run_once(), kCFRunLoopRunFinished);
    EXPECT_EQ(CFGetRetainCount(timer), 1);
    CFRelease(timer);
    EXPECT_EQ(probe.fires, 1);
    EXPECT_EQ(probe.releases, 1);
}

TEST_F(RunLoopTimer, RepeatingTimerSkipsMissedFiringsAndStaysOnItsGrid) {
    Probe probe;
    CFRunLoopTimerRef timer = make_timer(probe, start_ + 2, 2);
    CFRunLoopAddTimer(loop_, timer, kCFRunLoopCommonModes);
    CFRelease(timer);  // the run loop's reference keeps it alive
    PlatformAdvanceManualClock(2 + 3.5 * 2);
    run_once();
    EXPECT_EQ(probe.fires, 1);
    EXPECT_DOUBLE_EQ(CFRunLoopTimerGetNextFireDate(timer), start_ + 2 + 4 * 2);
    PlatformAdvanceManualClock(1);  // exactly on the next date: due, and the one after is strictly later
    run_once();
    EXPECT_EQ(probe.fires, 2);
    EXPECT_DOUBLE_EQ(CFRunLoopTimerGetNextFireDate(timer), start_ + 2 + 5 * 2);
    probe.on_fire = [&](CFRunLoopTimerRef self) { CFRunLoopTimerSetNextFireDate(self, start_ + 100); };
    PlatformAdvanceManualClock(2);
    run_once();
    EXPECT_DOUBLE_EQ(CFRunLoopTimerGetNextFireDate(timer), start_ + 100) << "callout's own date not kept";
    CFRunLoopTimerInvalidate(timer);
    EXPECT_EQ(probe.releases, 1);
}

TEST_F(RunLoopTimer, DeferralTimerIsReArmedAndCoalescesCommands) {
    Probe probe;
    CFRunLoopTimerRef timer = make_timer(probe, CFAbsoluteTimeGetCurrent(), 86400);
    CFRunLoopAddTimer(loop_, timer, kCFRunLoopCommonModes);
    run_once();
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1, false), kCFRunLoopRunTimedOut) << "slept";
    EXPECT_EQ(probe.fires, 1);
    EXPECT_DOUBLE_EQ(CFRunLoopTimerGetNextFireDate(timer), start_ + 86400);
    for (int command = 0; command < 3; ++command) {
        PlatformAdvanceManualClock(0.1);
        CFRunLoopTimerSetNextFireDate(timer, CFAbsoluteTimeGetCurrent());
    }
    EXPECT_EQ(CFRunLoopTimerGetNextFireDate(timer), CFAbsoluteTimeGetCurrent());
    run_once();
    run_once();
    EXPECT_EQ(probe.fires, 2);
    EXPECT_EQ(CFRunLoopTimerGetInterval(timer), 86400);
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
    EXPECT_EQ(armed.releases, 1);
    EXPECT_EQ(CFGetRetainCount(armed_timer), 1) << "run loop kept its reference";
    CFRunLoopAddTimer(loop_, armed_timer, kCFRunLoopDefaultMode);
    EXPECT_FALSE(CFRunLoopContainsTimer(loop_, armed_timer, kCFRunLoopDefaultMode)) << "invalid timer added";
    EXPECT_EQ(run_once(), kCFRunLoopRunTimedOut);
    EXPECT_EQ(self_stopping.fires, 1);
    EXPECT_EQ(victim.fires, 0) << "fired after another callout invalidated it";
    EXPECT_EQ(armed.fires, 0);
    EXPECT_EQ(self_stopping.releases, 1);
    EXPECT_EQ(victim.releases, 1);
    EXPECT_EQ(run_once(), kCFRunLoopRunFinished);
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
    EXPECT_EQ(CFGetRetainCount(default_timer), 2) << "added twice to one mode";
    EXPECT_FALSE(CFRunLoopContainsTimer(loop_, default_timer, kCFRunLoopCommonModes));
    EXPECT_EQ(CFRunLoopRunInMode(pane_mode, 0, false), kCFRunLoopRunFinished);
    CFRunLoopAddCommonMode(loop_, pane_mode);
    EXPECT_TRUE(CFRunLoopContainsTimer(loop_, common_timer, pane_mode));
    EXPECT_EQ(CFRunLoopRunInMode(pane_mode, 0, false), kCFRunLoopRunTimedOut);
    EXPECT_EQ(common.fires, 1);
    EXPECT_EQ(default_only.fires, 0) << "default-mode timer fired in another mode";
    PlatformAdvanceManualClock(1);
    run_once();
    EXPECT_EQ(common.fires, 2);
    EXPECT_EQ(default_only.fires, 1);

    CFRunLoopRemoveTimer(loop_, common_timer, kCFRunLoopCommonModes);
    CFRunLoopRemoveTimer(loop_, default_timer, kCFRunLoopDefaultMode);
    for (CFRunLoopMode mode : {kCFRunLoopCommonModes, kCFRunLoopDefaultMode, pane_mode}) {
        EXPECT_FALSE(CFRunLoopContainsTimer(loop_, common_timer, mode));
        EXPECT_FALSE(CFRunLoopContainsTimer(loop_, default_timer, mode));
    }
    EXPECT_EQ(CFGetRetainCount(common_timer), 1);
    EXPECT_EQ(CFRunLoopRunInMode(pane_mode, 0, false), kCFRunLoopRunFinished);
    EXPECT_TRUE(CFRunLoopTimerIsValid(common_timer)) << "removal is not invalidation";
    CFRelease(common_timer);
    CFRelease(default_timer);
    EXPECT_EQ(common.releases, 1);
    EXPECT_EQ(default_only.releases, 1);
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
        EXPECT_EQ(run_once(), kCFRunLoopRunTimedOut);
        CFRunLoopStop(loop_);
    };
    CFRunLoopAddTimer(loop_, outer_timer, kCFRunLoopDefaultMode);
    CFRunLoopAddTimer(loop_, inner_timer, kCFRunLoopDefaultMode);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, true), kCFRunLoopRunStopped);
    EXPECT_EQ(outer.fires, 1) << "nested run fired the timer already firing";
    EXPECT_EQ(inner.fires, 1);
    ASSERT_NE(mode_in_callout, nullptr);
    EXPECT_TRUE(CFEqual(mode_in_callout, kCFRunLoopDefaultMode));
    CFRelease(mode_in_callout);
    EXPECT_EQ(CFRunLoopCopyCurrentMode(loop_), nullptr);
    for (CFRunLoopTimerRef timer : {outer_timer, inner_timer}) {
        CFRunLoopTimerInvalidate(timer);
        CFRelease(timer);
    }
}

TEST_F(RunLoopTimer, CreationFaultReturnsNull) {
    Probe probe;
    PlatformInjectFault("CFRunLoopTimerCreate", 1, -108);
    EXPECT_EQ(make_timer(probe, start_, 0), nullptr);
    EXPECT_EQ(probe.retains, 0);
    CFRunLoopTimerRef timer = make_timer(probe, start_, 0);
    ASSERT_NE(timer, nullptr);
    CFRelease(timer);
    EXPECT_EQ(probe.releases, 1) << "never-invalidated timer kept its info";
}

TEST_F(RunLoopTimer, RealClockSleepsUntilTheTimerAndWakesForStops) {
    PlatformUseManualClock(false);
    EXPECT_EQ(CFRunLoopRunInMode(CFSTR("RunLoopTimerTestEmptyMode"), 10, false), kCFRunLoopRunFinished);
    Probe probe;
    CFRunLoopTimerRef timer = make_timer(probe, CFAbsoluteTimeGetCurrent() + 0.01, 0);
    CFRunLoopAddTimer(loop_, timer, kCFRunLoopCommonModes);
    const auto began = std::chrono::steady_clock::now();
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.05, false), kCFRunLoopRunFinished);
    EXPECT_EQ(probe.fires, 1);
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
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 10, false), kCFRunLoopRunStopped);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - stop_began, std::chrono::seconds(5));
    EXPECT_EQ(idle.fires, 0);
    CFRunLoopTimerInvalidate(idle_timer);
    CFRelease(idle_timer);
}

}  // namespace
