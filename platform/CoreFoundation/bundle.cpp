// CFBundle: a bundle folder and its Info.plist, one object per folder while it
// lives, found again by its identifier; and the executable inside it.
#include "bundle_internal.h"
#include "string_internal.h"

#include "support/faults.h"
#include "support/log.h"

#include <CoreFoundation/CoreFoundation.h>

#include <dlfcn.h>

#include <algorithm>
#include <climits>

namespace fs = std::filesystem;

namespace {

// Every live bundle in creation order. It holds no reference: a bundle leaves
// it from its destructor.
struct BundleRegistry {
    std::mutex mutex;
    std::vector<__CFBundle *> bundles;
};

BundleRegistry &registry() {
    static BundleRegistry instance;
    return instance;
}

// A bundle whose count reached zero waits in its destructor for the registry
// lock; it must not be handed out again.
bool is_dying(const __CFBundle *bundle) { return bundle->retain_count() == 0; }

__CFBundle *find_by_folder(const BundleRegistry &bundles, const fs::path &folder) {
    for (__CFBundle *bundle : bundles.bundles)
        if (bundle->folder == folder && !is_dying(bundle)) return bundle;
    return nullptr;
}

}  // namespace

__CFBundle::__CFBundle(fs::path bundle_folder, cf::Ref<CFURLRef> bundle_url, cf::Ref<CFDictionaryRef> info_dictionary)
    : cf::Object(kTypeID),
      folder(std::move(bundle_folder)),
      url(std::move(bundle_url)),
      info(std::move(info_dictionary)) {}

// Leaves the registry first so that no lookup finds a bundle being freed.
__CFBundle::~__CFBundle() {
    {
        BundleRegistry &bundles = registry();
        std::lock_guard lock(bundles.mutex);
        std::erase(bundles.bundles, this);
    }
    cf::plugin::forget_bundle(*this);
}

std::string __CFBundle::description() const {
    return "<CFBundle " + cf::address_text(this) + ">{path = " + folder.string() + "}";
}

CFStringRef __CFBundle::info_string(CFStringRef key) const {
    CFTypeRef value = CFDictionaryGetValue(info.get(), key);
    return CFGetTypeID(value) == CFStringGetTypeID() ? static_cast<CFStringRef>(value) : nullptr;
}

namespace cf::bundle {

Ref<CFURLRef> url_for_path(const fs::path &path, bool is_directory) {
    const std::string &text = path.native();
    return adopt(CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<const UInt8 *>(text.data()), static_cast<CFIndex>(text.size()), is_directory));
}

fs::path path_of_url(CFURLRef url) {
    if (CFGetTypeID(url) != CFURLGetTypeID()) return {};
    char buffer[PATH_MAX];
    if (!CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8 *>(buffer), sizeof buffer)) return {};
    return fs::path(buffer);
}

PropertyListFile read_property_list(const fs::path &file) {
    PropertyListFile result;
    auto contents = platform::files::read_file_at_most(file, kLargestPropertyListFile);
    if (!contents) {
        result.failure = contents.failure;
        result.problem = std::move(contents.reason);
        return result;
    }
    auto data = adopt(CFDataCreate(nullptr, reinterpret_cast<const UInt8 *>(contents.bytes.data()),
                                   static_cast<CFIndex>(contents.bytes.size())));
    CFErrorRef error = nullptr;
    result.list = adopt(CFPropertyListCreateWithData(nullptr, data.get(), kCFPropertyListImmutable, nullptr, &error));
    auto error_holder = adopt(error);
    if (!result.list) {
        auto text = adopt(CFErrorCopyDescription(error));
        result.problem = text ? utf8_of(text.get()) : "malformed";
    }
    return result;
}

}  // namespace cf::bundle

extern "C" {

const CFStringRef kCFBundleInfoDictionaryVersionKey = CFSTR("CFBundleInfoDictionaryVersion");
const CFStringRef kCFBundleExecutableKey = CFSTR("CFBundleExecutable");
const CFStringRef kCFBundleIdentifierKey = CFSTR("CFBundleIdentifier");
const CFStringRef kCFBundleVersionKey = CFSTR("CFBundleVersion");
const CFStringRef kCFBundleDevelopmentRegionKey = CFSTR("CFBundleDevelopmentRegion");
const CFStringRef kCFBundleNameKey = CFSTR("CFBundleName");
const CFStringRef kCFBundleLocalizationsKey = CFSTR("CFBundleLocalizations");

// The type of bundles and plug-ins alike.
CFTypeID CFBundleGetTypeID(void) { return cf::kTypeBundle; }

// Returns the live bundle of the folder, retained, or a new one read from its
// Contents/Info.plist; NULL when the folder or Info.plist is missing (quietly), or when
// Info.plist is not a regular file, too large or malformed (with the reason on stderr).
CFBundleRef CFBundleCreate(CFAllocatorRef, CFURLRef bundleURL) {
    std::error_code failure;
    fs::path folder = fs::canonical(cf::bundle::path_of_url(bundleURL), failure);
    if (failure || !fs::is_directory(folder, failure)) return nullptr;

    BundleRegistry &bundles = registry();
    std::lock_guard lock(bundles.mutex);
    if (__CFBundle *existing = find_by_folder(bundles, folder)) {
        existing->retain();
        return existing;
    }

    auto read = cf::bundle::read_property_list(folder / "Contents" / "Info.plist");
    if (read.failure == platform::files::ReadFailure::missing) return nullptr;
    if (read.failure != platform::files::ReadFailure::none) {
        platform::log::write(platform::log::Channel::bundle, platform::log::Level::report,
                             "CFBundle: cannot use %s: Info.plist %s", folder.c_str(), read.problem.c_str());
        return nullptr;
    }
    auto &info = read.list;
    if (info && CFGetTypeID(info.get()) != CFDictionaryGetTypeID()) read.problem = "the top level is not a dictionary";
    if (!read.problem.empty()) {
        platform::log::write(platform::log::Channel::bundle, platform::log::Level::report,
                             "CFBundle: malformed Info.plist in %s: %s", folder.c_str(), read.problem.c_str());
        return nullptr;
    }
    auto url = cf::bundle::url_for_path(folder, true);
    auto *bundle = new __CFBundle(folder, std::move(url),
                                  cf::adopt(static_cast<CFDictionaryRef>(info.leak())));
    bundles.bundles.push_back(bundle);
    return bundle;
}

// Finds a live bundle by CFBundleIdentifier (case-sensitive); Get rule.
CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID) {
    if (platform::faults::consume("CFBundleGetBundleWithIdentifier")) return nullptr;
    if (CFGetTypeID(bundleID) != CFStringGetTypeID()) return nullptr;
    BundleRegistry &bundles = registry();
    std::lock_guard lock(bundles.mutex);
    for (__CFBundle *bundle : bundles.bundles) {
        CFStringRef identifier = bundle->info_string(kCFBundleIdentifierKey);
        if (identifier != nullptr && CFEqual(identifier, bundleID) && !is_dying(bundle)) return bundle;
    }
    return nullptr;
}

// The CFBundleIdentifier of Info.plist, or NULL.
CFStringRef CFBundleGetIdentifier(CFBundleRef bundle) {
    auto *self = cf::as<__CFBundle>(bundle);
    return self ? self->info_string(kCFBundleIdentifierKey) : nullptr;
}

// The parsed Info.plist; Get rule.
CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle) {
    auto *self = cf::as<__CFBundle>(bundle);
    return self ? self->info.get() : nullptr;
}

// One value of Info.plist; Get rule.
CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key) {
    auto *self = cf::as<__CFBundle>(bundle);
    if (self == nullptr || key == nullptr) return nullptr;
    return CFDictionaryGetValue(self->info.get(), key);
}

// CFBundleDevelopmentRegion of Info.plist, "en" when it names none or a value that is no
// localization name (a path, say).
CFStringRef CFBundleGetDevelopmentRegion(CFBundleRef bundle) {
    auto *self = cf::as<__CFBundle>(bundle);
    if (self == nullptr) return nullptr;
    CFStringRef region = self->info_string(kCFBundleDevelopmentRegionKey);
    bool valid = region != nullptr && platform::localization::is_localization_name(cf::utf8_of(region));
    return valid ? region : CFSTR("en");
}

// The URL of the bundle folder (canonical path).
CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle) {
    auto *self = cf::as<__CFBundle>(bundle);
    return self ? static_cast<CFURLRef>(CFRetain(self->url.get())) : nullptr;
}

// Contents/MacOS/<CFBundleExecutable>, only when that names a file the bundle may load.
CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle) {
    auto *self = cf::as<__CFBundle>(bundle);
    if (self == nullptr) return nullptr;
    cf::bundle::ExecutableProblem problem;
    auto executable = cf::bundle::checked_executable(*self, problem);
    if (!executable) return nullptr;
    std::string name = cf::utf8_of(self->info_string(kCFBundleExecutableKey));
    return cf::bundle::url_for_path(self->executables_folder() / name, false).leak();
}

// Loads the executable once; false, with the reason on stderr, when it is
// refused or cannot be loaded.
Boolean CFBundleLoadExecutable(CFBundleRef bundle) {
    auto *self = cf::as<__CFBundle>(bundle);
    if (self == nullptr) return false;
    if (self->code != nullptr) return true;
    auto problem = cf::bundle::load_executable(*self);
    if (!problem) return true;
    platform::log::write(platform::log::Channel::bundle, platform::log::Level::report, "CFBundle: %s the executable of %s: %s",
                         problem->refused ? "refusing to load" : "cannot load", self->folder.c_str(),
                         problem->reason.c_str());
    return false;
}

// True once CFBundleLoadExecutable or CFPlugInCreate has loaded the code.
Boolean CFBundleIsExecutableLoaded(CFBundleRef bundle) {
    auto *self = cf::as<__CFBundle>(bundle);
    return self != nullptr && self->code != nullptr;
}

// An exported symbol defined by the loaded executable itself; NULL when not loaded, absent, or
// found only in a library the executable uses (libc's abort is no factory of the bundle's).
void *CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef functionName) {
    auto *self = cf::as<__CFBundle>(bundle);
    if (self == nullptr || self->code == nullptr) return nullptr;
    if (CFGetTypeID(functionName) != CFStringGetTypeID()) return nullptr;
    void *symbol = dlsym(self->code, cf::utf8_of(functionName).c_str());
    return symbol != nullptr && cf::bundle::is_defined_by(self->code, symbol) ? symbol : nullptr;
}

}  // extern "C"
