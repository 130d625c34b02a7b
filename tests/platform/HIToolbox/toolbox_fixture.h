// Shared set-up for the Control, Menu and Window Manager tests: windows, menus and strings that
// are disposed of after each test, and a check that nothing the test made is left alive.
#pragma once

#include <Carbon/Carbon.h>
#include <platform/test_support.h>
#include <platform/user_actions.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace toolbox_test {

// One CF string reference owned by the test.
class OwnedString {
public:
    explicit OwnedString(const char *utf8) : string_(CFStringCreateWithCString(nullptr, utf8, kCFStringEncodingUTF8)) {}
    explicit OwnedString(CFStringRef adopted = nullptr) : string_(adopted) {}
    OwnedString(const OwnedString &) = delete;
    OwnedString &operator=(const OwnedString &) = delete;
    ~OwnedString() { if (string_ != nullptr) CFRelease(string_); }

    CFStringRef get() const { return string_; }
    // For out-parameters of Copy functions.
    CFStringRef *out() { return &string_; }

private:
    CFStringRef string_;
};

inline std::string utf8(CFStringRef string) {
    if (string == nullptr) return "<null>";
    char buffer[512];
    return CFStringGetCString(string, buffer, sizeof buffer, kCFStringEncodingUTF8) ? buffer : "<unconvertible>";
}

class ToolboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformClearInjectedFaults();
        controls_before_ = PlatformLiveObjectCount("control");
        windows_before_ = PlatformLiveObjectCount("window");
        menus_before_ = PlatformLiveObjectCount("menu");
        cf_objects_before_ = PlatformLiveCFObjectCount();
        window_ = make_window();
    }

    void TearDown() override {
        PlatformSetControlObserver(nullptr, nullptr);
        PlatformClearInjectedFaults();
        for (WindowRef window : windows_) DisposeWindow(window);
        for (MenuRef menu : menus_) ReleaseMenu(menu);
        EXPECT_EQ(PlatformLiveObjectCount("control"), controls_before_);
        EXPECT_EQ(PlatformLiveObjectCount("window"), windows_before_);
        EXPECT_EQ(PlatformLiveObjectCount("menu"), menus_before_);
        EXPECT_EQ(PlatformLiveCFObjectCount(), cf_objects_before_);
    }

    // A window disposed of after the test (a test that disposes of it itself says so).
    WindowRef make_window(Rect content = {100, 50, 400, 450}) {
        WindowRef window = nullptr;
        EXPECT_EQ(CreateNewWindow(kDocumentWindowClass, kWindowNoAttributes, &content, &window), noErr);
        windows_.push_back(window);
        return window;
    }
    void forget_window(WindowRef window) { std::erase(windows_, window); }

    // A menu with one reference held by the test until its end.
    MenuRef make_menu(std::initializer_list<const char *> items) {
        MenuRef menu = nullptr;
        EXPECT_EQ(CreateNewMenu(1, 0, &menu), noErr);
        for (const char *item : items) {
            OwnedString text(item);
            EXPECT_EQ(AppendMenuItemTextWithCFString(menu, text.get(), 0, 0, nullptr), noErr);
        }
        menus_.push_back(menu);
        return menu;
    }

    ControlRef make_user_pane(Rect bounds = {0, 0, 100, 100}, WindowRef window = nullptr) {
        ControlRef pane = nullptr;
        EXPECT_EQ(CreateUserPaneControl(window ? window : window_, &bounds, kControlSupportsEmbedding, &pane), noErr);
        return pane;
    }
    ControlRef make_field(const char *text = "", WindowRef window = nullptr) {
        Rect bounds = {10, 10, 30, 100};
        OwnedString initial(text);
        ControlRef field = nullptr;
        EXPECT_EQ(CreateEditUnicodeTextControl(window ? window : window_, &bounds, initial.get(), false, nullptr, &field), noErr);
        return field;
    }
    ControlRef make_slider(SInt32 value, SInt32 minimum, SInt32 maximum) {
        Rect bounds = {40, 10, 60, 200};
        ControlRef slider = nullptr;
        EXPECT_EQ(CreateSliderControl(window_, &bounds, value, minimum, maximum, 0, 0, false, nullptr, &slider), noErr);
        return slider;
    }
    ControlRef make_popup(MenuRef menu) {
        Rect bounds = {70, 10, 90, 200};
        ControlRef popup = nullptr;
        EXPECT_EQ(CreatePopupButtonControl(window_, &bounds, nullptr, -12345, false, 0, 0, 0, &popup), noErr);
        SetControlPopupMenuHandle(popup, menu);
        return popup;
    }
    ControlRef make_check_box(SInt32 value = 0) {
        Rect bounds = {100, 10, 120, 200};
        ControlRef box = nullptr;
        EXPECT_EQ(CreateCheckBoxControl(window_, &bounds, nullptr, value, true, &box), noErr);
        return box;
    }

    // The field's text through the public data call, released again.
    std::string text_of(ControlRef control) {
        CFStringRef text = nullptr;
        EXPECT_EQ(GetControlData(control, kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text, nullptr), noErr);
        std::string result = utf8(text);
        if (text != nullptr) CFRelease(text);
        return result;
    }
    void set_text(ControlRef control, const char *text) {
        OwnedString string(text);
        CFStringRef ref = string.get();
        EXPECT_EQ(SetControlData(control, kControlEntireControl, kControlEditTextCFStringTag, sizeof ref, &ref), noErr);
    }
    ControlEditTextSelectionRec selection_of(ControlRef field) {
        ControlEditTextSelectionRec selection{-1, -1};
        EXPECT_EQ(GetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection, &selection, nullptr), noErr);
        return selection;
    }

    WindowRef window_ = nullptr;

private:
    std::vector<WindowRef> windows_;
    std::vector<MenuRef> menus_;
    long controls_before_ = 0;
    long windows_before_ = 0;
    long menus_before_ = 0;
    long cf_objects_before_ = 0;
};

// Records what the observer is told.
struct ObservedChange {
    ControlRef control;
    PlatformControlChange change;
};

inline void record_change(ControlRef control, PlatformControlChange change, void *context) {
    static_cast<std::vector<ObservedChange> *>(context)->push_back({control, change});
}

inline int count_changes(const std::vector<ObservedChange> &changes, ControlRef control, PlatformControlChange change) {
    int count = 0;
    for (const auto &observed : changes) count += observed.control == control && observed.change == change;
    return count;
}

}  // namespace toolbox_test
