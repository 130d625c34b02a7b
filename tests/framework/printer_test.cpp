// The printer test through the printer-info ticket's PPD, and fetching tickets from the session.
#include "probe_test_support.h"

#include <platform/cf_ref.h>

#include <cstdint>

namespace probe_test {
namespace {

const PMTicketRef kUntouched = reinterpret_cast<PMTicketRef>(static_cast<intptr_t>(0x5EA1));

// A bare session whose data a test fills itself. Released at the end.
class BareSession {
public:
    BareSession() { EXPECT_EQ(PMCreateSession(&session), noErr); }
    ~BareSession() { PMRelease(session); }
    BareSession(const BareSession &) = delete;
    BareSession &operator=(const BareSession &) = delete;

    void set(CFStringRef key, CFTypeRef datum) { ASSERT_EQ(PMSessionSetDataInSession(session, key, datum), noErr); }

    PMPrintSession session = nullptr;
};

class PrinterTest : public FrameworkTest {
protected:
    // Whether the probe serves the printer of a session made for ppdPath; every PPD that was
    // opened must have been closed again, with nothing left alive.
    bool servedFor(const std::string &ppdPath) {
        printdialog::PrintSession printSession;
        std::string error;
        EXPECT_TRUE(printdialog::PrintSession::create(ppdPath, printSession, error)) << error;
        long contextsBefore = PlatformLiveObjectCount("ppd-context");
        bool served = IsPDENeededForThisPrinter(printSession.session());
        EXPECT_EQ(PlatformLiveObjectCount("ppd-context"), contextsBefore);
        return served;
    }

    PPDFolder folder;
};

TEST_F(PrinterTest, ExactModelNameIsServed) {
    EXPECT_TRUE(servedFor(folder.withModel(kProbeModel)));
    EXPECT_EQ(observed().ppdOpens, 1);
    EXPECT_EQ(observed().ppdCloses, 1);
}

TEST_F(PrinterTest, SamplePrintersOfTheSeriesAndOthers) {
    EXPECT_TRUE(servedFor(samplePPD("QUORVEN-v-DX7140K.ppd")));
    EXPECT_FALSE(servedFor(samplePPD("QUORVEN-v-DX8250K.ppd")));
    EXPECT_FALSE(servedFor(samplePPD("QUORVEN-v-DX5100K.ppd")));
    EXPECT_EQ(observed().ppdCloses, 3);
}

TEST_F(PrinterTest, NamesThatDifferInCaseOrBlanksAreRefused) {
    EXPECT_FALSE(servedFor(folder.withModel("quorven v-dx7140kseries")));
    EXPECT_FALSE(servedFor(folder.withModel("QUORVEN V-DX7140KSERIES")));
    EXPECT_FALSE(servedFor(folder.withModel("QUORVEN v-DX7140K Series")));
    EXPECT_FALSE(servedFor(folder.withModel("QUORVEN v-DX7140KSeries2")));
    EXPECT_FALSE(servedFor(folder.withModel("QUORVEN v-DX7140KSerie")));
    EXPECT_EQ(observed().ppdCloses, 5);
}

TEST_F(PrinterTest, PPDWithoutModelNameIsRefusedAndClosed) {
    EXPECT_FALSE(servedFor(folder.withoutModelName()));
    EXPECT_EQ(observed().ppdOpens, 1);
    EXPECT_EQ(observed().ppdCloses, 1);
}

TEST_F(PrinterTest, UnreadablePPDsAreRefused) {
    EXPECT_FALSE(servedFor(folder.malformed()));
    EXPECT_FALSE(servedFor(folder.write("missing-folder/none.ppd", "")));
    EXPECT_EQ(observed().ppdOpens, 2);
    EXPECT_EQ(observed().ppdCloses, 0) << "nothing was opened";
}

TEST_F(PrinterTest, PPDThatFailsToCloseRefusesEvenAMatch) {
    std::string path = folder.withModel(kProbeModel);
    PlatformInjectFault("ppdCloseCompiledPPDFromTicket", 1, kPMGeneralError);

    EXPECT_FALSE(servedFor(path));
    EXPECT_EQ(observed().ppdCloses, 1);
}

TEST_F(PrinterTest, ModelNameThatCannotBeReadIsRefusedAndClosed) {
    std::string path = folder.withModel(kProbeModel);
    PlatformInjectFault("ppdGetInvocationString", 1, kPMKeyNotFound);

    EXPECT_FALSE(servedFor(path));
    EXPECT_EQ(observed().ppdCloses, 1);
}

TEST_F(PrinterTest, SessionWithoutPrinterInfoTicketOpensNoPPD) {
    BareSession bare;
    SInt32 notATicket = 1;
    auto number = cf::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &notATicket));
    bare.set(CFSTR("PMPrintSettingsTicket"), number.get());

    EXPECT_FALSE(IsPDENeededForThisPrinter(bare.session));
    EXPECT_FALSE(IsPDENeededForThisPrinter(nullptr));
    bare.set(CFSTR("PMPrinterInfoTicket"), CFSTR("not a ticket"));
    EXPECT_FALSE(IsPDENeededForThisPrinter(bare.session));

    EXPECT_EQ(observed().ppdOpens, 0);
}

TEST_F(PrinterTest, TicketIsFetchedFromTheSession) {
    printdialog::PrintSession printSession;
    std::string error;
    ASSERT_TRUE(printdialog::PrintSession::create(folder.withModel(kProbeModel), printSession, error)) << error;
    PMTicketRef settings = kUntouched;
    PMTicketRef printerInfo = kUntouched;

    EXPECT_EQ(GetTicketFromSession(printSession.session(), kQELPrintSettingsTicketKey, &settings), noErr);
    EXPECT_EQ(GetTicketFromSession(printSession.session(), kQELPrinterInfoTicketKey, &printerInfo), noErr);

    EXPECT_EQ(settings, printSession.printSettingsTicket());
    EXPECT_EQ(printerInfo, printSession.printerInfoTicket());
}

TEST_F(PrinterTest, MissingOrNonNumericDatumIsAnInvalidTicket) {
    BareSession bare;
    PMTicketRef container = kUntouched;

    EXPECT_EQ(GetTicketFromSession(bare.session, kQELPrintSettingsTicketKey, &container), -30891);
    EXPECT_EQ(container, kUntouched);

    bare.set(kQELPrintSettingsTicketKey, CFSTR("12345"));
    EXPECT_EQ(GetTicketFromSession(bare.session, kQELPrintSettingsTicketKey, &container), -30891);
    EXPECT_EQ(container, kUntouched);

    bare.set(kQELPrintSettingsTicketKey, kCFBooleanTrue);
    EXPECT_EQ(GetTicketFromSession(bare.session, kQELPrintSettingsTicketKey, &container), -30891);
    EXPECT_EQ(container, kUntouched);

    EXPECT_EQ(GetTicketFromSession(nullptr, kQELPrintSettingsTicketKey, &container), -30891);
    EXPECT_EQ(container, kUntouched);
}

TEST_F(PrinterTest, SessionFailureIsAnInvalidTicketWhateverItsStatus) {
    printdialog::PrintSession printSession;
    std::string error;
    ASSERT_TRUE(printdialog::PrintSession::create(folder.withModel(kProbeModel), printSession, error)) << error;
    PMTicketRef container = kUntouched;
    PlatformInjectFault("PMSessionGetDataFromSession", 1, memFullErr);

    EXPECT_EQ(GetTicketFromSession(printSession.session(), kQELPrintSettingsTicketKey, &container), -30891);
    EXPECT_EQ(container, kUntouched);
}

}  // namespace
}  // namespace probe_test
