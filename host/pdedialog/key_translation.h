// What a key pressed in an entry means to the platform: the raw key event's character byte
// (MacRoman, as the key filters see it), an edit-menu command, or a key left to GTK.
#pragma once

#include <MacTypes.h>
#include <gdk/gdk.h>

#include <optional>
#include <string_view>
#include <vector>

namespace pdedialog {

enum class KeyRoute {
    Platform,         // a raw key event for the focused field; GTK never sees the key
    PlatformThenGtk,  // the raw key event, then GTK's own handling (focus moves, default button)
    Gtk,              // GTK only: keys that type nothing (modifiers, function keys, mnemonics)
    Paste,            // the clipboard's text, typed: one raw key event per character
    Cut,              // the selection to the clipboard, then removed unfiltered
    Copy,             // the selection to the clipboard
    SelectAll,
    Refused           // a character the keyboard cannot send as a MacRoman byte, or an unknown shortcut
};

struct KeyDecision {
    KeyRoute route = KeyRoute::Refused;
    UInt8 characterCode = 0;  // for Platform and PlatformThenGtk
};

KeyDecision translateKey(guint keyval, GdkModifierType state);

// The MacRoman byte of a character, or nothing when MacRoman has none (or it is a control character).
std::optional<UInt8> macRomanByte(gunichar character);

// The keys that type a UTF-8 text, one per character: its MacRoman byte, or nothing for a
// character that no key sends (see macRomanByte) and for each byte that is not UTF-8.
std::vector<std::optional<UInt8>> keysOfText(std::string_view utf8Text);

}  // namespace pdedialog
