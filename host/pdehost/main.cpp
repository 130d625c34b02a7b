// pdehost: the print dialog that a person or a script drives.
#include "action_runner.h"
#include "diagnostics.h"
#include "options.h"
#include "presets.h"
#include "render.h"

#include <pdehost/actions.h>
#include <pdehost/dialog.h>
#include <pdehost/ppd_report.h>
#include <pdehost/ticket_preset.h>

#include <platform/host_support.h>
#include <platform/test_support.h>

#include <filesystem>
#include <iostream>
#include <sstream>

using namespace pdehost;

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

// The state after the last action, then what the printer will receive, as one JSON document.
json::Value resultJSON(Dialog &dialog, const Options &options, const PPDReport &report, json::Value actionLog) {
    json::Value document = json::Value::object();
    document.set("printer", json::Value::object()
                               .set("ppd", json::Value::string(options.printer))
                               .set("modelName", json::Value::string(report.modelName)));
    json::Value panes = json::Value::array();
    for (auto &pane : dialog.panes()) panes.push(paneJSON(dialog, *pane));
    document.set("panes", std::move(panes));
    document.set("ticket", ticketJSON(dialog));
    json::Value reportValue = reportJSON(report);
    for (auto &[key, value] : reportValue.asObject()) document.set(key, std::move(value));
    document.set("actions", std::move(actionLog));
    return document;
}

// The same for a person: every bundle, the Summary, the ticket and the printer's view of it.
std::string resultText(Dialog &dialog, const Options &options, const PPDReport &report) {
    std::string out = "Printer: " + report.modelName + " (" + options.printer + ")\n";
    for (auto &pane : dialog.panes()) out += renderPaneText(dialog, *pane);
    return out + renderSummaryText(dialog) + renderTicketText(dialog) + renderReportText(report);
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

    if (options.printer.empty()) options.printer = PDEHOST_DEFAULT_PRINTER;
    if (options.plugins.empty()) options.plugins = PDEHOST_DEFAULT_PLUGINS;
    std::error_code fileError;
    if (!std::filesystem::is_regular_file(options.printer, fileError))
        return fail(kExitUsage, "no printer PPD at " + options.printer);
    if (!std::filesystem::is_directory(options.plugins, fileError))
        return fail(kExitUsage, "no plug-in folder at " + options.plugins);

    auto presets = createPresets(options, error);
    if (!presets) return fail(kExitUsage, error);
    if (!options.language.empty()) PlatformSetPreferredLocalization(createString(options.language).get());
    if (options.manualClock) PlatformUseManualClock(true);

    DiagnosticsCapture capture;
    capture.start();
    Dialog::Options dialogOptions;
    dialogOptions.ppdPath = options.printer;
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

    PPDReport report = checkAgainstPPD(options.printer, dialog->ppdDictionary());
    json::Value document;
    std::string text;
    if (options.json) document = resultJSON(*dialog, options, report, std::move(runner.log()));
    else text = resultText(*dialog, options, report);

    // The panes go away before the diagnostics are read, so that what Terminate writes is there.
    dialog->terminate();
    dialog.reset();
    std::string standardError = capture.stop();
    std::vector<std::string> systemLog = takeSystemLogLines();

    if (options.json) {
        document.set("diagnostics", diagnosticsJSON(standardError, systemLog));
        std::cout << json::write(document) << "\n";
    } else {
        std::cout << out.str() << text << renderDiagnosticsText(standardError, systemLog);
    }
    if (exitCode != 0) std::cerr << "pdehost: " << error << "\n";
    return exitCode;
}
