// Things a plug-in bundle may hold where a file it supplies belongs (Info.plist, a strings
// table, a nib): a FIFO, a folder, a device, a symbolic-link loop or a huge sparse file. Each
// is made by the test at the given path, inside the test's own temporary folder.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace hostile_files {

struct HostileFile {
    const char *what;
    std::function<void(const std::filesystem::path &file)> make;
    // The reason the platform gives, after the file's name or "it".
    std::string reason;
    bool too_large = false;
};

// Every kind, for a reader whose limit is limit bytes.
inline std::vector<HostileFile> hostile_files(std::size_t limit) {
    namespace fs = std::filesystem;
    return {
        {"fifo",
         [](const fs::path &file) {
             // Nothing ever writes to it: a reader that opens it the plain way waits for ever.
             if (mkfifo(file.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
         },
         "is not a regular file (a FIFO)"},
        {"folder", [](const fs::path &file) { fs::create_directories(file / "inside"); },
         "is not a regular file (a folder)"},
        {"device", [](const fs::path &file) { fs::create_symlink("/dev/zero", file); },
         "is not a regular file (a device)"},
        {"link loop", [](const fs::path &file) { fs::create_symlink(file.filename(), file); },
         "cannot be opened: Too many levels of symbolic links"},
        {"too large",
         [limit](const fs::path &file) {
             { std::ofstream create(file, std::ios::binary); }
             fs::resize_file(file, limit + 1);  // sparse: it takes no room on the disk
         },
         "is too large (" + std::to_string(limit + 1) + " bytes; at most " + std::to_string(limit) + ")", true},
    };
}

}  // namespace hostile_files
