// What the rest of the platform uses of CFString's inside: making strings from
// UTF-8 or UTF-16 and reading their characters without CF calls.
#pragma once

#include <CoreFoundation/CFString.h>

#include <string>
#include <string_view>

namespace cf {

// New immutable strings (one reference for the caller).
CFStringRef create_string(std::u16string characters);
CFStringRef create_string_from_utf8(std::string_view utf8);

// The characters of a string; empty for NULL or a non-string.
const std::u16string &characters_of(CFStringRef string);
std::string utf8_of(CFStringRef string);

// The object's text for %@ and CFShow: a string's own characters, else its description.
std::string display_text_of(CFTypeRef object);

std::u16string utf16_from_utf8(std::string_view utf8);
std::string utf8_from_utf16(std::u16string_view utf16);

}  // namespace cf
