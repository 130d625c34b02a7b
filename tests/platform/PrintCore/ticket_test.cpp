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
    void SetUp() override { ASSERT_EQ(PMTicketCreate(nullptr, kPMPrintSettingsTicket, &ticket), kPMNoError); }
    void TearDown() override {
        if (ticket != nullptr) {
            EXPECT_EQ(PMTicketRelease(ticket), kPMNoError);
        }
        PlatformClearInjectedFaults();
    }
    CFMutableDictionaryRef ppd_dictionary() {
        CFMutableDictionaryRef dictionary = nullptr;
        EXPECT_EQ(PMTicketGetPPDDict(ticket, kPMTopLevel, kPMTopLevel, &dictionary), kPMNoError);
        return dictionary;
    }
    PMTicketRef ticket = nullptr;
};

TEST_F(TicketTest, KeepsItsOwnCopyOfTheType) {
    CFMutableStringRef type = CFStringCreateMutable(nullptr, 0);
    CFStringAppendCString(type, "com.apple.print.JobTicket", kCFStringEncodingUTF8);
    PMTicketRef job = nullptr;
    ASSERT_EQ(PMTicketCreate(nullptr, type, &job), kPMNoError);
    CFStringAppendCString(type, ".changed", kCFStringEncodingUTF8);
    CFRelease(type);

    CFStringRef found = nullptr;
    ASSERT_EQ(PMTicketGetType(job, &found), kPMNoError);
    EXPECT_EQ(CFStringCompare(found, kPMJobTicket, 0), kCFCompareEqualTo);
    PMTicketRelease(job);

    EXPECT_EQ(PMTicketCreate(nullptr, nullptr, &job), kPMInvalidParameter);
    EXPECT_EQ(PMTicketCreate(nullptr, kPMJobTicket, nullptr), kPMInvalidParameter);
}

TEST_F(TicketTest, PPDDictionaryBelongsToTheTicketAndRetainsItsValues) {
    const long tickets = PlatformLiveObjectCount("ticket");
    CFMutableDictionaryRef dictionary = ppd_dictionary();
    ASSERT_NE(dictionary, nullptr);
    EXPECT_EQ(ppd_dictionary(), dictionary) << "the same live dictionary every time";
    EXPECT_EQ(CFGetRetainCount(dictionary), 1) << "a Get hands out no reference";

    CFStringRef value = CFStringCreateWithCString(nullptr, "Secure", kCFStringEncodingUTF8);
    CFDictionarySetValue(dictionary, CFSTR("PrintMode"), value);
    CFRelease(value);
    PMRetain(ticket);
    PMTicketRelease(ticket);
    EXPECT_EQ(CFDictionaryGetValue(ppd_dictionary(), CFSTR("PrintMode")), value) << "kept while the ticket lives";

    CFRetain(value);
    EXPECT_EQ(CFGetRetainCount(value), 2);
    ASSERT_EQ(PMTicketRelease(ticket), kPMNoError);
    ticket = nullptr;
    EXPECT_EQ(PlatformLiveObjectCount("ticket"), tickets - 1);
    EXPECT_EQ(CFGetRetainCount(value), 1) << "the freed ticket released its dictionary";
    CFRelease(value);
}

TEST_F(TicketTest, OnlyTheTopLevelHasADictionary) {
    CFMutableDictionaryRef untouched = nullptr;
    EXPECT_EQ(PMTicketGetPPDDict(ticket, 1, kPMTopLevel, &untouched), kPMInvalidParameter);
    EXPECT_EQ(PMTicketGetPPDDict(ticket, kPMTopLevel, 2, &untouched), kPMInvalidParameter);
    EXPECT_EQ(PMTicketGetPPDDict(ticket, kPMTopLevel, kPMTopLevel, nullptr), kPMInvalidParameter);
    EXPECT_EQ(untouched, nullptr);
}

TEST_F(TicketTest, InjectedFaultFailsOnce) {
    PlatformInjectFault("PMTicketGetPPDDict", 2, kPMGeneralError);
    EXPECT_NE(ppd_dictionary(), nullptr);
    CFMutableDictionaryRef untouched = nullptr;
    EXPECT_EQ(PMTicketGetPPDDict(ticket, kPMTopLevel, kPMTopLevel, &untouched), kPMGeneralError);
    EXPECT_EQ(untouched, nullptr);
    EXPECT_NE(ppd_dictionary(), nullptr);
}

TEST_F(TicketTest, RefusesReferencesThatAreNoLiveTicket) {
    PMTicketRef freed = nullptr;
    ASSERT_EQ(PMTicketCreate(nullptr, kPMJobTicket, &freed), kPMNoError);
    ASSERT_EQ(PMTicketRelease(freed), kPMNoError);
    PMPrintSession session = nullptr;
    ASSERT_EQ(PMCreateSession(&session), kPMNoError);

    for (PMTicketRef bad : {PMTicketRef{}, freed, reinterpret_cast<PMTicketRef>(session)}) {
        CFMutableDictionaryRef dictionary = nullptr;
        CFStringRef type = nullptr;
        EXPECT_EQ(PMTicketGetPPDDict(bad, kPMTopLevel, kPMTopLevel, &dictionary), kPMInvalidTicket);
        EXPECT_EQ(PMTicketGetType(bad, &type), kPMInvalidTicket);
        EXPECT_EQ(PMTicketRetain(bad), kPMInvalidTicket);
        EXPECT_EQ(PMTicketRelease(bad), kPMInvalidTicket);
        EXPECT_EQ(PlatformPrinterInfoTicketSetPPDPath(bad, CFSTR("/tmp/x.ppd")), kPMInvalidTicket);
        EXPECT_EQ(dictionary, nullptr);
        EXPECT_EQ(type, nullptr);
    }
    EXPECT_EQ(PMRelease(session), kPMNoError) << "the session survived being called a ticket";
}

TEST(PrinterInfoTicket, CarriesThePPDPath) {
    PMTicketRef ticket = nullptr;
    ASSERT_EQ(PMTicketCreate(nullptr, kPMPrinterInfoTicket, &ticket), kPMNoError);
    CFStringRef path = nullptr;
    EXPECT_EQ(PlatformPrinterInfoTicketCopyPPDPath(ticket, &path), kPMKeyNotFound);
    EXPECT_EQ(path, nullptr);

    CFMutableStringRef given = CFStringCreateMutable(nullptr, 0);
    CFStringAppendCString(given, "/printers/q.ppd", kCFStringEncodingUTF8);
    ASSERT_EQ(PlatformPrinterInfoTicketSetPPDPath(ticket, given), kPMNoError);
    CFStringAppendCString(given, ".old", kCFStringEncodingUTF8);
    CFRelease(given);

    ASSERT_EQ(PlatformPrinterInfoTicketCopyPPDPath(ticket, &path), kPMNoError);
    EXPECT_EQ(CFStringCompare(path, CFSTR("/printers/q.ppd"), 0), kCFCompareEqualTo);
    EXPECT_EQ(CFGetRetainCount(path), 2) << "the caller owns one reference of the copy";
    CFRelease(path);
    EXPECT_EQ(PlatformPrinterInfoTicketSetPPDPath(ticket, nullptr), kPMInvalidParameter);
    EXPECT_EQ(PlatformPrinterInfoTicketCopyPPDPath(ticket, nullptr), kPMInvalidParameter);
    PMTicketRelease(ticket);
}

}  // namespace
