// The platform counts a field's selection in UTF-16 units; GTK counts characters. Conversions
// between the two over the field's UTF-8 text.
#pragma once

#include <string_view>

namespace pdedialog {

// The character offset of a UTF-16 offset; one inside a surrogate pair rounds up, one past the
// end gives the character count.
long characterOffsetOfUTF16(std::string_view utf8Text, long utf16Offset);

// The UTF-16 offset of a character offset; one past the end gives the UTF-16 length.
long utf16OffsetOfCharacter(std::string_view utf8Text, long characterOffset);

}  // namespace pdedialog
