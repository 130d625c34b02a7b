// Reading the files a user names: tickets, scripts, a bundle's property list.
#pragma once

#include <cstddef>
#include <string>

namespace printdialog {

// Far above any real ticket, script or Info.plist.
inline constexpr std::size_t kLargestReadFile = std::size_t{16} * 1024 * 1024;

// The whole file. false with the system's reason ("No such file or directory", "Is a
// directory", ...) when it cannot be read, or "the file is larger than N MiB" past largest.
bool readWholeFile(const std::string &path, std::string &text, std::string &reason,
                   std::size_t largest = kLargestReadFile);

}  // namespace printdialog
