// The names a bundle joins to its own folders: localizations, file names and subfolders. Each
// comes from outside (the environment, the host, Info.plist, a plug-in's call), and none may
// lead out of the bundle.
#include "bundle_internal.h"

#include <algorithm>

namespace {

bool is_ascii_alphanumeric(char character) {
    return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
           (character >= '0' && character <= '9');
}

}  // namespace

namespace platform::localization {

bool is_localization_name(std::string_view name) {
    auto allowed = [](char character) { return is_ascii_alphanumeric(character) || character == '_' || character == '-'; };
    return !name.empty() && name.size() <= kLongestLocalizationName && std::all_of(name.begin(), name.end(), allowed);
}

}  // namespace platform::localization

namespace cf::bundle {

bool is_file_name(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

bool is_inner_path(std::string_view path) {
    if (path.empty() || path.front() == '/' || path.find('\0') != std::string_view::npos) return false;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = std::min(path.find('/', start), path.size());
        if (path.substr(start, end - start) == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace cf::bundle
