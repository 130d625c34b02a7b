// File names as strings. Linux file names are bytes, not always UTF-8: each byte that is not
// part of a well-formed UTF-8 sequence is kept as the lone surrogate U+DC80 + (byte - 0x80), and
// turned back into that byte on the way out, so that every path survives the round trip.
#include "string_internal.h"

#include <CoreFoundation/CFString.h>

#include <cstring>

namespace {

constexpr char16_t kEscapedByteBase = 0xDC00;

// The code point of the well-formed UTF-8 sequence at position and its length; length 0 when
// the bytes there are not one (overlong forms, surrogates, past U+10FFFF, cut short).
std::pair<char32_t, std::size_t> decode_one(std::string_view bytes, std::size_t position) {
    const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(bytes[position + index]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || position + length > bytes.size()) return {0, 0};
    char32_t code = lead & (0x7F >> length);
    for (std::size_t index = 1; index < length; ++index) {
        if ((byte(index) & 0xC0) != 0x80) return {0, 0};
        code = (code << 6) | (byte(index) & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {0, 0};
    return {code, length};
}

std::u16string characters_of_file_name(std::string_view bytes) {
    std::u16string characters;
    for (std::size_t position = 0; position < bytes.size();) {
        auto [code, length] = decode_one(bytes, position);
        if (length == 0) {
            characters.push_back(static_cast<char16_t>(kEscapedByteBase + static_cast<unsigned char>(bytes[position])));
            ++position;
            continue;
        }
        if (code >= 0x10000) {
            characters.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            characters.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            characters.push_back(static_cast<char16_t>(code));
        }
        position += length;
    }
    return characters;
}

bool is_escaped_byte(char16_t unit) { return unit >= kEscapedByteBase + 0x80 && unit <= kEscapedByteBase + 0xFF; }

// The file name's bytes: UTF-8 for every character, the byte itself for an escaped byte.
std::string file_name_of_characters(const std::u16string &characters) {
    std::string bytes;
    std::u16string run;
    for (char16_t unit : characters) {
        if (!is_escaped_byte(unit)) {
            run.push_back(unit);
            continue;
        }
        bytes += cf::utf8_from_utf16(run);
        run.clear();
        bytes.push_back(static_cast<char>(unit - kEscapedByteBase));
    }
    return bytes + cf::utf8_from_utf16(run);
}

}  // namespace

extern "C" {

// A new string of a NUL-terminated file name; never fails for a non-NULL buffer.
CFStringRef CFStringCreateWithFileSystemRepresentation(CFAllocatorRef, const char *buffer) {
    if (buffer == nullptr) return nullptr;
    return cf::create_string(characters_of_file_name(buffer));
}

// The file name's bytes with a closing NUL; false when they do not fit or the object is no string.
Boolean CFStringGetFileSystemRepresentation(CFStringRef string, char *buffer, CFIndex maxBufLen) {
    if (CFGetTypeID(string) != CFStringGetTypeID() || buffer == nullptr || maxBufLen <= 0) return false;
    const std::string bytes = file_name_of_characters(cf::characters_of(string));
    if (bytes.size() >= static_cast<std::size_t>(maxBufLen)) return false;
    std::memcpy(buffer, bytes.c_str(), bytes.size() + 1);
    return true;
}

// A buffer size that always holds the file name and its closing NUL.
CFIndex CFStringGetMaximumSizeOfFileSystemRepresentation(CFStringRef string) {
    if (CFGetTypeID(string) != CFStringGetTypeID()) return 0;
    return CFStringGetLength(string) * 3 + 1;
}

}  // extern "C"
