// Reading action scripts.
#include <printdialog/script.h>

#include <printdialog/files.h>

#include <sstream>

namespace printdialog {

bool readScriptFile(const std::string &path, std::vector<ScriptLine> &lines, std::string &error) {
    std::string text, reason;
    if (!readWholeFile(path, text, reason)) {
        error = "cannot read the script " + path + ": " + reason;
        return false;
    }
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    std::istringstream script(text);
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        lines.push_back({line.substr(first), path + " line " + std::to_string(number)});
    }
    return true;
}

std::string locatedMessage(const ScriptLine &line, const std::string &message) {
    return line.origin == "--do" ? message : line.origin + ": " + message;
}

}  // namespace printdialog
