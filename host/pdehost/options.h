// pdehost's command line.
#pragma once

#include <string>
#include <vector>

namespace printdialog {}
namespace pdehost {
using namespace printdialog;  // FIXME: temporary while the program moves onto the core

// One action as written, and where: "--do" or "FILE line N", for messages.
struct ActionLine {
    std::string text;
    std::string origin;
};

struct Options {
    std::string printer;        // a PPD file
    std::string queue;          // or a CUPS queue, whose PPD the server gives
    std::string printFile;      // submitted to the queue after the actions
    std::string title;          // the job's title
    std::string plugins;        // a folder of .plugin bundles
    std::string language;
    std::vector<std::string> presets;   // KEY=VALUE
    std::string ticketFile;
    bool json = false;
    std::vector<ActionLine> actions;    // from --do and --script, in order
    bool interactive = false;
    bool manualClock = false;
    bool help = false;
    bool version = false;
};

// false with a one-line message for an unknown option, a missing argument, an unreadable script
// or options that cannot go together.
bool parseCommandLine(int argc, char **argv, Options &options, std::string &error);

std::string usage();

}  // namespace pdehost
