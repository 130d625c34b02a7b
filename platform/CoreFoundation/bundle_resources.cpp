// Resources of a bundle: its localizations and the search for a resource file,
// global copies first, then the preferred localization, then the development region.
#include "bundle_internal.h"
#include "string_internal.h"

#include <CoreFoundation/CoreFoundation.h>

#include <algorithm>
#include <array>

namespace fs = std::filesystem;

namespace {

struct LegacyName {
    const char *language;
    const char *folder;
};

// Folder names that old bundles use for some languages.
constexpr std::array<LegacyName, 6> kLegacyNames{{{"en", "English"},
                                                  {"de", "German"},
                                                  {"fr", "French"},
                                                  {"ja", "Japanese"},
                                                  {"it", "Italian"},
                                                  {"es", "Spanish"}}};

const LegacyName *legacy_by_language(const std::string &language) {
    for (const LegacyName &entry : kLegacyNames)
        if (language == entry.language) return &entry;
    return nullptr;
}

const LegacyName *legacy_by_folder(const std::string &folder) {
    for (const LegacyName &entry : kLegacyNames)
        if (folder == entry.folder) return &entry;
    return nullptr;
}

void append_unique(std::vector<std::string> &list, const std::vector<std::string> &more) {
    for (const std::string &item : more)
        if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

// A string argument as UTF-8; empty for NULL or a non-string.
std::string text_of(CFStringRef string) {
    return CFGetTypeID(string) == CFStringGetTypeID() ? cf::utf8_of(string) : std::string();
}

}  // namespace

namespace cf::bundle {

std::vector<std::string> localization_folders(const std::string &localization) {
    if (!platform::localization::is_localization_name(localization)) return {};
    if (const LegacyName *legacy = legacy_by_folder(localization)) return {legacy->folder, legacy->language};
    std::vector<std::string> folders{localization};
    std::string language = localization.substr(0, localization.find('_'));
    if (language != localization) folders.push_back(language);
    if (const LegacyName *legacy = legacy_by_language(language)) folders.emplace_back(legacy->folder);
    return folders;
}

std::vector<std::string> localization_search_order(__CFBundle &bundle) {
    std::vector<std::string> order;
    if (auto preferred = platform::localization::preferred()) append_unique(order, localization_folders(*preferred));
    append_unique(order, localization_folders(utf8_of(CFBundleGetDevelopmentRegion(&bundle))));
    return order;
}

}  // namespace cf::bundle

extern "C" {

// The names of the bundle's *.lproj folders without the extension, sorted.
CFArrayRef CFBundleCopyBundleLocalizations(CFBundleRef bundle) {
    auto *self = cf::as<__CFBundle>(bundle);
    if (self == nullptr) return nullptr;
    std::vector<std::string> names;
    std::error_code failure;
    for (fs::directory_iterator entry(self->resources_folder(), failure), end; !failure && entry != end;
         entry.increment(failure)) {
        const fs::path &path = entry->path();
        if (path.extension() == ".lproj" && entry->is_directory(failure)) names.push_back(path.stem().string());
    }
    std::sort(names.begin(), names.end());
    auto list = cf::adopt(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    for (const std::string &name : names) {
        auto string = cf::adopt(cf::create_string_from_utf8(name));
        CFArrayAppendValue(list.get(), string.get());
    }
    return list.leak();
}

// Contents/Resources of the bundle.
CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle) {
    auto *self = cf::as<__CFBundle>(bundle);
    return self ? cf::bundle::url_for_path(self->resources_folder(), true).leak() : nullptr;
}

// Finds <name>.<type> in Contents/Resources[/<subdir>], then in the lproj folders
// of the preferred localization and of the development region; NULL when absent, or when
// the name or type is no plain file name or the subfolder would lead out of the bundle.
CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType,
                                 CFStringRef subDirName) {
    auto *self = cf::as<__CFBundle>(bundle);
    std::string name = text_of(resourceName);
    if (self == nullptr || !cf::bundle::is_file_name(name)) return nullptr;
    std::string type = text_of(resourceType);
    if (!type.empty() && type.front() == '.') type.erase(0, 1);
    std::string file_name = type.empty() ? name : name + "." + type;
    if (!cf::bundle::is_file_name(file_name)) return nullptr;
    std::string subdirectory = text_of(subDirName);
    if (!subdirectory.empty() && !cf::bundle::is_inner_path(subdirectory)) return nullptr;

    std::vector<fs::path> places{self->resources_folder()};
    for (const std::string &localization : cf::bundle::localization_search_order(*self))
        places.push_back(self->resources_folder() / (localization + ".lproj"));
    for (const fs::path &place : places) {
        fs::path candidate = subdirectory.empty() ? place / file_name : place / subdirectory / file_name;
        std::error_code failure;
        auto status = fs::status(candidate, failure);
        if (!failure && fs::exists(status))
            return cf::bundle::url_for_path(candidate, fs::is_directory(status)).leak();
    }
    return nullptr;
}

}  // extern "C"
