// What the CFBundle and CFPlugIn tests share: owning holders, bundles built in a
// temporary folder, and a fixture that resets the preferred localization and
// checks that every CF object made in a test is gone at its end.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <platform/host_support.h>
#include <platform/test_support.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace bundle_test {

namespace fs = std::filesystem;

struct Releaser {
    void operator()(const void *object) const { CFRelease(object); }
};

template <typename Ref>
using Owned = std::unique_ptr<std::remove_pointer_t<Ref>, Releaser>;

template <typename Ref>
Owned<Ref> own(Ref object) {
    return Owned<Ref>(object);
}

inline Owned<CFStringRef> make_string(const std::string &utf8) {
    return own(CFStringCreateWithCString(nullptr, utf8.c_str(), kCFStringEncodingUTF8));
}

inline std::string utf8(CFTypeRef string) {
    if (string == nullptr) return "<NULL>";
    if (CFGetTypeID(string) != CFStringGetTypeID()) return "<not a string>";
    auto text = static_cast<CFStringRef>(string);
    CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(text), kCFStringEncodingUTF8) + 1;
    std::vector<char> buffer(static_cast<size_t>(size));
    CFStringGetCString(text, buffer.data(), size, kCFStringEncodingUTF8);
    return buffer.data();
}

inline Owned<CFURLRef> url_for(const fs::path &path, bool is_directory = true) {
    const std::string &text = path.native();
    return own(CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8 *>(text.data()),
                                                       static_cast<CFIndex>(text.size()), is_directory));
}

inline std::string path_of(CFURLRef url) {
    if (url == nullptr) return "<NULL>";
    auto path = own(CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle));
    return utf8(path.get());
}

inline std::vector<std::string> texts_of(CFArrayRef strings) {
    std::vector<std::string> texts;
    for (CFIndex index = 0; index < CFArrayGetCount(strings); ++index)
        texts.push_back(utf8(CFArrayGetValueAtIndex(strings, index)));
    return texts;
}

inline void write_file(const fs::path &file, const std::string &content) {
    fs::create_directories(file.parent_path());
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream << content;
}

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

// A folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "bundle-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = fs::canonical(pattern);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;

    const fs::path &path() const { return path_; }

private:
    fs::path path_;
};

// The built probe plug-in and its executable.
inline fs::path probe_bundle_path() { return PROBE_PLUGIN_PATH; }
inline fs::path probe_executable_path() { return probe_bundle_path() / "Contents" / "MacOS" / "ProbePlugin"; }

// Resets the locale variables and the host's choice, and restores them after the test.
class LocaleGuard {
public:
    LocaleGuard() {
        for (auto &[name, value] : saved_) {
            if (const char *current = std::getenv(name)) value = current;
            unsetenv(name);
        }
        PlatformSetPreferredLocalization(nullptr);
    }
    ~LocaleGuard() {
        for (const auto &[name, value] : saved_) {
            if (value)
                setenv(name, value->c_str(), 1);
            else
                unsetenv(name);
        }
        PlatformSetPreferredLocalization(nullptr);
    }
    LocaleGuard(const LocaleGuard &) = delete;
    LocaleGuard &operator=(const LocaleGuard &) = delete;

private:
    std::vector<std::pair<const char *, std::optional<std::string>>> saved_{
        {"LC_ALL", std::nullopt}, {"LC_MESSAGES", std::nullopt}, {"LANG", std::nullopt}};
};

inline void prefer(const char *localization) {
    auto name = make_string(localization);
    PlatformSetPreferredLocalization(name.get());
}

// Every bundle test starts with no preferred localization and must give back
// every CF object it made.
class BundleTest : public ::testing::Test {
protected:
    void SetUp() override { live_at_start_ = PlatformLiveCFObjectCount(); }
    void TearDown() override {
        PlatformClearInjectedFaults();
        EXPECT_EQ(PlatformLiveCFObjectCount(), live_at_start_) << "CF objects leaked";
    }

    // A bundle folder <name>.plugin in the temporary folder with the given Info.plist text.
    fs::path make_bundle(const std::string &name, const std::string &info_text) {
        fs::path folder = temporary_.path() / (name + ".plugin");
        write_file(folder / "Contents" / "Info.plist", info_text);
        return folder;
    }

    Owned<CFBundleRef> create_bundle(const fs::path &folder) { return own(CFBundleCreate(nullptr, url_for(folder).get())); }

    LocaleGuard locale_;
    TemporaryFolder temporary_;

private:
    long live_at_start_ = 0;
};

}  // namespace bundle_test
