// Putting the outcome of Print into the window's words.
#include "result_message.h"

namespace pdedialog {
namespace {

// The core's message for a document it cannot read (kept in step with submitPrintJob).
constexpr char kUnreadableFile[] = "cannot read the file to print: ";

}  // namespace

ResultMessage describeOutcome(const printdialog::PrintOutcome &outcome, const WindowText &text) {
    using Result = printdialog::PrintOutcome::Result;
    ResultMessage message;
    if (outcome.result == Result::Sent) {
        message.sent = true;
        message.headline = fillIn(fillIn(text.sentTo, "queue", outcome.job.queue), "id", std::to_string(outcome.job.id));
        if (outcome.forced) message.reason = text.sentAnyway;
        return message;
    }
    message.headline = text.notPrintedHeading;
    switch (outcome.result) {
    case Result::NoQueue:
        message.reason = text.reasonNoQueue;
        break;
    case Result::NotSent:
        if (outcome.commitStatus != noErr) {
            message.reason = fillIn(text.reasonNotSaved, "status", std::to_string(outcome.commitStatus));
        } else {
            message.reason = text.reasonServer;
            message.detail = outcome.error;
        }
        break;
    case Result::Refused:
        message.reason = text.refusedBecause;
        for (const auto &problem : outcome.problems) message.detail += (message.detail.empty() ? "" : "\n") + problem;
        break;
    default:
        if (outcome.error.rfind(kUnreadableFile, 0) == 0) {
            message.reason = text.reasonUnreadableFile;
            message.detail = outcome.error.substr(sizeof kUnreadableFile - 1);
        } else {
            message.reason = text.reasonServer;
            message.detail = outcome.error;
        }
        break;
    }
    return message;
}

}  // namespace pdedialog
