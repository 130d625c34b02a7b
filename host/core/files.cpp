// Reading whole files.
#include <printdialog/files.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace printdialog {

// A folder opens as a stream on Linux and reads as nothing: it is refused first.
bool readWholeFile(const std::string &path, std::string &text, std::string &reason) {
    std::error_code folderError;
    if (std::filesystem::is_directory(path, folderError)) {
        reason = std::strerror(EISDIR);
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    if (file.bad()) {
        reason = std::strerror(errno);
        return false;
    }
    text = contents.str();
    return true;
}

}  // namespace printdialog
