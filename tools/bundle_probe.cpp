// bundle-probe [BUNDLE_PATH]: loads a plug-in bundle through CFPlugIn the way
// the print dialog host will, and reports what it finds.
#include <CoreFoundation/CoreFoundation.h>
#include <CoreFoundation/CFPlugInCOM.h>
#include <platform/host_support.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct CFReleaser {
    void operator()(const void *object) const { CFRelease(object); }
};

// Holds one reference of a Create/Copy result.
template <typename Ref>
using Owned = std::unique_ptr<std::remove_pointer_t<Ref>, CFReleaser>;

template <typename Ref>
Owned<Ref> own(Ref object) {
    return Owned<Ref>(object);
}

std::string text(CFStringRef string) {
    if (string == nullptr) return "(none)";
    CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1;
    std::vector<char> buffer(static_cast<size_t>(size));
    if (!CFStringGetCString(string, buffer.data(), size, kCFStringEncodingUTF8)) return "(unreadable)";
    return buffer.data();
}

std::string path_text(CFURLRef url) {
    auto path = own(CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle));
    return text(path.get());
}

std::vector<std::string> sorted_texts(CFArrayRef strings) {
    std::vector<std::string> texts;
    for (CFIndex index = 0; index < CFArrayGetCount(strings); ++index)
        texts.push_back(text(static_cast<CFStringRef>(CFArrayGetValueAtIndex(strings, index))));
    std::sort(texts.begin(), texts.end());
    return texts;
}

std::string joined(const std::vector<std::string> &texts) {
    std::string result;
    for (const std::string &item : texts) result += (result.empty() ? "" : ", ") + item;
    return result.empty() ? "(none)" : result;
}

// The string keys of a dictionary, sorted.
std::vector<std::string> sorted_keys(CFDictionaryRef dictionary) {
    CFIndex count = CFDictionaryGetCount(dictionary);
    std::vector<const void *> keys(static_cast<size_t>(count));
    CFDictionaryGetKeysAndValues(dictionary, keys.data(), nullptr);
    std::vector<std::string> texts;
    for (const void *key : keys)
        if (CFGetTypeID(key) == CFStringGetTypeID()) texts.push_back(text(static_cast<CFStringRef>(key)));
    std::sort(texts.begin(), texts.end());
    return texts;
}

Owned<CFStringRef> make_string(const std::string &utf8) {
    return own(CFStringCreateWithCString(nullptr, utf8.c_str(), kCFStringEncodingUTF8));
}

// Makes one instance of each factory the plug-in registers for each type its
// Info.plist declares, and releases it; false when a factory fails.
bool probe_factories(CFPlugInRef plugin) {
    auto types = static_cast<CFDictionaryRef>(
        CFBundleGetValueForInfoDictionaryKey(CFPlugInGetBundle(plugin), kCFPlugInTypesKey));
    if (types == nullptr || CFGetTypeID(types) != CFDictionaryGetTypeID()) {
        std::printf("plug-in types: (none)\n");
        return true;
    }
    for (const std::string &type_text : sorted_keys(types)) {
        auto type = own(CFUUIDCreateFromString(nullptr, make_string(type_text).get()));
        if (!type) {
            std::fprintf(stderr, "bundle-probe: Info.plist declares the malformed type UUID %s\n", type_text.c_str());
            return false;
        }
        auto factories = own(CFPlugInFindFactoriesForPlugInTypeInPlugIn(type.get(), plugin));
        std::printf("plug-in type %s:\n", type_text.c_str());
        if (!factories) {
            std::printf("  no factory\n");
            continue;
        }
        for (CFIndex index = 0; index < CFArrayGetCount(factories.get()); ++index) {
            auto factory = static_cast<CFUUIDRef>(CFArrayGetValueAtIndex(factories.get(), index));
            auto factory_text = own(CFUUIDCreateString(nullptr, factory));
            auto instance = static_cast<IUnknownVTbl **>(CFPlugInInstanceCreate(nullptr, factory, type.get()));
            if (instance == nullptr) {
                std::fprintf(stderr, "bundle-probe: factory %s made no instance of type %s\n",
                             text(factory_text.get()).c_str(), type_text.c_str());
                return false;
            }
            (*instance)->Release(instance);
            std::printf("  factory %s: instance created and released\n", text(factory_text.get()).c_str());
        }
    }
    return true;
}

// Shows the first keys of the default strings table as the preferred localization gives them.
void probe_localized_strings(CFBundleRef bundle) {
    auto table_url = own(CFBundleCopyResourceURL(bundle, CFSTR("Localizable"), CFSTR("strings"), nullptr));
    if (!table_url) {
        std::printf("localized strings: (no Localizable.strings)\n");
        return;
    }
    std::ifstream stream(path_text(table_url.get()), std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    auto data = own(CFDataCreate(nullptr, reinterpret_cast<const UInt8 *>(bytes.data()),
                                 static_cast<CFIndex>(bytes.size())));
    auto table = own(CFPropertyListCreateWithData(nullptr, data.get(), kCFPropertyListImmutable, nullptr, nullptr));
    if (!table || CFGetTypeID(table.get()) != CFDictionaryGetTypeID()) {
        std::printf("localized strings: (unreadable Localizable.strings)\n");
        return;
    }
    std::vector<std::string> keys = sorted_keys(static_cast<CFDictionaryRef>(table.get()));
    keys.resize(std::min<size_t>(keys.size(), 2));
    std::printf("localized strings (%s):\n", path_text(table_url.get()).c_str());
    for (const std::string &key_text : keys) {
        auto key = make_string(key_text);
        auto localized = own(CFBundleCopyLocalizedString(bundle, key.get(), nullptr, nullptr));
        std::printf("  %s = %s\n", key_text.c_str(), text(localized.get()).c_str());
    }
}

}  // namespace

int main(int argc, char **argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: bundle-probe [BUNDLE_PATH]\n");
        return 1;
    }
    const std::string path = argc == 2 ? argv[1] : PDE_DEFAULT_PROBE_BUNDLE;
    auto url = own(CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8 *>(path.data()),
                                                           static_cast<CFIndex>(path.size()), true));
    auto plugin = own(CFPlugInCreate(nullptr, url.get()));
    if (!plugin) {
        std::fprintf(stderr, "bundle-probe: %s is not a plug-in bundle that can be loaded\n", path.c_str());
        return 1;
    }
    CFBundleRef bundle = CFPlugInGetBundle(plugin.get());
    auto bundle_url = own(CFBundleCopyBundleURL(bundle));
    auto localizations = own(CFBundleCopyBundleLocalizations(bundle));
    auto preferred = own(PlatformCopyPreferredLocalization());

    std::printf("bundle: %s\n", path_text(bundle_url.get()).c_str());
    std::printf("identifier: %s\n", text(CFBundleGetIdentifier(bundle)).c_str());
    std::printf("development region: %s\n", text(CFBundleGetDevelopmentRegion(bundle)).c_str());
    std::printf("localizations: %s\n", joined(sorted_texts(localizations.get())).c_str());
    std::printf("preferred localization: %s\n", text(preferred.get()).c_str());
    if (!probe_factories(plugin.get())) return 1;
    probe_localized_strings(bundle);
    return 0;
}
