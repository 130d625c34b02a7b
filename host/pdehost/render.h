// The dialog as text for a person, and as a JSON document for scripts.
#pragma once

#include <pdehost/dialog.h>
#include <pdehost/json.h>
#include <pdehost/ppd_report.h>

#include <string>

namespace pdehost {

std::string renderPaneText(Dialog &dialog, Pane &pane);
std::string renderSummaryText(Dialog &dialog);
std::string renderTicketText(Dialog &dialog);
std::string renderReportText(const PPDReport &report);

json::Value paneJSON(Dialog &dialog, Pane &pane);
json::Value ticketJSON(Dialog &dialog);
json::Value reportJSON(const PPDReport &report);

std::string fourCharacters(OSType code);

}  // namespace pdehost
