// Tickets: their type, the PPD dictionary they own, the PPD path, and refused references.
#include <CoreFoundation/CoreFoundation.h>
#include <PrintCore/PMCore.h>
#include <PrintCore/PMTicket.h>
#include <platform/host_support.h>
#include <platform/test_support.h>

#include <gtest/gtest.h>

namespace {

class TicketTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(kPMNoError, PMTicketCreate(nullptr, kPMPrintSettingsTicket, &ticket)); }
    void TearDown() override {
        if (ticket != nullptr) {
            EXPECT_EQ(kPMNoError, PMTicketRelease(ticket));
        }
        PlatformClearInjectedFaults();
    }
    CFMutableDictionaryRef ppd_dictionary() {
        CFMutableDictionaryRef dictionary = nullptr;
        EXPECT_EQ(kPMNoError, PMTicketGetPPDDict(ticket, kPMTopLevel, kPMTopLevel, &dictionary));
        return dictionary;
    }
    PMTicketRef ticket = nullptr;
};

TEST_F(TicketTest, KeepsItsOwnCopyOfTheType) {
    CFMutableStringRef type = CFStringCreateMutable(nullptr, 0);
    CFStringAppendCString(type, "com.apple.print.JobTicket", kCFStringEncodingUTF8);
    PMTicketRef job = nullptr;
    ASSERT_EQ(kPMNoError, PMTicketCreate(nullptr, type, &job));
    CFStringAppendCString(type, ".changed", kCFStringEncodingUTF8);
    CFRelease(type);

    CFStringRef found = nullptr;
    ASSERT_EQ(kPMNoError, PMTicketGetType(job, &found));
    EXPECT_EQ(kCFCompareEqualTo, CFStringCompare(found, kPMJobTicket, 0));
    PMTicketRelease(job);

    EXPECT_EQ(kPMInvalidParameter, PMTicketCreate(nullptr, nullptr, &job));
    EXPECT_EQ(kPMInvalidParameter, PMTicketCreate(nullptr, kPMJobTicket, nullptr));
}

TEST_F(TicketTest, PPDDictionaryBelongsToTheTicketAndRetainsItsValues) {
    const long tickets = PlatformLiveObjectCount("ticket");
    CFMutableDictionaryRef dictionary = ppd_dictionary();
    ASSERT_NE(dictionary, nullptr);
    EXPECT_EQ(ppd_dictionary(), dictionary) << "the same live dictionary every time";
    EXPECT_EQ(1, CFGetRetainCount(dictionary)) << "a Get hands out no reference";

    CFStringRef value = CFStringCreateWithCString(nullptr, "Secure", kCFStringEncodingUTF8);
    CFDictionarySetValue(dictionary, CFSTR("PrintMode"), value);
    CFRelease(value);
    PMRetain(ticket);
    PMTicketRelease(ticket);
    EXPECT_EQ(CFDictionaryGetValue(ppd_dictionary(), CFSTR("PrintMode")), value) << "kept while the ticket lives";

    CFRetain(value);
    EXPECT_EQ(2, CFGetRetainCount(value));
    ASSERT_EQ(kPMNoError, PMTicketRelease(ticket));
    ticket = nullptr;
    EXPECT_EQ(PlatformLiveObjectCount("ticket"), tickets - 1);
    EXPECT_EQ(1, CFGetRetainCount(value)) << "the freed ticket released its dictionary";
    CFRelease(value);
}

// This layer's choice: tickets have no sub-tickets, so any node but kPMTopLevel is a bad parameter.
TEST_F(TicketTest, OnlyTheTopLevelHasADictionary) {
    CFMutableDictionaryRef untouched = nullptr;
    EXPECT_EQ(kPMInvalidParameter, PMTicketGetPPDDict(ticket, 1, kPMTopLevel, &untouched));
    EXPECT_EQ(kPMInvalidParameter, PMTicketGetPPDDict(ticket, kPMTopLevel, 2, &untouched));
    EXPECT_EQ(kPMInvalidParameter, PMTicketGetPPDDict(ticket, kPMTopLevel, kPMTopLevel, nullptr));
    EXPECT_EQ(nullptr, untouched);
}

TEST_F(TicketTest, InjectedFaultFailsOnce) {
    PlatformInjectFault("PMTicketGetPPDDict", 2, kPMGeneralError);
    EXPECT_NE(ppd_dictionary(), nullptr);
    CFMutableDictionaryRef untouched = nullptr;
    EXPECT_EQ(kPMGeneralError, PMTicketGetPPDDict(ticket, kPMTopLevel, kPMTopLevel, &untouched));
    EXPECT_EQ(nullptr, untouched);
    EXPECT_NE(ppd_dictionary(), nullptr);
}

TEST_F(TicketTest, RefusesReferencesThatAreNoLiveTicket) {
    PMTicketRef freed = nullptr;
    ASSERT_EQ(kPMNoError, PMTicketCreate(nullptr, kPMJobTicket, &freed));
    ASSERT_EQ(kPMNoError, PMTicketRelease(freed));
    PMPrintSession session = nullptr;
    ASSERT_EQ(kPMNoError, PMCreateSession(&session));

    for (PMTicketRef bad : {PMTicketRef{}, freed, reinterpret_cast<PMTicketRef>(session)}) {
        CFMutableDictionaryRef dictionary = nullptr;
        CFStringRef type = nullptr;
        EXPECT_EQ(kPMInvalidTicket, PMTicketGetPPDDict(bad, kPMTopLevel, kPMTopLevel, &dictionary));
        EXPECT_EQ(kPMInvalidTicket, PMTicketGetType(bad, &type));
        EXPECT_EQ(kPMInvalidTicket, PMTicketRetain(bad));
        EXPECT_EQ(kPMInvalidTicket, PMTicketRelease(bad));
        EXPECT_EQ(kPMInvalidTicket, PlatformPrinterInfoTicketSetPPDPath(bad, CFSTR("/tmp/x.ppd")));
        EXPECT_EQ(nullptr, dictionary);
        EXPECT_EQ(nullptr, type);
    }
    EXPECT_EQ(kPMNoError, PMRelease(session)) << "the session survived being called a ticket";
}

TEST(PrinterInfoTicket, CarriesThePPDPath) {
    PMTicketRef ticket = nullptr;
    ASSERT_EQ(kPMNoError, PMTicketCreate(nullptr, kPMPrinterInfoTicket, &ticket));
    CFStringRef path = nullptr;
    EXPECT_EQ(kPMKeyNotFound, PlatformPrinterInfoTicketCopyPPDPath(ticket, &path));
    EXPECT_EQ(nullptr, path);

    CFMutableStringRef given = CFStringCreateMutable(nullptr, 0);
    CFStringAppendCString(given, "/printers/q.ppd", kCFStringEncodingUTF8);
    ASSERT_EQ(kPMNoError, PlatformPrinterInfoTicketSetPPDPath(ticket, given));
    CFStringAppendCString(given, ".old", kCFStringEncodingUTF8);
    CFRelease(given);

    ASSERT_EQ(kPMNoError, PlatformPrinterInfoTicketCopyPPDPath(ticket, &path));
    EXPECT_EQ(kCFCompareEqualTo, CFStringCompare(path, CFSTR("/printers/q.ppd"), 0));
    EXPECT_EQ(2, CFGetRetainCount(path)) << "the caller owns one reference of the copy";
    CFRelease(path);
    EXPECT_EQ(kPMInvalidParameter, PlatformPrinterInfoTicketSetPPDPath(ticket, nullptr));
    EXPECT_EQ(kPMInvalidParameter, PlatformPrinterInfoTicketCopyPPDPath(ticket, nullptr));
    PMTicketRelease(ticket);
}

}  // namespace
