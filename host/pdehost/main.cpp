// pdehost: the print dialog that a person or a script drives.
#include "action_runner.h"
#include "diagnostics.h"
#include "options.h"
#include "render.h"

#include <printdialog/actions.h>
#include <printdialog/command_line.h>
#include <printdialog/destinations.h>
#include <printdialog/output.h>
#include <printdialog/print_job.h>
#include <printdialog/report_text.h>
#include <printdialog/saved_settings.h>
#include <printdialog/startup.h>

#include <platform/clock.h>
#include <platform/host_support.h>

#include <iostream>
#include <sstream>

using namespace printdialog;

namespace {

int fail(int code, const std::string &message) {
    printError("pdehost", message);
    return code;
}

// The state after the last action, then what the printer receives and what became of the job,
// as one JSON document. ending: "print", "cancel", or "stopped" after a failed action.
Json resultJSON(Dialog &dialog, const Printer &printer, const PrintOutcome &outcome, const char *ending,
                const std::string &printFile, Json actionLog) {
    Json document = Json::object();
    document["printer"] = printerJSON(printer);
    Json panes = Json::array();
    for (auto &pane : dialog.panes()) panes.push_back(pdehost::paneJSON(dialog, *pane));
    document["panes"] = std::move(panes);
    document["ticket"] = pdehost::ticketJSON(dialog);
    document.update(reportJSON(outcome.report, printer.queue(), printFile));
    document["problems"] = outcome.problems;
    document["ending"] = ending;
    document["actions"] = std::move(actionLog);
    return document;
}

// The same for a person: every bundle, the Summary, the ticket and the printer's view of it.
std::string resultText(Dialog &dialog, const Printer &printer, const PrintOutcome &outcome, bool cancelled,
                       const std::string &printFile) {
    std::string out = "Printer: " + printer.modelName() + " (" + printer.where() + ")\n";
    for (auto &pane : dialog.panes()) out += pdehost::renderPaneText(dialog, *pane);
    out += pdehost::renderSummaryText(dialog) + pdehost::renderTicketText(dialog);
    if (cancelled) return out + renderOutcomeText(outcome, reportWords("en"));
    return out + renderReportText(outcome.report, reportWords("en"), printer.queue(), printFile);
}

// Why the job did not go out, in one line for the error stream.
std::string outcomeError(const PrintOutcome &outcome) {
    if (outcome.result != PrintOutcome::Result::Refused) return outcome.error;
    std::string problems;
    for (const auto &problem : outcome.problems) problems += (problems.empty() ? "" : "; ") + problem;
    return "not printed: " + problems + " (--force prints anyway)";
}

// --list-printers: the server's destinations, one a line ("q7140/draft", the default with
// " (default)"), or one JSON document; nothing to choose from is one line and status 1.
int listPrinters(bool json) {
    DestinationList list = listDestinations();
    if (list.status == DestinationList::Status::NoServer) return fail(kExitFailed, list.message);
    if (json) {
        Json printers = Json::array();
        for (const Destination &each : list.destinations)
            printers.push_back({{"name", each.name()}, {"queue", each.queue}, {"instance", each.instance},
                                {"default", each.isDefault}});
        std::cout << jsonText(Json{{"server", list.server}, {"printers", std::move(printers)}}) << "\n";
    } else {
        for (const Destination &each : list.destinations)
            std::cout << each.name() << (each.isDefault ? " (default)" : "") << "\n";
    }
    return list.status == DestinationList::Status::Listed ? kExitDone : fail(kExitFailed, list.message);
}

// --delete-preset: removes QUEUE/NAME from the user's options; one line (or JSON) saying so.
int deletePresetOf(const pdehost::Options &options) {
    DestinationName queue;
    std::string error;
    if (!parseDestinationName(options.common.queue, queue, error)) return fail(kExitUsage, "--queue " + error);
    DestinationName preset{queue.queue, options.deletePreset};
    if (!deletePreset(preset, error)) return fail(kExitFailed, "the preset was not deleted: " + error);
    if (options.json) std::cout << jsonText(Json{{"deleted", preset.text()}, {"file", lpoptionsPath()}}) << "\n";
    else std::cout << "Deleted the preset " << preset.text() << " from " << lpoptionsPath() << "\n";
    return kExitDone;
}

// --save-default or --save-preset after a run that committed the panes: what was saved, as a line
// of text and the JSON document's "saved"; false with the reason.
bool saveCommitted(const pdehost::Options &options, Dialog &dialog, const Printer &printer, std::string &line,
                   Json &saved, std::string &error) {
    DestinationName target{printer.queue(), options.saveDefault ? std::string() : options.savePreset};
    if (!saveSettings(target, dialog.ppdDictionary(), error)) {
        error = "nothing was saved: " + error;
        return false;
    }
    Json neverSaved = Json::array();
    for (const auto &[key, value] : neverSavedEntries(dialog.ppdDictionary())) neverSaved.push_back(key);
    line = std::string("Saved: ") + (target.instance.empty() ? "your defaults for " : "the preset ") + target.text() +
           " in " + lpoptionsPath() +
           (neverSaved.empty() ? "" : " (not the private-print document number: it is asked for each job)") + "\n";
    saved = Json{{"destination", target.text()}, {"file", lpoptionsPath()}, {"leftOut", std::move(neverSaved)}};
    return true;
}

// The whole run; its exit status.
int run(int argc, char **argv) {
    pdehost::Options options;
    std::string error;
    if (!pdehost::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error))
        return fail(kExitUsage, error);
    if (options.common.help) {
        std::cout << pdehost::usage() << "\n" << actionHelp();
        return kExitDone;
    }
    if (options.common.version) {
        std::cout << "pdehost " << PDE_PROGRAM_VERSION << "\n";
        return kExitDone;
    }
    if (options.listPrinters) return listPrinters(options.json);
    if (!options.deletePreset.empty()) return deletePresetOf(options);

    // Every action is read before anything runs, so a script with a typo changes nothing.
    std::vector<Action> actions;
    for (const auto &line : options.actions) {
        Action action;
        if (!parseAction(line.text, action, error)) return fail(kExitUsage, locatedMessage(line, error));
        if (!actions.empty() && actions.back().kind == Action::Kind::Cancel)
            return fail(kExitUsage, locatedMessage(line, "cancel ends the dialog: it must be the last action"));
        actions.push_back(std::move(action));
    }
    bool cancelled = !actions.empty() && actions.back().kind == Action::Kind::Cancel;

    DialogStart start;
    int status = kExitDone;
    if (!prepareDialog(options.common, thisProgramDefaults(), start, status, error))
        return fail(status, error);
    if (options.manualClock) PlatformUseManualClock(true);

    pdehost::DiagnosticsCapture capture;
    capture.start();
    auto dialog = openDialog(start, error);
    if (!dialog) {
        capture.stop();
        return fail(kExitFailed, error);
    }
    const Printer &printer = *start.printer;

    // The panes are known now: check every action against them before the first one runs.
    for (size_t index = 0; index < actions.size(); ++index) {
        if (!validateAction(*dialog, actions[index], options.manualClock, error)) {
            dialog->terminate();
            capture.stop();
            return fail(kExitUsage, locatedMessage(options.actions[index], error));
        }
    }
    if (!options.manualClock) Dialog::turnRunLoop(0);

    std::ostringstream out;
    pdehost::ActionRunner runner(*dialog, options);
    int exitCode = kExitDone;
    for (size_t index = 0; index < actions.size() && exitCode == kExitDone; ++index) {
        if (!runner.run(actions[index], out, error)) {
            error = locatedMessage(options.actions[index], error);
            exitCode = kExitFailed;
        }
    }
    if (options.interactive && exitCode == kExitDone) {
        std::cout << out.str();
        out.str({});
        runner.interactive(std::cin, std::cout);
        cancelled = cancelled || runner.cancelled();
    }

    // The run ends as the dialog does: Print commits every pane (and with --print sends the job),
    // Cancel commits nothing. After a failed action nothing is printed.
    PrintOutcome outcome;
    std::string printFile = exitCode == kExitDone ? options.common.printFile : std::string();
    // A failed action stops the run where it was: nothing is committed, as for Cancel.
    bool stopped = exitCode != kExitDone;
    if (cancelled || stopped) {
        outcome = cancelDialog(*dialog, printer);
    } else {
        outcome = printDialog(*dialog, printer,
                              {printFile, options.common.title, options.common.force, !printFile.empty()});
        if (outcome.commitStatus != noErr || outcome.failed()) {
            error = outcomeError(outcome);
            exitCode = kExitFailed;
        }
    }

    // Saving takes what Print committed; a run that committed nothing saves nothing.
    std::string savedLine;
    Json saved;
    if (options.saveDefault || !options.savePreset.empty()) {
        std::string saveError;
        if (cancelled || stopped || outcome.commitStatus != noErr)
            saveError = cancelled ? "nothing was saved: the dialog was cancelled"
                                  : "nothing was saved: the panes did not commit their settings";
        else
            saveCommitted(options, *dialog, printer, savedLine, saved, saveError);
        if (!saveError.empty() && exitCode == kExitDone) {
            error = saveError;
            exitCode = kExitFailed;
        }
    }

    std::string warning = localizationWarning(*dialog, options.common.language);
    Json document;
    std::string text;
    const char *ending = cancelled ? "cancel" : stopped ? "stopped" : "print";
    if (options.json) document = resultJSON(*dialog, printer, outcome, ending, printFile, std::move(runner.log()));
    else text = resultText(*dialog, printer, outcome, cancelled, printFile);

    // The panes go away before the diagnostics are read, so that what Terminate writes is there.
    dialog->terminate();
    dialog.reset();
    std::string standardError = capture.stop();
    std::vector<std::string> systemLog = pdehost::takeSystemLogLines();
    if (!warning.empty()) printError("pdehost", warning);

    if (!printFile.empty() && !cancelled && !stopped) {
        if (options.json) document["job"] = outcomeJSON(outcome);
        else text += renderOutcomeText(outcome, reportWords("en"));
    }
    if (!saved.is_null()) document["saved"] = std::move(saved);
    text += savedLine;
    if (options.json) {
        document["diagnostics"] = pdehost::diagnosticsJSON(standardError, systemLog);
        std::cout << jsonText(document) << "\n";
    } else {
        std::cout << out.str() << text << pdehost::renderDiagnosticsText(standardError, systemLog);
    }
    if (exitCode != kExitDone) printError("pdehost", error);
    return exitCode;
}

}  // namespace

// A result that cannot be written (a full disk, a closed standard output) fails the run too.
int main(int argc, char **argv) {
    ResultOutput output("pdehost");
    return output.finish(run(argc, argv));
}
