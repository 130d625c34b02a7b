// The job-mode pane driven through pdehost: a private job from the first choice to the job
// options, the key filters, and the rules that follow the user's choices.
#include "pdehost_run.h"

namespace pdehost_test {
namespace {

const std::vector<std::string> kPrivateJob = {
    "select jobmode 5 4",          // Private
    "selection jobmode 6 0 5", "type jobmode 6 12345",
    "select jobmode 7 2",          // department code on
    "selection jobmode 8 0 5", "type jobmode 8 777",
    "commit"};

TEST(JobModeFlow, PrivateJobWritesTheModeAndAllTenDigits) {
    ProgramRun run = runActions(sample_printers::kDX7140K, kPrivateJob);
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    const json &ticket = document["ticket"];

    EXPECT_EQ("Private", ticket["PrintMode"]);
    EXPECT_EQ("True", ticket["DeptCode"]);
    EXPECT_EQ("False", ticket["BlankPage"]);
    const char *documentNumber[] = {"1", "2", "3", "4", "5"};
    const char *departmentCode[] = {"0", "0", "7", "7", "7"};
    for (int digit = 1; digit <= 5; ++digit) {
        EXPECT_EQ(ticket["DINDigit" + std::to_string(digit)], documentNumber[digit - 1]) << digit;
        EXPECT_EQ(ticket["DCDigit" + std::to_string(digit)], departmentCode[digit - 1]) << digit;
    }
    const json &options = document["options"];
    EXPECT_NE(std::find(options.begin(), options.end(), "PrintMode=Private"), options.end());
    EXPECT_NE(std::find(options.begin(), options.end(), "DCDigit3=7"), options.end());
    EXPECT_NE(document["lpCommand"].get<std::string>().find(" -o PrintMode=Private "), std::string::npos);
    EXPECT_TRUE(document["unknown"].empty()) << document["unknown"];
    EXPECT_TRUE(document["conflicts"].empty());
    EXPECT_NE(document["emitted"].get<std::string>().find("*PrintMode Private"), std::string::npos);
    EXPECT_EQ(summaryValues(pane(document, "jobmode")),
              (std::vector<std::string>{"Private", "12345", "Off", "00777"}));
}

TEST(JobModeFlow, KeyFiltersRefuseLettersAndASixthDigitButNotAPaste) {
    ProgramRun run = runActions(sample_printers::kDX7140K, {"select jobmode 5 4", "selection jobmode 6 0 5", "type jobmode 6 9a8b7 65",
                                         "show", "key jobmode 6 backspace", "key jobmode 6 left",
                                         "paste jobmode 6 x-", "commit"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    EXPECT_EQ("98765", control(pane(action(document, 3), "jobmode"), 6)["text"]);
    EXPECT_EQ("987x-6", control(pane(document, "jobmode"), 6)["text"]);
    EXPECT_EQ("x", document["ticket"]["DINDigit4"]) << "a pasted text reaches the ticket unfiltered";
}

TEST(JobModeFlow, TypingIntoTheDisabledDocumentNumberFailsNamingTheControl) {
    ProgramRun run = runActions(sample_printers::kDX7140K, {"select jobmode 9 2", "type jobmode 6 1", "commit"});
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(run.err.find("jobmode control 6"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("disabled"), std::string::npos) << run.err;
    json document = run.document();
    EXPECT_TRUE(action(document, 1).contains("error"));
    EXPECT_EQ(2u, document["actions"].size()) << "the actions after the failed one do not run";
    EXPECT_EQ(2, control(pane(document, "jobmode"), 9)["value"]) << "the one before it did";
    EXPECT_TRUE(document["ticket"].empty()) << "a failed action stops the run: nothing is committed";
    EXPECT_EQ("stopped", document["ending"]);
}

TEST(JobModeRules, FollowTheChoiceOnlyAfterTheRunLoopTurns) {
    ProgramRun run = runActions(sample_printers::kDX7140K, {"select jobmode 5 4", "select jobmode 7 2", "show", "tick 0", "show",
                                         "select jobmode 5 2", "tick 0", "show"},
                         {"--manual-clock"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    const json &before = pane(action(document, 2), "jobmode");
    const json &after = pane(action(document, 4), "jobmode");
    const json &hold = pane(action(document, 7), "jobmode");
    EXPECT_FALSE(control(before, 6)["enabled"].get<bool>()) << "the rules are deferred to the run loop";
    EXPECT_FALSE(control(before, 8)["enabled"].get<bool>());
    EXPECT_TRUE(control(after, 6)["enabled"].get<bool>());
    EXPECT_TRUE(control(after, 8)["enabled"].get<bool>());
    EXPECT_FALSE(control(hold, 6)["enabled"].get<bool>()) << "Hold takes no document number";
    EXPECT_TRUE(control(hold, 8)["enabled"].get<bool>());
}

TEST(JobModeRules, OnTheRealClockTheRunLoopTurnsAfterEveryAction) {
    ProgramRun run = runActions(sample_printers::kDX7140K, {"select jobmode 5 4", "selection jobmode 6 0 5", "type jobmode 6 4"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    const json &jobmode = pane(document, "jobmode");
    EXPECT_TRUE(control(jobmode, 6)["enabled"].get<bool>());
    EXPECT_EQ("4", control(jobmode, 6)["text"]);
}

TEST(JobModeTicket, PresetsFillThePaneAndReloadReadsTheTicketAgain) {
    ProgramRun run = runActions(sample_printers::kDX7140K, {"show", "commit", "select jobmode 5 1", "reload"},
                         {"-o", "PrintMode=Hold", "-o", "DCDigit1=1", "-o", "DCDigit2=2", "-o", "DCDigit3=3",
                          "-o", "DCDigit4=4", "-o", "DCDigit5=5", "-o", "DeptCode=True"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    const json &loaded = pane(action(document, 0), "jobmode");
    EXPECT_EQ(2, control(loaded, 5)["value"]);
    EXPECT_EQ("12345", control(loaded, 8)["text"]);
    EXPECT_TRUE(control(loaded, 8)["enabled"].get<bool>());
    EXPECT_EQ(2, control(pane(document, "jobmode"), 5)["value"]) << "reload brought Hold back from the ticket";
}

TEST(JobModeTicket, AnUnknownPrintModeIsReportedAndShownAsNormal) {
    ProgramRun run = runActions(sample_printers::kDX7140K, {"cancel"}, {"-o", "PrintMode=Bogus"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    EXPECT_EQ(document["unknown"],
              (json::array({{{"key", "PrintMode"}, {"value", "Bogus"}, {"reason", "unknown choice"}}})));
    EXPECT_EQ(1, control(pane(document, "jobmode"), 5)["value"]);
    EXPECT_EQ("cancel", document["ending"]);
    ProgramRun printed = runActions(sample_printers::kDX7140K, {}, {"-o", "PrintMode=Bogus"});
    EXPECT_EQ("Normal", printed.document()["ticket"]["PrintMode"]) << "Print sends what the pane shows";
}

// What a run tells of itself: the keys the filters refused, the popup's chosen item, a refused
// selection in words, and a localization no bundle has.
TEST(JobModeFlow, TheRunSaysWhatDidNotHappen) {
    ProgramRun typed = runActions(sample_printers::kDX7140K, {"select jobmode 5 4", "type jobmode 6 12ab9"});
    ASSERT_EQ(0, typed.exitCode) << typed.err;
    json document = typed.document();
    EXPECT_EQ(5, action(document, 1)["refusedKeys"]) << "the field is full: every key is refused";
    const json &items = control(pane(document, "jobmode"), 5)["items"];
    for (size_t index = 0; index < items.size(); ++index)
        EXPECT_EQ(index == 3, items[index]["checked"].get<bool>()) << "only the chosen item, Private, is checked";

    ProgramRun refused = runActions(sample_printers::kDX7140K, {"selection jobmode 6 0 5"});
    EXPECT_EQ(1, refused.exitCode);
    EXPECT_NE(refused.err.find("jobmode control 6: cannot set the selection (it is disabled)"), std::string::npos)
        << refused.err;

    ProgramRun french = runActions(sample_printers::kDX7140K, {}, {"--lang", "fr"});
    ASSERT_EQ(0, french.exitCode) << french.err;
    EXPECT_EQ("pdehost: warning: no plug-in has the localization 'fr' (they have de, en); the panes use their own\n",
              french.err);
}

}  // namespace
}  // namespace pdehost_test
