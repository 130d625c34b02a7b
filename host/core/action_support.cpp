// Helpers shared by checking and performing actions.
#include "action_support.h"

#include <printdialog/control_snapshot.h>
#include <printdialog/ticket_preset.h>

namespace printdialog {

std::string controlName(const Action &action) { return action.pane + " control " + std::to_string(action.id); }

// "other" when the control is gone.
ControlType controlKind(ControlRef control) {
    ControlKind kind{};
    if (GetControlKind(control, &kind) != noErr) return ControlType::Other;
    return controlTypeOf(kind.kind);
}

// A character outside MacRoman, or one that needs more than one byte, has no key.
std::optional<std::string> keyBytes(const std::string &utf8Text) {
    auto string = createString(utf8Text);
    if (!string) return std::nullopt;
    CFIndex length = CFStringGetLength(string.get());
    std::string bytes;
    for (CFIndex index = 0; index < length; ++index) {
        std::optional<UInt8> key = macRomanKey(CFStringGetCharacterAtIndex(string.get(), index));
        if (!key) return std::nullopt;
        bytes += static_cast<char>(*key);
    }
    return bytes;
}

std::optional<UInt8> macRomanKey(UniChar character) {
    auto one = cf::adopt(CFStringCreateWithCharacters(kCFAllocatorDefault, &character, 1));
    char buffer[4] = {};
    if (!one || !CFStringGetCString(one.get(), buffer, sizeof buffer, kCFStringEncodingMacRoman) ||
        buffer[0] == '\0' || buffer[1] != '\0')
        return std::nullopt;
    return static_cast<UInt8>(buffer[0]);
}

}  // namespace printdialog
