// The PPD library on small PPD files written for each test: keyword lookup, values and
// invocations as Pascal strings, and files that cannot be opened.
#include <CoreFoundation/CoreFoundation.h>
#include <PrintCore/PMCore.h>
#include <PrintCore/PMPPDLibrary.h>
#include <PrintCore/PMTicket.h>
#include <platform/cf_text.h>
#include <platform/host_support.h>
#include <platform/test_support.h>

#include <gtest/gtest.h>

#include "live_objects.h"
#include "temporary_folder.h"

// libcups marks its PPD API deprecated; the host's parse is libcups' ppd_file_t.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/file.h>
#include <cups/ppd.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

namespace {

const std::string kLongValue = std::string(200, 'L') + "\n" + std::string(99, 'M');  // 300 characters

// Main keywords in the order the library indexes them: 1 FormatVersion ... 6 ModelName,
// 7 DefaultPrintMode, 8 PrintMode, 9 DefaultResolution, 10 Description, 11 Staple.
const std::string kSamplePPD =
    "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n*Manufacturer: \"QUORVEN\"\n*ModelName: \"QUORVEN v-DX7140KSeries\"\n"
    "*OpenUI *PrintMode/Print Mode: PickOne\n*OrderDependency: 10 AnySetup *PrintMode\n"
    "*DefaultPrintMode: Normal\n*PrintMode Normal/Normal: \"<</PrintMode 0>>setpagedevice\"\n"
    "*PrintMode Secure/Secure: \"<</PrintMode 1>>setpagedevice\"\n*PrintMode Hold/Hold: \"(hold) print\"\n"
    "*CloseUI: *PrintMode\n*DefaultResolution: 600dpi\n*Description: \"" + kLongValue + "\"\n*End\n"
    "*OpenUI *Staple/Staple: Boolean\n*Staple True/On: \"staple\"\n*Staple False/Off: \"\"\n*CloseUI: *Staple\n";

// Every opened PPD must be closed, and everything else the test made released.
class PPDLibraryTest : public test_support::LeakCheckedTest {
protected:
    void SetUp() override {
        LeakCheckedTest::SetUp();
        contexts = liveAtStart().count("ppd-context");
        ASSERT_EQ(kPMNoError, PMTicketCreate(nullptr, kPMPrinterInfoTicket, &ticket));
    }
    void TearDown() override {
        PMTicketRelease(ticket);
        PlatformClearInjectedFaults();
        LeakCheckedTest::TearDown();
    }
    // Writes a PPD file and points the ticket at it.
    std::string use_ppd(const std::string &name, const std::string &text) {
        const std::string path = folder.write(name, text);
        point_at(path);
        return path;
    }
    void point_at(const std::string &path) {
        ASSERT_EQ(kPMNoError, PlatformPrinterInfoTicketSetPPDPath(ticket, cf::string(path).get()));
    }
    OSStatus open() { return ppdOpenCompiledPPDFromTicket(ticket, &context, &file); }
    UInt32 index_of(const char *keyword) {
        Str255 pascal;
        pascal[0] = static_cast<unsigned char>(std::strlen(keyword));
        std::memcpy(pascal + 1, keyword, pascal[0]);
        return ppdGetMainIndex(context, pascal);
    }
    std::string invocation(UInt32 main, UInt32 option, OSStatus expected = kPMNoError) {
        Str255 text;
        EXPECT_EQ(expected, ppdGetInvocationString(context, main, option, text, sizeof text));
        return std::string(reinterpret_cast<const char *>(text + 1), text[0]);
    }
    void close() { EXPECT_EQ(kPMNoError, ppdCloseCompiledPPDFromTicket(context, &file)); }

    test_support::TemporaryFolder folder{"ppd"};
    long contexts = 0;
    PMTicketRef ticket = nullptr;
    ppdContext context = nullptr;
    FSSpec file{};
};

TEST_F(PPDLibraryTest, FindsAndReadsTheModelNameAsTheExtensionsDo) {
    use_ppd("QUORVEN.ppd", kSamplePPD);
    ASSERT_EQ(kPMNoError, open());
    EXPECT_EQ(PlatformLiveObjectCount("ppd-context"), contexts + 1);
    EXPECT_EQ(0, file.vRefNum);
    EXPECT_EQ(0, file.parID);
    EXPECT_EQ("QUORVEN.ppd", std::string(reinterpret_cast<const char *>(file.name + 1), file.name[0]));

    const UInt32 model_index = ppdGetMainIndex(context, reinterpret_cast<ConstStr255Param>("\x09ModelName"));
    ASSERT_EQ(6u, model_index);
    Str255 model_text;
    ASSERT_EQ(kPMNoError, ppdGetInvocationString(context, model_index, 0, model_text, 256));
    CFStringRef model = CFStringCreateWithPascalString(nullptr, model_text, kCFStringEncodingMacRoman);
    EXPECT_EQ(kCFCompareEqualTo, CFStringCompare(model, CFSTR("QUORVEN v-DX7140KSeries"), 0));
    CFRelease(model);
    close();
}

TEST_F(PPDLibraryTest, IndexesMainKeywordsExactlyInFileOrder) {
    use_ppd("sample.ppd", kSamplePPD);
    ASSERT_EQ(kPMNoError, open());
    EXPECT_EQ(1u, index_of("FormatVersion"));
    EXPECT_EQ(7u, index_of("DefaultPrintMode"));
    EXPECT_EQ(8u, index_of("PrintMode")) << "an option sits where its choices are in the file";
    EXPECT_EQ(10u, index_of("Description"));
    EXPECT_EQ(11u, index_of("Staple")) << "an option without a default line comes last";
    EXPECT_EQ(0u, index_of("modelname")) << "case counts";
    EXPECT_EQ(0u, index_of("ModelNam"));
    EXPECT_EQ(0u, index_of("NickName"));
    EXPECT_EQ(0u, index_of(""));
    EXPECT_EQ(0u, ppdGetMainIndex(context, nullptr));
    EXPECT_EQ(0u, ppdGetMainIndex(nullptr, reinterpret_cast<ConstStr255Param>("\x09ModelName")));
    close();
}

TEST_F(PPDLibraryTest, ReadsValuesAndChoiceInvocations) {
    use_ppd("sample.ppd", kSamplePPD);
    ASSERT_EQ(kPMNoError, open());
    const UInt32 print_mode = index_of("PrintMode");
    EXPECT_EQ("Normal", invocation(print_mode, 0)) << "an option's own value is its default choice";
    EXPECT_EQ("<</PrintMode 0>>setpagedevice", invocation(print_mode, 1));
    EXPECT_EQ("(hold) print", invocation(print_mode, 3));
    EXPECT_EQ("", invocation(print_mode, 4, kPMKeyNotFound));
    EXPECT_EQ("staple", invocation(index_of("Staple"), 1));
    EXPECT_EQ("600dpi", invocation(index_of("DefaultResolution"), 0));
    EXPECT_EQ("", invocation(index_of("ModelName"), 1, kPMKeyNotFound)) << "not an option: no choices";
    EXPECT_EQ("", invocation(0, 0, kPMKeyNotFound));
    EXPECT_EQ("", invocation(12, 0, kPMKeyNotFound));
    Str255 text;
    EXPECT_EQ(kPMInvalidParameter, ppdGetInvocationString(context, print_mode, 1, nullptr, 256));
    EXPECT_EQ(kPMInvalidParameter, ppdGetInvocationString(context, print_mode, 1, text, 0));
    EXPECT_EQ(kPMInvalidParameter, ppdGetInvocationString(nullptr, print_mode, 1, text, 256));
    close();
}

TEST_F(PPDLibraryTest, CutsLongValuesToTheBufferWithoutWritingPastIt) {
    use_ppd("sample.ppd", kSamplePPD);
    ASSERT_EQ(kPMNoError, open());
    const UInt32 description = index_of("Description");
    EXPECT_EQ(invocation(description, 0), kLongValue.substr(0, 255));

    unsigned char small[16];
    std::memset(small, 0xAA, sizeof small);
    ASSERT_EQ(kPMNoError, ppdGetInvocationString(context, description, 0, small, 8));
    EXPECT_EQ(7, small[0]);
    EXPECT_EQ("LLLLLLL", std::string(reinterpret_cast<const char *>(small + 1), 7));
    for (unsigned char beyond : std::string(small + 8, small + sizeof small)) EXPECT_EQ(0xAA, beyond);
    ASSERT_EQ(kPMNoError, ppdGetInvocationString(context, description, 0, small, 1));
    EXPECT_EQ(0, small[0]);
    EXPECT_EQ('L', small[1]) << "a one-byte buffer holds only the length";
    close();
}

TEST_F(PPDLibraryTest, PPDWithoutModelNameAndLongFileName) {
    const std::string name = std::string(70, 'n') + ".ppd";
    use_ppd(name, "*PPD-Adobe: \"4.3\"\n*NickName: \"Other\"\n");
    ASSERT_EQ(kPMNoError, open());
    EXPECT_EQ(0u, index_of("ModelName"));
    EXPECT_EQ(1u, index_of("NickName"));
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(file.name + 1), file.name[0]), name.substr(0, 63));
    close();
}

TEST_F(PPDLibraryTest, FilesThatCannotBeOpenedFailCleanly) {
    struct Case {
        const char *what;
        OSStatus status;
    };
    auto expect_failure = [&](const Case &expected) {
        ppdContext untouched = reinterpret_cast<ppdContext>(&file);
        EXPECT_EQ(expected.status, ppdOpenCompiledPPDFromTicket(ticket, &untouched, &file)) << expected.what;
        EXPECT_EQ(untouched, reinterpret_cast<ppdContext>(&file)) << expected.what;
    };
    expect_failure({"a ticket without a PPD path", fnfErr});
    point_at(folder.file("missing.ppd"));
    expect_failure({"a missing file", fnfErr});
    point_at(folder.path());
    expect_failure({"a folder", fnfErr});
    use_ppd("garbage.ppd", "this is no PPD\n\x01\x02");
    expect_failure({"a file libcups cannot parse", kPMGeneralError});
    use_ppd("empty.ppd", "*PPD-Adobe: \"4.3\"\n");
    expect_failure({"a PPD without main keywords", kPMGeneralError});
    use_ppd("toolong.ppd", "*PPD-Adobe: \"4.3\"\n*NickName: \"" + std::string(300, 'x') + "\"\n");
    expect_failure({"a line past the PPD limit", kPMGeneralError});
    if (geteuid() != 0) {
        std::filesystem::permissions(use_ppd("locked.ppd", kSamplePPD), std::filesystem::perms::none);
        expect_failure({"an unreadable file", fnfErr});
    }

    EXPECT_EQ(kPMInvalidTicket, ppdOpenCompiledPPDFromTicket(nullptr, &context, &file));
    use_ppd("sample.ppd", kSamplePPD);
    EXPECT_EQ(kPMInvalidParameter, ppdOpenCompiledPPDFromTicket(ticket, nullptr, &file));
    EXPECT_EQ(kPMInvalidParameter, ppdOpenCompiledPPDFromTicket(ticket, &context, nullptr));
}

TEST_F(PPDLibraryTest, CloseFreesOnceAndRefusesWhatIsNoContext) {
    use_ppd("sample.ppd", kSamplePPD);
    ASSERT_EQ(kPMNoError, open());
    EXPECT_EQ(kPMInvalidParameter, PMRelease(context)) << "a PPD context is closed, not released";
    close();
    EXPECT_EQ(PlatformLiveObjectCount("ppd-context"), contexts);
    EXPECT_EQ(kPMInvalidParameter, ppdCloseCompiledPPDFromTicket(context, &file)) << "already closed";
    EXPECT_EQ(0u, index_of("ModelName")) << "a closed context is not read";
    EXPECT_EQ(kPMInvalidParameter, ppdCloseCompiledPPDFromTicket(nullptr, &file));
    EXPECT_EQ(kPMInvalidParameter, ppdCloseCompiledPPDFromTicket(reinterpret_cast<ppdContext>(ticket), &file));
    CFStringRef path = nullptr;
    EXPECT_EQ(kPMNoError, PlatformPrinterInfoTicketCopyPPDPath(ticket, &path)) << "the ticket was not touched";
    CFRelease(path);
}

TEST_F(PPDLibraryTest, InjectedFaults) {
    use_ppd("sample.ppd", kSamplePPD);
    PlatformInjectFault("ppdOpenCompiledPPDFromTicket", 1, kPMGeneralError);
    EXPECT_EQ(kPMGeneralError, open());
    EXPECT_EQ(nullptr, context);
    EXPECT_EQ(PlatformLiveObjectCount("ppd-context"), contexts);

    ASSERT_EQ(kPMNoError, open());
    PlatformInjectFault("ppdGetInvocationString", 1, kPMGeneralError);
    Str255 text = {3, 'o', 'l', 'd'};
    EXPECT_EQ(kPMGeneralError, ppdGetInvocationString(context, index_of("ModelName"), 0, text, sizeof text));
    EXPECT_EQ(3, text[0]) << "the buffer is left as it was";

    // The failing close still frees the context, so the caller must not close it again.
    PlatformInjectFault("ppdCloseCompiledPPDFromTicket", 1, ioErr);
    EXPECT_EQ(ioErr, ppdCloseCompiledPPDFromTicket(context, &file));
    EXPECT_EQ(PlatformLiveObjectCount("ppd-context"), contexts);
    EXPECT_EQ(kPMInvalidParameter, ppdCloseCompiledPPDFromTicket(context, &file));
}

}  // namespace

// libcups keeps these keywords in one field each and takes the last of repeated lines; the
// index keeps the keyword's first position, the value is libcups' own.
TEST_F(PPDLibraryTest, RepeatedSingleValueKeywordsAnswerAsLibcupsDoes) {
    // (A repeated NickName would do as well, but libcups leaks the first one's text.)
    use_ppd("repeated.ppd", "*PPD-Adobe: \"4.3\"\n*ModelName: \"QUORVEN v-DX7140KSeries\"\n*NickName: \"Second\"\n"
                            "*ModelName: \"Other Printer\"\n*Throughput: \"10\"\n*Throughput: \"20\"\n");
    ASSERT_EQ(kPMNoError, open());
    EXPECT_EQ(1u, index_of("ModelName")) << "the first line keeps its place";
    EXPECT_EQ(2u, index_of("NickName"));
    EXPECT_EQ("Other Printer", invocation(index_of("ModelName"), 0));
    EXPECT_EQ("Second", invocation(index_of("NickName"), 0));
    EXPECT_EQ("10", invocation(index_of("Throughput"), 0)) << "keywords libcups keeps as a list answer with the first";
    close();
}

// One parse per file while it stays the same: every context of the PPD library and every host
// open share it; a file that changed is parsed again and answers with its new text.
TEST_F(PPDLibraryTest, EachFileIsParsedOnceUntilItChanges) {
    const std::string path = use_ppd("shared.ppd", kSamplePPD);
    const long before = PlatformPPDParseCount();
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(kPMNoError, open());
        close();
        ppd_file_t *host = PlatformPPDOpen(path.c_str(), nullptr);
        ASSERT_NE(host, nullptr);
        PlatformPPDClose(host);
    }
    EXPECT_EQ(PlatformPPDParseCount(), before + 1);

    std::string changed = kSamplePPD;
    changed.replace(changed.find("QUORVEN v-DX7140KSeries"), 23, "QUORVEN v-DX8250KSeries");
    use_ppd("shared.ppd", changed);  // same size, new bytes
    ASSERT_EQ(kPMNoError, open());
    EXPECT_EQ("QUORVEN v-DX8250KSeries", invocation(index_of("ModelName"), 0));
    close();
    EXPECT_EQ(PlatformPPDParseCount(), before + 2);
}

// The host marks choices on the shared parse; a second open meanwhile gets a parse of its own,
// and the next open after it let go starts from the defaults again.
TEST_F(PPDLibraryTest, MarksNeverReachAnotherHolder) {
    const std::string path = use_ppd("marks.ppd", kSamplePPD);
    auto marked = [](ppd_file_t *ppd) {
        ppd_choice_t *choice = ppdFindMarkedChoice(ppd, "PrintMode");
        return std::string(choice != nullptr ? choice->choice : "");
    };
    ppd_file_t *first = PlatformPPDOpen(path.c_str(), nullptr);
    ASSERT_NE(first, nullptr);
    ppdMarkOption(first, "PrintMode", "Hold");
    ppd_file_t *second = PlatformPPDOpen(path.c_str(), nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ("Normal", marked(second));
    EXPECT_EQ("Hold", marked(first));
    PlatformPPDClose(second);
    PlatformPPDClose(first);
    ppd_file_t *third = PlatformPPDOpen(path.c_str(), nullptr);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ("Normal", marked(third));
    PlatformPPDClose(third);
}

// Files far beyond any real PPD are refused before libcups reads them, with the reason.
TEST_F(PPDLibraryTest, FilesBeyondAnyRealPPDAreRefusedUnread) {
    std::string manyOptions = "*PPD-Adobe: \"4.3\"\n*ModelName: \"Big\"\n";
    for (int option = 0; option < 2001; ++option)
        manyOptions += "*OpenUI *O" + std::to_string(option) + ": PickOne\n*CloseUI: *O" + std::to_string(option) + "\n";
    std::string manyLines = "*PPD-Adobe: \"4.3\"\n*ModelName: \"Big\"\n";
    for (int line = 0; line < 200001; ++line) manyLines += "*A: \"\"\n";
    struct Refused {
        const char *what;
        std::function<std::string()> make;  // the file's path
        std::string reason;
    };
    const Refused cases[] = {
        {"2001 options", [&] { return use_ppd("options.ppd", manyOptions); },
         "the PPD has 2001 options; a PPD may have at most 2000"},
        {"200001 keyword lines", [&] { return use_ppd("lines.ppd", manyLines); },
         "the PPD has 200003 keyword lines; a PPD may have at most 200000"},
        {"17 MiB", [&] {
             std::string path = use_ppd("huge.ppd", kSamplePPD);
             std::filesystem::resize_file(path, 17 * 1024 * 1024);
             return path;
         },
         "is too large"},
    };
    for (const Refused &refused : cases) {
        SCOPED_TRACE(refused.what);
        std::string path = refused.make();
        const long before = PlatformPPDParseCount();
        ppdContext untouched = nullptr;
        EXPECT_EQ(kPMGeneralError, ppdOpenCompiledPPDFromTicket(ticket, &untouched, &file));
        CFStringRef reason = nullptr;
        EXPECT_EQ(nullptr, PlatformPPDOpen(path.c_str(), &reason));
        ASSERT_NE(reason, nullptr);
        char text[256];
        CFStringGetCString(reason, text, sizeof text, kCFStringEncodingUTF8);
        CFRelease(reason);
        EXPECT_NE(std::string(text).find(refused.reason), std::string::npos) << text;
        EXPECT_EQ(PlatformPPDParseCount(), before) << "libcups never saw the file";
    }
}

// libcups reads gzip-compressed PPDs; so does the library, with the same bounds on the text.
TEST_F(PPDLibraryTest, ACompressedPPDIsReadLikeAPlainOne) {
    const std::string path = folder.file("sample.ppd.gz");
    cups_file_t *out = cupsFileOpen(path.c_str(), "w9");
    ASSERT_NE(out, nullptr);
    cupsFilePuts(out, kSamplePPD.c_str());
    cupsFileClose(out);
    point_at(path);
    ASSERT_EQ(kPMNoError, open());
    EXPECT_EQ("QUORVEN v-DX7140KSeries", invocation(index_of("ModelName"), 0));
    close();
}
