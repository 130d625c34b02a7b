// Reading pdedialog's command line.
#include "options.h"

namespace pdedialog {

bool parseCommandLine(const std::vector<std::string> &arguments, Options &options, std::string &error) {
    using printdialog::CommandOption;
    std::vector<CommandOption> accepted;
    printdialog::addCommonOptions(accepted, options.common);
    // Unlike pdehost, the window takes --printer more than once: the first printer is opened, the
    // others wait in the printer menu.
    for (CommandOption &each : accepted) {
        if (each.name != "--printer") continue;
        each.kind = CommandOption::Kind::RepeatedValue;
        each.take = [&options](const std::string &value, std::string &) {
            (options.common.printer.empty() ? options.common.printer : options.morePrinters.emplace_back()) = value;
            return true;
        };
    }
    accepted.push_back(printdialog::valueOption("--pane", options.pane));
    accepted.push_back(printdialog::valueOption("--script", options.script));
    accepted.push_back(printdialog::valueOption("--screenshot", options.screenshot));
    accepted.push_back(printdialog::valueOption("--state", options.state));
    if (!printdialog::parseCommandOptions(arguments, accepted, error)) return false;
    if (options.common.help || options.common.version) return true;
    // A queue without --print is fine: Print asks for the document with a file chooser.
    return printdialog::checkCommonOptions(options.common, error);
}

std::string usage() {
    return "Usage: pdedialog [options]\n"
           "The print dialog in a desktop window: the printer's panes, their Summary, Cancel and Print.\n" +
           printdialog::commonOptionsHelp() +
           "  --printer PPD          may be given more than once: the first is opened, every one is in\n"
           "                         the printer menu\n"
           "  --pane NAME            the page shown first (general, options-GROUP, jobmode, imaging,\n"
           "                         coloradjust or summary; default: general)\n"
           "  --script FILE          actions as pdehost takes them, one a line, run one per pass of the\n"
           "                         main loop; also 'screenshot FILE', 'print' (presses Print), 'print\n"
           "                         anyway' (presses Print Anyway), 'choose file PATH' (answers the file\n"
           "                         chooser that Print opens for a queue without --print), 'save default',\n"
           "                         'save preset NAME', 'preset NAME', 'delete preset NAME', 'cancel' and 'quit'\n"
           "  --screenshot FILE      saves a PNG of the window once it is drawn (after the script), then exits\n"
           "  --state FILE           keeps the dialog's state as JSON in FILE while it runs, and at exit\n"
           "With --queue and no --print, Print first asks for the document to print. --queue QUEUE/NAME\n"
           "opens the preset NAME; a queue opens with your saved settings (Save as Default, the Preset menu).\n"
           "Escape cancels, Return prints (after a pane's text field has seen it).\n"
           "Print commits every pane and checks the settings against the printer's PPD: conflicts and\n"
           "choices it does not define keep the job back and are listed, with Print Anyway to send it.\n"
           "Exit status: 0; 1 when the display, the dialog, a script line, the screenshot or the state\n"
           "file failed, the plug-in folder holds no bundle, the CUPS server could not be reached, has no\n"
           "such queue or PPD, or Print sent nothing; 2 for a wrong option, pane or script line, or an\n"
           "unreadable PPD or ticket (then nothing runs).\n";
}

}  // namespace pdedialog
