// Reading and running the setting verbs.
#include "setting_verbs.h"

#include "dialog_window.h"

#include <array>
#include <charconv>

namespace pdedialog {
namespace {

constexpr std::array<const char *, 7> kVerbs = {"copies", "collate", "pages", "per-sheet", "orientation", "option",
                                                "file"};

bool wholeNumber(const std::string &text, int &number) {
    const char *end = text.data() + text.size();
    auto [stop, failure] = std::from_chars(text.data(), end, number);
    return failure == std::errc() && stop == end;
}

}  // namespace

bool isSettingVerb(const std::string &verb) {
    for (const char *each : kVerbs)
        if (verb == each) return true;
    return false;
}

bool parseSettingLine(const std::string &verb, const std::string &rest, SettingLine &line, std::string &error) {
    line = SettingLine{verb, rest, {}, 0};
    if (rest.empty()) {
        error = verb + " needs " + (verb == "option" ? "an option and a choice" : "a value");
        return false;
    }
    if (verb == "copies" || verb == "per-sheet") {
        if (!wholeNumber(rest, line.number)) {
            error = verb + " takes a whole number, not '" + rest + "'";
            return false;
        }
    } else if (verb == "collate") {
        if (rest != "on" && rest != "off") {
            error = "collate takes on or off, not '" + rest + "'";
            return false;
        }
    } else if (verb == "option") {
        size_t gap = rest.find_first_of(" \t");
        size_t choice = gap == std::string::npos ? gap : rest.find_first_not_of(" \t", gap);
        if (choice == std::string::npos || rest.find_first_of(" \t", choice) != std::string::npos) {
            error = "option takes an option keyword and one choice (option PageSize A3)";
            return false;
        }
        line.argument = rest.substr(0, gap);
        line.choice = rest.substr(choice);
    }
    return true;
}

bool applySetting(DialogWindow &window, const SettingLine &line, std::string &effect, std::string &error) {
    GeneralPage &general = window.general();
    bool done = true;
    if (line.verb == "copies") {
        done = general.setCopies(line.number, error);
    } else if (line.verb == "collate") {
        general.setCollate(line.argument == "on");
    } else if (line.verb == "pages") {
        general.setPageRanges(line.argument == "all" ? std::string() : line.argument);
        effect = general.problem().empty() ? "accepted" : "marked wrong: " + general.problem();
    } else if (line.verb == "per-sheet") {
        done = general.setPagesPerSheet(line.number, error);
    } else if (line.verb == "orientation") {
        done = general.setOrientation(line.argument, error);
    } else if (line.verb == "option") {
        done = window.printerOptions().setOption(line.argument, line.choice, error);
        if (done) {
            const printdialog::PrinterOption *option =
                printdialog::findPrinterOption(window.printerOptions().groups(), line.argument);
            if (option != nullptr && !option->conflicts.empty()) {
                effect = "conflicts with";
                for (const auto &conflict : option->conflicts) effect += " " + conflict.option + "=" + conflict.choice;
            }
        }
    } else if (line.verb == "file") {
        done = general.setFile(line.argument, error);
    } else {
        error = "unknown setting verb '" + line.verb + "'";
        done = false;
    }
    return done;
}

}  // namespace pdedialog
