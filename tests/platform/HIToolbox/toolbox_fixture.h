// Shared set-up for the Control, Menu and Window Manager tests: windows, menus and strings that
// are disposed of after each test, and a check that nothing the test made is left alive.
#pragma once

#include <Carbon/Carbon.h>
#include <platform/cf_text.h>
#include <platform/test_support.h>

#include "live_objects.h"
#include <platform/user_actions.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace toolbox_test {

// A field's text through the public data call, released again; "<null>" when it gives none.
inline std::string text_of(ControlRef control) {
    CFStringRef text = nullptr;
    EXPECT_EQ(noErr, GetControlData(control, kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text, nullptr));
    return text ? cf::adopt_utf8(text) : "<null>";
}

class ToolboxTest : public test_support::LeakCheckedTest {
protected:
    void SetUp() override {
        PlatformClearInjectedFaults();
        LeakCheckedTest::SetUp();
        window_ = make_window();
    }

    void TearDown() override {
        PlatformSetControlObserver(nullptr, nullptr);
        PlatformClearInjectedFaults();
        for (WindowRef window : windows_) DisposeWindow(window);
        for (MenuRef menu : menus_) ReleaseMenu(menu);
        LeakCheckedTest::TearDown();
    }

    // A window disposed of after the test (a test that disposes of it itself says so).
    WindowRef make_window(Rect content = {100, 50, 400, 450}) {
        WindowRef window = nullptr;
        EXPECT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowNoAttributes, &content, &window));
        windows_.push_back(window);
        return window;
    }
    void forget_window(WindowRef window) { std::erase(windows_, window); }

    // A menu with one reference held by the test until its end.
    MenuRef make_menu(std::initializer_list<const char *> items) {
        MenuRef menu = nullptr;
        EXPECT_EQ(noErr, CreateNewMenu(1, 0, &menu));
        for (const char *item : items) {
            EXPECT_EQ(noErr, AppendMenuItemTextWithCFString(menu, cf::string(item).get(), 0, 0, nullptr));
        }
        menus_.push_back(menu);
        return menu;
    }

    ControlRef make_user_pane(Rect bounds = {0, 0, 100, 100}, WindowRef window = nullptr) {
        ControlRef pane = nullptr;
        EXPECT_EQ(noErr, CreateUserPaneControl(window ? window : window_, &bounds, kControlSupportsEmbedding, &pane));
        return pane;
    }
    ControlRef make_field(const char *text = "", WindowRef window = nullptr) {
        Rect bounds = {10, 10, 30, 100};
        ControlRef field = nullptr;
        EXPECT_EQ(noErr, CreateEditUnicodeTextControl(window ? window : window_, &bounds, cf::string(text).get(), false, nullptr, &field));
        return field;
    }
    ControlRef make_slider(SInt32 value, SInt32 minimum, SInt32 maximum) {
        Rect bounds = {40, 10, 60, 200};
        ControlRef slider = nullptr;
        EXPECT_EQ(noErr, CreateSliderControl(window_, &bounds, value, minimum, maximum, 0, 0, false, nullptr, &slider));
        return slider;
    }
    ControlRef make_popup(MenuRef menu) {
        Rect bounds = {70, 10, 90, 200};
        ControlRef popup = nullptr;
        EXPECT_EQ(noErr, CreatePopupButtonControl(window_, &bounds, nullptr, -12345, false, 0, 0, 0, &popup));
        SetControlPopupMenuHandle(popup, menu);
        return popup;
    }
    ControlRef make_check_box(SInt32 value = 0) {
        Rect bounds = {100, 10, 120, 200};
        ControlRef box = nullptr;
        EXPECT_EQ(noErr, CreateCheckBoxControl(window_, &bounds, nullptr, value, true, &box));
        return box;
    }

    void set_text(ControlRef control, const char *text) {
        auto string = cf::string(text);
        CFStringRef ref = string.get();
        EXPECT_EQ(noErr, SetControlData(control, kControlEntireControl, kControlEditTextCFStringTag, sizeof ref, &ref));
    }
    ControlEditTextSelectionRec selection_of(ControlRef field) {
        ControlEditTextSelectionRec selection{-1, -1};
        EXPECT_EQ(noErr, GetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection, &selection, nullptr));
        return selection;
    }

    WindowRef window_ = nullptr;

private:
    std::vector<WindowRef> windows_;
    std::vector<MenuRef> menus_;
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
