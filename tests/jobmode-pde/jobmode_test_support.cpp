#include "jobmode_test_support.h"

#include "qel-nib.h"
#include "qel-pane.h"

#include <platform/host_support.h>
#include <platform/test_support.h>

#include <printdialog/extension.h>

#include <fstream>
#include <random>

namespace jobmode_test {

cf::Ref<CFStringRef> makeString(const std::string &value) {
    return cf::adopt(CFStringCreateWithCString(kCFAllocatorDefault, value.c_str(), kCFStringEncodingUTF8));
}

std::string text(CFStringRef string) {
    if (string == nullptr) return "<null>";
    return printdialog::utf8(string);
}

std::string adoptText(CFStringRef string) {
    auto owned = cf::adopt(string);
    return text(owned.get());
}

std::string fieldText(ControlRef field) {
    CFStringRef value = nullptr;
    if (GetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof(value), &value, nullptr) !=
            noErr ||
        value == nullptr)
        return "<unreadable>";
    return adoptText(value);
}

void setFieldText(ControlRef field, const std::string &value) {
    auto string = makeString(value);
    CFStringRef raw = string.get();
    ASSERT_EQ(noErr, SetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof(raw), &raw));
}

std::string entry(CFDictionaryRef dictionary, const std::string &key) {
    auto name = makeString(key);
    CFTypeRef value = CFDictionaryGetValue(dictionary, name.get());
    if (value == nullptr) return "<missing>";
    if (CFGetTypeID(value) != CFStringGetTypeID()) return "<not a string>";
    return text(static_cast<CFStringRef>(value));
}

void setObject(CFMutableDictionaryRef dictionary, const std::string &key, CFTypeRef value) {
    auto name = makeString(key);
    CFDictionarySetValue(dictionary, name.get(), value);
}

void setEntry(CFMutableDictionaryRef dictionary, const std::string &key, const std::string &value) {
    setObject(dictionary, key, makeString(value).get());
}

BundleCopy::BundleCopy() {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() / ("jobmode-bundle-" + std::to_string(random()));
    std::filesystem::create_directories(folder_);
    std::filesystem::copy(kBuiltBundle, path(), std::filesystem::copy_options::recursive);
}

BundleCopy::~BundleCopy() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void PaneTest::SetUp() {
    PlatformClearInjectedFaults();
    PlatformSetPreferredLocalization(makeString(localization()).get());
    liveAtStart_ = PlatformLiveCFObjectCount();

    std::string path = bundlePath();
    auto url = cf::adopt(CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8 *>(path.c_str()), static_cast<CFIndex>(path.size()), true));
    bundle_ = cf::adopt(CFBundleCreate(kCFAllocatorDefault, url.get()));
    ASSERT_TRUE(bundle_) << "build the bundle first: " << path;

    window_ = CreatePDEWindow();
    ASSERT_NE(nullptr, window_);
    record_ = CreateQELContext();
    ASSERT_NE(nullptr, record_);
    ASSERT_TRUE(FindPaneControls(record_, window_));

    session_ = std::make_unique<printdialog::PrintSession>();
    std::string error;
    ASSERT_TRUE(printdialog::PrintSession::create(kPrinter7140K, *session_, error)) << error;
}

void PaneTest::TearDown() {
    PlatformClearInjectedFaults();
    if (record_ != nullptr) {
        DetachPaneConstraints(record_);
        DisposeQELContext(record_);
        record_ = nullptr;
    }
    if (window_ != nullptr) DisposeWindow(window_);
    window_ = nullptr;
    session_.reset();
    bundle_.reset();
    PlatformSetPreferredLocalization(nullptr);
    EXPECT_EQ(liveAtStart_, PlatformLiveCFObjectCount()) << "a CF object outlived the test";
}

}  // namespace jobmode_test
