// Reading pdedialog's command line.
#include "options.h"

#include <map>

namespace pdedialog {

// Every option takes one argument but --help; "--name=value" is accepted as well.
bool parseCommandLine(const std::vector<std::string> &arguments, Options &options, std::string &error) {
    const std::map<std::string, std::string Options::*> valued = {
        {"--printer", &Options::printer}, {"--plugins", &Options::plugins},
        {"--lang", &Options::language},   {"--pane", &Options::pane},
        {"--script", &Options::script},   {"--screenshot", &Options::screenshot},
        {"--state", &Options::state}};
    for (size_t index = 0; index < arguments.size(); ++index) {
        std::string name = arguments[index];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        std::string value;
        bool inlineValue = false;
        if (auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            inlineValue = true;
        }
        auto found = valued.find(name);
        if (found == valued.end()) {
            error = "unknown option '" + arguments[index] + "' (see --help)";
            return false;
        }
        if (!inlineValue) {
            if (index + 1 >= arguments.size()) {
                error = name + " needs an argument";
                return false;
            }
            value = arguments[++index];
        }
        if (value.empty()) {
            error = name + " needs a non-empty argument";
            return false;
        }
        options.*(found->second) = value;
    }
    return true;
}

std::string usage() {
    return "usage: pdedialog [options]\n"
           "The print dialog in a desktop window: the printer's panes, their Summary, Cancel and Print.\n"
           "  --printer PPD      the printer's PPD file (default: the 7140K sample printer)\n"
           "  --plugins DIR      a folder of .plugin bundles (default: the build's plug-ins)\n"
           "  --lang LANG        the localization the panes use (en, de)\n"
           "  --pane NAME        the pane shown first (jobmode, imaging, coloradjust or summary)\n"
           "  --script FILE      actions as pdehost takes them, one a line, run one per pass of the\n"
           "                     main loop; also 'screenshot FILE' and 'quit'\n"
           "  --screenshot FILE  saves a PNG of the window once it is drawn (after the script), then exits\n"
           "  --state FILE       keeps the dialog's state as JSON in FILE while it runs, and at exit\n"
           "  --help\n";
}

}  // namespace pdedialog
