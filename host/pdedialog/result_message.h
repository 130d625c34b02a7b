// The outcome of Print as a person reads it: a headline ("Sent to q7140 as job 3", or "Not
// printed"), the reason in the window's language, and on a line of its own what the server or
// the system said, as it said it.
#pragma once

#include "window_text.h"

#include <printdialog/print_job.h>

#include <string>

namespace pdedialog {

struct ResultMessage {
    bool sent = false;
    std::string headline;
    std::string reason;  // empty for a job sent as it was asked for
    std::string detail;  // the server's message or the file that cannot be read; may be empty
};

ResultMessage describeOutcome(const printdialog::PrintOutcome &outcome, const WindowText &text);

}  // namespace pdedialog
