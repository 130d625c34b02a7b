// Turns a nib's window description into a live window, through the public toolbox calls that an
// application would make itself, so the nib gets no powers that code lacks.
#include "nib_builder.h"

#include "CoreFoundation/ref.h"
#include "CoreFoundation/string_internal.h"

#include <HIToolbox/Controls.h>
#include <HIToolbox/Menus.h>

#include <memory>
#include <type_traits>

namespace hitoolbox::nib {
namespace {

// Where the content of a nib window starts on the screen; the nib gives only its size.
constexpr SInt16 kContentOrigin = 100;

// The pop-up takes its menu afterwards, not from a menu resource.
constexpr SInt16 kNoMenuResource = -12345;

struct WindowDisposer {
    void operator()(std::remove_pointer_t<WindowRef> *window) const { DisposeWindow(window); }
};
using WindowHolder = std::unique_ptr<std::remove_pointer_t<WindowRef>, WindowDisposer>;

struct MenuReleaser {
    void operator()(std::remove_pointer_t<MenuRef> *menu) const { ReleaseMenu(menu); }
};
using MenuHolder = std::unique_ptr<std::remove_pointer_t<MenuRef>, MenuReleaser>;

// Not CFStringCreateWithBytes, which would take a title's leading U+FEFF for a byte-order mark.
cf::Ref<CFStringRef> string_of(const std::string &utf8) { return cf::adopt(cf::create_string_from_utf8(utf8)); }

class WindowBuilder {
public:
    explicit WindowBuilder(WindowRef window) : window_(window) {}

    // Creates the control and everything inside it, embedded in the container; with no
    // container it stays in the window's root, where every new control starts.
    OSStatus add(const ControlDescription &description, ControlRef container) {
        ControlRef control = nullptr;
        if (OSStatus status = create(description, &control); status != noErr) return status;
        if (container != nullptr) {
            if (OSStatus status = EmbedControl(control, container); status != noErr) return status;
        }
        if (OSStatus status = configure(description, control); status != noErr) return status;
        for (const ControlDescription &child : description.children) {
            if (OSStatus status = add(child, control); status != noErr) return status;
        }
        return noErr;
    }

private:
    OSStatus create(const ControlDescription &description, ControlRef *control) {
        const Rect *bounds = &description.bounds;
        switch (description.kind) {
        case ControlKind::user_pane: return CreateUserPaneControl(window_, bounds, kControlSupportsEmbedding, control);
        case ControlKind::popup:
            return CreatePopupButtonControl(window_, bounds, string_of(description.title).get(), kNoMenuResource, false, 0,
                                            0, 0, control);
        case ControlKind::edit_text:
            return CreateEditUnicodeTextControl(window_, bounds, string_of(description.text).get(), false, nullptr, control);
        case ControlKind::static_text:
            return CreateStaticTextControl(window_, bounds, string_of(description.text).get(), nullptr, control);
        case ControlKind::check_box:
            return CreateCheckBoxControl(window_, bounds, string_of(description.title).get(), description.value, true,
                                         control);
        case ControlKind::slider: {
            UInt16 orientation = description.tick_marks > 0 ? kControlSliderPointsDownOrRight : kControlSliderDoesNotPoint;
            return CreateSliderControl(window_, bounds, description.value, description.minimum, description.maximum,
                                       orientation, description.tick_marks, true, nullptr, control);
        }
        case ControlKind::group_box:
            return CreateGroupBoxControl(window_, bounds, string_of(description.title).get(), true, control);
        case ControlKind::separator: return CreateSeparatorControl(window_, bounds, control);
        }
        return paramErr;
    }

    OSStatus configure(const ControlDescription &description, ControlRef control) {
        if (description.id) {
            if (OSStatus status = SetControlID(control, &*description.id); status != noErr) return status;
        }
        if (description.command != 0) {
            if (OSStatus status = SetControlCommandID(control, description.command); status != noErr) return status;
        }
        if (description.kind == ControlKind::popup) {
            if (OSStatus status = attach_menu(description, control); status != noErr) return status;
        }
        if (!description.enabled) return DisableControl(control);
        return noErr;
    }

    // The pop-up keeps a reference of its own to the menu; attaching it sets the range to the
    // items, which the nib may then narrow or widen before the value is set.
    OSStatus attach_menu(const ControlDescription &description, ControlRef popup) {
        MenuRef made = nullptr;
        if (OSStatus status = CreateNewMenu(++last_menu_id_, 0, &made); status != noErr) return status;
        MenuHolder menu(made);
        for (const MenuItemDescription &item : description.items) {
            MenuItemIndex index = 0;
            OSStatus status = AppendMenuItemTextWithCFString(menu.get(), string_of(item.text).get(), 0, 0, &index);
            if (status != noErr) return status;
            if (!item.enabled) DisableMenuItem(menu.get(), index);
        }
        SetControlPopupMenuHandle(popup, menu.get());
        if (GetControlPopupMenuHandle(popup) != menu.get()) return errDataNotSupported;
        if (description.range_given) {
            SetControl32BitMinimum(popup, description.minimum);
            SetControl32BitMaximum(popup, description.maximum);
        }
        SetControl32BitValue(popup, description.value);
        return noErr;
    }

    WindowRef window_;
    MenuID last_menu_id_ = 0;
};

}  // namespace

OSStatus build_window(const WindowDescription &description, WindowRef *out_window) {
    Rect content{kContentOrigin, kContentOrigin, static_cast<SInt16>(kContentOrigin + description.height),
                 static_cast<SInt16>(kContentOrigin + description.width)};
    WindowRef made = nullptr;
    if (OSStatus status = CreateNewWindow(kDocumentWindowClass, kWindowStandardHandlerAttribute, &content, &made);
        status != noErr) {
        return status;
    }
    WindowHolder window(made);
    if (OSStatus status = SetWindowTitleWithCFString(window.get(), string_of(description.title).get()); status != noErr)
        return status;
    WindowBuilder builder(window.get());
    for (const ControlDescription &control : description.controls) {
        if (OSStatus status = builder.add(control, nullptr); status != noErr) return status;
    }
    *out_window = window.release();
    return noErr;
}

}  // namespace hitoolbox::nib
