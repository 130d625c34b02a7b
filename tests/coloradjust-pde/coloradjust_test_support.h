// What the colour-adjustment tests share: where the bundles and printers are, text of controls,
// ticket presets and the manual clock.
#pragma once

#include <Carbon/Carbon.h>
#include <platform/cf_ref.h>
#include <platform/host_support.h>
#include <platform/test_support.h>
#include <platform/user_actions.h>

#include <map>
#include <string>
#include <vector>

namespace coloradjust_test {

inline const char *const kPrinter7140 = PDE_SOURCE_DIR "/printers/QUORVEN-v-DX7140K.ppd";
inline const char *const kPrinter8250 = PDE_SOURCE_DIR "/printers/QUORVEN-v-DX8250K.ppd";
inline const char *const kBundlePath = PDE_PLUGIN_DIR "/ColorAdjust.plugin";
// Same pane code; its English nib lacks value field 24, its German one is complete and its German
// strings table names some values in words.
inline const char *const kTestBundlePath = PDE_TEST_PLUGIN_DIR "/ColorAdjustTest.plugin";

// Ticket keys in slider order (slider 10 + k, value field 20 + k).
inline const std::vector<std::string> kTicketKeys = {
    "ColorBalanceCyan", "ColorBalanceMagenta", "ColorBalanceYellow", "ColorBalanceBlack", "SharpnessQRV",
    "BrightnessQRV",    "ContrastQRV",         "SaturationQRV",      "BackgroundAdjustmentQRV"};

inline cf::Ref<CFStringRef> makeString(const std::string &text) {
    return cf::adopt(CFStringCreateWithCString(kCFAllocatorDefault, text.c_str(), kCFStringEncodingUTF8));
}

inline std::string utf8Of(CFStringRef string) {
    if (string == nullptr) return "<null>";
    char buffer[256] = {};
    CFStringGetCString(string, buffer, sizeof buffer, kCFStringEncodingUTF8);
    return buffer;
}

inline std::string textOf(ControlRef control) {
    CFStringRef text = nullptr;
    if (GetControlData(control, kControlEntireControl, kControlStaticTextCFStringTag, sizeof text, &text, nullptr) != noErr)
        return "<no text>";
    auto owned = cf::adopt(text);
    return utf8Of(text);
}

inline void setText(ControlRef control, const std::string &text) {
    auto string = makeString(text);
    CFStringRef value = string.get();
    SetControlData(control, kControlEntireControl, kControlStaticTextCFStringTag, sizeof value, &value);
}

// The ticket entry as text, "<missing>" or "<not a string>".
inline std::string ticketValue(CFDictionaryRef ppdDictionary, const std::string &key) {
    CFTypeRef value = CFDictionaryGetValue(ppdDictionary, makeString(key).get());
    if (value == nullptr) return "<missing>";
    if (CFGetTypeID(value) != CFStringGetTypeID()) return "<not a string>";
    return utf8Of(static_cast<CFStringRef>(value));
}

inline cf::Ref<CFMutableDictionaryRef> makePresets(const std::map<std::string, std::string> &entries) {
    auto presets = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks));
    for (const auto &[key, value] : entries)
        CFDictionarySetValue(presets.get(), makeString(key).get(), makeString(value).get());
    return presets;
}

// The manual clock for one test, in English; the real clock and the environment's localization
// come back after it.
class ManualClockScope {
public:
    ManualClockScope() {
        PlatformUseManualClock(true);
        PlatformSetPreferredLocalization(CFSTR("en"));
    }
    ~ManualClockScope() {
        PlatformUseManualClock(false);
        PlatformSetPreferredLocalization(nullptr);
    }
    ManualClockScope(const ManualClockScope &) = delete;
    ManualClockScope &operator=(const ManualClockScope &) = delete;
};

}  // namespace coloradjust_test
