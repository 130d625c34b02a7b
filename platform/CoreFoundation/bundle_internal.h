// The inside of a CFBundle: its folder, its Info.plist, its loaded code and its
// cache of parsed strings tables, shared by the bundle, resource and plug-in files.
#pragma once

#include "object.h"
#include "ref.h"

#include "support/bounded_file.h"

#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFPropertyList.h>
#include <CoreFoundation/CFString.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct __CFBundle final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeBundle;

    __CFBundle(std::filesystem::path folder, cf::Ref<CFURLRef> url, cf::Ref<CFDictionaryRef> info);
    ~__CFBundle() override;

    std::string description() const override;

    // The canonical folder of the bundle (no trailing separator).
    const std::filesystem::path folder;
    const cf::Ref<CFURLRef> url;
    const cf::Ref<CFDictionaryRef> info;

    std::filesystem::path contents_folder() const { return folder / "Contents"; }
    std::filesystem::path resources_folder() const { return folder / "Contents" / "Resources"; }
    std::filesystem::path executables_folder() const { return folder / "Contents" / "MacOS"; }

    // A string value of Info.plist, or NULL when the key is absent or not a string.
    CFStringRef info_string(CFStringRef key) const;

    // Code loading is done from the host's main thread, as on the real platform.
    // The handle from dlopen while the executable is loaded.
    void *code = nullptr;
    // Set once CFPlugInCreate has registered the bundle's factories and types.
    bool plugin_registered = false;

    // Parsed strings tables, keyed by (localization folder, table name); a NULL
    // dictionary records a table that is absent or could not be parsed.
    std::mutex tables_mutex;
    std::map<std::pair<std::string, std::string>, cf::Ref<CFDictionaryRef>> tables;
};

namespace cf::bundle {

// A new URL for a file-system path (directory or not).
Ref<CFURLRef> url_for_path(const std::filesystem::path &path, bool is_directory);
// The file-system path of a URL; empty when it has none.
std::filesystem::path path_of_url(CFURLRef url);

// The lproj folder names to try for one localization, best first: the region
// ("de_CH"), its language ("de") and the language's legacy name ("German").
std::vector<std::string> localization_folders(const std::string &localization);
// The folders to try for a bundle: the preferred localization's, then the
// development region's, without repeats.
std::vector<std::string> localization_search_order(__CFBundle &bundle);

// A plain file name: not empty, not "." or "..", without '/' or NUL.
bool is_file_name(std::string_view name);
// A relative path that stays below the folder it is joined to: not empty, not absolute, no
// ".." step and no NUL.
bool is_inner_path(std::string_view path);

// The most bytes an Info.plist or a strings table may have: far above any real one.
inline constexpr std::size_t kLargestPropertyListFile = std::size_t{16} * 1024 * 1024;

// A property list file of a bundle: the list, or why there is none.
struct PropertyListFile {
    Ref<CFPropertyListRef> list;
    // Why the file was not read (none when it was, even if it does not parse).
    platform::files::ReadFailure failure = platform::files::ReadFailure::none;
    // Without a list: how reading failed, to follow the file's name ("is too large (...)"),
    // or the parser's reason.
    std::string problem;
};

// Reads at most kLargestPropertyListFile bytes of a regular file and parses them.
PropertyListFile read_property_list(const std::filesystem::path &file);

// Codes of the Cocoa error domain for executables that do not load.
inline constexpr CFIndex kExecutableNotFoundError = 4;  // NSFileNoSuchFileError
inline constexpr CFIndex kExecutableNotLoadableError = 3584;
inline constexpr CFIndex kExecutableArchitectureMismatchError = 3585;
inline constexpr CFIndex kExecutableLoadError = 3587;

// Why an executable is not loaded: an error code and the reason in words.
struct ExecutableProblem {
    CFIndex code = 0;
    // Set when the path check refused the file, so that it never reached the loader.
    bool refused = false;
    std::string reason;

    // "refused the executable: <reason>" or "cannot load the executable: <reason>".
    std::string description() const;
};

// The real path of the executable that Info.plist names, when it is a plain file
// inside Contents/MacOS; otherwise nullopt with the reason.
std::optional<std::filesystem::path> checked_executable(const __CFBundle &bundle, ExecutableProblem &problem);
// Why the loader would refuse the file, judged from its headers: not an ELF shared object,
// one built for another machine than this process, or cut off; nullopt when it would not.
std::optional<ExecutableProblem> header_problem(const std::filesystem::path &file);
// Why the loader must not be given the file: an ELF file whose header, program header table,
// loadable segments or section header table reach past its end; nullopt when it holds them
// all or is no ELF file of a known class and byte order (the loader refuses those unharmed).
std::optional<ExecutableProblem> layout_problem(const std::filesystem::path &file);
// Loads the executable after the path and layout checks; nullopt once it is loaded, else why not.
std::optional<ExecutableProblem> load_executable(__CFBundle &bundle);
// True when the symbol (an address dlsym found through code, a handle from dlopen) lies in
// the object code loaded itself, not in one of the libraries it depends on.
bool is_defined_by(void *code, const void *symbol);

}  // namespace cf::bundle

namespace cf::plugin {

// Called while a bundle is freed: drops its factories and types, and closes its
// code now or, when instances of its factories are still alive, later.
void forget_bundle(__CFBundle &bundle);

}  // namespace cf::plugin

namespace platform::localization {

inline constexpr std::size_t kLongestLocalizationName = 64;

// A name a localization folder may have: 1 to kLongestLocalizationName ASCII letters, digits,
// '_' and '-'. Anything else is treated as no localization at all.
bool is_localization_name(std::string_view name);

// The preferred localization ("de_CH", "de"), set in code or taken from the
// environment; nullopt when neither names a valid one.
std::optional<std::string> preferred();

}  // namespace platform::localization
