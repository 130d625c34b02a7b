// File names as strings. Linux file names are bytes, not always UTF-8: each byte that is not
// part of a well-formed UTF-8 sequence is kept as the lone surrogate U+DC80 + (byte - 0x80), and
// turned back into that byte on the way out, so that every path survives the round trip.
#include "string_encoding.h"
#include "string_internal.h"

#include <CoreFoundation/CFString.h>

#include <cstring>

namespace {

constexpr char16_t kEscapedByteBase = 0xDC00;

std::u16string characters_of_file_name(std::string_view bytes) {
    std::u16string characters;
    for (std::size_t position = 0; position < bytes.size();) {
        const std::size_t start = position;
        if (auto code_point = cf::next_utf8(bytes, position))
            cf::append_code_point(characters, *code_point);
        else
            characters.push_back(static_cast<char16_t>(kEscapedByteBase + static_cast<unsigned char>(bytes[start])));
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
