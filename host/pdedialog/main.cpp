// pdedialog: the print dialog in a desktop window.
#include "dialog_session.h"
#include "options.h"

#include <printdialog/cups_queue.h>
#include <printdialog/dialog.h>
#include <printdialog/extension.h>
#include <printdialog/ticket_preset.h>

#include <platform/host_support.h>

#include <gtk/gtk.h>

#include <filesystem>
#include <iostream>
#include <memory>

using namespace pdedialog;

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int fail(int code, const std::string &message) {
    std::cerr << "pdedialog: " << message << "\n";
    return code;
}

// The localization the window's own words follow: the one asked for, else the panes' preference.
std::string localization(const Options &options) {
    if (!options.language.empty()) return options.language;
    auto preferred = cf::adopt(PlatformCopyPreferredLocalization());
    return printdialog::utf8(preferred.get());
}

}  // namespace

int main(int argc, char **argv) {
    Options options;
    std::string error;
    if (!parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error))
        return fail(kExitUsage, error);
    if (options.help) {
        std::cout << usage();
        return 0;
    }
    if (options.printer.empty() && options.queue.empty()) options.printer = PDEDIALOG_DEFAULT_PRINTER;
    if (options.plugins.empty()) options.plugins = PDEDIALOG_DEFAULT_PLUGINS;
    std::error_code fileError;
    if (!options.printer.empty() && !std::filesystem::is_regular_file(options.printer, fileError))
        return fail(kExitUsage, "no printer PPD at " + options.printer);
    if (!std::filesystem::is_directory(options.plugins, fileError))
        return fail(kExitUsage, "no plug-in folder at " + options.plugins);

    SessionSettings settings;
    if (!options.script.empty() && !readScript(options.script, settings.script, error)) return fail(kExitUsage, error);

    // A queue's PPD is fetched before the display is opened, so that a wrong server or queue is
    // told without a window; its temporary file lives until the dialog has ended.
    settings.printer.ppdPath = options.printer;
    std::unique_ptr<printdialog::QueuePPD> queuePPD;
    if (!options.queue.empty()) {
        queuePPD = printdialog::QueuePPD::fetch(options.queue, error);
        if (!queuePPD) return fail(kExitFailed, error);
        settings.printer = Printer{queuePPD->path(), queuePPD->queue(), queuePPD->server(), options.printFile,
                                   options.title};
    }

    if (!options.language.empty()) PlatformSetPreferredLocalization(printdialog::createString(options.language).get());

    if (!gtk_init_check(&argc, &argv)) return fail(kExitFailed, "cannot open the display (is DISPLAY set?)");

    printdialog::Dialog::Options dialogOptions;
    dialogOptions.ppdPath = settings.printer.ppdPath;
    dialogOptions.pluginDirectory = options.plugins;
    auto dialog = printdialog::Dialog::open(dialogOptions, error);
    if (!dialog) return fail(kExitFailed, error);
    if (!validateScript(*dialog, settings.script, error)) {
        dialog->terminate();
        return fail(kExitUsage, error);
    }

    settings.localization = localization(options);
    settings.firstPane = options.pane;
    settings.screenshot = options.screenshot;
    settings.stateFile = options.state;
    return runDialogSession(*dialog, std::move(settings));
}
