// Byte encodings of CFString text: UTF-8, UTF-16 (with or without byte order
// mark), ASCII, the 8-bit Latin encodings and non-lossy ASCII escapes.
#include "string_encoding.h"
#include "string_internal.h"

#include <array>
#include <cstdio>

namespace cf {

namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr char16_t kByteOrderMark = 0xFEFF;

using HighHalfTable = std::array<char16_t, 128>;

// Bytes 0x80-0xFF of Mac OS Roman (the current mapping, with the euro sign at 0xDB).
constexpr HighHalfTable kMacRoman = {
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
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

// Bytes 0x80-0xFF of Windows Latin 1; 0 marks the five unassigned bytes.
constexpr HighHalfTable kWindowsLatin1 = {
    0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x0000, 0x017D, 0x0000,
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

// Bytes 0x80-0xFF of NeXTSTEP Latin; 0 marks the two unassigned bytes.
constexpr HighHalfTable kNextStepLatin = {
    0x00A0, 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D9,
    0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00B5, 0x00D7, 0x00F7,
    0x00A9, 0x00A1, 0x00A2, 0x00A3, 0x2044, 0x00A5, 0x0192, 0x00A7,
    0x00A4, 0x0027, 0x201C, 0x00AB, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x00AE, 0x2013, 0x2020, 0x2021, 0x00B7, 0x00A6, 0x00B6, 0x2022,
    0x201A, 0x201E, 0x201D, 0x00BB, 0x2026, 0x2030, 0x00AC, 0x00BF,
    0x00B9, 0x0060, 0x00B4, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9,
    0x00A8, 0x00B2, 0x02DA, 0x00B8, 0x00B3, 0x02DD, 0x02DB, 0x02C7,
    0x2014, 0x00B1, 0x00BC, 0x00BD, 0x00BE, 0x00E0, 0x00E1, 0x00E2,
    0x00E3, 0x00E4, 0x00E5, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x00EC, 0x00C6, 0x00ED, 0x00AA, 0x00EE, 0x00EF, 0x00F0, 0x00F1,
    0x0141, 0x00D8, 0x0152, 0x00BA, 0x00F2, 0x00F3, 0x00F4, 0x00F5,
    0x00F6, 0x00E6, 0x00F9, 0x00FA, 0x00FB, 0x0131, 0x00FC, 0x00FD,
    0x0142, 0x00F8, 0x0153, 0x00DF, 0x00FE, 0x00FF, 0x0000, 0x0000,
};

// The high-half table of an 8-bit table-driven encoding, or nullptr.
const HighHalfTable *high_half_table(CFStringEncoding encoding) {
    switch (encoding) {
    case kCFStringEncodingMacRoman: return &kMacRoman;
    case kCFStringEncodingWindowsLatin1: return &kWindowsLatin1;
    case kCFStringEncodingNextStepLatin: return &kNextStepLatin;
    default: return nullptr;
    }
}

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Byte order of the machine, for UTF-16 without a byte order mark.
bool host_is_big_endian() {
    const char16_t probe = 0x0102;
    return reinterpret_cast<const unsigned char *>(&probe)[0] == 0x01;
}

void append_utf8(std::string &out, char32_t code_point) {
    if (code_point < 0x80) {
        out += static_cast<char>(code_point);
    } else if (code_point < 0x800) {
        out += static_cast<char>(0xC0 | (code_point >> 6));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else if (code_point < 0x10000) {
        out += static_cast<char>(0xE0 | (code_point >> 12));
        out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code_point >> 18));
        out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    }
}


std::optional<std::u16string> decode_utf16(std::string_view bytes, bool big_endian, bool consume_mark) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        const auto unit = static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
        text += unit;
    }
    if (consume_mark && !text.empty() && text.front() == kByteOrderMark) text.erase(0, 1);
    return text;
}

// UTF-16 without an explicit byte order: a mark decides it, else the host's order.
std::optional<std::u16string> decode_utf16_with_mark(std::string_view bytes) {
    if (bytes.size() >= 2) {
        const auto first = static_cast<unsigned char>(bytes[0]);
        const auto second = static_cast<unsigned char>(bytes[1]);
        if (first == 0xFE && second == 0xFF) return decode_utf16(bytes.substr(2), true, false);
        if (first == 0xFF && second == 0xFE) return decode_utf16(bytes.substr(2), false, false);
    }
    return decode_utf16(bytes, host_is_big_endian(), false);
}

std::optional<std::u16string> decode_table(std::string_view bytes, const HighHalfTable *table) {
    std::u16string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value < 0x80 || table == nullptr) {
            text += static_cast<char16_t>(value);  // ASCII; with no table, ISO Latin 1 (the first 256 code points)
        } else if (const char16_t unit = (*table)[value - 0x80]; unit != 0) {
            text += unit;
        } else {
            return std::nullopt;
        }
    }
    return text;
}

int hex_digit_value(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    return -1;
}

// ASCII where other characters are written \uXXXX and octal \ooo escapes.
std::optional<std::u16string> decode_non_lossy_ascii(std::string_view bytes) {
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto value = static_cast<unsigned char>(bytes[i]);
        if (value >= 0x80) return std::nullopt;
        if (value != '\\') {
            text += static_cast<char16_t>(value);
            continue;
        }
        if (i + 1 < bytes.size() && bytes[i + 1] == '\\') {
            text += u'\\';
            ++i;
        } else if (i + 5 < bytes.size() && bytes[i + 1] == 'u') {
            unsigned unit = 0;
            for (std::size_t k = i + 2; k < i + 6; ++k) {
                const int digit = hex_digit_value(bytes[k]);
                if (digit < 0) return std::nullopt;
                unit = unit * 16 + static_cast<unsigned>(digit);
            }
            text += static_cast<char16_t>(unit);
            i += 5;
        } else if (i + 3 < bytes.size() && bytes[i + 1] >= '0' && bytes[i + 1] <= '3' &&
                   bytes[i + 2] >= '0' && bytes[i + 2] <= '7' && bytes[i + 3] >= '0' && bytes[i + 3] <= '7') {
            text += static_cast<char16_t>((bytes[i + 1] - '0') * 64 + (bytes[i + 2] - '0') * 8 + (bytes[i + 3] - '0'));
            i += 3;
        } else {
            text += u'\\';
        }
    }
    return text;
}

std::optional<std::string> encode_utf8(std::u16string_view text, const EncodeOptions &options) {
    std::string out;
    out.reserve(text.size() + 3);
    if (options.byte_order_mark) out += "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (is_high_surrogate(unit) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
            if (!options.loss_byte) return std::nullopt;
            out += *options.loss_byte;
        } else {
            append_utf8(out, unit);
        }
    }
    return out;
}

std::string encode_utf16(std::u16string_view text, bool big_endian, bool byte_order_mark) {
    std::string out;
    out.reserve((text.size() + 1) * 2);
    auto put = [&](char16_t unit) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        out += big_endian ? high : low;
        out += big_endian ? low : high;
    };
    if (byte_order_mark) put(kByteOrderMark);
    for (const char16_t unit : text) put(unit);
    return out;
}

// The byte of unit in an 8-bit encoding (ISO Latin 1 when table is nullptr).
std::optional<char> byte_for_unit(char16_t unit, const HighHalfTable *table, CFIndex limit) {
    if (unit < 0x80) return static_cast<char>(unit);
    if (table == nullptr) {
        if (unit < limit) return static_cast<char>(unit);
        return std::nullopt;
    }
    for (std::size_t i = 0; i < table->size(); ++i) {
        if ((*table)[i] == unit) return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

std::optional<std::string> encode_8bit(std::u16string_view text, const HighHalfTable *table, CFIndex limit,
                                       const EncodeOptions &options) {
    std::string out;
    out.reserve(text.size());
    for (const char16_t unit : text) {
        if (const auto byte = byte_for_unit(unit, table, limit)) {
            out += *byte;
        } else if (options.loss_byte) {
            out += *options.loss_byte;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

}  // namespace

std::string escape_non_ascii(std::u16string_view text, Backslash backslash) {
    std::string out;
    out.reserve(text.size());
    for (const char16_t unit : text) {
        if (unit == u'\\' && backslash == Backslash::doubled) {
            out += "\\\\";
        } else if (unit < 0x80) {
            out += static_cast<char>(unit);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
            out += escape;
        }
    }
    return out;
}

// Decodes one UTF-8 sequence at position; nothing when it is malformed.
// position moves past the sequence on success and past one byte on failure.
std::optional<char32_t> next_utf8(std::string_view utf8, std::size_t &position) {
    const auto lead = static_cast<unsigned char>(utf8[position++]);
    if (lead < 0x80) return lead;
    int trailing;
    char32_t code_point;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1, code_point = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2, code_point = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3, code_point = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    std::size_t cursor = position;
    for (int i = 0; i < trailing; ++i) {
        if (cursor >= utf8.size()) return std::nullopt;
        const auto byte = static_cast<unsigned char>(utf8[cursor]);
        if ((byte & 0xC0) != 0x80) return std::nullopt;
        code_point = (code_point << 6) | (byte & 0x3F);
        ++cursor;
    }
    if (code_point < minimum || code_point > 0x10FFFF) return std::nullopt;
    if (code_point >= 0xD800 && code_point <= 0xDFFF) return std::nullopt;
    position = cursor;
    return code_point;
}

void append_code_point(std::u16string &text, char32_t code_point) {
    if (code_point >= 0x10000) {
        code_point -= 0x10000;
        text += static_cast<char16_t>(0xD800 + (code_point >> 10));
        text += static_cast<char16_t>(0xDC00 + (code_point & 0x3FF));
    } else {
        text += static_cast<char16_t>(code_point);
    }
}

std::optional<std::u16string> decode_utf8(std::string_view utf8) {
    std::u16string text;
    text.reserve(utf8.size());
    std::size_t position = 0;
    while (position < utf8.size()) {
        const auto code_point = next_utf8(utf8, position);
        if (!code_point) return std::nullopt;
        append_code_point(text, *code_point);
    }
    return text;
}

// Lenient conversion for internal text: malformed sequences become U+FFFD.
std::u16string utf16_from_utf8(std::string_view utf8) {
    std::u16string text;
    text.reserve(utf8.size());
    std::size_t position = 0;
    while (position < utf8.size()) {
        const auto code_point = next_utf8(utf8, position);
        append_code_point(text, code_point.value_or(kReplacementCharacter));
    }
    return text;
}

// Lenient conversion for internal text: unpaired surrogates become U+FFFD.
std::string utf8_from_utf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        if (is_high_surrogate(unit) && i + 1 < utf16.size() && is_low_surrogate(utf16[i + 1])) {
            append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
            ++i;
        } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
            append_utf8(out, kReplacementCharacter);
        } else {
            append_utf8(out, unit);
        }
    }
    return out;
}

std::optional<std::u16string> decode_bytes(std::string_view bytes, CFStringEncoding encoding) {
    switch (encoding) {
    case kCFStringEncodingUTF8:
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
        return decode_utf8(bytes);
    case kCFStringEncodingUTF16: return decode_utf16_with_mark(bytes);
    case kCFStringEncodingUTF16BE: return decode_utf16(bytes, true, false);
    case kCFStringEncodingUTF16LE: return decode_utf16(bytes, false, false);
    case kCFStringEncodingASCII:
        for (const char byte : bytes) {
            if (static_cast<unsigned char>(byte) >= 0x80) return std::nullopt;
        }
        return decode_table(bytes, nullptr);
    case kCFStringEncodingISOLatin1: return decode_table(bytes, nullptr);
    case kCFStringEncodingNonLossyASCII: return decode_non_lossy_ascii(bytes);
    default:
        if (const HighHalfTable *table = high_half_table(encoding)) return decode_table(bytes, table);
        return std::nullopt;
    }
}

std::optional<std::string> encode_text(std::u16string_view text, CFStringEncoding encoding, EncodeOptions options) {
    switch (encoding) {
    case kCFStringEncodingUTF8: return encode_utf8(text, options);
    case kCFStringEncodingUTF16: return encode_utf16(text, host_is_big_endian(), options.byte_order_mark);
    case kCFStringEncodingUTF16BE: return encode_utf16(text, true, false);
    case kCFStringEncodingUTF16LE: return encode_utf16(text, false, false);
    case kCFStringEncodingASCII: return encode_8bit(text, nullptr, 0x80, options);
    case kCFStringEncodingISOLatin1: return encode_8bit(text, nullptr, 0x100, options);
    case kCFStringEncodingNonLossyASCII: return escape_non_ascii(text, Backslash::doubled);
    default:
        if (const HighHalfTable *table = high_half_table(encoding)) return encode_8bit(text, table, 0, options);
        return std::nullopt;
    }
}

bool is_ascii_compatible(CFStringEncoding encoding) {
    return encoding == kCFStringEncodingUTF8 || encoding == kCFStringEncodingASCII ||
           encoding == kCFStringEncodingISOLatin1 || high_half_table(encoding) != nullptr;
}

CFIndex maximum_bytes_per_unit(CFStringEncoding encoding) {
    switch (encoding) {
    case kCFStringEncodingUTF8: return 3;  // a surrogate pair takes 4 bytes for 2 units
    case kCFStringEncodingUTF16:
    case kCFStringEncodingUTF16BE:
    case kCFStringEncodingUTF16LE: return 2;
    case kCFStringEncodingNonLossyASCII: return 6;
    case kCFStringEncodingASCII:
    case kCFStringEncodingISOLatin1: return 1;
    default: return high_half_table(encoding) != nullptr ? 1 : 0;
    }
}

}  // namespace cf
