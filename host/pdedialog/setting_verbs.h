// The script verbs of the window's own pages, so that scripts and tests set what a person sets
// there: "copies N", "collate on|off", "pages all|RANGES" (taken as typed, right or wrong),
// "per-sheet N", "orientation portrait|landscape|reverse-landscape|reverse-portrait",
// "option KEYWORD CHOICE" (a Printer Options value) and "file PATH" (the General page's file).
#pragma once

#include <string>

namespace pdedialog {

class DialogWindow;

struct SettingLine {
    std::string verb;      // one of the verbs above
    std::string argument;  // the first argument ("2", "on", "1-3,5", "PageSize")
    std::string choice;    // option: the choice
    int number = 0;        // copies, per-sheet
};

bool isSettingVerb(const std::string &verb);

// The line's arguments (rest: what follows the verb, trimmed). false with a one-line reason.
bool parseSettingLine(const std::string &verb, const std::string &rest, SettingLine &line, std::string &error);

// Sets it on the window's page, as the page's control does. false with a one-line reason; effect
// says what the page shows afterwards (for the script's log).
bool applySetting(DialogWindow &window, const SettingLine &line, std::string &effect, std::string &error);

}  // namespace pdedialog
