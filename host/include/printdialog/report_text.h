// What the printer receives and what became of the job, as text for a person and as JSON: one
// renderer for both programs, its words in the localizations the window offers.
#pragma once

#include <printdialog/json.h>
#include <printdialog/ppd_report.h>

#include <string>
#include <vector>

namespace printdialog {

struct PrintOutcome;

struct ReportWords {
    const char *jobOptions;       // "Job options:"
    const char *none;
    const char *commandLine;
    const char *unknownChoices;
    const char *conflicts;
    const char *conflictsWith;
    const char *isNotAChoiceOf;
    const char *hasNoOption;      // "the PPD has no option"
    const char *isNotAString;
    const char *unknownKeyword;   // the reasons of an undefined choice
    const char *unknownChoice;
    const char *notAString;
    const char *featureCode;
    const char *ppdUnreadable;
    const char *job;              // "Job:"
    const char *queue;            // "queue"
    const char *on;               // "on"
    const char *id;
    const char *title;
    const char *notPrinted;       // "not printed:"
    const char *notSentNoQueue;   // "not sent: no queue chosen"
    const char *notAllowed;       // the pre-flight's refusal
    const char *forced;           // sent although there were problems
    const char *cancelled;        // the run ended with Cancel
    const char *commitFailed;     // the panes could not write the ticket
};

// "de..." gives German; anything else English.
const ReportWords &reportWords(const std::string &localization);

// The pre-flight's findings, one line each: "Resolution=1200dpi conflicts with ImageType=Photo",
// "DINDigit1=a is not a choice of DINDigit1"; a PPD that cannot be read is one finding.
std::vector<std::string> preflightProblems(const PPDReport &report, const ReportWords &words);

// The job options, the lp command line (naming the queue and the document when there are
// ones), the choices the PPD does not define, the conflicts and the feature code.
std::string renderReportText(const PPDReport &report, const ReportWords &words, const std::string &destination = {},
                             const std::string &file = {});
// The same as JSON members: options, lpCommand, unknown, conflicts, emitted, ppdError.
Json reportJSON(const PPDReport &report, const std::string &destination = {}, const std::string &file = {});

// "Job: QUEUE-ID (queue QUEUE on SERVER, id ID, title "TITLE")", or "Job: not printed: WHY" with
// the pre-flight's findings below it; empty for a preview.
std::string renderOutcomeText(const PrintOutcome &outcome, const ReportWords &words);

}  // namespace printdialog
