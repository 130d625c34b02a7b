// Walking UTF-8 text one code point at a time to convert offsets.
#include "text_offsets.h"

namespace pdedialog {
namespace {

// The code point's length in bytes from its lead byte (a stray continuation byte counts as one),
// and whether it lies beyond the Basic Multilingual Plane (two UTF-16 units).
struct CodePoint {
    std::size_t bytes;
    long utf16Units;
};

CodePoint codePointAt(std::string_view text, std::size_t position) {
    auto lead = static_cast<unsigned char>(text[position]);
    std::size_t bytes = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (position + bytes > text.size()) bytes = text.size() - position;
    return {bytes, bytes == 4 ? 2L : 1L};
}

}  // namespace

long characterOffsetOfUTF16(std::string_view utf8Text, long utf16Offset) {
    long characters = 0;
    long units = 0;
    for (std::size_t position = 0; position < utf8Text.size() && units < utf16Offset; ++characters) {
        CodePoint point = codePointAt(utf8Text, position);
        position += point.bytes;
        units += point.utf16Units;
    }
    return characters;
}

long utf16OffsetOfCharacter(std::string_view utf8Text, long characterOffset) {
    long units = 0;
    long characters = 0;
    for (std::size_t position = 0; position < utf8Text.size() && characters < characterOffset; ++characters) {
        CodePoint point = codePointAt(utf8Text, position);
        position += point.bytes;
        units += point.utf16Units;
    }
    return units;
}

}  // namespace pdedialog
