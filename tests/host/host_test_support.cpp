// The shared pieces of the host tests.
#include "host_test_support.h"

namespace host_test {

std::unique_ptr<printdialog::Dialog> openProbeDialog(const std::string &ppdPath, CFDictionaryRef presets) {
    printdialog::Dialog::Options options;
    options.ppdPath = ppdPath;
    options.bundlePaths = {kProbeBundle};
    options.presets = presets;
    std::string error;
    auto dialog = printdialog::Dialog::open(options, error);
    EXPECT_NE(dialog, nullptr) << error;
    return dialog;
}

std::unique_ptr<printdialog::Dialog> openSampleDialog(const std::string &ppdPath, CFDictionaryRef presets) {
    printdialog::Dialog::Options options;
    options.ppdPath = ppdPath;
    options.pluginDirectory = PDE_PLUGIN_DIR;
    options.presets = presets;
    std::string error;
    auto dialog = printdialog::Dialog::open(options, error);
    EXPECT_NE(dialog, nullptr) << error;
    return dialog;
}

ProbeCode::ProbeCode() {
    auto identifier = cf::adopt(CFStringCreateWithCString(kCFAllocatorDefault, kProbeIdentifier, kCFStringEncodingUTF8));
    bundle_ = cf::retain(CFBundleGetBundleWithIdentifier(identifier.get()));
    if (!bundle_) return;
    ruleRuns_ = reinterpret_cast<int (*)()>(CFBundleGetFunctionPointerForName(bundle_.get(), CFSTR("QELProbeRuleRunCount")));
}

void HostTest::SetUp() {
    PlatformClearInjectedFaults();
    PlatformUseManualClock(true);
}

void HostTest::TearDown() {
    PlatformUseManualClock(false);
    PlatformClearInjectedFaults();
}

}  // namespace host_test
