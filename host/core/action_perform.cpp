// Performing an action in the dialog as a person or the dialog's own code would.
#include "action_support.h"

#include <printdialog/control_snapshot.h>
#include <printdialog/ticket_preset.h>

#include <platform/clock.h>
#include <platform/user_actions.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace printdialog {
namespace {

// A platform status in words, for messages.
std::string statusText(OSStatus status) {
    switch (status) {
    case errControlHiddenOrDisabled: return "it is disabled";
    case errInvalidControl: return "it no longer exists";
    case paramErr: return "the argument is out of range";
    case errControlDoesntSupportFocus: return "it does not take the keyboard focus";
    default: return "status " + std::to_string(status);
    }
}

// What the action does to a control, for "cannot ..." messages.
std::string verbPhrase(Action::Kind kind) {
    using Kind = Action::Kind;
    switch (kind) {
    case Kind::Select: return "select";
    case Kind::Check: return "check";
    case Kind::Slide: return "slide";
    case Kind::Focus: return "focus";
    case Kind::Type: return "type";
    case Kind::Key: return "press the key";
    case Kind::Selection: return "set the selection";
    case Kind::Paste: return "paste";
    case Kind::SetText: return "set the text";
    default: return "do that";
    }
}

// Runs the run loop for the whole time even when nothing is scheduled (the run loop then returns
// at once); the seconds that really passed.
double runFor(double seconds) {
    auto start = std::chrono::steady_clock::now();
    auto elapsed = [&start] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    while (elapsed() < seconds) {
        double remaining = seconds - elapsed();
        if (Dialog::turnRunLoop(remaining) == kCFRunLoopRunFinished)
            std::this_thread::sleep_for(std::chrono::duration<double>(std::min(remaining, 0.01)));
    }
    return elapsed();
}

// Seconds without trailing zeros ("0.25").
std::string secondsText(double seconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", seconds);
    return buffer;
}

// What the control shows now, for the effect line of an action.
std::string describeState(const Action &action, ControlRef control) {
    ControlSnapshot snapshot = snapshotControl(control);
    std::string state;
    if (snapshot.type == ControlType::Popup)
        state = "\"" + snapshot.selectedItemText() + "\" (item " + std::to_string(snapshot.value) + ")";
    else if (snapshot.type == ControlType::CheckBox)
        state = snapshot.value ? "on" : "off";
    else if (snapshot.type == ControlType::Slider)
        state = std::to_string(snapshot.value);
    else
        state = "text \"" + snapshot.text + "\"";
    return controlName(action) + " " + controlTypeName(snapshot.type) + ": " + state + (snapshot.enabled ? "" : ", disabled");
}

// Why a popup choice failed: a disabled item is told apart from a disabled popup.
std::string selectFailure(ControlRef control, const Action &action, OSStatus status) {
    if (status == errControlHiddenOrDisabled && PlatformIsControlEffectivelyEnabled(control)) {
        ControlSnapshot popup = snapshotControl(control);
        std::string text = static_cast<size_t>(action.first) <= popup.items.size()
                               ? popup.items[static_cast<size_t>(action.first - 1)].text
                               : std::string();
        return "item " + std::to_string(action.first) + " (\"" + text + "\") is disabled";
    }
    return statusText(status);
}

// Performs a user action or SetControlData on one control; the platform refuses what a person
// could not do (a disabled control or item).
OSStatus workControl(const Action &action, ControlRef control, int &refusedKeys) {
    using Kind = Action::Kind;
    switch (action.kind) {
    case Kind::Select:
        return PlatformChoosePopupItem(control, action.first);
    case Kind::Check:
        if ((GetControl32BitValue(control) != 0) != action.on) return PlatformClickCheckBox(control);
        return PlatformIsControlEffectivelyEnabled(control) ? OSStatus{noErr} : OSStatus{errControlHiddenOrDisabled};
    case Kind::Slide:
        return PlatformMoveSlider(control, action.first);
    case Kind::Focus:
        return PlatformFocusControl(control);
    case Kind::Type: {
        OSStatus status = PlatformFocusControl(control);
        for (char byte : keyBytes(action.text).value_or(std::string())) {
            if (status != noErr) break;
            Boolean refused = false;
            status = PlatformPressKeyNotingRefusal(GetControlOwner(control), static_cast<UInt8>(byte), false, &refused);
            if (refused) ++refusedKeys;
        }
        return status;
    }
    case Kind::Key: {
        OSStatus status = PlatformFocusControl(control);
        return status == noErr ? PlatformPressKey(GetControlOwner(control), action.keyCode, false) : status;
    }
    case Kind::Selection:
        return PlatformSetTextSelection(control, static_cast<SInt16>(action.first), static_cast<SInt16>(action.second));
    case Kind::Paste: {
        auto text = createString(action.text);
        return text ? PlatformPasteText(control, text.get()) : OSStatus{paramErr};
    }
    case Kind::SetText: {
        auto text = createString(action.text);
        CFStringRef value = text.get();
        if (value == nullptr) return paramErr;
        return SetControlData(control, kControlEntireControl, kControlEditTextCFStringTag, sizeof(CFStringRef), &value);
    }
    default:
        return paramErr;
    }
}

}  // namespace

// Actions without a pane first, then the pane's Open/Close, then the user actions on a control.
bool performAction(Dialog &dialog, const Action &action, ActionEffect &effect, std::string &error) {
    using Kind = Action::Kind;
    effect = ActionEffect();
    switch (action.kind) {
    case Kind::Wait:
        effect.text = "ran the run loop for " + secondsText(runFor(action.seconds)) + " s";
        return true;
    case Kind::Tick:
        PlatformAdvanceManualClock(action.seconds);
        Dialog::turnRunLoop(0);
        effect.text = "advanced the clock by " + secondsText(action.seconds) + " s and ran one pass of the run loop";
        return true;
    case Kind::Commit:
    case Kind::Reload: {
        OSStatus status = dialog.syncAll(action.kind == Kind::Reload);
        if (status != noErr) {
            error = std::string(action.kind == Kind::Commit ? "commit" : "reload") + " failed (status " +
                    std::to_string(status) + ")";
            return false;
        }
        effect.text = action.kind == Kind::Commit ? "wrote every shown pane into the ticket"
                                             : "read every shown pane from the ticket";
        return true;
    }
    case Kind::Summary:
    case Kind::Show:
    case Kind::Ticket:
    case Kind::Cancel:
        return true;
    default:
        break;
    }

    Pane *pane = dialog.findPane(action.pane);
    if (pane == nullptr) {
        error = "unknown pane '" + action.pane + "'";
        return false;
    }
    if (!pane->accepted()) {
        error = (action.needsControl() ? controlName(action) : "pane " + action.pane) +
                ": the pane was refused for this printer";
        return false;
    }
    if (action.kind == Kind::Open || action.kind == Kind::Close) {
        OSStatus status = action.kind == Kind::Open ? dialog.openPane(*pane) : dialog.closePane(*pane);
        if (status != noErr) {
            error = action.line + ": status " + std::to_string(status);
            return false;
        }
        effect.text = (action.kind == Kind::Open ? "opened " : "closed ") + action.pane;
        return true;
    }

    ControlRef control = dialog.control(*pane, action.id);
    if (control == nullptr) {
        error = controlName(action) + ": no such control";
        return false;
    }
    OSStatus status = workControl(action, control, effect.refusedKeys);
    if (status != noErr) {
        std::string verb = verbPhrase(action.kind);
        std::string reason = action.kind == Kind::Select ? selectFailure(control, action, status) : statusText(status);
        error = controlName(action) + ": cannot " + verb + " (" + reason + ")";
        return false;
    }
    effect.text = action.kind == Kind::Focus ? controlName(action) + " has the keyboard focus" : describeState(action, control);
    if (effect.refusedKeys > 0)
        effect.text += "; the field's key filters refused " + std::to_string(effect.refusedKeys) +
                       (effect.refusedKeys == 1 ? " key" : " keys");
    return true;
}

}  // namespace printdialog
