// Commit, report, pre-flight and submission.
#include <printdialog/print_job.h>
#include <printdialog/report_text.h>

namespace printdialog {

PrintOutcome printDialog(Dialog &dialog, const Printer &printer, const JobRequest &request) {
    PrintOutcome outcome;
    outcome.commitStatus = dialog.syncAll(false);
    outcome.report = checkAgainstPPD(printer.ppdPath(), dialog.ppdDictionary());
    outcome.problems = preflightProblems(outcome.report, reportWords("en"));
    outcome.file = request.file;
    outcome.job = SubmittedJob{printer.queue(), printer.server(), jobTitle(request.file, request.title), 0};
    // The standard job options join the report's, so that they are shown as they are sent.
    std::vector<std::string> wrongOptions = checkStandardJobOptions(request.standard);
    if (wrongOptions.empty())
        outcome.report.options = mergeJobOptions(std::move(outcome.report.options), standardJobOptions(request.standard));
    if (outcome.commitStatus != noErr)
        outcome.error = "the panes could not write the ticket (status " + std::to_string(outcome.commitStatus) + ")";
    for (const std::string &reason : wrongOptions)
        if (outcome.commitStatus == noErr) outcome.error += (outcome.error.empty() ? "" : "; ") + reason;
    if (!request.submit) return outcome;

    auto notSent = [&outcome](PrintOutcome::Result result, std::string error) {
        outcome.result = result;
        outcome.error = std::move(error);
        return outcome;
    };
    if (outcome.commitStatus != noErr || !wrongOptions.empty()) return notSent(PrintOutcome::Result::NotSent, outcome.error);
    if (!printer.isQueue()) return notSent(PrintOutcome::Result::NoQueue, "not sent: no queue chosen");
    if (request.file.empty()) return notSent(PrintOutcome::Result::NotSent, "no document to print was given");
    if (!outcome.problems.empty()) {
        if (!request.force) return notSent(PrintOutcome::Result::Refused, "the printer's PPD does not allow these settings");
        outcome.forced = true;
    }
    // The job takes the options of the report just made, so what is shown is what was sent.
    std::string error;
    if (!submitPrintJob(printer.queue(), request.file, request.title, outcome.report.options, outcome.job, error))
        return notSent(PrintOutcome::Result::Failed, error);
    outcome.result = PrintOutcome::Result::Sent;
    return outcome;
}

PrintOutcome cancelDialog(Dialog &dialog, const Printer &printer) {
    PrintOutcome outcome;
    outcome.result = PrintOutcome::Result::Cancelled;
    outcome.job = SubmittedJob{printer.queue(), printer.server(), {}, 0};
    // The ticket holds only what was preset: reported, not sent.
    outcome.report = checkAgainstPPD(printer.ppdPath(), dialog.ppdDictionary());
    return outcome;
}

const char *resultName(PrintOutcome::Result result) {
    switch (result) {
    case PrintOutcome::Result::Preview: return "preview";
    case PrintOutcome::Result::Cancelled: return "cancelled";
    case PrintOutcome::Result::Sent: return "sent";
    case PrintOutcome::Result::Refused: return "refused";
    case PrintOutcome::Result::NoQueue: return "no queue";
    case PrintOutcome::Result::NotSent: return "not sent";
    case PrintOutcome::Result::Failed: return "failed";
    }
    return "";
}

Json printerJSON(const Printer &printer) {
    Json result{{"ppd", printer.ppdPath()}, {"modelName", printer.modelName()}};
    if (printer.isQueue()) {
        result["queue"] = printer.queue();
        if (!printer.instance().empty()) result["preset"] = printer.instance();
        result["server"] = printer.server();
    }
    return result;
}

Json outcomeJSON(const PrintOutcome &outcome) {
    Json value = Json::object();
    value["result"] = resultName(outcome.result);
    value["queue"] = outcome.job.queue;
    value["server"] = outcome.job.server;
    value["title"] = outcome.job.title;
    value["file"] = outcome.file;
    if (outcome.sent()) value["id"] = outcome.job.id;
    else value["error"] = outcome.error;
    value["problems"] = outcome.problems;
    value["forced"] = outcome.forced;
    return value;
}

}  // namespace printdialog
