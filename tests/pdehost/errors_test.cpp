// Wrong command lines, actions, arguments and tickets: a one-line message naming the problem, a
// non-zero exit, and nothing run. No input makes pdehost crash.
#include "pdehost_run.h"

namespace pdehost_test {
namespace {

struct WrongRun {
    std::vector<std::string> arguments;
    std::string message;  // what the one line must name
};

void PrintTo(const WrongRun &wrong, std::ostream *out) { *out << wrong.message; }

class WrongArguments : public ::testing::TestWithParam<WrongRun> {};

TEST_P(WrongArguments, FailWithOneLineNamingTheProblemAndRunNothing) {
    std::vector<std::string> arguments{"--do", "commit"};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    ProgramRun run = runPdehost(arguments);
    EXPECT_EQ(2, run.exitCode);
    EXPECT_TRUE(run.out.empty()) << "nothing ran, so nothing is shown:\n" << run.out;
    EXPECT_EQ(0u, run.err.rfind("pdehost: ", 0)) << run.err;
    EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Pdehost, WrongArguments,
    ::testing::Values(
        WrongRun{{"--do", "open nopane"}, "unknown pane 'nopane'"},
        WrongRun{{"--do", "select jobmode 44 1"}, "unknown control id 44 in pane jobmode"},
        WrongRun{{"--do", "frobnicate jobmode"}, "unknown action 'frobnicate'"},
        WrongRun{{"--do", "select jobmode 5 9"}, "jobmode control 5 has items 1 to 4, not 9"},
        WrongRun{{"--do", "select jobmode 5 two"}, "'two' is not a whole number"},
        WrongRun{{"--do", "select jobmode 6 1"}, "jobmode control 6 is not a popup"},
        WrongRun{{"--do", "check jobmode 5 maybe"}, "expected on or off, not 'maybe'"},
        WrongRun{{"--do", "slide coloradjust 18 -1"}, "coloradjust control 18 goes from 0 to 5, not -1"},
        WrongRun{{"--do", "type jobmode 6"}, "type: missing TEXT"},
        WrongRun{{"--do", "type jobmode 6 \xE2\x98\x83"}, "cannot be typed"},
        WrongRun{{"--do", "key jobmode 6 capslock"}, "unknown key 'capslock'"},
        WrongRun{{"--do", "selection jobmode 6 0 40000"}, "START and END must lie from 0 to 32767"},
        WrongRun{{"--do", "open imaging"}, "pane imaging: the pane was refused for this printer"},
        WrongRun{{"--do", "select imaging 5 1"}, "imaging control 5: the pane was refused"},
        WrongRun{{"--do", "tick 1"}, "tick needs --manual-clock"},
        WrongRun{{"--manual-clock", "--do", "wait 1"}, "with --manual-clock use tick"},
        WrongRun{{"--do", "wait -1"}, "SECONDS must be a number from 0 to 3600"},
        WrongRun{{"--do", "commit now"}, "commit: unexpected 'now'"},
        WrongRun{{"--frobnicate"}, "unknown option '--frobnicate'"},
        WrongRun{{"--printer"}, "--printer needs an argument"},
        WrongRun{{"-o", "PrintMode"}, "-o takes KEY=VALUE, not 'PrintMode'"},
        WrongRun{{"-o", "PrintMode=Private\nDeptCode=1"},
                 R"(-o: the value of "PrintMode" contains a control character (U+000A))"},
        WrongRun{{"--printer", "/nonexistent/printer.ppd"}, "no printer PPD at /nonexistent/printer.ppd"},
        WrongRun{{"--plugins", "/nonexistent/plugins"}, "no plug-in folder at /nonexistent/plugins"},
        WrongRun{{"--ticket", "/nonexistent/ticket.json"}, "cannot read the ticket /nonexistent/ticket.json"},
        WrongRun{{"--script", "/nonexistent/script"}, "cannot read the script /nonexistent/script"},
        WrongRun{{"--json", "--interactive"}, "--interactive and --json cannot be used together"}));

TEST(WrongScript, NamesTheFileAndLineOfTheWrongAction) {
    TemporaryFolder folder;
    std::string script = folder.write("private.txt", "# a private job\n\nselect jobmode 5 4\n  commit\nsleep 1\n");
    ProgramRun run = runPdehost({"--script", script});
    EXPECT_EQ(2, run.exitCode);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find(script + " line 5: unknown action 'sleep'"), std::string::npos) << run.err;
}

TEST(Script, RunsItsActionsInPlaceAmongTheOthers) {
    TemporaryFolder folder;
    std::string script = folder.write("private.txt", "# a private job\n\nselect jobmode 5 4\r\n  commit\n");
    ProgramRun run = runPdehost({"--json", "--do", "select jobmode 9 2", "--script", script, "--do", "ticket"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    ASSERT_EQ(4u, document["actions"].size());
    EXPECT_EQ("select jobmode 5 4", action(document, 1)["action"]);
    EXPECT_EQ("Private", action(document, 3)["ticket"]["PrintMode"]);
    EXPECT_EQ("True", action(document, 3)["ticket"]["BlankPage"]);
}

struct WrongTicket {
    std::string text;
    std::string message;
};

void PrintTo(const WrongTicket &wrong, std::ostream *out) { *out << wrong.message; }

class MalformedTickets : public ::testing::TestWithParam<WrongTicket> {};

TEST_P(MalformedTickets, NameTheLineOfTheProblem) {
    TemporaryFolder folder;
    std::string ticket = folder.write("ticket.json", GetParam().text);
    ProgramRun run = runPdehost({"--ticket", ticket, "--do", "commit"});
    EXPECT_EQ(2, run.exitCode);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("pdehost: " + ticket + ": " + GetParam().message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Pdehost, MalformedTickets,
    ::testing::Values(WrongTicket{"{\n  \"PrintMode\": \"Private\",\n  \"DeptCode\": True\n}\n", "line 3:"},
                      WrongTicket{"{\n  \"PrintMode\": \"Private\"\n  \"DeptCode\": \"True\"\n}", "line 3:"},
                      WrongTicket{"{\n\n\n  \"PrintMode\": \"Priv\xFF\"\n}",
                                  "line 4: invalid string: ill-formed UTF-8 byte"},
                      WrongTicket{"{\"PrintMode\": \"Private\"", "line 1: unexpected end of input; expected '}'"},
                      WrongTicket{"[\"PrintMode\"]", "line 1: the ticket must be a JSON object"},
                      WrongTicket{"", "line 1: unexpected end of input"},
                      WrongTicket{"{} {}", "line 1: unexpected '{'; expected end of input"},
                      WrongTicket{"{\"PrintMode\":\n 01}", "line 2: "},
                      WrongTicket{"{\n  \"PrintMode\": \"Private\",\n  \"PrintMode\": \"Draft\"\n}",
                                  "line 3: the key \"PrintMode\" is given twice"},
                      WrongTicket{R"({"PrintMode": "Private\u0000junk"})",
                                  R"(the value of "PrintMode" contains a NUL character)"},
                      WrongTicket{R"({"PrintMode\n": "Private"})",
                                  R"(the key "PrintMode\n" contains a control character (U+000A))"}));

// Values of every JSON type under every pane's keys: the panes must cope, and the report
// shows the ones that are not keywords.
const char kOddTicket[] = R"({
  "PrintMode": 5, "DINDigit1": [1], "DINDigit2": null, "DINDigit3": {"a": 1}, "DINDigit4": true,
  "DINDigit5": 1.5, "DeptCode": null, "DCDigit1": "", "DCDigit2": "xx", "DCDigit3": "3", "DCDigit4": "4",
  "DCDigit5": "5", "BlankPage": [], "ColorBalanceCyan": 7, "ColorBalanceMagenta": "abc",
  "ColorBalanceYellow": "-99", "ColorBalanceBlack": null, "SharpnessQRV": {"x": []}, "ColorType": 3,
  "Resolution": null, "Halftone": [], "DistinguishThinLines": true, "TonerSave": "true", "ImageType": {},
  "BlackOverPrint": 1e300, "PureBlackGray": "", "": "no key", "Text\u00e9\ud83d\ude00": ["\u0000"]
})";

class OddTickets : public ::testing::TestWithParam<std::string> {};

TEST_P(OddTickets, AreSurvivedAndReported) {
    TemporaryFolder folder;
    std::string ticket = folder.write("odd.json", kOddTicket);
    ProgramRun run = runPdehost({"--json", "--printer", GetParam(), "--ticket", ticket, "--do", "show", "--do", "commit",
                          "--do", "reload", "--do", "summary"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    bool reportedNumber = false;
    for (const auto &unknown : document["unknown"])
        if (unknown["reason"] == "not a string" && unknown["value"] == "1e+300") reportedNumber = true;
    EXPECT_EQ(reportedNumber, GetParam() != sample_printers::kDX8250K) << "only the imaging pane rewrites BlackOverPrint";
    EXPECT_EQ("no key", document["ticket"][""]);
}

INSTANTIATE_TEST_SUITE_P(Pdehost, OddTickets, ::testing::Values(sample_printers::kDX7140K, sample_printers::kDX8250K, sample_printers::kDX5100K));

TEST(Information, HelpAndVersion) {
    ProgramRun help = runPdehost({"--help"});
    ProgramRun version = runPdehost({"--version"});
    EXPECT_EQ(0, help.exitCode);
    EXPECT_NE(help.out.find("--manual-clock"), std::string::npos);
    EXPECT_NE(help.out.find("select PANE ID ITEM"), std::string::npos);
    EXPECT_EQ(0, version.exitCode);
    EXPECT_EQ(0u, version.out.rfind("pdehost ", 0));
}

}  // namespace
}  // namespace pdehost_test
