// pdedialog's command line: the options every print dialog program takes, and its own.
#pragma once

#include <printdialog/command_line.h>

#include <string>
#include <vector>

namespace pdedialog {

struct Options {
    printdialog::CommonOptions common;     // common.printer: the first --printer, opened at start
    std::vector<std::string> morePrinters;  // the other --printer files, offered in the printer menu
    std::string pane;        // the pane shown first: a short name or "summary"
    std::string script;      // a file of actions, one a line
    std::string screenshot;  // a PNG of the window, then exit
    std::string state;       // the dialog's JSON state, kept current while it runs
};

// false with a one-line message for an unknown option, a missing argument or options that
// cannot go together.
bool parseCommandLine(const std::vector<std::string> &arguments, Options &options, std::string &error);

std::string usage();

}  // namespace pdedialog
