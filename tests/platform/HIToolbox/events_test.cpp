// The Carbon Event Manager: event objects, handler stacks and dispatch up a chain of targets.
#include "../../../platform/HIToolbox/event_target.h"

#include <HIToolbox/CarbonEvents.h>
#include <platform/test_support.h>

#include "live_objects.h"
#include "platform_scopes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr OSStatus kCoercionFailed = -1700;  // errAECoercionFail

// A target of the tests' own with a parent they set, standing in for a control or window.
class TestTarget final : public hitoolbox::EventTarget {
public:
    explicit TestTarget(hitoolbox::EventTarget *parent = nullptr) : parent_(parent) { hitoolbox::register_target(this); }
    hitoolbox::EventTarget *parent_target() const override { return parent_; }

private:
    hitoolbox::EventTarget *parent_;
};

// Writes its name to the shared log, does its action, answers with its result.
struct Recorder {
    std::string name;
    std::vector<std::string> *log;
    OSStatus result = eventNotHandledErr;
    std::function<void(EventHandlerCallRef, EventRef)> action;
};

OSStatus recording_handler(EventHandlerCallRef call, EventRef event, void *user_data) {
    auto *recorder = static_cast<Recorder *>(user_data);
    recorder->log->push_back(recorder->name);
    if (recorder->action) recorder->action(call, event);
    return recorder->result;
}

const EventTypeSpec kCommandProcess = {kEventClassCommand, kEventCommandProcess};

class EventsTest : public test_support::LeakCheckedTest {
protected:
    void SetUp() override {
        PlatformClearInjectedFaults();
        LeakCheckedTest::SetUp();
    }
    void TearDown() override {
        for (EventHandlerRef ref : installed_) RemoveEventHandler(ref);
        for (EventRef event : events_) ReleaseEvent(event);
        PlatformClearInjectedFaults();
        LeakCheckedTest::TearDown();
    }

    Recorder &recorder(const std::string &name, OSStatus result = eventNotHandledErr) {
        recorders_.push_back(std::make_unique<Recorder>(Recorder{name, &log_, result, {}}));
        return *recorders_.back();
    }

    // Installs the recorder for the one type; the handler is removed at the end of the test.
    EventHandlerRef install(hitoolbox::EventTarget &target, Recorder &with, EventTypeSpec type = kCommandProcess) {
        EventHandlerRef ref = nullptr;
        EXPECT_EQ(noErr, InstallEventHandler(target.ref(), recording_handler, 1, &type, &with, &ref));
        installed_.push_back(ref);
        return ref;
    }

    EventRef make_event(UInt32 event_class = kEventClassCommand, UInt32 kind = kEventCommandProcess) {
        EventRef event = nullptr;
        EXPECT_EQ(noErr, CreateEvent(nullptr, event_class, kind, 0, kEventAttributeNone, &event));
        events_.push_back(event);
        return event;
    }

    long live_events() const { return PlatformLiveObjectCount("event") - liveAtStart().count("event"); }
    long live_handlers() const { return PlatformLiveObjectCount("event-handler") - liveAtStart().count("event-handler"); }

    std::vector<std::string> log_;
    std::vector<std::unique_ptr<Recorder>> recorders_;
    std::vector<EventHandlerRef> installed_;
    std::vector<EventRef> events_;
};

using Log = std::vector<std::string>;

// ---- Event objects ----

TEST_F(EventsTest, CreateEventKeepsClassKindAndGivenTime) {
    EventRef event = nullptr;
    ASSERT_EQ(noErr, CreateEvent(nullptr, kEventClassKeyboard, kEventRawKeyRepeat, 1234.5, kEventAttributeUserEvent, &event));
    EXPECT_EQ(UInt32(kEventClassKeyboard), GetEventClass(event));
    EXPECT_EQ(UInt32(kEventRawKeyRepeat), GetEventKind(event));
    EXPECT_DOUBLE_EQ(1234.5, GetEventTime(event));
    ReleaseEvent(event);
    EXPECT_EQ(paramErr, CreateEvent(nullptr, kEventClassKeyboard, kEventRawKeyDown, 0, 0, nullptr));
}

TEST_F(EventsTest, TimeZeroMeansNowOnThePlatformClock) {
    test_support::ManualClockScope clock;
    PlatformSetManualClock(5000.25);
    EventRef event = make_event();
    EXPECT_DOUBLE_EQ(5000.25, GetEventTime(event));
    PlatformAdvanceManualClock(2.0);
    EXPECT_DOUBLE_EQ(5002.25, GetCurrentEventTime());
    EXPECT_DOUBLE_EQ(5000.25, GetEventTime(event));
}

TEST_F(EventsTest, RetainAndReleaseBalanceAndTheLastReleaseFrees) {
    EventRef event = nullptr;
    ASSERT_EQ(noErr, CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event));
    EXPECT_EQ(1, live_events());
    EXPECT_EQ(event, RetainEvent(event));
    ReleaseEvent(event);
    EXPECT_EQ(1, live_events());
    EXPECT_EQ(UInt32(kEventClassCommand), GetEventClass(event));
    ReleaseEvent(event);
    EXPECT_EQ(0, live_events());

    // The released reference is recognised as dead, not used.
    EXPECT_EQ(nullptr, RetainEvent(event));
    ReleaseEvent(event);
    EXPECT_EQ(0u, GetEventClass(event));
    EXPECT_EQ(paramErr, SetEventParameter(event, kEventParamKeyCode, typeUInt32, 0, nullptr));
    EXPECT_EQ(0, live_events());
}

TEST_F(EventsTest, CreateEventFaultFailsWithoutMakingAnEvent) {
    PlatformInjectFault("CreateEvent", 1, -108);
    EventRef event = nullptr;
    EXPECT_EQ(-108, CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event));
    EXPECT_EQ(nullptr, event);
    EXPECT_EQ(0, live_events());
}

TEST_F(EventsTest, NullEventAccessorsAreHarmless) {
    EXPECT_EQ(0u, GetEventClass(nullptr));
    EXPECT_EQ(0u, GetEventKind(nullptr));
    EXPECT_EQ(0.0, GetEventTime(nullptr));
    EXPECT_EQ(nullptr, RetainEvent(nullptr));
    ReleaseEvent(nullptr);
    EXPECT_EQ(paramErr, SendEventToEventTarget(nullptr, GetApplicationEventTarget()));
}

// ---- Parameters ----

TEST_F(EventsTest, ParameterRoundTripsWithTypeAndSize) {
    EventRef event = make_event(kEventClassKeyboard, kEventRawKeyDown);
    const UInt32 code = 0x24;
    ASSERT_EQ(noErr, SetEventParameter(event, kEventParamKeyCode, typeUInt32, sizeof code, &code));

    UInt32 read = 0;
    EventParamType actual_type = 0;
    UInt32 actual_size = 0;
    ASSERT_EQ(noErr, GetEventParameter(event, kEventParamKeyCode, typeUInt32, &actual_type, sizeof read, &actual_size, &read));
    EXPECT_EQ(code, read);
    EXPECT_EQ(EventParamType(typeUInt32), actual_type);
    EXPECT_EQ(sizeof code, actual_size);
}

TEST_F(EventsTest, MissingParameterIsNotFound) {
    EventRef event = make_event();
    UInt32 read = 7;
    EXPECT_EQ(eventParameterNotFoundErr,
              GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof read, nullptr, &read));
    EXPECT_EQ(7u, read);
}

TEST_F(EventsTest, WrongTypeFailsAndWildCardGivesTheStoredType) {
    EventRef event = make_event();
    const char key = 'a';
    ASSERT_EQ(noErr, SetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, 1, &key));

    UInt32 read = 0;
    EventParamType actual_type = 0;
    EXPECT_EQ(kCoercionFailed,
              GetEventParameter(event, kEventParamKeyMacCharCodes, typeUInt32, &actual_type, sizeof read, nullptr, &read));
    EXPECT_EQ(0u, read);
    EXPECT_EQ(0u, actual_type);

    char got = 0;
    ASSERT_EQ(noErr, GetEventParameter(event, kEventParamKeyMacCharCodes, typeWildCard, &actual_type, 1, nullptr, &got));
    EXPECT_EQ('a', got);
    EXPECT_EQ(EventParamType(typeChar), actual_type);
}

// This layer's choice: a short buffer gets a partial copy, as AEGetParamPtr does; the Carbon Event
// documentation does not say.
TEST_F(EventsTest, SmallBufferGetsOnlyWhatFitsAndTheFullSizeIsReported) {
    EventRef event = make_event();
    const char text[] = "QRST";
    ASSERT_EQ(noErr, SetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, 4, text));

    char buffer[4] = {'.', '.', '.', '.'};
    UInt32 actual_size = 0;
    ASSERT_EQ(noErr, GetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, nullptr, 1, &actual_size, buffer));
    EXPECT_EQ(0, std::memcmp(buffer, "Q...", 4));
    EXPECT_EQ(4u, actual_size);

    ASSERT_EQ(noErr, GetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, nullptr, 0, nullptr, buffer));
    EXPECT_EQ(0, std::memcmp(buffer, "Q...", 4));
}

TEST_F(EventsTest, NullOutPointersAskOnlyForWhatIsWanted) {
    EventRef event = make_event();
    const HICommand command = {kHICommandFromControl, 'ok  ', {nullptr, 0}};
    ASSERT_EQ(noErr, SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command));

    EventParamType actual_type = 0;
    UInt32 actual_size = 0;
    EXPECT_EQ(noErr, GetEventParameter(event, kEventParamDirectObject, typeWildCard, &actual_type, 0, &actual_size, nullptr));
    EXPECT_EQ(EventParamType(typeHICommand), actual_type);
    EXPECT_EQ(sizeof command, actual_size);
    EXPECT_EQ(noErr, GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, 0, nullptr, nullptr));

    HICommand read = {};
    ASSERT_EQ(noErr, GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof read, nullptr, &read));
    EXPECT_EQ(UInt32('ok  '), read.commandID);
    EXPECT_EQ(UInt32(kHICommandFromControl), read.attributes);
}

TEST_F(EventsTest, SettingAgainReplacesValueTypeAndSize) {
    EventRef event = make_event();
    const UInt32 wide = 0x11223344;
    const char narrow = 'z';
    ASSERT_EQ(noErr, SetEventParameter(event, kEventParamKeyCode, typeUInt32, sizeof wide, &wide));
    ASSERT_EQ(noErr, SetEventParameter(event, kEventParamKeyCode, typeChar, 1, &narrow));

    UInt32 read = 0;
    EXPECT_EQ(kCoercionFailed, GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof read, nullptr, &read));
    char got = 0;
    UInt32 actual_size = 0;
    ASSERT_EQ(noErr, GetEventParameter(event, kEventParamKeyCode, typeChar, nullptr, 1, &actual_size, &got));
    EXPECT_EQ('z', got);
    EXPECT_EQ(1u, actual_size);
}

TEST_F(EventsTest, ParameterCallsRejectBadArguments) {
    EventRef event = make_event();
    EXPECT_EQ(paramErr, SetEventParameter(event, kEventParamKeyCode, typeUInt32, 4, nullptr));
    EXPECT_EQ(paramErr, SetEventParameter(nullptr, kEventParamKeyCode, typeUInt32, 0, nullptr));
    EXPECT_EQ(paramErr, GetEventParameter(nullptr, kEventParamKeyCode, typeUInt32, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(eventParameterNotFoundErr,
              GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, 0, nullptr, nullptr));
}

// ---- Handlers: installing and removing ----

TEST_F(EventsTest, UniversalProcedurePointersAreTheProcedures) {
    EXPECT_EQ(&recording_handler, NewEventHandlerUPP(recording_handler));
    PlatformInjectFault("NewEventHandlerUPP", 1, -108);
    EXPECT_EQ(nullptr, NewEventHandlerUPP(recording_handler));
    EXPECT_EQ(&recording_handler, NewEventHandlerUPP(recording_handler));
    DisposeEventHandlerUPP(recording_handler);

    Recorder &direct = recorder("direct", 17);
    EXPECT_EQ(17, InvokeEventHandlerUPP(nullptr, nullptr, &direct, recording_handler));
    EXPECT_EQ(Log{"direct"}, log_);
    EXPECT_EQ(paramErr, InvokeEventHandlerUPP(nullptr, nullptr, nullptr, nullptr));
}

TEST_F(EventsTest, InstallRejectsBadArgumentsAndInstallsNothing) {
    TestTarget target;
    Recorder &handler = recorder("handler", noErr);
    EventHandlerRef ref = nullptr;
    EXPECT_EQ(paramErr, InstallEventHandler(nullptr, recording_handler, 1, &kCommandProcess, &handler, &ref));
    EXPECT_EQ(paramErr, InstallEventHandler(target.ref(), nullptr, 1, &kCommandProcess, &handler, &ref));
    EXPECT_EQ(paramErr, InstallEventHandler(target.ref(), recording_handler, 1, nullptr, &handler, &ref));
    EXPECT_EQ(nullptr, ref);
    EXPECT_EQ(0, live_handlers());
    EXPECT_TRUE(target.handlers().empty());
}

TEST_F(EventsTest, InstallOnADisposedTargetIsRejected) {
    Recorder &handler = recorder("handler", noErr);
    EventTargetRef stale = nullptr;
    {
        auto gone = std::make_unique<TestTarget>();
        stale = gone->ref();
    }
    EventHandlerRef ref = nullptr;
    EXPECT_EQ(paramErr, InstallEventHandler(stale, recording_handler, 1, &kCommandProcess, &handler, &ref));
    EXPECT_EQ(0, live_handlers());
}

TEST_F(EventsTest, InstallFaultFailsWithItsStatusAndInstallsNothing) {
    TestTarget target;
    Recorder &handler = recorder("handler", noErr);
    PlatformInjectFault("InstallEventHandler", 1, -108);
    EventHandlerRef ref = nullptr;
    EXPECT_EQ(-108, InstallEventHandler(target.ref(), recording_handler, 1, &kCommandProcess, &handler, &ref));
    EXPECT_EQ(nullptr, ref);
    EXPECT_EQ(0, live_handlers());
    EXPECT_EQ(eventNotHandledErr, SendEventToEventTarget(make_event(), target.ref()));
    EXPECT_TRUE(log_.empty());
}

TEST_F(EventsTest, RemovedHandlerIsGoneAndItsReferenceGoesStale) {
    TestTarget target;
    Recorder &handler = recorder("handler", noErr);
    EventHandlerRef ref = nullptr;
    ASSERT_EQ(noErr, InstallEventHandler(target.ref(), recording_handler, 1, &kCommandProcess, &handler, &ref));
    EXPECT_EQ(1, live_handlers());
    EXPECT_EQ(noErr, RemoveEventHandler(ref));
    EXPECT_EQ(0, live_handlers());
    EXPECT_TRUE(target.handlers().empty());
    EXPECT_EQ(eventNotHandledErr, SendEventToEventTarget(make_event(), target.ref()));
    EXPECT_TRUE(log_.empty());

    EXPECT_EQ(paramErr, RemoveEventHandler(ref));
    EXPECT_EQ(paramErr, RemoveEventHandler(nullptr));
}

TEST_F(EventsTest, StaleReferenceNeverRemovesANewerHandler) {
    TestTarget target;
    Recorder &first = recorder("first", noErr);
    Recorder &second = recorder("second", noErr);
    EventHandlerRef old_ref = nullptr;
    ASSERT_EQ(noErr, InstallEventHandler(target.ref(), recording_handler, 1, &kCommandProcess, &first, &old_ref));
    ASSERT_EQ(noErr, RemoveEventHandler(old_ref));
    install(target, second);
    EXPECT_EQ(paramErr, RemoveEventHandler(old_ref));
    EXPECT_EQ(noErr, SendEventToEventTarget(make_event(), target.ref()));
    EXPECT_EQ(Log{"second"}, log_);
}

TEST_F(EventsTest, HandlerWithoutReferenceLivesUntilItsTargetGoes) {
    Recorder &handler = recorder("handler", noErr);
    {
        TestTarget target;
        ASSERT_EQ(noErr, InstallEventHandler(target.ref(), recording_handler, 1, &kCommandProcess, &handler, nullptr));
        EXPECT_EQ(1, live_handlers());
        EXPECT_EQ(noErr, SendEventToEventTarget(make_event(), target.ref()));
    }
    EXPECT_EQ(0, live_handlers());
    EXPECT_EQ(Log{"handler"}, log_);
}

TEST_F(EventsTest, HandlerOfADisposedTargetIsFreedByRemoveAlone) {
    Recorder &handler = recorder("handler", noErr);
    EventHandlerRef ref = nullptr;
    {
        TestTarget target;
        ASSERT_EQ(noErr, InstallEventHandler(target.ref(), recording_handler, 1, &kCommandProcess, &handler, &ref));
    }
    EXPECT_EQ(1, live_handlers());
    EXPECT_EQ(noErr, RemoveEventHandler(ref));
    EXPECT_EQ(0, live_handlers());
}

// ---- Dispatch ----

TEST_F(EventsTest, LastInstalledRunsFirst) {
    TestTarget target;
    install(target, recorder("first"));
    install(target, recorder("second"));
    install(target, recorder("third"));
    EXPECT_EQ(eventNotHandledErr, SendEventToEventTarget(make_event(), target.ref()));
    EXPECT_EQ((Log{"third", "second", "first"}), log_);
}

TEST_F(EventsTest, NotHandledGoesToTheNextHandlerThenUpTheParents) {
    TestTarget grandparent;
    TestTarget parent(&grandparent);
    TestTarget child(&parent);
    install(grandparent, recorder("grandparent", noErr));
    install(parent, recorder("parent-old"));
    install(parent, recorder("parent-new"));
    install(child, recorder("child"));
    EXPECT_EQ(noErr, SendEventToEventTarget(make_event(), child.ref()));
    EXPECT_EQ((Log{"child", "parent-new", "parent-old", "grandparent"}), log_);
}

TEST_F(EventsTest, AnyOtherResultStopsTheEventAndIsReturned) {
    TestTarget parent;
    TestTarget child(&parent);
    install(parent, recorder("parent", noErr));
    install(child, recorder("older", noErr));
    Recorder &newest = recorder("newest", -1234);
    install(child, newest);

    EXPECT_EQ(-1234, SendEventToEventTarget(make_event(), child.ref()));
    EXPECT_EQ(Log{"newest"}, log_);

    log_.clear();
    newest.result = noErr;
    EXPECT_EQ(noErr, SendEventToEventTarget(make_event(), child.ref()));
    EXPECT_EQ(Log{"newest"}, log_);
}

TEST_F(EventsTest, NobodyHandlingGivesNotHandled) {
    TestTarget parent;
    TestTarget child(&parent);
    EXPECT_EQ(eventNotHandledErr, SendEventToEventTarget(make_event(), child.ref()));
    install(child, recorder("child"));
    install(parent, recorder("parent"));
    EXPECT_EQ(eventNotHandledErr, SendEventToEventTarget(make_event(), child.ref()));
    EXPECT_EQ((Log{"child", "parent"}), log_);
}

TEST_F(EventsTest, HandlersSeeOnlyTheirClassAndKind) {
    TestTarget target;
    install(target, recorder("process"), {kEventClassCommand, kEventCommandProcess});
    install(target, recorder("update"), {kEventClassCommand, kEventCommandUpdateStatus});
    install(target, recorder("key"), {kEventClassKeyboard, kEventRawKeyDown});

    SendEventToEventTarget(make_event(kEventClassCommand, kEventCommandProcess), target.ref());
    EXPECT_EQ(Log{"process"}, log_);
    log_.clear();
    SendEventToEventTarget(make_event(kEventClassCommand, kEventCommandUpdateStatus), target.ref());
    EXPECT_EQ(Log{"update"}, log_);
    log_.clear();
    SendEventToEventTarget(make_event(kEventClassMouse, kEventCommandProcess), target.ref());
    EXPECT_TRUE(log_.empty());
    SendEventToEventTarget(make_event(kEventClassKeyboard, kEventRawKeyDown), target.ref());
    EXPECT_EQ(Log{"key"}, log_);
}

TEST_F(EventsTest, HandlerForSeveralTypesSeesEachOfThem) {
    TestTarget target;
    Recorder &keys = recorder("keys", noErr);
    const EventTypeSpec types[] = {{kEventClassKeyboard, kEventRawKeyDown}, {kEventClassKeyboard, kEventRawKeyRepeat}};
    EventHandlerRef ref = nullptr;
    ASSERT_EQ(noErr, InstallEventHandler(target.ref(), recording_handler, 2, types, &keys, &ref));
    installed_.push_back(ref);
    EXPECT_EQ(noErr, SendEventToEventTarget(make_event(kEventClassKeyboard, kEventRawKeyDown), target.ref()));
    EXPECT_EQ(noErr, SendEventToEventTarget(make_event(kEventClassKeyboard, kEventRawKeyRepeat), target.ref()));
    EXPECT_EQ(eventNotHandledErr, SendEventToEventTarget(make_event(kEventClassKeyboard, kEventRawKeyUp), target.ref()));
    EXPECT_EQ((Log{"keys", "keys"}), log_);
}

TEST_F(EventsTest, HandlerRemovingItselfRunsOnceAndTheEventGoesOn) {
    TestTarget target;
    install(target, recorder("older"));
    Recorder &once = recorder("once");
    EventHandlerRef once_ref = install(target, once);
    once.action = [&](EventHandlerCallRef, EventRef) { EXPECT_EQ(noErr, RemoveEventHandler(once_ref)); };

    SendEventToEventTarget(make_event(), target.ref());
    SendEventToEventTarget(make_event(), target.ref());
    EXPECT_EQ((Log{"once", "older", "older"}), log_);
    EXPECT_EQ(1, live_handlers());
}

TEST_F(EventsTest, HandlerRemovedByAnEarlierOneIsNotCalled) {
    TestTarget parent;
    TestTarget child(&parent);
    Recorder &doomed_on_parent = recorder("doomed-parent");
    EventHandlerRef doomed_parent_ref = install(parent, doomed_on_parent);
    Recorder &doomed = recorder("doomed");
    EventHandlerRef doomed_ref = install(child, doomed);
    Recorder &remover = recorder("remover");
    install(child, remover);
    remover.action = [&](EventHandlerCallRef, EventRef) {
        EXPECT_EQ(noErr, RemoveEventHandler(doomed_ref));
        EXPECT_EQ(noErr, RemoveEventHandler(doomed_parent_ref));
    };

    EXPECT_EQ(eventNotHandledErr, SendEventToEventTarget(make_event(), child.ref()));
    EXPECT_EQ(Log{"remover"}, log_);
    EXPECT_EQ(1, live_handlers());
}

TEST_F(EventsTest, HandlerInstalledDuringDispatchWaitsForTheNextEvent) {
    TestTarget parent;
    TestTarget child(&parent);
    Recorder &late_here = recorder("late-here");
    Recorder &late_parent = recorder("late-parent");
    Recorder &installer = recorder("installer");
    install(child, installer);
    installer.action = [&](EventHandlerCallRef, EventRef) {
        if (installed_.size() > 1) return;
        install(child, late_here);
        install(parent, late_parent);
    };

    SendEventToEventTarget(make_event(), child.ref());
    EXPECT_EQ(Log{"installer"}, log_);
    log_.clear();
    SendEventToEventTarget(make_event(), child.ref());
    EXPECT_EQ((Log{"late-here", "installer", "late-parent"}), log_);
}

// This layer's choice: CallNextEventHandler goes on to the parent targets (whether the system's does
// is not documented).
TEST_F(EventsTest, CallNextRunsTheRestOnceAndReturnsItsResult) {
    TestTarget parent;
    TestTarget child(&parent);
    install(parent, recorder("parent", 42));
    install(child, recorder("below"));
    Recorder &top = recorder("top");
    install(child, top);
    OSStatus rest_result = 0;
    top.action = [&](EventHandlerCallRef call, EventRef event) {
        rest_result = CallNextEventHandler(call, event);
        log_.push_back("top-after");
    };

    // top answers "not handled" after the rest already ran: nothing runs twice.
    EXPECT_EQ(eventNotHandledErr, SendEventToEventTarget(make_event(), child.ref()));
    EXPECT_EQ(42, rest_result);
    EXPECT_EQ((Log{"top", "below", "parent", "top-after"}), log_);
}

// This layer's choice: no toolbox standard handler ends the chain, so nothing below is "not handled".
TEST_F(EventsTest, CallNextWithNothingBelowIsNotHandled) {
    TestTarget target;
    Recorder &only = recorder("only", noErr);
    install(target, only);
    OSStatus rest_result = 0;
    only.action = [&](EventHandlerCallRef call, EventRef event) { rest_result = CallNextEventHandler(call, event); };
    EXPECT_EQ(noErr, SendEventToEventTarget(make_event(), target.ref()));
    EXPECT_EQ(eventNotHandledErr, rest_result);
}

TEST_F(EventsTest, CallRefIsStaleOnceItsHandlerReturned) {
    TestTarget target;
    Recorder &keeper = recorder("keeper", noErr);
    install(target, keeper);
    EventHandlerCallRef kept = nullptr;
    keeper.action = [&](EventHandlerCallRef call, EventRef) { kept = call; };
    EventRef event = make_event();
    ASSERT_EQ(noErr, SendEventToEventTarget(event, target.ref()));
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ(paramErr, CallNextEventHandler(kept, event));
    EXPECT_EQ(paramErr, CallNextEventHandler(nullptr, event));
}

TEST_F(EventsTest, TargetDisposedByItsHandlerEndsTheWalk) {
    TestTarget parent;
    auto child = std::make_unique<TestTarget>(&parent);
    install(parent, recorder("parent", noErr));
    EventHandlerRef older_ref = install(*child, recorder("older", noErr));
    Recorder &disposer = recorder("disposer");
    install(*child, disposer);
    disposer.action = [&](EventHandlerCallRef, EventRef) { child.reset(); };

    EXPECT_EQ(eventNotHandledErr, SendEventToEventTarget(make_event(), child->ref()));
    EXPECT_EQ(Log{"disposer"}, log_);
    EXPECT_EQ(nullptr, child);
    EXPECT_EQ(noErr, RemoveEventHandler(older_ref));
}

TEST_F(EventsTest, EventStaysAliveWhileDispatchedThenGoes) {
    TestTarget target;
    Recorder &releaser = recorder("releaser", noErr);
    install(target, releaser);
    UInt32 class_seen = 0;
    releaser.action = [&](EventHandlerCallRef, EventRef event) {
        ReleaseEvent(event);  // the sender's only reference
        class_seen = GetEventClass(event);
    };
    EventRef event = nullptr;
    ASSERT_EQ(noErr, CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event));
    EXPECT_EQ(noErr, SendEventToEventTarget(event, target.ref()));
    EXPECT_EQ(UInt32(kEventClassCommand), class_seen);
    EXPECT_EQ(0, live_events());
}

TEST_F(EventsTest, HandlerMaySendAnotherEventMeanwhile) {
    TestTarget parent;
    TestTarget child(&parent);
    TestTarget elsewhere;
    install(elsewhere, recorder("inner", 7), {kEventClassKeyboard, kEventRawKeyDown});
    install(parent, recorder("parent", noErr));
    Recorder &outer = recorder("outer");
    install(child, outer);
    OSStatus inner_result = 0;
    OSStatus rest_result = 0;
    outer.action = [&](EventHandlerCallRef call, EventRef event) {
        inner_result = SendEventToEventTarget(make_event(kEventClassKeyboard, kEventRawKeyDown), elsewhere.ref());
        rest_result = CallNextEventHandler(call, event);
    };
    EXPECT_EQ(eventNotHandledErr, SendEventToEventTarget(make_event(), child.ref()));
    EXPECT_EQ(7, inner_result);
    EXPECT_EQ(noErr, rest_result);
    EXPECT_EQ((Log{"outer", "inner", "parent"}), log_);
}

TEST_F(EventsTest, SendToAStaleTargetIsRejected) {
    EventTargetRef stale = nullptr;
    {
        TestTarget gone;
        stale = gone.ref();
    }
    EXPECT_EQ(paramErr, SendEventToEventTarget(make_event(), stale));
    EXPECT_EQ(paramErr, SendEventToEventTarget(make_event(), nullptr));
}

TEST_F(EventsTest, ApplicationTargetEndsChainsAndTakesHandlers) {
    EventTargetRef application = GetApplicationEventTarget();
    ASSERT_NE(nullptr, application);
    EXPECT_EQ(application, GetApplicationEventTarget());
    EXPECT_EQ(nullptr, hitoolbox::application_target().parent_target());

    TestTarget child(&hitoolbox::application_target());
    install(hitoolbox::application_target(), recorder("application", noErr));
    EXPECT_EQ(noErr, SendEventToEventTarget(make_event(), child.ref()));
    EXPECT_EQ(Log{"application"}, log_);
}

TEST_F(EventsTest, EverythingMadeIsFreedAgain) {
    {
        TestTarget parent;
        TestTarget child(&parent);
        install(parent, recorder("parent", noErr));
        InstallEventHandler(child.ref(), recording_handler, 1, &kCommandProcess, &recorder("kept"), nullptr);
        EventRef event = make_event();
        RetainEvent(event);
        EXPECT_EQ(noErr, SendEventToEventTarget(event, child.ref()));
        ReleaseEvent(event);
        EXPECT_EQ(2, live_handlers());
    }
    for (EventHandlerRef ref : installed_) EXPECT_EQ(noErr, RemoveEventHandler(ref));
    installed_.clear();
    for (EventRef event : events_) ReleaseEvent(event);
    events_.clear();
    EXPECT_EQ(0, live_handlers());
    EXPECT_EQ(0, live_events());
}

}  // namespace
