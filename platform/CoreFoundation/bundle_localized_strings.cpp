// CFBundleCopyLocalizedString: a key looked up in the bundle's strings tables,
// each table parsed once per bundle and localization.
#include "bundle_internal.h"
#include "string_internal.h"

#include "support/log.h"

#include <CoreFoundation/CoreFoundation.h>


namespace fs = std::filesystem;

namespace {

// The parsed table of one folder ("" for the global one), read on first use; NULL when there is
// no such file, or it is not a regular file, too large or not a valid strings table (reported
// once). Absent files are remembered too, so a lookup touches the file system once per table
// rather than on every call.
cf::Ref<CFDictionaryRef> cached_table(__CFBundle &bundle, const std::string &folder, const std::string &table) {
    std::lock_guard lock(bundle.tables_mutex);
    auto key = std::make_pair(folder, table);
    if (auto found = bundle.tables.find(key); found != bundle.tables.end()) return found->second;

    cf::Ref<CFDictionaryRef> dictionary;
    fs::path file = bundle.resources_folder() / folder / (table + ".strings");
    auto read = cf::bundle::read_property_list(file);
    if (read.failure == platform::files::ReadFailure::none) {
        if (read.list && CFGetTypeID(read.list.get()) != CFDictionaryGetTypeID())
            read.problem = "it is not a table of strings";
        if (read.problem.empty())
            dictionary = cf::adopt(static_cast<CFDictionaryRef>(read.list.leak()));
        else
            platform::log::write(platform::log::Channel::strings, platform::log::Level::report,
                                 "CFBundle: ignoring strings table %s: %s", file.c_str(), read.problem.c_str());
    } else if (read.failure != platform::files::ReadFailure::missing) {
        platform::log::write(platform::log::Channel::strings, platform::log::Level::report,
                             "CFBundle: ignoring strings table %s: it %s", file.c_str(), read.problem.c_str());
    }
    bundle.tables.emplace(key, dictionary);
    return dictionary;
}

// The key's value in the first table that has it: the global table, then each
// localization folder in search order, so a region's table may hold only the
// keys that differ from its language's and the development region fills gaps.
CFStringRef find_localized(__CFBundle &bundle, CFStringRef key, const std::string &table) {
    std::vector<std::string> folders{""};
    for (const std::string &localization : cf::bundle::localization_search_order(bundle))
        folders.push_back(localization + ".lproj");
    for (const std::string &folder : folders) {
        auto dictionary = cached_table(bundle, folder, table);
        if (!dictionary) continue;
        CFTypeRef value = CFDictionaryGetValue(dictionary.get(), key);
        if (CFGetTypeID(value) == CFStringGetTypeID()) return static_cast<CFStringRef>(CFRetain(value));
    }
    return nullptr;
}

bool is_nonempty_string(CFTypeRef value) {
    return CFGetTypeID(value) == CFStringGetTypeID() && CFStringGetLength(static_cast<CFStringRef>(value)) > 0;
}

}  // namespace

extern "C" {

// Returns the localized text for key (Create rule); when no table has it, value,
// or key itself when value is NULL or empty.
CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value,
                                        CFStringRef tableName) {
    if (CFGetTypeID(key) != CFStringGetTypeID())
        return value != nullptr ? static_cast<CFStringRef>(CFRetain(value)) : cf::create_string_from_utf8("");

    if (auto *self = cf::as<__CFBundle>(bundle)) {
        std::string table = is_nonempty_string(tableName) ? cf::utf8_of(tableName) : "Localizable";
        // A table is a file name, never a path out of the lproj folder.
        if (cf::bundle::is_file_name(table))
            if (CFStringRef found = find_localized(*self, key, table)) return found;
    }
    return static_cast<CFStringRef>(CFRetain(is_nonempty_string(value) ? value : key));
}

}  // extern "C"
