// The dialog as text for a person, and as a JSON document for scripts.
#pragma once

#include <printdialog/cups_queue.h>
#include <printdialog/dialog.h>
#include <printdialog/json.h>
#include <printdialog/ppd_report.h>

#include <string>
#include <vector>

namespace printdialog {}
namespace pdehost {
using namespace printdialog;  // FIXME: temporary while the program moves onto the core

// One bundle: its status, and for a shown pane its identity, controls in nib order and Summary.
std::string renderPaneText(Dialog &dialog, Pane &pane);
std::string renderSummaryText(Dialog &dialog);
std::string renderTicketText(Dialog &dialog);
// destination names the queue in the lp command line, when the printer is one.
std::string renderReportText(const PPDReport &report, const std::string &destination = {});

json::Value paneJSON(Dialog &dialog, Pane &pane);
// Every shown pane's Summary rows, by the pane's short name.
json::Value summaryJSON(Dialog &dialog);
json::Value ticketJSON(Dialog &dialog);
json::Value reportJSON(const PPDReport &report, const std::string &destination = {});
// What the plug-ins wrote to the standard error stream and the system log.
std::string renderDiagnosticsText(const std::string &standardError, const std::vector<std::string> &systemLog);
json::Value diagnosticsJSON(const std::string &standardError, const std::vector<std::string> &systemLog);

// What became of --print: the job the server took, or why there is none.
struct JobOutcome {
    bool submitted = false;
    SubmittedJob job;
    std::string error;
};
std::string renderJobText(const JobOutcome &outcome);
json::Value jobJSON(const JobOutcome &outcome);

std::string fourCharacters(OSType code);

}  // namespace pdehost
