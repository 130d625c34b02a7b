// Feeds arbitrary bytes to pdehost's action parser (parseAction), one line at a time as a
// --script file is read. Whatever it accepts must be in range and must read back the same from
// its canonical form.
#include "fuzz_support.h"

#include <printdialog/actions.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

using Kind = printdialog::Action::Kind;

// The word that names each kind; written here again so that a change to the parser shows.
const char *kind_word(Kind kind) {
    switch (kind) {
    case Kind::Open: return "open";
    case Kind::Close: return "close";
    case Kind::Select: return "select";
    case Kind::Check: return "check";
    case Kind::Slide: return "slide";
    case Kind::Focus: return "focus";
    case Kind::Type: return "type";
    case Kind::Key: return "key";
    case Kind::Selection: return "selection";
    case Kind::Paste: return "paste";
    case Kind::SetText: return "settext";
    case Kind::Wait: return "wait";
    case Kind::Tick: return "tick";
    case Kind::Commit: return "commit";
    case Kind::Reload: return "reload";
    case Kind::Summary: return "summary";
    case Kind::Show: return "show";
    case Kind::Ticket: return "ticket";
    case Kind::Cancel: return "cancel";
    }
    fuzzing::fail("an action of no known kind");
}

bool is_word(const std::string &text) {
    return !text.empty() && text.find_first_of(" \t") == std::string::npos;
}

// The action written the way a person would: single blanks, numbers in plain decimal.
std::string canonical_line(const printdialog::Action &action, const std::string &key_name) {
    std::string line = kind_word(action.kind);
    if (action.kind == Kind::Wait || action.kind == Kind::Tick) {
        char seconds[40];
        std::snprintf(seconds, sizeof seconds, "%.17g", action.seconds);
        return line + " " + seconds;
    }
    if (action.kind == Kind::Open || action.kind == Kind::Close || action.needsControl()) line += " " + action.pane;
    if (action.needsControl()) line += " " + std::to_string(action.id);
    switch (action.kind) {
    case Kind::Select:
    case Kind::Slide: return line + " " + std::to_string(action.first);
    case Kind::Check: return line + (action.on ? " on" : " off");
    case Kind::Key: return line + " " + key_name;
    case Kind::Selection: return line + " " + std::to_string(action.first) + " " + std::to_string(action.second);
    case Kind::Type:
    case Kind::Paste:
    case Kind::SetText: return line + " " + action.text;
    default: return line;
    }
}

// The name whose key code the action carries, checking that exactly one name has it.
std::string key_name_of(const printdialog::Action &action) {
    std::string found;
    for (const std::string &name : printdialog::keyNames()) {
        printdialog::Action probe;
        std::string error;
        fuzzing::check(printdialog::parseAction("key p 1 " + name, probe, error), "a listed key name is refused");
        if (probe.keyCode == action.keyCode) {
            fuzzing::check(found.empty(), "two key names share a key code");
            found = name;
        }
    }
    fuzzing::check(!found.empty(), "a key code no name gives");
    return found;
}

void check_ranges(const printdialog::Action &action) {
    if (action.kind == Kind::Wait || action.kind == Kind::Tick)
        fuzzing::check(std::isfinite(action.seconds) && action.seconds >= 0 && action.seconds <= 3600,
                       "seconds out of range");
    if (action.kind == Kind::Open || action.kind == Kind::Close || action.needsControl())
        fuzzing::check(is_word(action.pane), "a pane name that is not one word");
    if (action.kind == Kind::Selection)
        fuzzing::check(action.first >= 0 && action.second >= 0 && action.first <= INT16_MAX && action.second <= INT16_MAX,
                       "a selection outside 16-bit offsets");
    if (action.kind == Kind::Type) fuzzing::check(!action.text.empty(), "type without text");
}

void check_line(const std::string &line) {
    printdialog::Action action;
    std::string error;
    if (!printdialog::parseAction(line, action, error)) {
        fuzzing::check(!error.empty(), "a refused action without a message");
        return;
    }
    fuzzing::check(error.empty(), "a message beside an accepted action");
    fuzzing::check(action.line == line, "the action does not keep its line");
    check_ranges(action);

    const std::string canonical = canonical_line(action, action.kind == Kind::Key ? key_name_of(action) : "");
    printdialog::Action again;
    fuzzing::check(printdialog::parseAction(canonical, again, error), "the canonical form of an action is refused");
    fuzzing::check(again.kind == action.kind && again.pane == action.pane && again.id == action.id &&
                       again.first == action.first && again.second == action.second && again.on == action.on &&
                       again.keyCode == action.keyCode && again.seconds == action.seconds && again.text == action.text,
                   "an action reads differently from its canonical form");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view text = fuzzing::as_text(data, size);
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        check_line(line);
        start = end + 1;
    }
    return 0;
}
