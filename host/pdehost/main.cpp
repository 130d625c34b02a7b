// pdehost: the print dialog that a person or a script drives.
#include "action_runner.h"
#include "diagnostics.h"
#include "options.h"
#include "presets.h"
#include "render.h"

#include <printdialog/actions.h>
#include <printdialog/cups_queue.h>
#include <printdialog/dialog.h>
#include <printdialog/ppd_report.h>
#include <printdialog/ticket_preset.h>

#include <platform/host_support.h>
#include <platform/test_support.h>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <unistd.h>

using namespace pdehost;
using namespace printdialog;

namespace {

constexpr int kExitActionFailed = 1;
constexpr int kExitUsage = 2;

// One line on the standard error stream, and the exit code to return.
int fail(int code, const std::string &message) {
    std::cerr << "pdehost: " << message << "\n";
    return code;
}

// A script's line is named in its messages; a --do needs no more than the message itself.
std::string located(const ActionLine &line, const std::string &message) {
    return line.origin == "--do" ? message : line.origin + ": " + message;
}

// The printer the dialog runs for: a PPD file, or a queue whose PPD was fetched from its server.
struct Printer {
    std::string ppdPath;
    const QueuePPD *queue = nullptr;
};

// The state after the last action, then what the printer will receive, as one JSON document.
json::Value resultJSON(Dialog &dialog, const Printer &printer, const PPDReport &report, json::Value actionLog) {
    json::Value document = json::Value::object();
    json::Value printerValue = json::Value::object()
                                   .set("ppd", json::Value::string(printer.ppdPath))
                                   .set("modelName", json::Value::string(report.modelName));
    if (printer.queue != nullptr) {
        printerValue.set("queue", json::Value::string(printer.queue->queue()));
        printerValue.set("server", json::Value::string(printer.queue->server()));
    }
    document.set("printer", std::move(printerValue));
    json::Value panes = json::Value::array();
    for (auto &pane : dialog.panes()) panes.push(paneJSON(dialog, *pane));
    document.set("panes", std::move(panes));
    document.set("ticket", ticketJSON(dialog));
    json::Value reportValue = reportJSON(report, printer.queue ? printer.queue->queue() : std::string());
    for (auto &[key, value] : reportValue.asObject()) document.set(key, std::move(value));
    document.set("actions", std::move(actionLog));
    return document;
}

// The same for a person: every bundle, the Summary, the ticket and the printer's view of it.
std::string resultText(Dialog &dialog, const Printer &printer, const PPDReport &report) {
    std::string where = printer.queue ? "queue " + printer.queue->queue() + " on " + printer.queue->server()
                                      : printer.ppdPath;
    std::string out = "Printer: " + report.modelName + " (" + where + ")\n";
    for (auto &pane : dialog.panes()) out += renderPaneText(dialog, *pane);
    return out + renderSummaryText(dialog) + renderTicketText(dialog) +
           renderReportText(report, printer.queue ? printer.queue->queue() : std::string());
}

}  // namespace

int main(int argc, char **argv) {
    Options options;
    std::string error;
    if (!parseCommandLine(argc, argv, options, error)) return fail(kExitUsage, error);
    if (options.help) {
        std::cout << usage() << "\n" << actionHelp();
        return 0;
    }
    if (options.version) {
        std::cout << "pdehost " << PDEHOST_VERSION << "\n";
        return 0;
    }

    // Every action is read before anything runs, so a script with a typo changes nothing.
    std::vector<Action> actions;
    for (const auto &line : options.actions) {
        Action action;
        if (!parseAction(line.text, action, error)) return fail(kExitUsage, located(line, error));
        actions.push_back(std::move(action));
    }

    if (options.printer.empty() && options.queue.empty()) options.printer = PDEHOST_DEFAULT_PRINTER;
    if (options.plugins.empty()) options.plugins = PDEHOST_DEFAULT_PLUGINS;
    std::error_code fileError;
    if (!options.printer.empty() && !std::filesystem::is_regular_file(options.printer, fileError))
        return fail(kExitUsage, "no printer PPD at " + options.printer);
    if (!std::filesystem::is_directory(options.plugins, fileError))
        return fail(kExitUsage, "no plug-in folder at " + options.plugins);
    // A file that cannot be printed is known before the server is asked anything.
    if (!options.printFile.empty() && (!std::filesystem::is_regular_file(options.printFile, fileError) ||
                                       access(options.printFile.c_str(), R_OK) != 0))
        return fail(kExitUsage, "cannot read the file to print: " + options.printFile);

    auto presets = createPresets(options, error);
    if (!presets) return fail(kExitUsage, error);

    // A queue's PPD is fetched into a temporary file that lives until pdehost ends.
    Printer printer{options.printer, nullptr};
    std::unique_ptr<QueuePPD> queuePPD;
    if (!options.queue.empty()) {
        queuePPD = QueuePPD::fetch(options.queue, error);
        if (!queuePPD) return fail(kExitActionFailed, error);
        printer = Printer{queuePPD->path(), queuePPD.get()};
    }

    if (!options.language.empty()) PlatformSetPreferredLocalization(createString(options.language).get());
    if (options.manualClock) PlatformUseManualClock(true);

    DiagnosticsCapture capture;
    capture.start();
    Dialog::Options dialogOptions;
    dialogOptions.ppdPath = printer.ppdPath;
    dialogOptions.pluginDirectory = options.plugins;
    dialogOptions.presets = presets.get();
    auto dialog = Dialog::open(dialogOptions, error);
    if (!dialog) {
        capture.stop();
        return fail(kExitActionFailed, error);
    }

    // The panes are known now: check every action against them before the first one runs.
    for (size_t index = 0; index < actions.size(); ++index) {
        if (!validateAction(*dialog, actions[index], options.manualClock, error)) {
            dialog->terminate();
            capture.stop();
            return fail(kExitUsage, located(options.actions[index], error));
        }
    }
    if (!options.manualClock) Dialog::turnRunLoop(0);

    std::ostringstream out;
    ActionRunner runner(*dialog, options);
    int exitCode = 0;
    for (size_t index = 0; index < actions.size() && exitCode == 0; ++index) {
        if (!runner.run(actions[index], out, error)) {
            error = located(options.actions[index], error);
            exitCode = kExitActionFailed;
        }
    }
    if (options.interactive && exitCode == 0) {
        std::cout << out.str();
        out.str({});
        runner.interactive(std::cin, std::cout);
    }

    // Printing is what the Print button does: every shown pane writes its settings into the
    // ticket first. After a failed action nothing is printed.
    bool printing = !options.printFile.empty() && exitCode == 0;
    if (printing) {
        OSStatus status = dialog->syncAll(false);
        if (status != noErr) {
            error = "the panes could not write the ticket before printing (status " + std::to_string(status) + ")";
            exitCode = kExitActionFailed;
            printing = false;
        }
    }

    PPDReport report = checkAgainstPPD(printer.ppdPath, dialog->ppdDictionary());
    json::Value document;
    std::string text;
    if (options.json) document = resultJSON(*dialog, printer, report, std::move(runner.log()));
    else text = resultText(*dialog, printer, report);

    // The panes go away before the diagnostics are read, so that what Terminate writes is there.
    dialog->terminate();
    dialog.reset();
    std::string standardError = capture.stop();
    std::vector<std::string> systemLog = takeSystemLogLines();

    // The job takes the options of the report just made, so what is shown is what was sent.
    if (printing) {
        JobOutcome job;
        job.submitted = submitPrintJob(options.queue, options.printFile, options.title, report.options, job.job,
                                       job.error);
        if (!job.submitted) {
            error = job.error;
            exitCode = kExitActionFailed;
        }
        if (options.json) document.set("job", jobJSON(job));
        else text += renderJobText(job);
    }

    if (options.json) {
        document.set("diagnostics", diagnosticsJSON(standardError, systemLog));
        std::cout << json::write(document) << "\n";
    } else {
        std::cout << out.str() << text << renderDiagnosticsText(standardError, systemLog);
    }
    if (exitCode != 0) std::cerr << "pdehost: " << error << "\n";
    return exitCode;
}
