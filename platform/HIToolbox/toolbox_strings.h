// CFString in and out of the toolbox's own UTF-16 text.
#pragma once

#include "CoreFoundation/string_internal.h"

#include <optional>
#include <string>

namespace hitoolbox {

// The characters of a CFString; nothing for NULL or an object of another type.
inline std::optional<std::u16string> characters_of_string(CFStringRef string) {
    if (string == nullptr || CFGetTypeID(string) != CFStringGetTypeID()) return std::nullopt;
    return cf::characters_of(string);
}

// A new immutable string that the caller owns.
inline CFStringRef create_string_copy(const std::u16string &characters) {
    return cf::create_string(characters);
}

}  // namespace hitoolbox
