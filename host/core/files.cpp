// Reading whole files, with a bound.
#include <printdialog/files.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace printdialog {

// A folder opens as a stream on Linux and reads as nothing: it is refused first. The file is read
// in pieces so that /dev/zero or a huge file stops at the bound instead of filling the memory.
bool readWholeFile(const std::string &path, std::string &text, std::string &reason, std::size_t largest) {
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
    std::string contents;
    char piece[64 * 1024];
    while (file.read(piece, sizeof piece) || file.gcount() > 0) {
        contents.append(piece, static_cast<std::size_t>(file.gcount()));
        if (contents.size() > largest) {
            reason = "the file is larger than " + std::to_string(largest / (std::size_t{1024} * 1024)) + " MiB";
            return false;
        }
    }
    if (file.bad()) {
        reason = std::strerror(errno);
        return false;
    }
    text = std::move(contents);
    return true;
}

}  // namespace printdialog
