// What Print shows: the job options the panes wrote and the feature code the printer receives.
#pragma once

#include "window_text.h"

#include <printdialog/ppd_report.h>

#include <string>

namespace pdedialog {

// destination: the queue the lp line names; empty for a printer that is a PPD file.
std::string printReportText(const printdialog::PPDReport &report, const WindowText &text,
                            const std::string &destination = {});

}  // namespace pdedialog
