// The job, as a print dialog makes it: the shown panes commit their settings into the ticket,
// the ticket's entries become the job's options, libcups checks them against the printer's PPD
// (the pre-flight), and the document goes to the queue only when nothing keeps it back or the
// user forces it. Both programs print through this one flow and report its one outcome.
#pragma once

#include <printdialog/cups_queue.h>
#include <printdialog/dialog.h>
#include <printdialog/job_options.h>
#include <printdialog/json.h>
#include <printdialog/ppd_report.h>
#include <printdialog/printer.h>

#include <string>
#include <vector>

namespace printdialog {

struct JobRequest {
    std::string file;     // the document
    std::string title;    // empty: the file's name
    bool force = false;   // send even when the pre-flight found problems
    bool submit = false;  // Print was pressed: send the job; else report what would be sent
    // Copies, pages, pages per sheet, orientation: sent as the standard CUPS job options with the
    // ticket's (the defaults send nothing); a wrong one keeps the job back (NotSent), not forceable.
    StandardJobOptions standard;
};

struct PrintOutcome {
    enum class Result {
        Preview,    // nothing asked to be sent: what Print would send
        Cancelled,  // the dialog was cancelled: nothing committed, nothing sent
        Sent,       // the queue took the job
        Refused,    // the pre-flight found problems and nothing was sent
        NoQueue,    // the printer is a PPD file: there is nowhere to send it
        NotSent,    // the panes could not write the ticket
        Failed      // the server could not be reached or refused the job
    };
    Result result = Result::Preview;
    OSStatus commitStatus = noErr;
    PPDReport report;                   // the ticket as the printer receives it; its options are the
                                        // job's, the standard job options of the request included
    std::vector<std::string> problems;  // the pre-flight's findings, in English
    bool forced = false;                // sent although there were problems
    std::string file;
    SubmittedJob job;                   // queue, server and title; the id once sent
    std::string error;                  // why nothing was sent, one line

    bool sent() const { return result == Result::Sent; }
    // Whether the run that asked for this outcome failed: a job that was asked for and not sent.
    bool failed() const { return result == Result::Refused || result == Result::NoQueue || result == Result::NotSent ||
                                    result == Result::Failed; }
};

// Print: Sync (reinitializePlugin false) for every accepted pane, the report, the pre-flight,
// then, when the request submits, the document to the queue.
PrintOutcome printDialog(Dialog &dialog, const Printer &printer, const JobRequest &request);

// Cancel: nothing is committed; the outcome says so and sends nothing.
PrintOutcome cancelDialog(Dialog &dialog, const Printer &printer);

// The outcome's words in the JSON documents of both programs: "result" ("preview", "cancelled",
// "sent", "refused", "no queue", "not sent", "failed"), queue, server, title, file, id or error, problems,
// forced.
Json outcomeJSON(const PrintOutcome &outcome);
// The printer in both programs' JSON documents: "ppd", "modelName", and "queue" and "server" for a
// queue.
Json printerJSON(const Printer &printer);
const char *resultName(PrintOutcome::Result result);

}  // namespace printdialog
