// pdehost: the print dialog that a person or a script drives.
#include "diagnostics.h"
#include "options.h"
#include "render.h"

#include <pdehost/actions.h>
#include <pdehost/dialog.h>
#include <pdehost/ppd_report.h>
#include <pdehost/ticket_preset.h>

#include <platform/host_support.h>
#include <platform/test_support.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

using namespace pdehost;

namespace {

constexpr int kExitActionFailed = 1;
constexpr int kExitUsage = 2;

int fail(int code, const std::string &message) {
    std::cerr << "pdehost: " << message << "\n";
    return code;
}

bool readFile(const std::string &path, std::string &text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
    return true;
}

// Runs one action; on the real clock the run loop turns afterwards, as the dialog's would.
bool runAction(Dialog &dialog, const Action &action, const Options &options, std::string &effect,
               std::string &error, std::ostream &out) {
    if (!performAction(dialog, action, effect, error)) return false;
    if (!options.manualClock && action.kind != Action::Kind::Wait) Dialog::turnRunLoop(0);
    if (!options.json && action.reportsState()) {
        if (action.kind == Action::Kind::Summary) out << renderSummaryText(dialog);
        if (action.kind == Action::Kind::Ticket) out << renderTicketText(dialog);
        if (action.kind == Action::Kind::Show)
            for (auto &pane : dialog.panes()) out << renderPaneText(dialog, *pane);
    }
    return true;
}

void runInteractive(Dialog &dialog, const Options &options) {
    std::cout << "pdehost interactive: type 'help' for the actions, 'quit' to end.\n";
    std::string line;
    while (std::cout << "pdehost> " << std::flush, std::getline(std::cin, line)) {
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        line = line.substr(first);
        if (line == "quit" || line == "exit") break;
        if (line == "help") {
            std::cout << actionHelp();
            continue;
        }
        Action action;
        std::string error, effect;
        if (!parseAction(line, action, error) || !validateAction(dialog, action, options.manualClock, error) ||
            !runAction(dialog, action, options, effect, error, std::cout)) {
            std::cout << "error: " << error << "\n";
            continue;
        }
        if (!effect.empty()) std::cout << effect << "\n";
        if (Pane *pane = dialog.findPane(action.pane); pane && action.needsControl())
            std::cout << renderPaneText(dialog, *pane);
    }
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
        if (!parseAction(line, action, error)) return fail(kExitUsage, error);
        actions.push_back(std::move(action));
    }

    if (options.printer.empty()) options.printer = PDEHOST_DEFAULT_PRINTER;
    if (options.plugins.empty()) options.plugins = PDEHOST_DEFAULT_PLUGINS;
    std::error_code fileError;
    if (!std::filesystem::is_regular_file(options.printer, fileError))
        return fail(kExitUsage, "no printer PPD at " + options.printer);
    if (!std::filesystem::is_directory(options.plugins, fileError))
        return fail(kExitUsage, "no plug-in folder at " + options.plugins);

    auto presets = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks));
    if (!options.ticketFile.empty()) {
        std::string text;
        if (!readFile(options.ticketFile, text)) return fail(kExitUsage, "cannot read the ticket " + options.ticketFile);
        if (!addTicketPresetsFromJSON(text, presets.get(), error))
            return fail(kExitUsage, options.ticketFile + ": " + error);
    }
    for (const auto &pair : options.presets)
        if (!addTicketPreset(pair, presets.get(), error)) return fail(kExitUsage, error);

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

    for (const auto &action : actions) {
        if (!validateAction(*dialog, action, options.manualClock, error)) {
            dialog->terminate();
            capture.stop();
            return fail(kExitUsage, error);
        }
    }
    if (!options.manualClock) Dialog::turnRunLoop(0);

    std::ostringstream out;
    json::Value actionLog = json::Value::array();
    int exitCode = 0;
    for (const auto &action : actions) {
        std::string effect;
        if (!runAction(*dialog, action, options, effect, error, out)) {
            actionLog.push(json::Value::object()
                               .set("action", json::Value::string(action.line))
                               .set("error", json::Value::string(error)));
            exitCode = kExitActionFailed;
            break;
        }
        actionLog.push(json::Value::object()
                           .set("action", json::Value::string(action.line))
                           .set("effect", json::Value::string(effect)));
    }
    if (options.interactive && exitCode == 0) runInteractive(*dialog, options);

    // The state after the last action, then what the printer will receive.
    PPDReport report = checkAgainstPPD(options.printer, dialog->ppdDictionary());
    json::Value document = json::Value::object();
    if (options.json) {
        document.set("printer", json::Value::object()
                                    .set("ppd", json::Value::string(options.printer))
                                    .set("modelName", json::Value::string(report.modelName)));
        json::Value panes = json::Value::array();
        for (auto &pane : dialog->panes()) panes.push(paneJSON(*dialog, *pane));
        document.set("panes", std::move(panes));
        document.set("ticket", ticketJSON(*dialog));
        json::Value reportValue = reportJSON(report);
        for (auto &[key, value] : reportValue.asObject()) document.set(key, std::move(value));
        document.set("actions", std::move(actionLog));
    } else {
        out << "Printer: " << report.modelName << " (" << options.printer << ")\n";
        for (auto &pane : dialog->panes()) out << renderPaneText(*dialog, *pane);
        out << renderSummaryText(*dialog) << renderTicketText(*dialog) << renderReportText(report);
    }

    dialog->terminate();
    dialog.reset();
    std::string standardError = capture.stop();
    std::vector<std::string> systemLog = takeSystemLogLines();

    if (options.json) {
        json::Value diagnostics = json::Value::object();
        diagnostics.set("standardError", json::Value::string(standardError));
        json::Value logLines = json::Value::array();
        for (const auto &line : systemLog) logLines.push(json::Value::string(line));
        diagnostics.set("systemLog", std::move(logLines));
        document.set("diagnostics", std::move(diagnostics));
        std::cout << json::write(document) << "\n";
    } else {
        std::cout << out.str();
        if (!standardError.empty() || !systemLog.empty()) {
            std::cout << "Diagnostics:\n";
            if (!standardError.empty()) std::cout << standardError << (standardError.back() == '\n' ? "" : "\n");
            for (const auto &line : systemLog) std::cout << "  syslog " << line << "\n";
        }
    }
    if (exitCode != 0) std::cerr << "pdehost: " << error << "\n";
    return exitCode;
}
