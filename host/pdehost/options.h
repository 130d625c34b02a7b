// pdehost's command line: the options every print dialog program takes, and its own.
#pragma once

#include <printdialog/command_line.h>
#include <printdialog/script.h>

#include <string>
#include <vector>

namespace pdehost {

struct Options {
    printdialog::CommonOptions common;
    std::vector<printdialog::ScriptLine> actions;  // from --do and --script, in order
    bool json = false;
    bool interactive = false;
    bool manualClock = false;
    bool listPrinters = false;  // list the CUPS server's destinations instead of running a dialog
    bool saveDefault = false;   // after Print, save the ticket as the user's defaults for the queue
    std::string savePreset;     // after Print, save the ticket as the preset QUEUE/NAME
    std::string deletePreset;   // remove the preset QUEUE/NAME instead of running a dialog
};

// false with a one-line message for an unknown option, a missing argument, an unreadable script
// or options that cannot go together.
bool parseCommandLine(const std::vector<std::string> &arguments, Options &options, std::string &error);

std::string usage();

}  // namespace pdehost
