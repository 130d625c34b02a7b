#include "jobmode_test_support.h"

#include "qel-nib.h"
#include "qel-pane.h"

#include <platform/host_support.h>
#include <platform/test_support.h>

#include <fstream>

namespace jobmode_test {

std::string fieldText(ControlRef field) {
    CFStringRef value = nullptr;
    if (GetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof(value), &value, nullptr) !=
            noErr ||
        value == nullptr)
        return "<unreadable>";
    return cf::adopt_utf8(value);
}

void setFieldText(ControlRef field, const std::string &value) {
    auto string = cf::string(value);
    CFStringRef raw = string.get();
    ASSERT_EQ(noErr, SetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof(raw), &raw));
}

std::string entry(CFDictionaryRef dictionary, const std::string &key) {
    auto name = cf::string(key);
    CFTypeRef value = CFDictionaryGetValue(dictionary, name.get());
    if (value == nullptr) return "<missing>";
    if (CFGetTypeID(value) != CFStringGetTypeID()) return "<not a string>";
    return cf::utf8(static_cast<CFStringRef>(value));
}

void setObject(CFMutableDictionaryRef dictionary, const std::string &key, CFTypeRef value) {
    auto name = cf::string(key);
    CFDictionarySetValue(dictionary, name.get(), value);
}

void setEntry(CFMutableDictionaryRef dictionary, const std::string &key, const std::string &value) {
    setObject(dictionary, key, cf::string(value).get());
}

BundleCopy::BundleCopy() {
    std::filesystem::copy(kBuiltBundle, path(), std::filesystem::copy_options::recursive);
}

void PaneTest::SetUp() {
    PlatformClearInjectedFaults();
    PlatformSetPreferredLocalization(cf::string(localization()).get());
    LeakCheckedTest::SetUp();

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
    ASSERT_TRUE(printdialog::PrintSession::create(sample_printers::kDX7140K, *session_, error)) << error;
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
    LeakCheckedTest::TearDown();
}

}  // namespace jobmode_test
