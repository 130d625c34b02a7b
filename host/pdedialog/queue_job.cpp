// Submitting the dialog's document to its queue and describing the outcome.
#include "queue_job.h"

namespace pdedialog {

QueueJob submitQueueJob(const Printer &printer, const std::vector<printdialog::JobOption> &options) {
    QueueJob outcome;
    outcome.submitted =
        printdialog::submitPrintJob(printer.queue, printer.printFile, printer.title, options, outcome.job, outcome.error);
    return outcome;
}

// The title is the one submitPrintJob would have given, so that both outcomes read alike.
QueueJob unsentQueueJob(const Printer &printer, std::string error) {
    QueueJob outcome;
    outcome.job.queue = printer.queue;
    outcome.job.server = printer.server;
    outcome.job.title = printdialog::jobTitle(printer.printFile, printer.title);
    outcome.error = std::move(error);
    return outcome;
}

// The job's name as lpstat shows it comes first: it is what a person looks for on the server.
std::string queueJobText(const QueueJob &outcome, const WindowText &text) {
    const printdialog::SubmittedJob &job = outcome.job;
    std::string out;
    if (outcome.submitted) {
        out = std::string(text.jobSent) + " " + job.queue + "-" + std::to_string(job.id) + "\n";
        out += std::string("  ") + text.jobId + " " + std::to_string(job.id) + "\n";
    } else {
        out = std::string(text.notPrinted) + " " + outcome.error + "\n";
    }
    out += std::string("  ") + text.queue + " " + job.queue + "\n";
    out += std::string("  ") + text.server + " " + job.server + "\n";
    out += std::string("  ") + text.jobTitle + " " + job.title + "\n";
    return out;
}

printdialog::json::Value queueJobJSON(const QueueJob &outcome) {
    using printdialog::json::Value;
    Value value = Value::object()
                      .set("queue", Value::string(outcome.job.queue))
                      .set("server", Value::string(outcome.job.server))
                      .set("title", Value::string(outcome.job.title));
    if (outcome.submitted) value.set("id", Value::integer(outcome.job.id));
    else value.set("error", Value::string(outcome.error));
    return value;
}

}  // namespace pdedialog
