// Conversions between UTF-16 text and the byte encodings CFString supports.
#pragma once

#include <CoreFoundation/CFString.h>

#include <optional>
#include <string>
#include <string_view>

namespace cf {

// The text of bytes in encoding; nothing when a byte sequence is invalid in it
// or the encoding is unknown. A leading byte order mark is consumed for UTF-8
// and for UTF-16 without an explicit byte order.
std::optional<std::u16string> decode_bytes(std::string_view bytes, CFStringEncoding encoding);

// How encode_text treats characters the encoding cannot hold.
struct EncodeOptions {
    std::optional<char> loss_byte;    // substitute for them; without one they fail the conversion
    bool byte_order_mark = false;     // start UTF-8/UTF-16 output with a byte order mark
};

// The bytes of text in encoding; nothing when a character cannot be represented
// (and no loss byte was given) or the encoding is unknown.
std::optional<std::string> encode_text(std::u16string_view text, CFStringEncoding encoding,
                                       EncodeOptions options = {});

// What escape_non_ascii does with a backslash: the non-lossy ASCII encoding doubles it so that
// its escapes can be read back; CFShow's output leaves it as it is.
enum class Backslash { as_is, doubled };

// The text as plain ASCII: units below 0x80 as they are, every other UTF-16 unit as \uXXXX
// (four lower-case hexadecimal digits). The one \u escaper of the platform.
std::string escape_non_ascii(std::u16string_view text, Backslash backslash);

// Whether the encoding's bytes 0x00-0x7F are ASCII, one byte a character.
bool is_ascii_compatible(CFStringEncoding encoding);

// The most bytes one UTF-16 unit can take in encoding, or 0 for unknown encodings.
CFIndex maximum_bytes_per_unit(CFStringEncoding encoding);

// Strict UTF-8 decoding: nothing for malformed, overlong or surrogate sequences.
std::optional<std::u16string> decode_utf8(std::string_view utf8);

// Decodes one UTF-8 sequence at position; nothing when it is malformed, overlong or a
// surrogate. position moves past the sequence on success and past one byte on failure.
std::optional<char32_t> next_utf8(std::string_view utf8, std::size_t &position);

// One Unicode scalar value appended as UTF-16.
void append_code_point(std::u16string &text, char32_t code_point);

}  // namespace cf
