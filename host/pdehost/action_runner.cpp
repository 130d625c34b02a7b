// Running actions and the interactive prompt.
#include "action_runner.h"
#include "render.h"

#include <iostream>

namespace pdehost {

using namespace printdialog;

namespace {

// What show, summary and ticket report, as JSON for the action's log entry.
void recordState(Dialog &dialog, const Action &action, Json &entry) {
    using Kind = Action::Kind;
    if (action.kind == Kind::Show) {
        Json panes = Json::array();
        for (auto &pane : dialog.panes()) panes.push_back(paneJSON(dialog, *pane));
        entry["panes"] = std::move(panes);
    } else if (action.kind == Kind::Summary) {
        entry["summary"] = summaryJSON(dialog);
    } else if (action.kind == Kind::Ticket) {
        entry["ticket"] = ticketJSON(dialog);
    }
}

// The same for a person, as text on out.
void printState(Dialog &dialog, const Action &action, std::ostream &out) {
    using Kind = Action::Kind;
    if (action.kind == Kind::Summary) out << renderSummaryText(dialog);
    if (action.kind == Kind::Ticket) out << renderTicketText(dialog);
    if (action.kind == Kind::Show)
        for (auto &pane : dialog.panes()) out << renderPaneText(dialog, *pane);
}

}  // namespace

bool ActionRunner::run(const Action &action, std::ostream &out, std::string &error) {
    Json entry = Json::object();
    entry["action"] = action.line;
    ActionEffect effect;
    if (!performAction(dialog_, action, effect, error)) {
        entry["error"] = error;
        log_.push_back(std::move(entry));
        return false;
    }
    // wait and tick turn the run loop themselves.
    if (!options_.manualClock && action.kind != Action::Kind::Wait) Dialog::turnRunLoop(0);
    if (!effect.text.empty()) entry["effect"] = effect.text;
    if (action.kind == Action::Kind::Type) entry["refusedKeys"] = effect.refusedKeys;
    if (options_.json) recordState(dialog_, action, entry);
    else printState(dialog_, action, out);
    if (options_.interactive && !effect.text.empty()) out << effect.text << "\n";
    // Keys that did not arrive are told in the text too, not only at the prompt.
    else if (!options_.json && effect.refusedKeys > 0) out << action.line << ": " << effect.text << "\n";
    log_.push_back(std::move(entry));
    return true;
}

void ActionRunner::interactive(std::istream &in, std::ostream &out) {
    out << "pdehost interactive: type 'help' for the actions, 'quit' to end.\n";
    std::string line;
    while (out << "pdehost> " << std::flush, std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        line = line.substr(first);
        if (line == "quit" || line == "exit") break;
        if (line == "help") {
            out << actionHelp() << "  help | quit                         this text | end the prompt as Print does\n";
            continue;
        }
        Action action;
        std::string error;
        if (parseAction(line, action, error) && action.kind == Action::Kind::Cancel) {
            cancelled_ = true;
            break;
        }
        if (!parseAction(line, action, error) || !validateAction(dialog_, action, options_.manualClock, error) ||
            !run(action, out, error)) {
            out << "error: " << error << "\n";
            continue;
        }
        // The pane as it is now, after the run loop turned: the rules' effect shows here.
        if (Pane *pane = dialog_.findPane(action.pane); pane && action.needsControl())
            out << renderPaneText(dialog_, *pane);
    }
    out << "\n";
}

}  // namespace pdehost
