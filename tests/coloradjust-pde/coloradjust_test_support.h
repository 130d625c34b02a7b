// What the colour-adjustment tests share: where the bundles and printers are, text of controls,
// ticket presets and the manual clock.
#pragma once

#include "live_objects.h"
#include "platform_scopes.h"
#include "sample_printers.h"

#include <Carbon/Carbon.h>
#include <platform/cf_text.h>
#include <platform/host_support.h>
#include <platform/test_support.h>
#include <platform/user_actions.h>

#include <map>
#include <string>
#include <vector>

namespace coloradjust_test {

inline const char *const kBundlePath = PDE_PLUGIN_DIR "/ColorAdjust.plugin";
// Same pane code; its English nib lacks value field 24, its German one is complete and its German
// strings table names some values in words.
inline const char *const kTestBundlePath = PDE_TEST_PLUGIN_DIR "/ColorAdjustTest.plugin";

// Ticket keys in slider order (slider 10 + k, value field 20 + k).
inline const std::vector<std::string> kTicketKeys = {
    "ColorBalanceCyan", "ColorBalanceMagenta", "ColorBalanceYellow", "ColorBalanceBlack", "SharpnessQRV",
    "BrightnessQRV",    "ContrastQRV",         "SaturationQRV",      "BackgroundAdjustmentQRV"};

inline std::string textOf(ControlRef control) {
    CFStringRef text = nullptr;
    if (GetControlData(control, kControlEntireControl, kControlStaticTextCFStringTag, sizeof text, &text, nullptr) != noErr)
        return "<no text>";
    return cf::adopt_utf8(text);
}

inline void setText(ControlRef control, const std::string &text) {
    auto string = cf::string(text);
    CFStringRef value = string.get();
    SetControlData(control, kControlEntireControl, kControlStaticTextCFStringTag, sizeof value, &value);
}

// The ticket entry as text, "<missing>" or "<not a string>".
inline std::string ticketValue(CFDictionaryRef ppdDictionary, const std::string &key) {
    CFTypeRef value = CFDictionaryGetValue(ppdDictionary, cf::string(key).get());
    if (value == nullptr) return "<missing>";
    if (CFGetTypeID(value) != CFStringGetTypeID()) return "<not a string>";
    return cf::utf8(static_cast<CFStringRef>(value));
}

inline cf::Ref<CFMutableDictionaryRef> makePresets(const std::map<std::string, std::string> &entries) {
    auto presets = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks));
    for (const auto &[key, value] : entries)
        CFDictionarySetValue(presets.get(), cf::string(key).get(), cf::string(value).get());
    return presets;
}

// The manual clock for one test, in English; the real clock and the environment's localization
// come back after it.
struct ManualClockScope {
    test_support::ManualClockScope clock;
    test_support::LocalizationScope english{"en"};
};

}  // namespace coloradjust_test
