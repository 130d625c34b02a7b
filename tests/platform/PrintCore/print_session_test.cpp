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
    void SetUp() override { ASSERT_EQ(PMCreateSession(&session), kPMNoError); }
    void TearDown() override {
        if (session != nullptr) {
            EXPECT_EQ(PMRelease(session), kPMNoError);
        }
        PlatformClearInjectedFaults();
    }
    PMPrintSession session = nullptr;
};

TEST_F(PrintSessionTest, DataRoundTripsAndReplaces) {
    CFStringRef first = CFStringCreateWithCString(nullptr, "first", kCFStringEncodingUTF8);
    CFStringRef second = CFStringCreateWithCString(nullptr, "second", kCFStringEncodingUTF8);
    ASSERT_EQ(PMSessionSetDataInSession(session, CFSTR("Key"), first), kPMNoError);
    EXPECT_EQ(CFGetRetainCount(first), 2);

    CFTypeRef found = nullptr;
    ASSERT_EQ(PMSessionGetDataFromSession(session, CFSTR("Key"), &found), kPMNoError);
    EXPECT_EQ(found, first);
    EXPECT_EQ(CFGetRetainCount(first), 2) << "a Get hands out no reference";

    ASSERT_EQ(PMSessionSetDataInSession(session, CFSTR("Key"), second), kPMNoError);
    EXPECT_EQ(CFGetRetainCount(first), 1) << "the replaced datum is let go";
    ASSERT_EQ(PMSessionGetDataFromSession(session, CFSTR("Key"), &found), kPMNoError);
    EXPECT_EQ(found, second);

    CFRelease(first);
    CFRelease(second);
}

TEST_F(PrintSessionTest, MissingKeyAndBadArgumentsLeaveTheResultAlone) {
    CFTypeRef untouched = kCFBooleanTrue;
    EXPECT_EQ(PMSessionGetDataFromSession(session, CFSTR("Absent"), &untouched), kPMKeyNotFound);
    EXPECT_EQ(PMSessionGetDataFromSession(nullptr, CFSTR("Absent"), &untouched), kPMInvalidPrintSession);
    EXPECT_EQ(PMSessionGetDataFromSession(session, nullptr, &untouched), kPMInvalidParameter);
    EXPECT_EQ(PMSessionGetDataFromSession(session, CFSTR("Absent"), nullptr), kPMInvalidParameter);
    EXPECT_EQ(untouched, kCFBooleanTrue);

    EXPECT_EQ(PMSessionSetDataInSession(nullptr, CFSTR("Key"), kCFBooleanTrue), kPMInvalidPrintSession);
    EXPECT_EQ(PMSessionSetDataInSession(session, nullptr, kCFBooleanTrue), kPMInvalidParameter);
    EXPECT_EQ(PMSessionSetDataInSession(session, CFSTR("Key"), nullptr), kPMInvalidParameter);
    EXPECT_EQ(PMSessionSetDataInSession(session, reinterpret_cast<CFStringRef>(kCFBooleanTrue), kCFBooleanTrue),
              kPMInvalidParameter)
        << "a key that is no string";
}

TEST_F(PrintSessionTest, InjectedFaultFailsOnceWithoutTouchingTheResult) {
    ASSERT_EQ(PMSessionSetDataInSession(session, CFSTR("Key"), kCFBooleanFalse), kPMNoError);
    PlatformInjectFault("PMSessionGetDataFromSession", 1, kPMGeneralError);
    CFTypeRef untouched = kCFBooleanTrue;
    EXPECT_EQ(PMSessionGetDataFromSession(session, CFSTR("Key"), &untouched), kPMGeneralError);
    EXPECT_EQ(untouched, kCFBooleanTrue);
    EXPECT_EQ(PMSessionGetDataFromSession(session, CFSTR("Key"), &untouched), kPMNoError);
    EXPECT_EQ(untouched, kCFBooleanFalse);
}

TEST(PrintSessionLifetime, RetainReleaseBalanceFreesTheSessionAndItsData) {
    const long sessions = PlatformLiveObjectCount("print-session");
    PMPrintSession session = nullptr;
    ASSERT_EQ(PMCreateSession(&session), kPMNoError);
    EXPECT_EQ(PlatformLiveObjectCount("print-session"), sessions + 1);

    CFNumberRef datum = CFNumberCreate(nullptr, kCFNumberLongType, &sessions);
    ASSERT_EQ(PMSessionSetDataInSession(session, CFSTR("Key"), datum), kPMNoError);
    ASSERT_EQ(PMRetain(session), kPMNoError);
    ASSERT_EQ(PMRelease(session), kPMNoError);
    EXPECT_EQ(PlatformLiveObjectCount("print-session"), sessions + 1) << "one reference is still held";
    ASSERT_EQ(PMRelease(session), kPMNoError);
    EXPECT_EQ(PlatformLiveObjectCount("print-session"), sessions);
    EXPECT_EQ(CFGetRetainCount(datum), 1) << "the freed session released its data";
    CFRelease(datum);

    EXPECT_EQ(PMRelease(session), kPMInvalidParameter) << "a freed session is no longer a printing object";
    EXPECT_EQ(PMRetain(session), kPMInvalidParameter);
}

TEST(PrintSessionLifetime, RetainAndReleaseRefuseWhatIsNoPrintingObject) {
    int local = 0;
    CFStringRef string = CFStringCreateWithCString(nullptr, "not printing", kCFStringEncodingUTF8);
    EXPECT_EQ(PMRetain(nullptr), kPMInvalidParameter);
    EXPECT_EQ(PMRelease(nullptr), kPMInvalidParameter);
    EXPECT_EQ(PMRelease(&local), kPMInvalidParameter);
    EXPECT_EQ(PMRelease(string), kPMInvalidParameter);
    EXPECT_EQ(CFGetRetainCount(string), 1);
    CFRelease(string);
}

TEST(PrintSessionLifetime, RetainAndReleaseAlsoServeTickets) {
    const long tickets = PlatformLiveObjectCount("ticket");
    PMTicketRef ticket = nullptr;
    ASSERT_EQ(PMTicketCreate(nullptr, kPMPrintSettingsTicket, &ticket), kPMNoError);
    ASSERT_EQ(PMRetain(ticket), kPMNoError);
    ASSERT_EQ(PMTicketRelease(ticket), kPMNoError);
    EXPECT_EQ(PlatformLiveObjectCount("ticket"), tickets + 1);
    ASSERT_EQ(PMRelease(ticket), kPMNoError);
    EXPECT_EQ(PlatformLiveObjectCount("ticket"), tickets);
}

TEST(PrintSessionLifetime, CreateFaultMakesNoSession) {
    const long sessions = PlatformLiveObjectCount("print-session");
    PlatformInjectFault("PMCreateSession", 1, memFullErr);
    PMPrintSession session = nullptr;
    EXPECT_EQ(PMCreateSession(&session), memFullErr);
    EXPECT_EQ(session, nullptr);
    EXPECT_EQ(PlatformLiveObjectCount("print-session"), sessions);
    EXPECT_EQ(PMCreateSession(nullptr), kPMInvalidParameter);
}

// The dialog hands its tickets to the extensions as numbers in the session. A pointer-sized
// number keeps a 64-bit reference whole; one cut to 32 bits names no live ticket.
TEST_F(PrintSessionTest, TicketReferenceSurvivesAsAPointerSizedNumber) {
    PMTicketRef ticket = nullptr;
    ASSERT_EQ(PMTicketCreate(nullptr, kPMPrintSettingsTicket, &ticket), kPMNoError);
    const intptr_t stored = reinterpret_cast<intptr_t>(ticket);
    ASSERT_GT(static_cast<uintptr_t>(stored), uintptr_t{0xFFFFFFFF}) << "the reference must need all 64 bits";

    CFNumberRef number = CFNumberCreate(nullptr, kCFNumberLongType, &stored);
    ASSERT_EQ(PMSessionSetDataInSession(session, CFSTR("PMPrintSettingsTicket"), number), kPMNoError);
    CFRelease(number);

    CFTypeRef datum = nullptr;
    ASSERT_EQ(PMSessionGetDataFromSession(session, CFSTR("PMPrintSettingsTicket"), &datum), kPMNoError);
    intptr_t read_back = 0;
    ASSERT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(datum), kCFNumberLongType, &read_back));
    EXPECT_EQ(read_back, stored);
    CFMutableDictionaryRef dictionary = nullptr;
    EXPECT_EQ(PMTicketGetPPDDict(reinterpret_cast<PMTicketRef>(read_back), kPMTopLevel, kPMTopLevel, &dictionary),
              kPMNoError);
    EXPECT_NE(dictionary, nullptr);

    // What a 32-bit writer would have stored.
    const auto truncated = static_cast<SInt32>(stored);
    CFNumberRef short_number = CFNumberCreate(nullptr, kCFNumberSInt32Type, &truncated);
    intptr_t widened = 0;
    ASSERT_TRUE(CFNumberGetValue(short_number, kCFNumberLongType, &widened));
    CFRelease(short_number);
    ASSERT_NE(widened, stored);
    CFMutableDictionaryRef untouched = nullptr;
    EXPECT_EQ(PMTicketGetPPDDict(reinterpret_cast<PMTicketRef>(widened), kPMTopLevel, kPMTopLevel, &untouched),
              kPMInvalidTicket);
    EXPECT_EQ(untouched, nullptr);
    PMTicketRelease(ticket);
}

}  // namespace
