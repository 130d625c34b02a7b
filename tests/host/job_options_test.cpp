// The standard job options: what is accepted as typed, what each field's reason says, what goes
// into the job (nothing for the defaults), and that the job shows what it sends.
#include "host_test_support.h"
#include "sample_printers.h"

#include <printdialog/job_options.h>
#include <printdialog/print_job.h>

namespace host_test {
namespace {

using printdialog::JobOption;
using printdialog::Orientation;
using printdialog::StandardJobOptions;

std::string joined(const std::vector<JobOption> &options) {
    std::string out;
    for (const auto &option : options) out += (out.empty() ? "" : " ") + option.key + "=" + option.value;
    return out;
}

TEST(JobOptionPages, RangesAsTypedAreReadOrRefusedWithTheReason) {
    struct Case {
        std::string text;
        std::string ranges;  // "first-last ..." when accepted
        std::string reason;  // when refused
    } cases[] = {
        {"1-3,5", "1-3 5-5", ""},
        {" 2 , 4 - 6 ", "2-2 4-6", ""},
        {"7-7", "7-7", ""},
        {"0", "", "pages are counted from 1: '0'"},
        {"3-1", "", "the range 3-1 runs backwards"},
        {"a", "", "'a' is not a page number or a range such as 1-3"},
        {"1-", "", "'1-' is not a page number or a range such as 1-3"},
        {"-2", "", "'-2' is not a page number or a range such as 1-3"},
        {"1-2-3", "", "'1-2-3' is not a page number or a range such as 1-3"},
        {"1,,2", "", "an empty part between commas"},
        {"1,", "", "an empty part between commas"},
        {"", "", "no pages given (for example 1-3,5)"},
        {"99999999999", "", "page 99999999999 is too large"},
    };
    for (const auto &each : cases) {
        std::vector<printdialog::PageRange> ranges;
        std::string reason;
        bool accepted = printdialog::parsePageRanges(each.text, ranges, reason);
        EXPECT_EQ(each.reason.empty(), accepted) << "'" << each.text << "'";
        EXPECT_EQ(each.reason, accepted ? "" : reason) << "'" << each.text << "'";
        std::string read;
        for (const auto &range : ranges)
            read += (read.empty() ? "" : " ") + std::to_string(range.first) + "-" + std::to_string(range.last);
        if (accepted) {
            EXPECT_EQ(each.ranges, read) << "'" << each.text << "'";
        }
    }
}

TEST(JobOptionFields, EachWrongFieldHasItsOwnReasonAndTheDefaultsSendNothing) {
    struct Case {
        StandardJobOptions options;
        std::vector<std::string> reasons;
        std::string sent;  // when accepted
    } cases[] = {
        {{}, {}, ""},
        {{2, true, "", 1, Orientation::Portrait}, {}, "copies=2 collate=true"},
        {{999, false, " 1 - 3 ,5", 4, Orientation::Landscape},
         {},
         "copies=999 collate=false page-ranges=1-3,5 number-up=4 orientation-requested=4"},
        {{1, false, "", 16, Orientation::ReversePortrait}, {}, "number-up=16 orientation-requested=6"},
        {{0, true, "", 1, Orientation::Portrait}, {"copies: 0 is not between 1 and 999"}, ""},
        {{1000, true, "0", 3, static_cast<Orientation>(7)},
         {"copies: 1000 is not between 1 and 999", "pages: pages are counted from 1: '0'",
          "pages per sheet: 3 is not one of 1, 2, 4, 6, 9, 16", "orientation: 7 is not an orientation"},
         ""},
    };
    for (const auto &each : cases) {
        EXPECT_EQ(each.reasons, printdialog::checkStandardJobOptions(each.options));
        if (each.reasons.empty()) {
            EXPECT_EQ(each.sent, joined(printdialog::standardJobOptions(each.options)));
        }
    }
}

TEST(JobOptionFields, TheDialogsChoiceReplacesAPresetOfTheSameKey) {
    auto merged = printdialog::mergeJobOptions({{"PrintMode", "Hold"}, {"copies", "2"}, {"sides", "two-sided-long-edge"}},
                                               {{"copies", "5"}, {"collate", "false"}});
    EXPECT_EQ("PrintMode=Hold collate=false copies=5 sides=two-sided-long-edge", joined(merged));
}

using JobOptionOutcome = HostTest;

TEST_F(JobOptionOutcome, TheReportShowsWhatIsSentAndAWrongFieldKeepsTheJobBack) {
    auto dialog = openProbeDialog(sample_printers::kDX7140K);
    ASSERT_NE(nullptr, dialog);
    std::string error;
    auto printer = printdialog::Printer::fromFile(sample_printers::kDX7140K, error);
    ASSERT_NE(nullptr, printer) << error;

    printdialog::JobRequest defaults;
    printdialog::PrintOutcome plainOutcome = printdialog::printDialog(*dialog, *printer, defaults);
    std::string plain = joined(plainOutcome.report.options);
    EXPECT_EQ(std::string::npos, plain.find("copies")) << "the defaults send nothing: " << plain;

    printdialog::JobRequest request;
    request.standard = {3, false, "2-4", 2, Orientation::Landscape};
    printdialog::PrintOutcome outcome = printdialog::printDialog(*dialog, *printer, request);
    std::string shown = joined(outcome.report.options);
    for (const char *sent : {"copies=3", "collate=false", "page-ranges=2-4", "number-up=2", "orientation-requested=4"})
        EXPECT_NE(std::string::npos, shown.find(sent)) << sent << " in " << shown;
    EXPECT_EQ(plainOutcome.problems, outcome.problems) << "job options are no PPD choices";
    EXPECT_NE(std::string::npos, printdialog::lpCommandLine(outcome.report.options).find("-o page-ranges=2-4"));

    request.standard.pageRanges = "3-1";
    request.submit = true;
    request.file = "/nonexistent/page.ps";
    outcome = printdialog::printDialog(*dialog, *printer, request);
    EXPECT_EQ(printdialog::PrintOutcome::Result::NotSent, outcome.result);
    EXPECT_EQ("pages: the range 3-1 runs backwards", outcome.error);
    request.force = true;
    EXPECT_EQ(printdialog::PrintOutcome::Result::NotSent, printdialog::printDialog(*dialog, *printer, request).result)
        << "--force overrides the PPD's constraints, not a wrong field";
}

}  // namespace
}  // namespace host_test
