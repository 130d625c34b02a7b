// Reading pdedialog's command line.
#include "options.h"

#include <printdialog/cups_queue.h>

#include <filesystem>
#include <map>

#include <unistd.h>

namespace pdedialog {
namespace {

// A printer is either a PPD file or a queue; only a queue takes a job, and a queue always has a
// document for Print to submit, known to be readable before any server is asked.
bool checkPrinterChoice(const Options &options, std::string &error) {
    if (!printdialog::checkPrinterOptions(options.printer, options.queue, options.printFile, options.title, error))
        return false;
    if (!options.queue.empty() && options.printFile.empty()) {
        error = "--queue needs --print: the document the Print button submits";
        return false;
    }
    std::error_code fileError;
    if (!options.printFile.empty() && (!std::filesystem::is_regular_file(options.printFile, fileError) ||
                                       access(options.printFile.c_str(), R_OK) != 0)) {
        error = "cannot read the file to print: " + options.printFile;
        return false;
    }
    return true;
}

}  // namespace

// Every option takes one argument but --help; "--name=value" is accepted as well.
bool parseCommandLine(const std::vector<std::string> &arguments, Options &options, std::string &error) {
    const std::map<std::string, std::string Options::*> valued = {
        {"--printer", &Options::printer}, {"--plugins", &Options::plugins},
        {"--lang", &Options::language},   {"--pane", &Options::pane},
        {"--script", &Options::script},   {"--screenshot", &Options::screenshot},
        {"--state", &Options::state},     {"--queue", &Options::queue},
        {"--print", &Options::printFile}, {"--title", &Options::title}};
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
    return options.help || checkPrinterChoice(options, error);
}

std::string usage() {
    return "usage: pdedialog [options]\n"
           "The print dialog in a desktop window: the printer's panes, their Summary, Cancel and Print.\n"
           "  --printer PPD      the printer's PPD file (default: the 7140K sample printer)\n"
           "  --queue NAME       the printer is this queue of the CUPS server (CUPS_SERVER or the\n"
           "                     default); its PPD comes from the server; needs --print\n"
           "  --print FILE       with --queue: the document that Print submits to the queue with the\n"
           "                     ticket's options, after every pane wrote the ticket\n"
           "  --title TITLE      the job's title (default: FILE's name)\n"
           "  --plugins DIR      a folder of .plugin bundles (default: the build's plug-ins)\n"
           "  --lang LANG        the localization the panes use (en, de)\n"
           "  --pane NAME        the pane shown first (jobmode, imaging, coloradjust or summary)\n"
           "  --script FILE      actions as pdehost takes them, one a line, run one per pass of the\n"
           "                     main loop; also 'screenshot FILE', 'print' (presses Print) and 'quit'\n"
           "  --screenshot FILE  saves a PNG of the window once it is drawn (after the script), then exits\n"
           "  --state FILE       keeps the dialog's state as JSON in FILE while it runs, and at exit\n"
           "  --help\n"
           "Exit status: 0; 1 when the display, the dialog, a script line, the screenshot or the state\n"
           "file failed, or the CUPS server could not be reached, has no such queue or PPD, or did not\n"
           "take the job; 2 for a wrong option, pane or script line (then nothing runs).\n";
}

}  // namespace pdedialog
