// The core's print flow without a server: the command-line convention, the start-up checks, the
// pre-flight and the words of the report and the outcome.
#include "host_test_support.h"

#include <printdialog/command_line.h>
#include <printdialog/print_job.h>
#include <printdialog/report_text.h>
#include <printdialog/script.h>
#include <printdialog/startup.h>

namespace host_test {
namespace {

using printdialog::CommonOptions;

TEST(PrintFlowCommandLine, BothFormsOneUseEachAndFlagsWithoutValues) {
    struct Case {
        std::vector<std::string> arguments;
        std::string error;  // empty: accepted
    } cases[] = {
        {{"--printer", "p.ppd", "--lang=de", "-o", "A=1", "-o", "B=2", "--force"}, ""},
        {{"--printer", "p.ppd", "--printer=q.ppd"}, "--printer is given twice"},
        {{"--force=yes"}, "--force takes no value"},
        {{"--lang"}, "--lang needs an argument"},
        {{"--ticket="}, "--ticket needs a non-empty argument"},
        {{"--colour", "red"}, "unknown option '--colour' (see --help)"},
    };
    for (const auto &each : cases) {
        CommonOptions common;
        std::vector<printdialog::CommandOption> options;
        printdialog::addCommonOptions(options, common);
        std::string error;
        EXPECT_EQ(each.error.empty(), printdialog::parseCommandOptions(each.arguments, options, error)) << error;
        EXPECT_EQ(each.error, error);
        if (each.error.empty()) {
            EXPECT_EQ("de", common.language);
            EXPECT_EQ((std::vector<std::string>{"A=1", "B=2"}), common.presets);
            EXPECT_TRUE(common.force);
        }
    }
}

TEST(PrintFlowStart, WhatTheCommandLineNamesIsCheckedBeforeAnythingLoads) {
    PPDFolder folder;
    std::string bad = folder.malformed();
    std::string good = folder.withModel("QUORVEN v-DX7140KSeries");
    std::string folderOfEmpty = std::filesystem::path(good).parent_path().string();  // PPDs, no bundle
    struct Case {
        std::string printer, plugins, ticket;
        int status;
        std::string error;  // the message starts so
    } cases[] = {
        {bad, PDE_TEST_PLUGIN_DIR, "", printdialog::kExitUsage, "cannot read the PPD " + bad + ": "},
        {good, folderOfEmpty, "", printdialog::kExitFailed, "no plug-in bundles (*.plugin) in the folder " + folderOfEmpty},
        {good, PDE_TEST_PLUGIN_DIR, "/nonexistent/ticket.json", printdialog::kExitUsage,
         "cannot read the ticket /nonexistent/ticket.json: No such file or directory"},
        {"/nonexistent/p.ppd", PDE_TEST_PLUGIN_DIR, "", printdialog::kExitUsage, "no printer PPD at /nonexistent/p.ppd"},
    };
    for (const auto &each : cases) {
        CommonOptions common;
        common.printer = each.printer;
        common.plugins = each.plugins;
        common.ticketFile = each.ticket;
        printdialog::DialogStart start;
        int status = 0;
        std::string error;
        EXPECT_FALSE(printdialog::prepareDialog(common, {}, start, status, error));
        EXPECT_EQ(each.status, status) << error;
        EXPECT_EQ(0u, error.rfind(each.error, 0)) << error;
        EXPECT_FALSE(start.printer) << "no printer is opened after a refusal";
    }
}

TEST(PrintFlowScripts, AByteOrderMarkIsSkippedAndAFolderIsNoScript) {
    PPDFolder folder;
    std::string path = folder.write("script.txt", "\xEF\xBB\xBFselect jobmode 5 4\r\n# note\n\n  commit\n");
    std::vector<printdialog::ScriptLine> lines;
    std::string error;
    ASSERT_TRUE(printdialog::readScriptFile(path, lines, error)) << error;
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("select jobmode 5 4", lines[0].text);
    EXPECT_EQ(path + " line 4: wrong", printdialog::locatedMessage(lines[1], "wrong"));
    std::string parent = std::filesystem::path(path).parent_path().string();
    EXPECT_FALSE(printdialog::readScriptFile(parent, lines, error));
    EXPECT_EQ("cannot read the script " + parent + ": Is a directory", error);
}

// A report with one of each finding, as libcups would give it.
printdialog::PPDReport reportWithProblems() {
    printdialog::PPDReport report;
    report.opened = true;
    report.options = {{"DINDigit1", "a"}, {"Resolution", "1200dpi"}, {"copies", "2"}};
    report.unknown = {{"DINDigit1", "a", "unknown choice"}, {"Colour", "Blue", "unknown keyword"}};
    report.conflicts = {{"Resolution", "1200dpi", "ImageType", "Photo"}};
    return report;
}

TEST(PrintFlowPreflight, EveryFindingIsOneLineInTheUserInterfacesLanguage) {
    printdialog::PPDReport report = reportWithProblems();
    EXPECT_EQ((std::vector<std::string>{"Resolution=1200dpi conflicts with ImageType=Photo",
                                        "DINDigit1=a is not a choice of DINDigit1",
                                        "Colour=Blue: the PPD has no option Colour"}),
              printdialog::preflightProblems(report, printdialog::reportWords("en")));
    EXPECT_EQ("Resolution=1200dpi steht im Konflikt mit ImageType=Photo",
              printdialog::preflightProblems(report, printdialog::reportWords("de_DE")).front());
    printdialog::PPDReport unreadable;
    unreadable.error = "Missing asterisk in column 1 (line 1)";
    EXPECT_EQ(1u, printdialog::preflightProblems(unreadable, printdialog::reportWords("en")).size());
    EXPECT_TRUE(printdialog::isStandardJobAttribute("copies"));
    EXPECT_TRUE(printdialog::isStandardJobAttribute("page-ranges"));
    EXPECT_FALSE(printdialog::isStandardJobAttribute("PageSize"));
    EXPECT_EQ("lp -d q7140 -o copies=2 '/tmp/my page.ps'",
              printdialog::lpCommandLine({{"copies", "2"}}, "q7140", "/tmp/my page.ps"));
}

TEST(PrintFlowOutcome, EachResultReadsAsAPersonWouldSayIt) {
    using Result = printdialog::PrintOutcome::Result;
    struct Case {
        Result result;
        bool forced;
        std::string english, german;  // the first line
    } cases[] = {
        {Result::Sent, false, "Job: q7140-42 (queue q7140 on 127.0.0.1:631, id 42, title \"page.ps\")",
         "Auftrag: q7140-42 (Warteschlange q7140 auf 127.0.0.1:631, Nummer 42, Titel \"page.ps\")"},
        {Result::Refused, false, "Job: not printed: the printer's PPD does not allow these settings:",
         "Auftrag: nicht gedruckt: die PPD des Druckers erlaubt diese Einstellungen nicht:"},
        {Result::NoQueue, false, "Job: not sent: no queue chosen", "Auftrag: nicht gesendet: keine Warteschlange gewählt"},
        {Result::Failed, false, "Job: not printed: the server refused", "Auftrag: nicht gedruckt: the server refused"},
        {Result::Cancelled, false, "Cancelled: nothing was committed and nothing would be sent.",
         "Abgebrochen: nichts wurde übernommen, nichts würde gesendet."},
    };
    for (const auto &each : cases) {
        printdialog::PrintOutcome outcome;
        outcome.result = each.result;
        outcome.report = reportWithProblems();
        outcome.job = {"q7140", "127.0.0.1:631", "page.ps", 42};
        outcome.error = "the server refused";
        std::string english = printdialog::renderOutcomeText(outcome, printdialog::reportWords("en"));
        std::string german = printdialog::renderOutcomeText(outcome, printdialog::reportWords("de"));
        EXPECT_EQ(each.english, english.substr(0, english.find('\n')));
        EXPECT_EQ(each.german, german.substr(0, german.find('\n')));
        if (each.result == Result::Refused) {
            EXPECT_NE(english.find("\n  DINDigit1=a is not a choice of DINDigit1\n"), std::string::npos) << english;
        }
        auto json = printdialog::jsonText(printdialog::outcomeJSON(outcome), 0);
        EXPECT_EQ(each.result == Result::Sent, json.find("\"id\":42") != std::string::npos) << json;
    }
}

}  // namespace
}  // namespace host_test
