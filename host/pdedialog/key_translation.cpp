// Translating GDK key presses into the character codes of the platform's raw key events.
#include "key_translation.h"

#include <Carbon/Carbon.h>
#include <printdialog/actions.h>

#include <map>

namespace pdedialog {
namespace {

// Keys that type no character but have a character code of their own on the platform.
const std::map<guint, KeyDecision> &namedKeys() {
    using enum KeyRoute;
    static const std::map<guint, KeyDecision> keys = {
        {GDK_KEY_BackSpace, {Platform, kBackspaceCharCode}},
        {GDK_KEY_Delete, {Platform, kDeleteCharCode}},
        {GDK_KEY_KP_Delete, {Platform, kDeleteCharCode}},
        {GDK_KEY_Left, {Platform, kLeftArrowCharCode}},
        {GDK_KEY_KP_Left, {Platform, kLeftArrowCharCode}},
        {GDK_KEY_Right, {Platform, kRightArrowCharCode}},
        {GDK_KEY_KP_Right, {Platform, kRightArrowCharCode}},
        {GDK_KEY_Up, {Platform, kUpArrowCharCode}},
        {GDK_KEY_KP_Up, {Platform, kUpArrowCharCode}},
        {GDK_KEY_Down, {Platform, kDownArrowCharCode}},
        {GDK_KEY_KP_Down, {Platform, kDownArrowCharCode}},
        {GDK_KEY_Home, {Platform, kHomeCharCode}},
        {GDK_KEY_KP_Home, {Platform, kHomeCharCode}},
        {GDK_KEY_End, {Platform, kEndCharCode}},
        {GDK_KEY_KP_End, {Platform, kEndCharCode}},
        {GDK_KEY_Page_Up, {Platform, kPageUpCharCode}},
        {GDK_KEY_KP_Page_Up, {Platform, kPageUpCharCode}},
        {GDK_KEY_Page_Down, {Platform, kPageDownCharCode}},
        {GDK_KEY_KP_Page_Down, {Platform, kPageDownCharCode}},
        // These also mean something to the window: the next field, the default button.
        {GDK_KEY_Tab, {PlatformThenGtk, kTabCharCode}},
        {GDK_KEY_KP_Tab, {PlatformThenGtk, kTabCharCode}},
        {GDK_KEY_ISO_Left_Tab, {PlatformThenGtk, kTabCharCode}},
        {GDK_KEY_Return, {PlatformThenGtk, kReturnCharCode}},
        {GDK_KEY_KP_Enter, {PlatformThenGtk, kEnterCharCode}},
        {GDK_KEY_Escape, {PlatformThenGtk, kEscapeCharCode}}};
    return keys;
}

// The Edit menu's shortcuts; any other Control combination types nothing.
KeyDecision shortcut(guint keyval) {
    switch (gdk_keyval_to_lower(keyval)) {
    case GDK_KEY_v: return {KeyRoute::Paste, 0};
    case GDK_KEY_x: return {KeyRoute::Cut, 0};
    case GDK_KEY_c: return {KeyRoute::Copy, 0};
    case GDK_KEY_a: return {KeyRoute::SelectAll, 0};
    default: return {KeyRoute::Refused, 0};
    }
}

}  // namespace

std::optional<UInt8> macRomanByte(gunichar character) {
    if (character < 0x20 || character == 0x7F || character > 0xFFFF) return std::nullopt;
    return printdialog::macRomanKey(static_cast<UniChar>(character));
}

std::vector<std::optional<UInt8>> keysOfText(std::string_view utf8Text) {
    std::vector<std::optional<UInt8>> keys;
    const gchar *next = utf8Text.data();
    const gchar *end = next + utf8Text.size();
    while (next < end) {
        gunichar character = g_utf8_get_char_validated(next, end - next);
        if (character == static_cast<gunichar>(-1) || character == static_cast<gunichar>(-2)) {
            keys.emplace_back();
            ++next;
            continue;
        }
        keys.push_back(macRomanByte(character));
        next = g_utf8_next_char(next);
    }
    return keys;
}

// Alt and the logo keys belong to the window (mnemonics); Control to the Edit menu; Shift only
// chooses the character.
KeyDecision translateKey(guint keyval, GdkModifierType state) {
    if (state & (GDK_MOD1_MASK | GDK_SUPER_MASK | GDK_META_MASK | GDK_HYPER_MASK)) return {KeyRoute::Gtk, 0};
    if (state & GDK_CONTROL_MASK) return shortcut(keyval);
    if (keyval == GDK_KEY_Insert && (state & GDK_SHIFT_MASK)) return {KeyRoute::Paste, 0};
    if (auto named = namedKeys().find(keyval); named != namedKeys().end()) return named->second;
    gunichar character = gdk_keyval_to_unicode(keyval);
    if (character == 0) return {KeyRoute::Gtk, 0};
    if (auto byte = macRomanByte(character)) return {KeyRoute::Platform, *byte};
    return {KeyRoute::Refused, 0};
}

}  // namespace pdedialog
