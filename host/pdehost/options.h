// pdehost's command line.
#pragma once

#include <string>
#include <vector>

namespace pdehost {

struct Options {
    std::string printer;        // a PPD file
    std::string plugins;        // a folder of .plugin bundles
    std::string language;
    std::vector<std::string> presets;   // KEY=VALUE
    std::string ticketFile;
    bool json = false;
    std::vector<std::string> actions;   // from --do and --script, in order
    bool interactive = false;
    bool manualClock = false;
    bool help = false;
    bool version = false;
};

// false with a one-line message for an unknown option, a missing argument or an unreadable script.
bool parseCommandLine(int argc, char **argv, Options &options, std::string &error);

std::string usage();

}  // namespace pdehost
