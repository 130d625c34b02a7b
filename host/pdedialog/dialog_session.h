// One run of the dialog window from the first draw to Cancel, Print, a script's quit or the
// screenshot: the view, the window, the run-loop bridge, the script and the state file together.
#pragma once

#include "script_runner.h"

#include <printdialog/dialog.h>
#include <printdialog/print_job.h>
#include <printdialog/printer.h>

#include <memory>
#include <string>
#include <vector>

namespace pdedialog {

struct SessionSettings {
    printdialog::JobRequest job;  // the document Print submits to a queue
    std::string localization;
    std::string firstPane;   // empty: the first accepted pane
    std::string screenshot;  // empty: none
    std::string stateFile;   // empty: none
    std::vector<ScriptLine> script;
    // The printer menu: the CUPS server's destinations (when listPrinters), then these PPD files;
    // a printer chosen loads the bundles of this folder.
    bool listPrinters = true;
    std::vector<std::string> ppdFiles;
    std::string pluginFolder;
};

// Runs the GTK main loop until the dialog ends, writes the last state, then terminates every pane
// in the host's order; a printer chosen in the window replaces the printer and dialog given (which
// the session owns from here on). The exit status: 0, 1 when a script line, the screenshot or the
// state file failed or Print sent nothing, 2 for a first pane that cannot be shown.
int runDialogSession(std::unique_ptr<printdialog::Dialog> dialog, std::unique_ptr<printdialog::Printer> printer,
                     SessionSettings settings);

}  // namespace pdedialog
