// Reading action scripts.
#include <printdialog/script.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace printdialog {

bool readScriptFile(const std::string &path, std::vector<ScriptLine> &lines, std::string &error) {
    std::error_code folderError;
    if (std::filesystem::is_directory(path, folderError)) {
        error = "cannot read the script " + path + ": " + std::strerror(EISDIR);
        return false;
    }
    std::ifstream script(path);
    if (!script) {
        error = "cannot read the script " + path + ": " + std::strerror(errno);
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        lines.push_back({line.substr(first), path + " line " + std::to_string(number)});
    }
    if (script.bad()) {
        error = "cannot read the script " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::string locatedMessage(const ScriptLine &line, const std::string &message) {
    return line.origin == "--do" ? message : line.origin + ": " + message;
}

}  // namespace printdialog
