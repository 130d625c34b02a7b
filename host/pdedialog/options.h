// pdedialog's command line.
#pragma once

#include <string>
#include <vector>

namespace pdedialog {

struct Options {
    std::string printer;     // a PPD file
    std::string queue;       // or a CUPS queue, whose PPD the server gives
    std::string printFile;   // with a queue: the document the Print button submits
    std::string title;       // the job's title
    std::string plugins;     // a folder of .plugin bundles
    std::string language;    // the localization the panes use
    std::string pane;        // the pane shown first: a short name or "summary"
    std::string script;      // a file of actions, one a line
    std::string screenshot;  // a PNG of the window, then exit
    std::string state;       // the dialog's JSON state, kept current while it runs
    bool help = false;
};

// false with a one-line message for an unknown option, a missing argument, options that cannot
// go together or a document to print that cannot be read.
bool parseCommandLine(const std::vector<std::string> &arguments, Options &options, std::string &error);

std::string usage();

}  // namespace pdedialog
