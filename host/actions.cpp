// Parsing and performing dialog actions.
#include <pdehost/actions.h>
#include <pdehost/ticket_preset.h>

#include <platform/test_support.h>
#include <platform/user_actions.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <cstdint>

namespace pdehost {
namespace {

const std::map<std::string, Action::Kind> &kindsByName() {
    static const std::map<std::string, Action::Kind> kinds = {
        {"open", Action::Kind::Open},       {"close", Action::Kind::Close},
        {"select", Action::Kind::Select},   {"check", Action::Kind::Check},
        {"slide", Action::Kind::Slide},     {"focus", Action::Kind::Focus},
        {"type", Action::Kind::Type},       {"key", Action::Kind::Key},
        {"selection", Action::Kind::Selection}, {"paste", Action::Kind::Paste},
        {"settext", Action::Kind::SetText}, {"wait", Action::Kind::Wait},
        {"tick", Action::Kind::Tick},       {"commit", Action::Kind::Commit},
        {"reload", Action::Kind::Reload},   {"summary", Action::Kind::Summary},
        {"show", Action::Kind::Show},       {"ticket", Action::Kind::Ticket}};
    return kinds;
}

const std::map<std::string, UInt8> &keyCodes() {
    static const std::map<std::string, UInt8> codes = {
        {"backspace", kBackspaceCharCode}, {"delete", kDeleteCharCode}, {"left", kLeftArrowCharCode},
        {"right", kRightArrowCharCode},    {"up", kUpArrowCharCode},    {"down", kDownArrowCharCode},
        {"tab", kTabCharCode},             {"return", kReturnCharCode}, {"enter", kEnterCharCode},
        {"escape", kEscapeCharCode},       {"home", kHomeCharCode},     {"end", kEndCharCode}};
    return codes;
}

// Splits off the next blank-separated word; rest keeps what follows the single separator.
bool nextWord(const std::string &line, size_t &position, std::string &word) {
    while (position < line.size() && (line[position] == ' ' || line[position] == '\t')) ++position;
    if (position >= line.size()) return false;
    size_t start = position;
    while (position < line.size() && line[position] != ' ' && line[position] != '\t') ++position;
    word = line.substr(start, position - start);
    return true;
}

bool parseInteger(const std::string &word, SInt32 &value) {
    if (word.empty()) return false;
    errno = 0;
    char *end = nullptr;
    long parsed = std::strtol(word.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<SInt32>(parsed);
    return true;
}

bool parseSeconds(const std::string &word, double &seconds) {
    if (word.empty()) return false;
    char *end = nullptr;
    double parsed = std::strtod(word.c_str(), &end);
    if (*end != '\0' || !std::isfinite(parsed) || parsed < 0 || parsed > 3600) return false;
    seconds = parsed;
    return true;
}

std::string statusText(OSStatus status) {
    switch (status) {
    case errControlHiddenOrDisabled: return "it is disabled";
    case errInvalidControl: return "it no longer exists";
    case paramErr: return "the argument is out of range";
    case errControlDoesntSupportFocus: return "it does not take the keyboard focus";
    default: return "status " + std::to_string(status);
    }
}

// Text as the bytes a keyboard would send: MacRoman, one key per character.
std::string keyBytes(const std::string &utf8Text) {
    auto string = createString(utf8Text);
    if (!string) return {};
    CFIndex length = CFStringGetLength(string.get());
    std::string bytes;
    for (CFIndex index = 0; index < length; ++index) {
        UniChar character = CFStringGetCharacterAtIndex(string.get(), index);
        auto one = cf::adopt(CFStringCreateWithCharacters(kCFAllocatorDefault, &character, 1));
        char buffer[4] = {};
        bytes += CFStringGetCString(one.get(), buffer, sizeof buffer, kCFStringEncodingMacRoman) ? buffer[0] : '?';
    }
    return bytes;
}

}  // namespace

bool Action::needsControl() const {
    switch (kind) {
    case Kind::Select: case Kind::Check: case Kind::Slide: case Kind::Focus: case Kind::Type:
    case Kind::Key: case Kind::Selection: case Kind::Paste: case Kind::SetText:
        return true;
    default:
        return false;
    }
}

const std::vector<std::string> &keyNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> result;
        for (const auto &[name, code] : keyCodes()) result.push_back(name);
        return result;
    }();
    return names;
}

std::string actionHelp() {
    return "Actions (PANE: jobmode, imaging, coloradjust; ID: a control's ControlID id):\n"
           "  open PANE | close PANE              show or hide a pane (Open/Close)\n"
           "  select PANE ID ITEM                 choose popup item ITEM (1-based)\n"
           "  check PANE ID on|off                set a check box by clicking it\n"
           "  slide PANE ID VALUE                 move a slider\n"
           "  focus PANE ID                       give an edit-text field the keyboard focus\n"
           "  type PANE ID TEXT                   type TEXT, one key at a time, through the key filters\n"
           "  key PANE ID NAME                    press backspace, delete, left, right, tab, return, escape\n"
           "  selection PANE ID START END         select characters START to END of a field\n"
           "  paste PANE ID TEXT                  paste TEXT at the selection (not filtered)\n"
           "  settext PANE ID TEXT                replace a text control's text by code (no event)\n"
           "  wait SECONDS                        run the run loop on the real clock\n"
           "  tick SECONDS                        advance the manual clock and run one pass\n"
           "  commit | reload                     Sync every pane to the ticket | from the ticket\n"
           "  summary | show | ticket             print the Summary, the panes, the ticket\n";
}

bool parseAction(const std::string &line, Action &action, std::string &error) {
    action = Action();
    action.line = line;
    size_t position = 0;
    std::string word;
    if (!nextWord(line, position, word)) {
        error = "empty action";
        return false;
    }
    auto found = kindsByName().find(word);
    if (found == kindsByName().end()) {
        error = "unknown action '" + word + "'";
        return false;
    }
    action.kind = found->second;
    const std::string name = word;
    auto missing = [&](const char *what) {
        error = name + ": missing " + what;
        return false;
    };

    using Kind = Action::Kind;
    if (action.kind == Kind::Wait || action.kind == Kind::Tick) {
        if (!nextWord(line, position, word)) return missing("SECONDS");
        if (!parseSeconds(word, action.seconds)) {
            error = name + ": SECONDS must be a number from 0 to 3600, not '" + word + "'";
            return false;
        }
    } else if (action.kind == Kind::Open || action.kind == Kind::Close || action.needsControl()) {
        if (!nextWord(line, position, action.pane)) return missing("PANE");
        if (action.needsControl()) {
            if (!nextWord(line, position, word)) return missing("ID");
            if (!parseInteger(word, action.id)) {
                error = name + ": ID must be a whole number, not '" + word + "'";
                return false;
            }
        }
    }

    switch (action.kind) {
    case Kind::Select:
    case Kind::Slide:
        if (!nextWord(line, position, word)) return missing(action.kind == Kind::Select ? "ITEM" : "VALUE");
        if (!parseInteger(word, action.first)) {
            error = name + ": '" + word + "' is not a whole number";
            return false;
        }
        break;
    case Kind::Check:
        if (!nextWord(line, position, word)) return missing("on|off");
        if (word != "on" && word != "off") {
            error = "check: expected on or off, not '" + word + "'";
            return false;
        }
        action.on = word == "on";
        break;
    case Kind::Key: {
        if (!nextWord(line, position, word)) return missing("NAME");
        auto code = keyCodes().find(word);
        if (code == keyCodes().end()) {
            error = "key: unknown key '" + word + "'";
            return false;
        }
        action.keyCode = code->second;
        break;
    }
    case Kind::Selection:
        if (!nextWord(line, position, word) || !parseInteger(word, action.first)) return missing("START as a number");
        if (!nextWord(line, position, word) || !parseInteger(word, action.second)) return missing("END as a number");
        break;
    case Kind::Type:
    case Kind::Paste:
    case Kind::SetText:
        // The rest of the line after the single blank that follows ID, blanks included.
        if (position < line.size()) action.text = line.substr(position + 1);
        if (action.kind == Kind::Type && action.text.empty()) return missing("TEXT");
        return true;
    default:
        break;
    }
    if (nextWord(line, position, word)) {
        error = name + ": unexpected '" + word + "'";
        return false;
    }
    return true;
}

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
    if (action.needsControl() && pane->accepted() && dialog.control(*pane, action.id) == nullptr) {
        error = "unknown control id " + std::to_string(action.id) + " in pane " + action.pane;
        return false;
    }
    return true;
}

bool performAction(Dialog &dialog, const Action &action, std::string &effect, std::string &error) {
    using Kind = Action::Kind;
    effect.clear();
    switch (action.kind) {
    case Kind::Wait:
        Dialog::turnRunLoop(action.seconds);
        effect = "ran the run loop for " + std::to_string(action.seconds) + " s";
        return true;
    case Kind::Tick:
        PlatformAdvanceManualClock(action.seconds);
        Dialog::turnRunLoop(0);
        effect = "advanced the clock by " + std::to_string(action.seconds) + " s and ran one pass";
        return true;
    case Kind::Commit:
    case Kind::Reload: {
        OSStatus status = dialog.syncAll(action.kind == Kind::Reload);
        if (status != noErr) {
            error = std::string(action.kind == Kind::Commit ? "commit" : "reload") + " failed (status " +
                    std::to_string(status) + ")";
            return false;
        }
        effect = action.kind == Kind::Commit ? "wrote every pane into the ticket" : "read every pane from the ticket";
        return true;
    }
    case Kind::Summary:
    case Kind::Show:
    case Kind::Ticket:
        return true;
    default:
        break;
    }

    Pane *pane = dialog.findPane(action.pane);
    if (pane == nullptr) {
        error = "unknown pane '" + action.pane + "'";
        return false;
    }
    std::string controlName = action.pane + " control " + std::to_string(action.id);
    if (!pane->accepted()) {
        error = action.needsControl() ? controlName + ": the pane was refused for this printer"
                                      : "pane " + action.pane + " was refused for this printer";
        return false;
    }
    if (action.kind == Kind::Open || action.kind == Kind::Close) {
        OSStatus status = action.kind == Kind::Open ? dialog.openPane(*pane) : dialog.closePane(*pane);
        if (status != noErr) {
            error = action.line + ": status " + std::to_string(status);
            return false;
        }
        effect = (action.kind == Kind::Open ? "opened " : "closed ") + action.pane;
        return true;
    }

    ControlRef control = dialog.control(*pane, action.id);
    if (control == nullptr) {
        error = controlName + ": no such control";
        return false;
    }
    OSStatus status = noErr;
    switch (action.kind) {
    case Kind::Select:
        status = PlatformChoosePopupItem(control, action.first);
        break;
    case Kind::Check:
        if ((GetControl32BitValue(control) != 0) != action.on) status = PlatformClickCheckBox(control);
        else if (!PlatformIsControlEffectivelyEnabled(control)) status = errControlHiddenOrDisabled;
        break;
    case Kind::Slide:
        status = PlatformMoveSlider(control, action.first);
        break;
    case Kind::Focus:
        status = PlatformFocusControl(control);
        break;
    case Kind::Type: {
        status = PlatformFocusControl(control);
        for (char byte : keyBytes(action.text)) {
            if (status != noErr) break;
            status = PlatformPressKey(GetControlOwner(control), static_cast<UInt8>(byte), false);
        }
        break;
    }
    case Kind::Key:
        status = PlatformFocusControl(control);
        if (status == noErr) status = PlatformPressKey(GetControlOwner(control), action.keyCode, false);
        break;
    case Kind::Selection:
        status = PlatformSetTextSelection(control, static_cast<SInt16>(action.first), static_cast<SInt16>(action.second));
        break;
    case Kind::Paste: {
        auto text = createString(action.text);
        status = text ? PlatformPasteText(control, text.get()) : static_cast<OSStatus>(paramErr);
        break;
    }
    case Kind::SetText: {
        auto text = createString(action.text);
        CFStringRef value = text.get();
        status = value ? static_cast<OSStatus>(SetControlData(control, kControlEntireControl,
                                                              kControlEditTextCFStringTag, sizeof(value), &value))
                       : static_cast<OSStatus>(paramErr);
        break;
    }
    default:
        break;
    }
    if (status != noErr) {
        error = controlName + ": cannot " + action.line.substr(0, action.line.find(' ')) + " (" + statusText(status) + ")";
        return false;
    }
    effect = "done: " + action.line;
    return true;
}

}  // namespace pdehost
