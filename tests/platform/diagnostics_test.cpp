// The platform's diagnostics switch: traces of what the layer ignores or refuses are written only
// while PDE_DEBUG names their channel; the calls behave the same either way.
#include <Carbon/Carbon.h>
#include <gtest/gtest.h>

#include "platform_scopes.h"

#include <string>

namespace {

const char kControlsTrace[] = "pde[controls]: SetControlData: tag 'text' is not supported by a 'eutx' control\n";
const char kWindowsTrace[] = "pde[windows]: GetWindowBounds: region code 0 is not supported\n";

struct Setting {
    const char *value;  // nullptr: PDE_DEBUG unset
    bool controls;      // whether the controls channel traces
    bool windows;       // whether the windows channel traces
};

const Setting kSettings[] = {
    {nullptr, false, false},          {"", false, false},
    {"controls", true, false},        {"windows", false, true},
    {"nib,controls", true, false},    {"bogus,windows,", false, true},
    {"bogus", false, false},          {"control", false, false},
    {"CONTROLS", false, false},       {"all", true, true},
    {"controls,windows", true, true},
};

TEST(Diagnostics, PdeDebugSwitchesTheTracesOfEachChannel) {
    const Rect content{100, 100, 300, 400};
    WindowRef window = nullptr;
    ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowNoAttributes, &content, &window));
    const Rect bounds{10, 10, 30, 200};
    ControlRef field = nullptr;
    ASSERT_EQ(noErr, CreateEditUnicodeTextControl(window, &bounds, CFSTR("12345"), false, nullptr, &field));

    for (const Setting &setting : kSettings) {
        SCOPED_TRACE(setting.value != nullptr ? setting.value : "(unset)");
        test_support::EnvironmentScope debug{{"PDE_DEBUG", setting.value}};
        char text[8] = {};
        Rect region{};
        testing::internal::CaptureStderr();
        EXPECT_EQ(errDataNotSupported,
                  SetControlData(field, kControlEntireControl, kControlEditTextTextTag, sizeof text, text));
        EXPECT_EQ(errWindowRegionCodeInvalid, GetWindowBounds(window, kWindowTitleBarRgn, &region));
        std::string expected = std::string(setting.controls ? kControlsTrace : "") + (setting.windows ? kWindowsTrace : "");
        EXPECT_EQ(expected, testing::internal::GetCapturedStderr());
    }
    DisposeWindow(window);
}

TEST(Diagnostics, ASliderTracesWhatItIgnoresAndWorksAlike) {
    const Rect content{100, 100, 300, 400};
    WindowRef window = nullptr;
    ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowNoAttributes, &content, &window));
    const Rect bounds{10, 10, 30, 200};
    for (const char *value : {"controls", "windows"}) {
        SCOPED_TRACE(value);
        test_support::EnvironmentScope debug{{"PDE_DEBUG", value}};
        ControlRef slider = nullptr;
        testing::internal::CaptureStderr();
        ASSERT_EQ(noErr, CreateSliderControl(window, &bounds, 5, 0, 10, kControlSliderPointsUpOrLeft, 11, true, nullptr,
                                             &slider));
        std::string expected = std::string(value) == "controls" ? "pde[controls]: CreateSliderControl: the orientation ignored\n"
                                                                  "pde[controls]: CreateSliderControl: the tick marks ignored\n"
                                                                  "pde[controls]: CreateSliderControl: live tracking ignored\n"
                                                                : "";
        EXPECT_EQ(expected, testing::internal::GetCapturedStderr());
        EXPECT_EQ(5, GetControl32BitValue(slider));
        EXPECT_EQ(0, GetControl32BitMinimum(slider));
        EXPECT_EQ(10, GetControl32BitMaximum(slider));
    }
    DisposeWindow(window);
}

}  // namespace
