// Checking an action against the loaded dialog before anything runs, so that a script with a
// wrong pane, control or argument changes nothing.
#include "action_support.h"

#include <printdialog/control_snapshot.h>

namespace printdialog {
namespace {

// The control kinds each user action works on.
bool kindFits(Action::Kind action, ControlType kind) {
    using Kind = Action::Kind;
    switch (action) {
    case Kind::Select: return kind == ControlType::Popup;
    case Kind::Check: return kind == ControlType::CheckBox;
    case Kind::Slide: return kind == ControlType::Slider;
    case Kind::Focus: case Kind::Type: case Kind::Key: case Kind::Selection: case Kind::Paste:
        return kind == ControlType::EditText;
    case Kind::SetText: return kind == ControlType::EditText || kind == ControlType::StaticText;
    default: return true;
    }
}

// How messages name the kind an action needs.
const char *kindsWanted(Action::Kind action) {
    using Kind = Action::Kind;
    switch (action) {
    case Kind::Select: return "a popup";
    case Kind::Check: return "a checkbox";
    case Kind::Slide: return "a slider";
    case Kind::SetText: return "a text control";
    default: return "an edittext field";
    }
}

std::string verb(const Action &action) { return action.line.substr(0, action.line.find_first_of(" \t")); }

// The argument checks that depend on the control: item and value ranges, typable text.
bool checkArgument(const Action &action, ControlRef control, std::string &error) {
    using Kind = Action::Kind;
    if (action.kind == Kind::Select) {
        ControlSnapshot popup = snapshotControl(control);
        if (action.first < 1 || static_cast<size_t>(action.first) > popup.items.size()) {
            error = "select: " + controlName(action) + " has items 1 to " + std::to_string(popup.items.size()) +
                    ", not " + std::to_string(action.first);
            return false;
        }
    } else if (action.kind == Kind::Slide) {
        SInt32 minimum = GetControl32BitMinimum(control), maximum = GetControl32BitMaximum(control);
        if (action.first < minimum || action.first > maximum) {
            error = "slide: " + controlName(action) + " goes from " + std::to_string(minimum) + " to " +
                    std::to_string(maximum) + ", not " + std::to_string(action.first);
            return false;
        }
    } else if (action.kind == Kind::Type && !keyBytes(action.text)) {
        error = "type: '" + action.text + "' holds a character that cannot be typed (use paste)";
        return false;
    }
    return true;
}

}  // namespace

// Every check that needs the loaded panes; the clock checks need none.
bool validateAction(Dialog &dialog, const Action &action, bool manualClock, std::string &error) {
    using Kind = Action::Kind;
    if (action.kind == Kind::Tick && !manualClock) {
        error = "tick needs --manual-clock (use wait on the real clock)";
        return false;
    }
    if (action.kind == Kind::Wait && manualClock) {
        error = "wait runs on the real clock; with --manual-clock use tick";
        return false;
    }
    if (action.pane.empty()) return true;
    Pane *pane = dialog.findPane(action.pane);
    if (pane == nullptr) {
        std::string known;
        for (auto &each : dialog.panes()) known += (known.empty() ? "" : ", ") + each->shortName;
        error = "unknown pane '" + action.pane + "' (known: " + known + ")";
        return false;
    }
    std::string subject = action.needsControl() ? controlName(action) : "pane " + action.pane;
    if (!pane->extension) {
        error = subject + ": the bundle did not load (" + pane->loadError + ")";
        return false;
    }
    if (!pane->accepted()) {
        OSStatus status = pane->prologueStatus != noErr ? pane->prologueStatus : pane->initializeStatus;
        error = subject + ": the pane was refused for this printer (status " + std::to_string(status) + ")";
        return false;
    }
    if (!action.needsControl()) return true;
    ControlRef control = dialog.control(*pane, action.id);
    if (control == nullptr) {
        error = "unknown control id " + std::to_string(action.id) + " in pane " + action.pane;
        return false;
    }
    ControlType kind = controlKind(control);
    if (!kindFits(action.kind, kind)) {
        error = verb(action) + ": " + controlName(action) + " is not " + kindsWanted(action.kind) + " (it is " + controlTypeName(kind) + ")";
        return false;
    }
    return checkArgument(action, control, error);
}

}  // namespace printdialog
