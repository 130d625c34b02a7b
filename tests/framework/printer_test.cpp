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
    BareSession() { EXPECT_EQ(noErr, PMCreateSession(&session)); }
    ~BareSession() { PMRelease(session); }
    BareSession(const BareSession &) = delete;
    BareSession &operator=(const BareSession &) = delete;

    void set(CFStringRef key, CFTypeRef datum) { ASSERT_EQ(noErr, PMSessionSetDataInSession(session, key, datum)); }

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
    EXPECT_EQ(1, observed().ppdOpens);
    EXPECT_EQ(1, observed().ppdCloses);
}

TEST_F(PrinterTest, SamplePrintersOfTheSeriesAndOthers) {
    EXPECT_TRUE(servedFor(sample_printers::kDX7140K));
    EXPECT_FALSE(servedFor(sample_printers::kDX8250K));
    EXPECT_FALSE(servedFor(sample_printers::kDX5100K));
    EXPECT_EQ(3, observed().ppdCloses);
}

TEST_F(PrinterTest, NamesThatDifferInCaseOrBlanksAreRefused) {
    EXPECT_FALSE(servedFor(folder.withModel("quorven v-dx7140kseries")));
    EXPECT_FALSE(servedFor(folder.withModel("QUORVEN V-DX7140KSERIES")));
    EXPECT_FALSE(servedFor(folder.withModel("QUORVEN v-DX7140K Series")));
    EXPECT_FALSE(servedFor(folder.withModel("QUORVEN v-DX7140KSeries2")));
    EXPECT_FALSE(servedFor(folder.withModel("QUORVEN v-DX7140KSerie")));
    EXPECT_EQ(5, observed().ppdCloses);
}

TEST_F(PrinterTest, PPDWithoutModelNameIsRefusedAndClosed) {
    EXPECT_FALSE(servedFor(folder.withoutModelName()));
    EXPECT_EQ(1, observed().ppdOpens);
    EXPECT_EQ(1, observed().ppdCloses);
}

TEST_F(PrinterTest, UnreadablePPDsAreRefused) {
    EXPECT_FALSE(servedFor(folder.malformed()));
    EXPECT_FALSE(servedFor(folder.write("missing-folder/none.ppd", "")));
    EXPECT_EQ(2, observed().ppdOpens);
    EXPECT_EQ(0, observed().ppdCloses) << "nothing was opened";
}

TEST_F(PrinterTest, PPDThatFailsToCloseRefusesEvenAMatch) {
    std::string path = folder.withModel(kProbeModel);
    PlatformInjectFault("ppdCloseCompiledPPDFromTicket", 1, kPMGeneralError);

    EXPECT_FALSE(servedFor(path));
    EXPECT_EQ(1, observed().ppdCloses);
}

TEST_F(PrinterTest, ModelNameThatCannotBeReadIsRefusedAndClosed) {
    std::string path = folder.withModel(kProbeModel);
    PlatformInjectFault("ppdGetInvocationString", 1, kPMKeyNotFound);

    EXPECT_FALSE(servedFor(path));
    EXPECT_EQ(1, observed().ppdCloses);
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

    EXPECT_EQ(0, observed().ppdOpens);
}

TEST_F(PrinterTest, TicketIsFetchedFromTheSession) {
    printdialog::PrintSession printSession;
    std::string error;
    ASSERT_TRUE(printdialog::PrintSession::create(folder.withModel(kProbeModel), printSession, error)) << error;
    PMTicketRef settings = kUntouched;
    PMTicketRef printerInfo = kUntouched;

    EXPECT_EQ(noErr, GetTicketFromSession(printSession.session(), kQELPrintSettingsTicketKey, &settings));
    EXPECT_EQ(noErr, GetTicketFromSession(printSession.session(), kQELPrinterInfoTicketKey, &printerInfo));

    EXPECT_EQ(settings, printSession.printSettingsTicket());
    EXPECT_EQ(printerInfo, printSession.printerInfoTicket());
}

TEST_F(PrinterTest, MissingOrNonNumericDatumIsAnInvalidTicket) {
    BareSession bare;
    PMTicketRef container = kUntouched;

    EXPECT_EQ(-30891, GetTicketFromSession(bare.session, kQELPrintSettingsTicketKey, &container));
    EXPECT_EQ(kUntouched, container);

    bare.set(kQELPrintSettingsTicketKey, CFSTR("12345"));
    EXPECT_EQ(-30891, GetTicketFromSession(bare.session, kQELPrintSettingsTicketKey, &container));
    EXPECT_EQ(kUntouched, container);

    bare.set(kQELPrintSettingsTicketKey, kCFBooleanTrue);
    EXPECT_EQ(-30891, GetTicketFromSession(bare.session, kQELPrintSettingsTicketKey, &container));
    EXPECT_EQ(kUntouched, container);

    EXPECT_EQ(-30891, GetTicketFromSession(nullptr, kQELPrintSettingsTicketKey, &container));
    EXPECT_EQ(kUntouched, container);
}

TEST_F(PrinterTest, SessionFailureIsAnInvalidTicketWhateverItsStatus) {
    printdialog::PrintSession printSession;
    std::string error;
    ASSERT_TRUE(printdialog::PrintSession::create(folder.withModel(kProbeModel), printSession, error)) << error;
    PMTicketRef container = kUntouched;
    PlatformInjectFault("PMSessionGetDataFromSession", 1, memFullErr);

    EXPECT_EQ(-30891, GetTicketFromSession(printSession.session(), kQELPrintSettingsTicketKey, &container));
    EXPECT_EQ(kUntouched, container);
}

}  // namespace
}  // namespace probe_test
