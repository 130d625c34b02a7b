// Turns the bytes of an old-style text property list into UTF-16 characters.
#include "property_list_internal.h"

#include <array>
#include <optional>

namespace cf::plist {

namespace {

// MacRoman 0x80-0xFF; the lower half is ASCII.
constexpr std::array<char16_t, 128> kMacRomanHigh = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1,
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8,
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC,
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF,
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211,
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8,
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153,
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA,
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4,
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

enum class ByteOrder { kLittle, kBig };

// Pairs of bytes as UTF-16 units; a trailing odd byte is dropped.
std::u16string decode_utf16(std::span<const UInt8> bytes, ByteOrder order) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned first = bytes[i], second = bytes[i + 1];
        text.push_back(static_cast<char16_t>(order == ByteOrder::kLittle ? (second << 8) | first
                                                                         : (first << 8) | second));
    }
    return text;
}

// Strict UTF-8 (no overlong forms, surrogates or values past U+10FFFF); nullopt when invalid.
std::optional<std::u16string> decode_utf8(std::span<const UInt8> bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const UInt8 lead = bytes[i];
        if (lead < 0x80) {
            text.push_back(lead);
            ++i;
            continue;
        }
        size_t length;
        char32_t code;
        char32_t minimum;
        if ((lead & 0xE0) == 0xC0) {
            length = 2, code = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, code = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, code = lead & 0x07, minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (bytes.size() - i < length) return std::nullopt;
        for (size_t k = 1; k < length; ++k) {
            const UInt8 next = bytes[i + k];
            if ((next & 0xC0) != 0x80) return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return std::nullopt;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    return text;
}

std::u16string decode_mac_roman(std::span<const UInt8> bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (UInt8 byte : bytes) text.push_back(byte < 0x80 ? char16_t{byte} : kMacRomanHigh[byte - 0x80]);
    return text;
}

}  // namespace

std::u16string decode_text(std::span<const UInt8> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        return decode_utf16(bytes.subspan(2), ByteOrder::kLittle);
    }
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        return decode_utf16(bytes.subspan(2), ByteOrder::kBig);
    }
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bytes = bytes.subspan(3);
    } else if (bytes.size() >= 2 && (bytes[0] == 0) != (bytes[1] == 0)) {
        // No mark, but an ASCII character with a NUL half: UTF-16 of that byte order.
        return decode_utf16(bytes, bytes[0] == 0 ? ByteOrder::kBig : ByteOrder::kLittle);
    }
    if (auto text = decode_utf8(bytes)) return std::move(*text);
    return decode_mac_roman(bytes);
}

}  // namespace cf::plist
