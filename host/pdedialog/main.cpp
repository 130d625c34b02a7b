// pdedialog: the print dialog in a desktop window.
#include "dialog_session.h"
#include "options.h"

#include <printdialog/command_line.h>
#include <printdialog/extension.h>
#include <printdialog/output.h>
#include <printdialog/ppd_report.h>
#include <printdialog/startup.h>

#include <platform/host_support.h>

#include <gtk/gtk.h>

#include <iostream>

using namespace printdialog;

namespace {

int fail(int code, const std::string &message) {
    printdialog::printError("pdedialog", message);
    return code;
}

// The localization the window's own words follow: the one asked for, else the panes' preference.
std::string localization(const pdedialog::Options &options) {
    if (!options.common.language.empty()) return options.common.language;
    auto preferred = cf::adopt(PlatformCopyPreferredLocalization());
    return utf8(preferred.get());
}

// The whole run; its exit status.
int run(int argc, char **argv) {
    pdedialog::Options options;
    std::string error;
    if (!pdedialog::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error))
        return fail(kExitUsage, error);
    if (options.common.help) {
        std::cout << pdedialog::usage();
        return kExitDone;
    }
    if (options.common.version) {
        std::cout << "pdedialog " << PDE_PROGRAM_VERSION << "\n";
        return kExitDone;
    }

    // Every further printer is read now, so that a wrong file is told instead of missing from the menu.
    for (const std::string &file : options.morePrinters) {
        if (printdialog::openPPD(file, error)) continue;
        error.insert(0, "--printer " + file + ": ");
        return fail(kExitUsage, error);
    }

    pdedialog::SessionSettings settings;
    if (!options.script.empty() && !pdedialog::readScript(options.script, settings.script, error))
        return fail(kExitUsage, error);

    // The printer is opened before the display, so that a wrong PPD, server or queue is told
    // without a window; a queue's fetched PPD lives until the dialog has ended.
    DialogStart start;
    int status = kExitDone;
    if (!prepareDialog(options.common, printdialog::thisProgramDefaults(), start, status, error))
        return fail(status, error);

    if (!gtk_init_check(&argc, &argv)) return fail(kExitFailed, "cannot open the display (is DISPLAY set?)");

    auto dialog = openDialog(start, error);
    if (!dialog) return fail(kExitFailed, error);
    if (std::string warning = localizationWarning(*dialog, options.common.language); !warning.empty())
        printdialog::printError("pdedialog", warning);
    if (!pdedialog::validateScript(*dialog, settings.script, error)) {
        dialog->terminate();
        return fail(kExitUsage, error);
    }

    settings.localization = localization(options);
    settings.firstPane = options.pane;
    settings.screenshot = options.screenshot;
    settings.stateFile = options.state;
    settings.job = {options.common.printFile, options.common.title, options.common.force};
    // The printer menu offers the server's queues and the PPD files given (or the bundled sample).
    if (!options.common.printer.empty()) settings.ppdFiles.push_back(options.common.printer);
    settings.ppdFiles.insert(settings.ppdFiles.end(), options.morePrinters.begin(), options.morePrinters.end());
    settings.pluginFolder = start.pluginFolder;
    return pdedialog::runDialogSession(std::move(dialog), std::move(start.printer), std::move(settings));
}

}  // namespace

// What the dialog writes on the standard output (--help, the job and report after Print, the
// script's output) must arrive: when it cannot, the run fails.
int main(int argc, char **argv) {
    ResultOutput output("pdedialog");
    return output.finish(run(argc, argv));
}
