// Events travelling through real controls: control, its containers, the window, the application.
#include <Carbon/Carbon.h>
#include <platform/test_support.h>
#include <platform/cf_text.h>
#include <platform/user_actions.h>

#include "live_objects.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const EventTypeSpec kCommandProcess = {kEventClassCommand, kEventCommandProcess};

// Logs its name and the command it saw, then answers with its result.
struct CommandWatcher {
    std::string name;
    std::vector<std::string> *log;
    OSStatus result = eventNotHandledErr;
    std::function<void()> action;
    UInt32 command_seen = 0;
};

OSStatus watch_command(EventHandlerCallRef, EventRef event, void *user_data) {
    auto *watcher = static_cast<CommandWatcher *>(user_data);
    watcher->log->push_back(watcher->name);
    HICommand command = {};
    if (GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command) ==
        noErr) {
        watcher->command_seen = command.commandID;
    }
    if (watcher->action) watcher->action();
    return watcher->result;
}

// A window whose root holds a user pane, which holds a check box.
class EventsWithControlsTest : public test_support::LeakCheckedTest {
protected:
    void SetUp() override {
        LeakCheckedTest::SetUp();
        const Rect content = {100, 100, 300, 400};
        ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, 0, &content, &window_));
        const Rect pane_bounds = {10, 10, 150, 250};
        ASSERT_EQ(noErr, CreateUserPaneControl(window_, &pane_bounds, 0, &pane_));
        const Rect box_bounds = {20, 20, 40, 200};
        ASSERT_EQ(noErr, CreateCheckBoxControl(window_, &box_bounds, cf::string("Collate").get(), 0, true, &check_box_));
        ASSERT_EQ(noErr, EmbedControl(check_box_, pane_));
        ASSERT_EQ(noErr, SetControlCommandID(check_box_, 'coll'));
    }

    void TearDown() override {
        for (EventHandlerRef ref : installed_) RemoveEventHandler(ref);
        if (window_ != nullptr) DisposeWindow(window_);
        LeakCheckedTest::TearDown();
    }

    CommandWatcher &watcher(const std::string &name, OSStatus result = eventNotHandledErr) {
        watchers_.push_back(std::make_unique<CommandWatcher>(CommandWatcher{name, &log_, result, {}, 0}));
        return *watchers_.back();
    }

    EventHandlerRef install(EventTargetRef target, CommandWatcher &with) {
        EventHandlerRef ref = nullptr;
        EXPECT_EQ(noErr, InstallEventHandler(target, watch_command, 1, &kCommandProcess, &with, &ref));
        installed_.push_back(ref);
        return ref;
    }

    OSStatus send_command_to(ControlRef control, UInt32 command_id) {
        EventRef event = nullptr;
        EXPECT_EQ(noErr, CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event));
        const HICommand command = {kHICommandFromControl, command_id, {nullptr, 0}};
        SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
        const OSStatus status = SendEventToEventTarget(event, GetControlEventTarget(control));
        ReleaseEvent(event);
        return status;
    }

    WindowRef window_ = nullptr;
    ControlRef pane_ = nullptr;
    ControlRef check_box_ = nullptr;
    std::vector<std::string> log_;
    std::vector<std::unique_ptr<CommandWatcher>> watchers_;
    std::vector<EventHandlerRef> installed_;
};

using Log = std::vector<std::string>;

TEST_F(EventsWithControlsTest, CommandFromAnEmbeddedControlReachesItsContainerThenTheWindow) {
    CommandWatcher &on_pane = watcher("pane");
    CommandWatcher &on_window = watcher("window", noErr);
    install(GetControlEventTarget(pane_), on_pane);
    install(GetWindowEventTarget(window_), on_window);
    install(GetApplicationEventTarget(), watcher("application", noErr));

    EXPECT_EQ(noErr, send_command_to(check_box_, 'coll'));
    EXPECT_EQ((Log{"pane", "window"}), log_);
    EXPECT_EQ(UInt32('coll'), on_pane.command_seen);
    EXPECT_EQ(UInt32('coll'), on_window.command_seen);
}

TEST_F(EventsWithControlsTest, UnhandledCommandEndsAtTheApplication) {
    install(GetControlEventTarget(check_box_), watcher("check-box"));
    install(GetApplicationEventTarget(), watcher("application"));
    EXPECT_EQ(eventNotHandledErr, send_command_to(check_box_, 'coll'));
    EXPECT_EQ((Log{"check-box", "application"}), log_);
}

TEST_F(EventsWithControlsTest, ClickingACheckBoxSendsItsCommandUpTheChain) {
    CommandWatcher &on_pane = watcher("pane");
    install(GetControlEventTarget(pane_), on_pane);
    install(GetWindowEventTarget(window_), watcher("window", noErr));
    ASSERT_EQ(noErr, PlatformClickCheckBox(check_box_));
    EXPECT_EQ((Log{"pane", "window"}), log_);
    EXPECT_EQ(UInt32('coll'), on_pane.command_seen);
}

TEST_F(EventsWithControlsTest, ControlDisposedByItsOwnHandlerEndsTheWalk) {
    install(GetControlEventTarget(pane_), watcher("pane", noErr));
    CommandWatcher &disposer = watcher("disposer");
    install(GetControlEventTarget(check_box_), disposer);
    disposer.action = [this] { DisposeControl(check_box_); };

    EXPECT_EQ(eventNotHandledErr, send_command_to(check_box_, 'coll'));
    EXPECT_EQ(Log{"disposer"}, log_);
    EXPECT_EQ(nullptr, GetControlEventTarget(check_box_));
}

TEST_F(EventsWithControlsTest, DisposingTheWindowOrphansItsHandlersSafely) {
    EventHandlerRef on_window = install(GetWindowEventTarget(window_), watcher("window"));
    InstallEventHandler(GetControlEventTarget(pane_), watch_command, 1, &kCommandProcess, &watcher("unreferenced"),
                        nullptr);
    const long handlers_before = liveAtStart().count("event-handler");
    EXPECT_EQ(handlers_before + 2, PlatformLiveObjectCount("event-handler"));

    DisposeWindow(window_);
    window_ = nullptr;
    EXPECT_EQ(handlers_before + 1, PlatformLiveObjectCount("event-handler"));
    EXPECT_EQ(noErr, RemoveEventHandler(on_window));
    EXPECT_EQ(handlers_before, PlatformLiveObjectCount("event-handler"));
    installed_.clear();
}

}  // namespace
