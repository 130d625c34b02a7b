// Turns the bytes of an old-style text property list into UTF-16 characters.
#include "property_list_internal.h"
#include "string_encoding.h"

#include <string_view>

namespace cf::plist {

namespace {

// Pairs of bytes as UTF-16 units; a trailing odd byte is dropped rather than failing the file.
std::u16string decode_utf16(std::string_view bytes, CFStringEncoding order) {
    return decode_bytes(bytes.substr(0, bytes.size() - bytes.size() % 2), order).value_or(std::u16string());
}

}  // namespace

// A byte order mark decides; without one, UTF-16 shows as an ASCII character with a NUL half,
// and what is not strict UTF-8 is read as MacRoman, which every byte sequence is.
std::u16string decode_text(std::span<const UInt8> input) {
    std::string_view bytes(reinterpret_cast<const char *>(input.data()), input.size());
    if (bytes.starts_with("\xFF\xFE")) return decode_utf16(bytes.substr(2), kCFStringEncodingUTF16LE);
    if (bytes.starts_with("\xFE\xFF")) return decode_utf16(bytes.substr(2), kCFStringEncodingUTF16BE);
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    } else if (bytes.size() >= 2 && (bytes[0] == 0) != (bytes[1] == 0)) {
        return decode_utf16(bytes, bytes[0] == 0 ? kCFStringEncodingUTF16BE : kCFStringEncodingUTF16LE);
    }
    if (auto text = cf::decode_utf8(bytes)) return std::move(*text);
    return decode_bytes(bytes, kCFStringEncodingMacRoman).value_or(std::u16string());
}

}  // namespace cf::plist
