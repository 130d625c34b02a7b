// Reading pdehost's command line.
#include "options.h"

#include <printdialog/cups_queue.h>

#include <fstream>

namespace pdehost {
namespace {

// One action a line; blank lines and '#' comments are skipped, and each action keeps its line
// number for messages.
bool readScript(const std::string &path, std::vector<ActionLine> &actions, std::string &error) {
    std::ifstream script(path);
    if (!script) {
        error = "cannot read the script " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        actions.push_back({line.substr(first), path + " line " + std::to_string(number)});
    }
    return true;
}

}  // namespace

// The option summary that --help prints before the actions.
std::string usage() {
    return "Usage: pdehost [options]\n"
           "Plays the print dialog: loads the print dialog extensions, shows their panes, runs actions,\n"
           "and shows what the printing system will take into the job.\n\n"
           "  --printer PPD          the printer's PPD file (default: the bundled 7140K sample)\n"
           "  --queue NAME           the printer is this queue of the CUPS server (CUPS_SERVER or the\n"
           "                         default); its PPD comes from the server\n"
           "  --print FILE           with --queue: after the actions, commit the panes and submit FILE\n"
           "                         to the queue with the ticket's options; reports the job id\n"
           "  --title TITLE          the job's title (default: FILE's name)\n"
           "  --plugins DIR          a folder of .plugin bundles (default: the build's)\n"
           "  --lang LOCALIZATION    the localization the panes use (en, de, ...)\n"
           "  -o KEY=VALUE           preset a PPD dictionary entry of the print-settings ticket\n"
           "  --ticket FILE          preset the PPD dictionary from a JSON object\n"
           "  --do \"ACTION ARGS\"     run an action after every pane is initialised (repeatable)\n"
           "  --script FILE          run the actions of FILE, one a line, # comments\n"
           "  --interactive          read actions at a prompt ('help' lists them)\n"
           "  --manual-clock         time moves only by 'tick'\n"
           "  --json                 print one JSON document instead of text\n"
           "  --help, --version\n\n"
           "The ticket shows what the panes wrote: the commit action writes them, as the dialog does\n"
           "when the user prints.\n"
           "Exit status: 0 when everything ran; 1 when an action failed, the dialog could not be made,\n"
           "or the CUPS server could not be reached, has no such queue or PPD, or refused the job;\n"
           "2 for a wrong option, action, pane, control or argument (then nothing runs).\n";
}

// Reads every option in order; --script is read at once, so its actions fall in place among --do.
bool parseCommandLine(int argc, char **argv, Options &options, std::string &error) {
    for (int index = 1; index < argc; ++index) {
        std::string argument = argv[index];
        auto value = [&](std::string &into) {
            if (index + 1 >= argc) {
                error = argument + " needs an argument";
                return false;
            }
            into = argv[++index];
            return true;
        };
        std::string text;
        if (argument == "--printer") { if (!value(options.printer)) return false; }
        else if (argument == "--queue" || argument == "--print") {
            std::string &into = argument == "--queue" ? options.queue : options.printFile;
            if (!value(into)) return false;
            if (into.empty()) {
                error = argument + " needs a non-empty argument";
                return false;
            }
        }
        else if (argument == "--title") { if (!value(options.title)) return false; }
        else if (argument == "--plugins") { if (!value(options.plugins)) return false; }
        else if (argument == "--lang") { if (!value(options.language)) return false; }
        else if (argument == "-o") { if (!value(text)) return false; options.presets.push_back(text); }
        else if (argument == "--ticket") { if (!value(options.ticketFile)) return false; }
        else if (argument == "--do") { if (!value(text)) return false; options.actions.push_back({text, "--do"}); }
        else if (argument == "--script") {
            if (!value(text) || !readScript(text, options.actions, error)) return false;
        }
        else if (argument == "--json") options.json = true;
        else if (argument == "--interactive") options.interactive = true;
        else if (argument == "--manual-clock") options.manualClock = true;
        else if (argument == "--help" || argument == "-h") options.help = true;
        else if (argument == "--version") options.version = true;
        else {
            error = "unknown option '" + argument + "' (see --help)";
            return false;
        }
    }
    if (!printdialog::checkPrinterOptions(options.printer, options.queue, options.printFile, options.title, error))
        return false;
    // The prompt and the effects would land in the middle of the JSON document.
    if (options.interactive && options.json) {
        error = "--interactive and --json cannot be used together";
        return false;
    }
    return true;
}

}  // namespace pdehost
