// The actions a person or a script performs in the dialog, one a line:
//   open PANE | close PANE | select PANE ID ITEM | check PANE ID on|off | slide PANE ID VALUE
//   focus PANE ID | type PANE ID TEXT | key PANE ID NAME | selection PANE ID START END
//   paste PANE ID TEXT | settext PANE ID TEXT | wait SECONDS | tick SECONDS
//   commit | reload | summary | show | ticket | cancel
// TEXT is the rest of the line after ID and may hold blanks.
#pragma once

#include <printdialog/dialog.h>

#include <optional>
#include <string>
#include <vector>

namespace printdialog {

struct Action {
    enum class Kind {
        Open, Close, Select, Check, Slide, Focus, Type, Key, Selection, Paste, SetText,
        Wait, Tick, Commit, Reload, Summary, Show, Ticket, Cancel
    };
    Kind kind = Kind::Show;
    std::string pane;
    SInt32 id = 0;
    SInt32 first = 0;   // ITEM, VALUE or START
    SInt32 second = 0;  // END
    bool on = false;
    UInt8 keyCode = 0;
    double seconds = 0;
    std::string text;
    std::string line;  // as written, for messages

    bool needsControl() const;
    bool reportsState() const { return kind == Kind::Summary || kind == Kind::Show || kind == Kind::Ticket; }
};

// Reads one action. false with a one-line message naming the problem.
bool parseAction(const std::string &line, Action &action, std::string &error);

// The MacRoman byte a keyboard sends for the character (what a raw key event carries), or
// nothing when MacRoman has no one-byte form of it.
std::optional<UInt8> macRomanKey(UniChar character);

// The names `key` accepts and a one-screen help text.
const std::vector<std::string> &keyNames();
std::string actionHelp();

// Checks what can only be checked against the loaded dialog, so that a wrong script changes
// nothing: the pane (known, loaded and accepted for this printer), the control id and its kind,
// the popup item or slider value in range, typable text, and that tick is used with the manual
// clock and wait with the real one.
bool validateAction(Dialog &dialog, const Action &action, bool manualClock, std::string &error);

// What an action did: a line for a person, and for typing how many keys the field's key filters
// refused.
struct ActionEffect {
    std::string text;
    int refusedKeys = 0;
};

// Performs the action. false with a message naming the control when it cannot be done (a
// disabled control, a refused pane). cancel does nothing here: it ends the run (see print_job.h).
bool performAction(Dialog &dialog, const Action &action, ActionEffect &effect, std::string &error);

}  // namespace printdialog
