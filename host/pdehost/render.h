// The dialog as text for a person, and as a JSON document for scripts: the panes, the Summary,
// the ticket and the plug-ins' diagnostics. What the printer receives and the job's outcome are
// the core's (report_text.h, print_job.h).
#pragma once

#include <printdialog/dialog.h>
#include <printdialog/json.h>

#include <string>
#include <vector>

namespace pdehost {

// One bundle: its status, and for an accepted pane its identity, controls in nib order and Summary.
std::string renderPaneText(printdialog::Dialog &dialog, printdialog::Pane &pane);
std::string renderSummaryText(printdialog::Dialog &dialog);
std::string renderTicketText(printdialog::Dialog &dialog);

printdialog::Json paneJSON(printdialog::Dialog &dialog, printdialog::Pane &pane);
// Every accepted pane's Summary rows, by the pane's short name.
printdialog::Json summaryJSON(printdialog::Dialog &dialog);
printdialog::Json ticketJSON(printdialog::Dialog &dialog);
// What the plug-ins wrote to the standard error stream and the system log.
std::string renderDiagnosticsText(const std::string &standardError, const std::vector<std::string> &systemLog);
printdialog::Json diagnosticsJSON(const std::string &standardError, const std::vector<std::string> &systemLog);


}  // namespace pdehost
