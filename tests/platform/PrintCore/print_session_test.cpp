// Print sessions: data by key, shared lifetime, and ticket references carried as numbers.
#include <CoreFoundation/CoreFoundation.h>
#include <PrintCore/PMCore.h>
#include <PrintCore/PMTicket.h>
#include <platform/test_support.h>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

class PrintSessionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(kPMNoError, PMCreateSession(&session)); }
    void TearDown() override {
        if (session != nullptr) {
            EXPECT_EQ(kPMNoError, PMRelease(session));
        }
        PlatformClearInjectedFaults();
    }
    PMPrintSession session = nullptr;
};

TEST_F(PrintSessionTest, DataRoundTripsAndReplaces) {
    CFStringRef first = CFStringCreateWithCString(nullptr, "first", kCFStringEncodingUTF8);
    CFStringRef second = CFStringCreateWithCString(nullptr, "second", kCFStringEncodingUTF8);
    ASSERT_EQ(kPMNoError, PMSessionSetDataInSession(session, CFSTR("Key"), first));
    EXPECT_EQ(2, CFGetRetainCount(first));

    CFTypeRef found = nullptr;
    ASSERT_EQ(kPMNoError, PMSessionGetDataFromSession(session, CFSTR("Key"), &found));
    EXPECT_EQ(found, first);
    EXPECT_EQ(2, CFGetRetainCount(first)) << "a Get hands out no reference";

    ASSERT_EQ(kPMNoError, PMSessionSetDataInSession(session, CFSTR("Key"), second));
    EXPECT_EQ(1, CFGetRetainCount(first)) << "the replaced datum is let go";
    ASSERT_EQ(kPMNoError, PMSessionGetDataFromSession(session, CFSTR("Key"), &found));
    EXPECT_EQ(found, second);

    CFRelease(first);
    CFRelease(second);
}

TEST_F(PrintSessionTest, MissingKeyAndBadArgumentsLeaveTheResultAlone) {
    CFTypeRef untouched = kCFBooleanTrue;
// This layer's choice: kPMKeyNotFound for a missing key (the system's code here is not documented).
    EXPECT_EQ(kPMKeyNotFound, PMSessionGetDataFromSession(session, CFSTR("Absent"), &untouched));
    EXPECT_EQ(kPMInvalidPrintSession, PMSessionGetDataFromSession(nullptr, CFSTR("Absent"), &untouched));
    EXPECT_EQ(kPMInvalidParameter, PMSessionGetDataFromSession(session, nullptr, &untouched));
    EXPECT_EQ(kPMInvalidParameter, PMSessionGetDataFromSession(session, CFSTR("Absent"), nullptr));
    EXPECT_EQ(kCFBooleanTrue, untouched);

    EXPECT_EQ(kPMInvalidPrintSession, PMSessionSetDataInSession(nullptr, CFSTR("Key"), kCFBooleanTrue));
    EXPECT_EQ(kPMInvalidParameter, PMSessionSetDataInSession(session, nullptr, kCFBooleanTrue));
    EXPECT_EQ(kPMInvalidParameter, PMSessionSetDataInSession(session, CFSTR("Key"), nullptr));
    EXPECT_EQ(kPMInvalidParameter,
              PMSessionSetDataInSession(session, reinterpret_cast<CFStringRef>(kCFBooleanTrue), kCFBooleanTrue))
        << "a key that is no string";
}

TEST_F(PrintSessionTest, InjectedFaultFailsOnceWithoutTouchingTheResult) {
    ASSERT_EQ(kPMNoError, PMSessionSetDataInSession(session, CFSTR("Key"), kCFBooleanFalse));
    PlatformInjectFault("PMSessionGetDataFromSession", 1, kPMGeneralError);
    CFTypeRef untouched = kCFBooleanTrue;
    EXPECT_EQ(kPMGeneralError, PMSessionGetDataFromSession(session, CFSTR("Key"), &untouched));
    EXPECT_EQ(kCFBooleanTrue, untouched);
    EXPECT_EQ(kPMNoError, PMSessionGetDataFromSession(session, CFSTR("Key"), &untouched));
    EXPECT_EQ(kCFBooleanFalse, untouched);
}

TEST(PrintSessionLifetime, RetainReleaseBalanceFreesTheSessionAndItsData) {
    const long sessions = PlatformLiveObjectCount("print-session");
    PMPrintSession session = nullptr;
    ASSERT_EQ(kPMNoError, PMCreateSession(&session));
    EXPECT_EQ(PlatformLiveObjectCount("print-session"), sessions + 1);

    CFNumberRef datum = CFNumberCreate(nullptr, kCFNumberLongType, &sessions);
    ASSERT_EQ(kPMNoError, PMSessionSetDataInSession(session, CFSTR("Key"), datum));
    ASSERT_EQ(kPMNoError, PMRetain(session));
    ASSERT_EQ(kPMNoError, PMRelease(session));
    EXPECT_EQ(PlatformLiveObjectCount("print-session"), sessions + 1) << "one reference is still held";
    ASSERT_EQ(kPMNoError, PMRelease(session));
    EXPECT_EQ(PlatformLiveObjectCount("print-session"), sessions);
    EXPECT_EQ(1, CFGetRetainCount(datum)) << "the freed session released its data";
    CFRelease(datum);

    EXPECT_EQ(kPMInvalidParameter, PMRelease(session)) << "a freed session is no longer a printing object";
    EXPECT_EQ(kPMInvalidParameter, PMRetain(session));
}

TEST(PrintSessionLifetime, RetainAndReleaseRefuseWhatIsNoPrintingObject) {
    int local = 0;
    CFStringRef string = CFStringCreateWithCString(nullptr, "not printing", kCFStringEncodingUTF8);
    EXPECT_EQ(kPMInvalidParameter, PMRetain(nullptr));
    EXPECT_EQ(kPMInvalidParameter, PMRelease(nullptr));
    EXPECT_EQ(kPMInvalidParameter, PMRelease(&local));
    EXPECT_EQ(kPMInvalidParameter, PMRelease(string));
    EXPECT_EQ(1, CFGetRetainCount(string));
    CFRelease(string);
}

TEST(PrintSessionLifetime, RetainAndReleaseAlsoServeTickets) {
    const long tickets = PlatformLiveObjectCount("ticket");
    PMTicketRef ticket = nullptr;
    ASSERT_EQ(kPMNoError, PMTicketCreate(nullptr, kPMPrintSettingsTicket, &ticket));
    ASSERT_EQ(kPMNoError, PMRetain(ticket));
    ASSERT_EQ(kPMNoError, PMTicketRelease(ticket));
    EXPECT_EQ(PlatformLiveObjectCount("ticket"), tickets + 1);
    ASSERT_EQ(kPMNoError, PMRelease(ticket));
    EXPECT_EQ(PlatformLiveObjectCount("ticket"), tickets);
}

TEST(PrintSessionLifetime, CreateFaultMakesNoSession) {
    const long sessions = PlatformLiveObjectCount("print-session");
    PlatformInjectFault("PMCreateSession", 1, memFullErr);
    PMPrintSession session = nullptr;
    EXPECT_EQ(memFullErr, PMCreateSession(&session));
    EXPECT_EQ(nullptr, session);
    EXPECT_EQ(PlatformLiveObjectCount("print-session"), sessions);
    EXPECT_EQ(kPMInvalidParameter, PMCreateSession(nullptr));
}

// The dialog hands its tickets to the extensions as numbers in the session. A pointer-sized
// number keeps a 64-bit reference whole; one cut to 32 bits names no live ticket.
TEST_F(PrintSessionTest, TicketReferenceSurvivesAsAPointerSizedNumber) {
    PMTicketRef ticket = nullptr;
    ASSERT_EQ(kPMNoError, PMTicketCreate(nullptr, kPMPrintSettingsTicket, &ticket));
    const intptr_t stored = reinterpret_cast<intptr_t>(ticket);
    ASSERT_GT(static_cast<uintptr_t>(stored), uintptr_t{0xFFFFFFFF}) << "the reference must need all 64 bits";

    CFNumberRef number = CFNumberCreate(nullptr, kCFNumberLongType, &stored);
    ASSERT_EQ(kPMNoError, PMSessionSetDataInSession(session, CFSTR("PMPrintSettingsTicket"), number));
    CFRelease(number);

    CFTypeRef datum = nullptr;
    ASSERT_EQ(kPMNoError, PMSessionGetDataFromSession(session, CFSTR("PMPrintSettingsTicket"), &datum));
    intptr_t read_back = 0;
    ASSERT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(datum), kCFNumberLongType, &read_back));
    EXPECT_EQ(read_back, stored);
    CFMutableDictionaryRef dictionary = nullptr;
    EXPECT_EQ(kPMNoError,
              PMTicketGetPPDDict(reinterpret_cast<PMTicketRef>(read_back), kPMTopLevel, kPMTopLevel, &dictionary));
    EXPECT_NE(dictionary, nullptr);

    // What a 32-bit writer would have stored.
    const auto truncated = static_cast<SInt32>(stored);
    CFNumberRef short_number = CFNumberCreate(nullptr, kCFNumberSInt32Type, &truncated);
    intptr_t widened = 0;
    ASSERT_TRUE(CFNumberGetValue(short_number, kCFNumberLongType, &widened));
    CFRelease(short_number);
    ASSERT_NE(widened, stored);
    CFMutableDictionaryRef untouched = nullptr;
    EXPECT_EQ(kPMInvalidTicket,
              PMTicketGetPPDDict(reinterpret_cast<PMTicketRef>(widened), kPMTopLevel, kPMTopLevel, &untouched));
    EXPECT_EQ(nullptr, untouched);
    PMTicketRelease(ticket);
}

}  // namespace
