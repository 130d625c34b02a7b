// Reading pdehost's command line.
#include "options.h"

#include <printdialog/saved_settings.h>

namespace pdehost {

std::string usage() {
    return "Usage: pdehost [options]\n"
           "Plays the print dialog: loads the print dialog extensions, shows their panes, runs actions,\n"
           "and ends as a print dialog ends: with Print (every pane writes the ticket), or with Cancel\n"
           "when the last action is 'cancel'. Then shows what the printing system takes into the job.\n\n" +
           printdialog::commonOptionsHelp() +
           "  --do \"ACTION ARGS\"     run an action after every pane is initialised (repeatable)\n"
           "  --script FILE          run the actions of FILE, one a line, # comments\n"
           "  --interactive          read actions at a prompt ('help' lists them)\n"
           "  --manual-clock         time moves only by 'tick'\n"
           "  --json                 print one JSON document instead of text\n"
           "  --list-printers        list the CUPS server's queues and instances, one a line, the\n"
           "                         default first and marked; only --json (and --plugins) go with it\n"
           "  --save-default         with --queue: after Print, save the panes' settings as your\n"
           "                         defaults for the queue (lpoptions), which every application uses\n"
           "  --save-preset NAME     with --queue: after Print, save them as the preset QUEUE/NAME, a\n"
           "                         printer of its own in every application's printer list\n"
           "  --delete-preset NAME   with --queue: remove the preset QUEUE/NAME; no dialog runs\n"
           "  --queue QUEUE/NAME     opens a preset: the queue with the preset's settings\n"
           "The private-print document number (DINDigit1-5) is never saved.\n\n"
           "With --print, the job goes out only when libcups finds no conflict with the PPD's constraints\n"
           "and no choice the PPD does not define (standard job options such as copies, page-ranges,\n"
           "media or sides are job options, not choices); --force sends it anyway.\n"
           "Exit status: 0 when everything ran (and the job was sent, with --print); 1 when an action\n"
           "failed, the plug-in folder holds no bundle, the CUPS server could not be reached, has no\n"
           "such queue or PPD, or the job was refused or not sent; 2 for a wrong option, action, pane,\n"
           "control or argument, or an unreadable PPD, ticket or script (then nothing runs).\n";
}

bool parseCommandLine(const std::vector<std::string> &arguments, Options &options, std::string &error) {
    using printdialog::CommandOption;
    std::vector<CommandOption> accepted;
    printdialog::addCommonOptions(accepted, options.common);
    accepted.push_back(printdialog::flagOption("--json", options.json));
    accepted.push_back(printdialog::flagOption("--interactive", options.interactive));
    accepted.push_back(printdialog::flagOption("--manual-clock", options.manualClock));
    accepted.push_back(printdialog::flagOption("--list-printers", options.listPrinters));
    accepted.push_back({"--do", CommandOption::Kind::RepeatedValue, [&options](const std::string &value, std::string &) {
                            options.actions.push_back({value, "--do"});
                            return true;
                        }});
    accepted.push_back(printdialog::flagOption("--save-default", options.saveDefault));
    accepted.push_back(printdialog::valueOption("--save-preset", options.savePreset));
    accepted.push_back(printdialog::valueOption("--delete-preset", options.deletePreset));
    // A script is read at once, so that its actions fall in place among the --do actions.
    accepted.push_back({"--script", CommandOption::Kind::RepeatedValue,
                        [&options](const std::string &value, std::string &message) {
                            return printdialog::readScriptFile(value, options.actions, message);
                        }});
    if (!printdialog::parseCommandOptions(arguments, accepted, error)) return false;
    if (options.common.help || options.common.version) return true;
    // The plug-in folder is let be: scripts name it on every run.
    if (options.listPrinters) {
        const printdialog::CommonOptions &common = options.common;
        bool alone = common.printer.empty() && common.queue.empty() && common.printFile.empty() && common.title.empty() &&
                     common.language.empty() && common.ticketFile.empty() &&
                     common.presets.empty() && !common.force && options.actions.empty() && !options.interactive &&
                     !options.manualClock;
        if (!alone) error = "--list-printers takes no other option but --json";
        return alone;
    }
    if (!printdialog::checkCommonOptions(options.common, error)) return false;
    const bool saving = options.saveDefault || !options.savePreset.empty();
    if ((saving || !options.deletePreset.empty()) && options.common.queue.empty()) {
        error = std::string(saving ? options.saveDefault ? "--save-default" : "--save-preset" : "--delete-preset") +
                " needs --queue: settings are saved for a CUPS queue";
        return false;
    }
    for (const std::string *name : {&options.savePreset, &options.deletePreset}) {
        if (name->empty()) continue;
        std::string problem = printdialog::instanceNameProblem(*name);
        if (!problem.empty()) {
            error = (name == &options.savePreset ? "--save-preset: " : "--delete-preset: ") + problem;
            return false;
        }
    }
    if (options.saveDefault && !options.savePreset.empty()) {
        error = "--save-default and --save-preset cannot be used together";
        return false;
    }
    if (!options.deletePreset.empty() &&
        (saving || !options.common.printFile.empty() || !options.actions.empty() || options.interactive)) {
        error = "--delete-preset runs no dialog: it goes with --queue (and --json) only";
        return false;
    }
    // The prompt and the effects would land in the middle of the JSON document.
    if (options.interactive && options.json) {
        error = "--interactive and --json cannot be used together";
        return false;
    }
    return true;
}

}  // namespace pdehost
