// What a person does to controls: choosing, clicking, sliding, focusing and typing.
#include "control.h"
#include "toolbox_strings.h"
#include "window.h"

#include <platform/user_actions.h>

using hitoolbox::Control;
using hitoolbox::TextContent;
using hitoolbox::Window;

namespace {

// One event reference, released when it goes out of scope.
class OwnedEvent {
public:
    OwnedEvent() = default;
    OwnedEvent(const OwnedEvent &) = delete;
    OwnedEvent &operator=(const OwnedEvent &) = delete;
    ~OwnedEvent() { if (event_ != nullptr) ReleaseEvent(event_); }

    OSStatus create(UInt32 event_class, UInt32 kind) {
        return CreateEvent(nullptr, event_class, kind, GetCurrentEventTime(), kEventAttributeUserEvent, &event_);
    }
    EventRef get() const { return event_; }

private:
    EventRef event_ = nullptr;
};

// A person can work only a live control of the expected kind that is enabled with all its containers.
template <typename KindTest>
OSStatus find_workable(ControlRef ref, KindTest &&is_expected_kind, Control *&control) {
    control = Control::from_ref(ref);
    if (control == nullptr) return errInvalidControl;
    if (!is_expected_kind(*control)) return paramErr;
    if (!control->effectively_enabled()) return errControlHiddenOrDisabled;
    return noErr;
}

bool is_popup(const Control &control) { return control.is_popup(); }
bool is_check_box(const Control &control) { return control.kind() == kControlKindCheckBox; }
bool is_slider(const Control &control) { return control.kind() == kControlKindSlider; }
bool is_any_kind(const Control &) { return true; }
bool is_edit_text(const Control &control) { return control.is_edit_text(); }

// The command-process event of a worked control goes to the control's own target first and
// travels up from there. It is sent even when the control has no command (command id 0).
OSStatus send_command(Control &control) {
    OwnedEvent event;
    if (OSStatus status = event.create(kEventClassCommand, kEventCommandProcess); status != noErr) return status;
    HICommandExtended command{};
    command.attributes = kHICommandFromControl;
    command.commandID = control.command;
    command.source.control = control.control_ref();
    static_assert(sizeof command == sizeof(HICommand));
    if (OSStatus status = SetEventParameter(event.get(), kEventParamDirectObject, typeHICommand, sizeof command, &command);
        status != noErr) {
        return status;
    }
    SendEventToEventTarget(event.get(), control.ref());
    return noErr;
}

// The character a key byte types: ASCII as it is, the upper half as MacRoman.
std::u16string typed_character(UInt8 code) {
    if (code < 0x80) return std::u16string(1, static_cast<char16_t>(code));
    CFStringRef converted = CFStringCreateWithBytes(nullptr, &code, 1, kCFStringEncodingMacRoman, false);
    std::u16string character = hitoolbox::characters_of_string(converted).value_or(u"");
    if (converted != nullptr) CFRelease(converted);
    return character;
}

// What a field does with a key that no handler took: printable characters replace the selection,
// backspace and delete remove text, the left and right arrows move the caret. Other control
// characters (tab, return, enter, escape, ...) change nothing.
void apply_key(TextContent &content, UInt8 code) {
    switch (code) {
    case kBackspaceCharCode: content.delete_backward(); return;
    case kDeleteCharCode: content.delete_forward(); return;
    case kLeftArrowCharCode: content.move_left(); return;
    case kRightArrowCharCode: content.move_right(); return;
    default: break;
    }
    if (code >= kSpaceCharCode) content.replace_selection(typed_character(code));
}

// The raw key event as the keyboard makes it: the MacRoman byte, its Unicode and no modifiers.
OSStatus make_key_event(OwnedEvent &event, UInt8 code, bool is_repeat) {
    if (OSStatus status = event.create(kEventClassKeyboard, is_repeat ? kEventRawKeyRepeat : kEventRawKeyDown);
        status != noErr) {
        return status;
    }
    UInt32 modifiers = 0;
    std::u16string unicode = typed_character(code);
    OSStatus status = SetEventParameter(event.get(), kEventParamKeyMacCharCodes, typeChar, 1, &code);
    if (status == noErr) status = SetEventParameter(event.get(), kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
    if (status == noErr && !unicode.empty()) {
        status = SetEventParameter(event.get(), kEventParamKeyUnicodes, typeUnicodeText,
                                   static_cast<UInt32>(unicode.size() * sizeof(char16_t)), unicode.data());
    }
    return status;
}

}  // namespace

extern "C" {

// Disabled items, or a disabled menu, cannot be chosen.
OSStatus PlatformChoosePopupItem(ControlRef popup, SInt32 item) {
    Control *control;
    if (OSStatus status = find_workable(popup, is_popup, control); status != noErr) return status;
    hitoolbox::Menu *menu = control->menu();
    if (menu == nullptr || item < 1 || static_cast<std::size_t>(item) > menu->item_count()) return paramErr;
    if (!menu->enabled() || !menu->item(static_cast<MenuItemIndex>(item))->enabled) return errControlHiddenOrDisabled;
    control->set_value(item);
    return send_command(*control);
}

// An auto-toggle check box flips between 0 and 1; any other leaves its value to the command's handler.
OSStatus PlatformClickCheckBox(ControlRef checkBox) {
    Control *control;
    if (OSStatus status = find_workable(checkBox, is_check_box, control); status != noErr) return status;
    if (control->auto_toggle) control->set_value(control->value() == 0 ? 1 : 0);
    return send_command(*control);
}

OSStatus PlatformMoveSlider(ControlRef slider, SInt32 value) {
    Control *control;
    if (OSStatus status = find_workable(slider, is_slider, control); status != noErr) return status;
    control->set_value(value);
    return send_command(*control);
}

OSStatus PlatformFocusControl(ControlRef control) {
    Control *found;
    if (OSStatus status = find_workable(control, is_any_kind, found); status != noErr) return status;
    if (!found->is_edit_text()) return errControlDoesntSupportFocus;
    found->window().set_focus(found);
    return noErr;
}

OSStatus PlatformSetTextSelection(ControlRef field, SInt16 start, SInt16 end) {
    Control *control;
    if (OSStatus status = find_workable(field, is_edit_text, control); status != noErr) return status;
    control->edit_text([start, end](TextContent &content) { content.select(start, end); });
    return noErr;
}

// The field applies the key only when every handler on the way passed it on.
OSStatus PlatformPressKey(WindowRef window, UInt8 characterCode, Boolean isRepeat) {
    return PlatformPressKeyNotingRefusal(window, characterCode, isRepeat, nullptr);
}

OSStatus PlatformPressKeyNotingRefusal(WindowRef window, UInt8 characterCode, Boolean isRepeat, Boolean *outRefused) {
    if (outRefused != nullptr) *outRefused = false;
    Window *found = Window::from_ref(window);
    if (found == nullptr) return window == nullptr ? OSStatus{paramErr} : OSStatus{errInvalidWindowRef};
    if (found->focus() == nullptr) return errCouldntSetFocus;
    Control *field;
    if (OSStatus status = find_workable(found->focus()->control_ref(), is_edit_text, field); status != noErr) return status;
    OwnedEvent event;
    if (OSStatus status = make_key_event(event, characterCode, isRepeat); status != noErr) return status;
    ControlRef field_ref = field->control_ref();
    OSStatus dispatched = SendEventToEventTarget(event.get(), field->ref());
    if (dispatched != eventNotHandledErr) {
        if (outRefused != nullptr) *outRefused = true;
        return noErr;
    }
    if (Control *still_there = Control::from_ref(field_ref)) {
        still_there->edit_text([characterCode](TextContent &content) { apply_key(content, characterCode); });
    }
    return noErr;
}

// A paste goes straight into the field: no key events, so no handler can filter it.
OSStatus PlatformPasteText(ControlRef field, CFStringRef text) {
    Control *control;
    if (OSStatus status = find_workable(field, is_edit_text, control); status != noErr) return status;
    auto characters = hitoolbox::characters_of_string(text);
    if (!characters) return paramErr;
    control->edit_text([&characters](TextContent &content) { content.replace_selection(*characters); });
    return noErr;
}

}  // extern "C"
