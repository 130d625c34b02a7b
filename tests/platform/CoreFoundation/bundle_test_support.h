// What the CFBundle and CFPlugIn tests share: bundles built in a temporary folder, and a fixture
// that resets the preferred localization and checks that nothing made in a test is left alive.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_text.h>
#include <platform/host_support.h>
#include <platform/test_support.h>

#include "live_objects.h"
#include "platform_scopes.h"
#include "temporary_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace bundle_test {

namespace fs = std::filesystem;

// A new string with the text, or none for NULL.
inline cf::Ref<CFStringRef> string_or_null(const char *text) { return text ? cf::string(text) : cf::Ref<CFStringRef>(); }

// The text of a string result, released here; "<NULL>" when there is none.
inline std::string adopted_text(CFStringRef string) { return string ? cf::adopt_utf8(string) : "<NULL>"; }

inline cf::Ref<CFURLRef> url_for(const fs::path &path, bool is_directory = true) {
    const std::string &text = path.native();
    return cf::adopt(CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8 *>(text.data()),
                                                             static_cast<CFIndex>(text.size()), is_directory));
}

inline std::string path_of(CFURLRef url) {
    return url ? cf::adopt_utf8(CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle)) : "<NULL>";
}

inline std::vector<std::string> texts_of(CFArrayRef strings) {
    std::vector<std::string> texts;
    for (CFIndex index = 0; index < CFArrayGetCount(strings); ++index)
        texts.push_back(cf::utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(strings, index))));
    return texts;
}

using test_support::writeFile;

// An XML Info.plist with the given string entries and extra raw XML inside the dict.
inline std::string info_plist(const std::vector<std::pair<std::string, std::string>> &strings,
                              const std::string &extra_xml = "") {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n<dict>\n";
    for (const auto &[key, value] : strings) xml += "<key>" + key + "</key><string>" + value + "</string>\n";
    return xml + extra_xml + "</dict>\n</plist>\n";
}

// The built probe plug-in and its executable.
inline fs::path probe_bundle_path() { return PROBE_PLUGIN_PATH; }
inline fs::path probe_executable_path() { return probe_bundle_path() / "Contents" / "MacOS" / "ProbePlugin"; }

// Resets the locale variables and the host's choice, and restores them after the test.
class LocaleGuard {
public:
    LocaleGuard() { PlatformSetPreferredLocalization(nullptr); }
    ~LocaleGuard() { PlatformSetPreferredLocalization(nullptr); }
    LocaleGuard(const LocaleGuard &) = delete;
    LocaleGuard &operator=(const LocaleGuard &) = delete;

private:
    test_support::EnvironmentScope variables_{{"LC_ALL", nullptr}, {"LC_MESSAGES", nullptr}, {"LANG", nullptr}};
};

inline void prefer(const char *localization) { PlatformSetPreferredLocalization(cf::string(localization).get()); }

// Every bundle test starts with no preferred localization and must give back everything it made.
class BundleTest : public test_support::LeakCheckedTest {
protected:
    void TearDown() override {
        PlatformClearInjectedFaults();
        LeakCheckedTest::TearDown();
    }

    // A bundle folder <name>.plugin in the temporary folder with the given Info.plist text.
    fs::path make_bundle(const std::string &name, const std::string &info_text) {
        fs::path folder = temporary_ / (name + ".plugin");
        writeFile(folder / "Contents" / "Info.plist", info_text);
        return folder;
    }

    cf::Ref<CFBundleRef> create_bundle(const fs::path &folder) {
        return cf::adopt(CFBundleCreate(nullptr, url_for(folder).get()));
    }

    LocaleGuard locale_;
    test_support::TemporaryFolder temporary_folder_{"bundle-test"};
    const fs::path temporary_ = fs::canonical(temporary_folder_.path());
};

}  // namespace bundle_test
