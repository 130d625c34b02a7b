// Reading the files a user names: tickets, scripts, a bundle's property list.
#pragma once

#include <string>

namespace printdialog {

// The whole file. false with the system's reason ("No such file or directory", "Is a
// directory", ...) when it cannot be read.
bool readWholeFile(const std::string &path, std::string &text, std::string &reason);

}  // namespace printdialog
