// What Print does when the printer is a queue: the document submitted with the ticket's job
// options, and how the outcome reads in the result window, on the terminal and in the state.
#pragma once

#include "printer.h"
#include "window_text.h"

#include <printdialog/cups_queue.h>
#include <printdialog/json.h>
#include <printdialog/ppd_report.h>

#include <string>
#include <vector>

namespace pdedialog {

struct QueueJob {
    bool submitted = false;
    printdialog::SubmittedJob job;  // the queue, server and title even when nothing went out
    std::string error;          // one line, when nothing went out
};

// Submits the printer's document to its queue; a refusal or an unreachable server is an
// outcome with its error line, not a failure of the call.
QueueJob submitQueueJob(const Printer &printer, const std::vector<printdialog::JobOption> &options);
// The outcome of a job that was never sent, e.g. because the panes could not write the ticket.
QueueJob unsentQueueJob(const Printer &printer, std::string error);

// "Job sent: QUEUE-ID" with the id, queue, server and title below it, or "Not printed: ERROR".
std::string queueJobText(const QueueJob &outcome, const WindowText &text);
// {queue, server, title, id} or {queue, server, title, error}.
printdialog::json::Value queueJobJSON(const QueueJob &outcome);

}  // namespace pdedialog
