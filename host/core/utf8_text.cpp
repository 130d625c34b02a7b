// Checking UTF-8 byte sequences.
#include <printdialog/utf8_text.h>

namespace printdialog {
namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

std::size_t utf8SequenceLength(std::string_view text, std::size_t position) {
    if (position >= text.size()) return 0;
    auto byte = [&](std::size_t offset) {
        return position + offset < text.size() ? static_cast<unsigned char>(text[position + offset]) : 0;
    };
    unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    // The second byte's range is narrower after a few lead bytes: that rules out overlong forms,
    // surrogates and code points past U+10FFFF.
    unsigned char secondLow = 0x80, secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) secondLow = 0xA0;
        if (lead == 0xED) secondHigh = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) secondLow = 0x90;
        if (lead == 0xF4) secondHigh = 0x8F;
    } else {
        return 0;
    }
    if (byte(1) < secondLow || byte(1) > secondHigh) return 0;
    for (std::size_t offset = 2; offset < length; ++offset)
        if (!isContinuation(byte(offset))) return 0;
    return length;
}

std::string withValidUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t position = 0; position < text.size();) {
        std::size_t length = utf8SequenceLength(text, position);
        if (length == 0) {
            result += "\xEF\xBF\xBD";
            ++position;
        } else {
            result.append(text, position, length);
            position += length;
        }
    }
    return result;
}

std::string withEscapedBytes(std::string_view text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (std::size_t position = 0; position < text.size();) {
        std::size_t length = utf8SequenceLength(text, position);
        auto byte = static_cast<unsigned char>(text[position]);
        bool control = length == 1 && (byte < 0x20 || byte == 0x7F) && byte != '\n' && byte != '\t';
        if (length == 0 || control) {
            result += "\\x";
            result += kDigits[byte >> 4];
            result += kDigits[byte & 0xF];
            ++position;
        } else {
            result.append(text, position, length);
            position += length;
        }
    }
    return result;
}

std::string trimmed(std::string_view text, std::string_view blanks) {
    const std::size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string_view::npos) return {};
    return std::string(text.substr(begin, text.find_last_not_of(blanks) - begin + 1));
}

}  // namespace printdialog
