// The old-style (NeXT) text property list reader, including the brace-less
// dictionary body of .strings files.
#include "property_list_internal.h"

#include <cstdio>
#include <vector>

namespace cf::plist {

namespace {

constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kParagraphSeparator = 0x2029;

bool is_white_space(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == u' ' || c == kLineSeparator || c == kParagraphSeparator;
}

bool is_unquoted_character(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'$' || c == u'/' || c == u':' || c == u'.' || c == u'-';
}

int hex_value(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

bool is_octal_digit(char16_t c) { return c >= u'0' && c <= u'7'; }

// A character as it reads in an error message.
std::string describe_character(char16_t c) {
    char buffer[16];
    if (c > 0x20 && c < 0x7F) {
        std::snprintf(buffer, sizeof buffer, "'%c'", static_cast<char>(c));
    } else {
        std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    }
    return buffer;
}

// Walks the characters, keeping the line number current; every read is bounds-checked.
class Scanner {
public:
    explicit Scanner(std::u16string_view text) : text_(text) {}

    bool at_end() const { return position_ >= text_.size(); }
    char16_t peek() const { return text_[position_]; }
    // The character after the current one, or NUL past the end.
    char16_t peek_next() const { return position_ + 1 < text_.size() ? text_[position_ + 1] : 0; }
    long line() const { return line_; }

    char16_t take() {
        const char16_t c = text_[position_++];
        if (c == u'\n' || (c == u'\r' && (at_end() || peek() != u'\n'))) ++line_;
        return c;
    }

    // Skips white space and both comment forms; an open /* comment is an error.
    void skip_blank() {
        while (!at_end()) {
            const char16_t c = peek();
            if (is_white_space(c)) {
                take();
            } else if (c == u'/' && peek_next() == u'/') {
                while (!at_end() && !is_line_end(peek())) take();
            } else if (c == u'/' && peek_next() == u'*') {
                const long start = line_;
                take();
                take();
                for (;;) {
                    if (at_end()) throw ParseError("Unterminated comment", start);
                    if (peek() == u'*' && peek_next() == u'/') {
                        take();
                        take();
                        break;
                    }
                    take();
                }
            } else {
                return;
            }
        }
    }

    struct Mark {
        size_t position;
        long line;
    };
    Mark mark() const { return {position_, line_}; }
    void rewind(Mark to) { position_ = to.position, line_ = to.line; }

private:
    static bool is_line_end(char16_t c) {
        return c == u'\n' || c == u'\r' || c == kLineSeparator || c == kParagraphSeparator;
    }

    std::u16string_view text_;
    size_t position_ = 0;
    long line_ = 1;
};

class TextParser {
public:
    TextParser(std::u16string_view text, const ValueFactory &factory)
        : scanner_(text), factory_(factory) {}

    // A lone object, or else the brace-less dictionary body of a .strings file.
    Value parse_document() {
        scanner_.skip_blank();
        if (scanner_.at_end()) return factory_.finish(factory_.new_dictionary());
        if (starts_string(scanner_.peek())) {
            const Scanner::Mark start = scanner_.mark();
            std::u16string lone = read_string();
            scanner_.skip_blank();
            if (scanner_.at_end()) return factory_.string(lone);
            scanner_.rewind(start);
            auto body = factory_.new_dictionary();
            read_entries(body.get(), nullptr, 1);
            return factory_.finish(std::move(body));
        }
        Value root = read_value(0);
        scanner_.skip_blank();
        if (!scanner_.at_end()) {
            throw ParseError("Unexpected " + describe_character(scanner_.peek()) +
                                 " after the property list",
                             scanner_.line());
        }
        return root;
    }

private:
    static bool starts_string(char16_t c) { return c == u'"' || c == u'\'' || is_unquoted_character(c); }

    Value read_value(int depth) {
        scanner_.skip_blank();
        if (scanner_.at_end()) throw ParseError("Unexpected end of data", scanner_.line());
        const char16_t c = scanner_.peek();
        if (c == u'{' || c == u'(') {
            if (depth >= kMaxNestingDepth) throw ParseError("Nesting too deep", scanner_.line());
            return c == u'{' ? read_dictionary(depth + 1) : read_array(depth + 1);
        }
        if (c == u'<') return read_data();
        if (starts_string(c)) return factory_.string(read_string());
        throw ParseError("Unexpected " + describe_character(c), scanner_.line());
    }

    Value read_dictionary(int depth) {
        const long start = scanner_.line();
        scanner_.take();  // {
        auto dictionary = factory_.new_dictionary();
        read_entries(dictionary.get(), &start, depth);
        scanner_.take();  // }
        return factory_.finish(std::move(dictionary));
    }

    // "key" = value; entries up to '}' (braced, opened on *brace_line) or the end of the text.
    // depth counts the containers open around the values, this dictionary included.
    void read_entries(CFMutableDictionaryRef dictionary, const long *brace_line, int depth) {
        for (;;) {
            scanner_.skip_blank();
            if (scanner_.at_end()) {
                if (brace_line) throw ParseError("Missing '}' for the dictionary opened", *brace_line);
                return;
            }
            const char16_t c = scanner_.peek();
            if (brace_line && c == u'}') return;
            if (!starts_string(c)) {
                if (c == u'{' || c == u'(' || c == u'<') {
                    throw ParseError("Dictionary key is not a string", scanner_.line());
                }
                throw ParseError("Unexpected " + describe_character(c), scanner_.line());
            }
            const std::u16string key_text = read_string();
            Value key = factory_.key(key_text);
            scanner_.skip_blank();
            if (scanner_.at_end()) throw ParseError("Missing ';'", scanner_.line());
            if (scanner_.peek() == u';') {
                scanner_.take();
                Value value = factory_.string(key_text);
                CFDictionarySetValue(dictionary, key.get(), value.get());
                continue;
            }
            if (scanner_.peek() != u'=') throw ParseError("Missing '=' or ';' after a key", scanner_.line());
            scanner_.take();
            Value value = read_value(depth);
            const long value_end_line = scanner_.line();
            scanner_.skip_blank();
            if (scanner_.at_end() || scanner_.peek() != u';') throw ParseError("Missing ';'", value_end_line);
            scanner_.take();
            CFDictionarySetValue(dictionary, key.get(), value.get());
        }
    }

    Value read_array(int depth) {
        const long start = scanner_.line();
        scanner_.take();  // (
        auto array = factory_.new_array();
        for (;;) {
            scanner_.skip_blank();
            if (scanner_.at_end()) throw ParseError("Missing ')' for the array opened", start);
            if (scanner_.peek() == u')') break;
            Value element = read_value(depth);
            CFArrayAppendValue(array.get(), element.get());
            scanner_.skip_blank();
            if (scanner_.at_end()) throw ParseError("Missing ')' for the array opened", start);
            if (scanner_.peek() == u',') {
                scanner_.take();
            } else if (scanner_.peek() != u')') {
                throw ParseError("Missing ',' in array", scanner_.line());
            }
        }
        scanner_.take();  // )
        return factory_.finish(std::move(array));
    }

    // <hex digits>, white space allowed between them.
    Value read_data() {
        const long start = scanner_.line();
        scanner_.take();  // <
        std::vector<UInt8> bytes;
        int high_nibble = -1;
        for (;;) {
            scanner_.skip_blank();
            if (scanner_.at_end()) throw ParseError("Missing '>' for the data opened", start);
            const char16_t c = scanner_.take();
            if (c == u'>') break;
            const int nibble = hex_value(c);
            if (nibble < 0) throw ParseError("Bad hex digit " + describe_character(c) + " in data", scanner_.line());
            if (high_nibble < 0) {
                high_nibble = nibble;
            } else {
                bytes.push_back(static_cast<UInt8>((high_nibble << 4) | nibble));
                high_nibble = -1;
            }
        }
        if (high_nibble >= 0) throw ParseError("Odd number of hex digits in data", scanner_.line());
        return factory_.data(bytes);
    }

    std::u16string read_string() {
        const char16_t c = scanner_.peek();
        if (c == u'"' || c == u'\'') return read_quoted();
        std::u16string text;
        while (!scanner_.at_end() && is_unquoted_character(scanner_.peek())) text.push_back(scanner_.take());
        return text;
    }

    std::u16string read_quoted() {
        const long start = scanner_.line();
        const char16_t quote = scanner_.take();
        std::u16string text;
        for (;;) {
            if (scanner_.at_end()) throw ParseError("Unterminated quoted string", start);
            const char16_t c = scanner_.take();
            if (c == quote) return text;
            if (c != u'\\') {
                text.push_back(c);
                continue;
            }
            if (scanner_.at_end()) throw ParseError("Unterminated quoted string", start);
            read_escape(text);
        }
    }

    // The character(s) after a backslash.
    void read_escape(std::u16string &text) {
        const char16_t c = scanner_.take();
        switch (c) {
        case u'a': text.push_back(u'\a'); return;
        case u'b': text.push_back(u'\b'); return;
        case u'f': text.push_back(u'\f'); return;
        case u'n': text.push_back(u'\n'); return;
        case u'r': text.push_back(u'\r'); return;
        case u't': text.push_back(u'\t'); return;
        case u'v': text.push_back(u'\v'); return;
        case u'U': {
            unsigned unit = 0;
            int digits = 0;
            while (digits < 4 && !scanner_.at_end() && hex_value(scanner_.peek()) >= 0) {
                unit = (unit << 4) | static_cast<unsigned>(hex_value(scanner_.take()));
                ++digits;
            }
            text.push_back(digits ? static_cast<char16_t>(unit) : u'U');
            return;
        }
        default:
            break;
        }
        if (is_octal_digit(c)) {
            // Up to three digits, stopping before the value would pass one byte.
            unsigned byte = c - u'0';
            for (int digits = 1; digits < 3 && !scanner_.at_end() && is_octal_digit(scanner_.peek()); ++digits) {
                const unsigned next = byte * 8 + (scanner_.peek() - u'0');
                if (next > 0xFF) break;
                byte = next;
                scanner_.take();
            }
            // Bytes map through ISO Latin-1, whose code points equal the byte values.
            text.push_back(static_cast<char16_t>(byte));
            return;
        }
        text.push_back(c);  // \\ \" \' newline and anything else stand for themselves
    }

    Scanner scanner_;
    const ValueFactory &factory_;
};

}  // namespace

Value parse_text(std::u16string_view text, const ValueFactory &factory) {
    return TextParser(text, factory).parse_document();
}

}  // namespace cf::plist
