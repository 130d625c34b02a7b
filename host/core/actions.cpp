// Reading dialog actions from their one-line form.
#include <printdialog/actions.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>

namespace printdialog {
namespace {

// Each action's first word.
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
        {"show", Action::Kind::Show},       {"ticket", Action::Kind::Ticket},
        {"cancel", Action::Kind::Cancel}};
    return kinds;
}

// The keys `key` presses, by name, as the character codes a keyboard sends.
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

// A whole decimal number that fits 32 bits, and nothing after it.
bool parseInteger(const std::string &word, SInt32 &value) {
    if (word.empty()) return false;
    errno = 0;
    char *end = nullptr;
    long parsed = std::strtol(word.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<SInt32>(parsed);
    return true;
}

// Up to an hour: a script that waits longer is surely wrong.
bool parseSeconds(const std::string &word, double &seconds) {
    if (word.empty()) return false;
    char *end = nullptr;
    double parsed = std::strtod(word.c_str(), &end);
    if (*end != '\0' || !std::isfinite(parsed) || parsed < 0 || parsed > 3600) return false;
    seconds = parsed;
    return true;
}

}  // namespace

// The actions that name a control after the pane.
bool Action::needsControl() const {
    switch (kind) {
    case Kind::Select: case Kind::Check: case Kind::Slide: case Kind::Focus: case Kind::Type:
    case Kind::Key: case Kind::Selection: case Kind::Paste: case Kind::SetText:
        return true;
    default:
        return false;
    }
}

// In name order, for the help text and messages.
const std::vector<std::string> &keyNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> result;
        for (const auto &[name, code] : keyCodes()) result.push_back(name);
        return result;
    }();
    return names;
}

// One line per action, as --help and the prompt's help show it.
std::string actionHelp() {
    auto keyList = [] {
        std::string list;
        for (const auto &name : keyNames()) list += (list.empty() ? "" : ", ") + name;
        return list;
    };
    return "Actions (PANE: jobmode, imaging, coloradjust; ID: a control's ControlID id):\n"
           "  open PANE | close PANE              show or hide a pane (Open/Close)\n"
           "  select PANE ID ITEM                 choose popup item ITEM (1-based)\n"
           "  check PANE ID on|off                set a check box by clicking it\n"
           "  slide PANE ID VALUE                 move a slider\n"
           "  focus PANE ID                       give an edit-text field the keyboard focus\n"
           "  type PANE ID TEXT                   type TEXT, one key at a time, through the key filters\n"
           "  key PANE ID NAME                    press a key: " + keyList() + "\n"
           "  selection PANE ID START END         select characters START to END of a field\n"
           "  paste PANE ID TEXT                  paste TEXT at the selection (not filtered)\n"
           "  settext PANE ID TEXT                replace a text control's text by code (no event)\n"
           "  wait SECONDS                        run the run loop on the real clock\n"
           "  tick SECONDS                        advance the manual clock and run one pass\n"
           "  commit | reload                     Sync every pane to the ticket | from the ticket\n"
           "  summary | show | ticket             print the Summary, the panes, the ticket\n"
           "  cancel                              end as Cancel does: nothing committed, nothing sent\n"
           "                                      (last; without it a run ends as Print does)\n";
}

// The first word picks the action; the rest must be exactly its arguments.
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
        // A field's selection is a pair of 16-bit character offsets.
        if (action.first < 0 || action.second < 0 || action.first > INT16_MAX || action.second > INT16_MAX) {
            error = "selection: START and END must lie from 0 to " + std::to_string(INT16_MAX);
            return false;
        }
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

}  // namespace printdialog
