// CFStringCreateWithFormat and CFStringAppendFormat: printf-style formatting
// with %@ for CF objects, %C/%S for UTF-16 and positional %n$ arguments.
//
// The format is read twice: once to learn the type of every argument it
// names, then, after exactly those arguments are fetched from the va_list in
// order, once more to write the text.
#include "string_object.h"
#include "string_encoding.h"
#include "string_internal.h"

#include <algorithm>
#include <cinttypes>
#include <climits>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace {

enum class Length { None, Char, Short, Long, LongLong, IntMax, Size, PtrDiff, LongDouble };

// How an argument is fetched from the va_list.
enum class ArgumentKind {
    Unknown,  // named by no directive (a gap among positional arguments)
    Int, Long, LongLong, IntMax, PtrDiff,
    UnsignedInt, UnsignedLong, UnsignedLongLong, UnsignedIntMax, Size,
    WideInt, Double, LongDouble, Pointer
};

using ArgumentValue = std::variant<std::intmax_t, std::uintmax_t, double, long double, const void *>;

constexpr std::size_t kNoArgument = static_cast<std::size_t>(-1);

// Widths and precisions beyond this are cut to it, so a bad one cannot ask for gigabytes.
constexpr int kLargestAmount = 1 << 20;
// No real format names more arguments than this; a larger "n$" is not a directive.
constexpr int kLargestPosition = 1024;

// A width or precision: absent, written in the format, or taken from an int argument.
struct Amount {
    bool present = false;
    int value = 0;
    std::size_t argument = kNoArgument;
};

struct Directive {
    std::string flags;
    Amount width;
    Amount precision;
    Length length = Length::None;
    char conversion = 0;
    std::size_t argument = kNoArgument;
};

// A stretch of literal text, or one conversion.
using Piece = std::variant<std::u16string, Directive>;

bool is_digit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

bool is_signed_conversion(char conversion) { return conversion == 'd' || conversion == 'i' || conversion == 'D'; }

bool is_unsigned_conversion(char conversion) {
    return std::string_view("uoxXUO").find(conversion) != std::string_view::npos;
}

bool is_float_conversion(char conversion) {
    return std::string_view("eEfFgGaA").find(conversion) != std::string_view::npos;
}

bool is_known_conversion(char16_t conversion) {
    return conversion < 0x80 && std::string_view("diDuoxXUOeEfFgGaAcCsSp@n").find(static_cast<char>(conversion)) !=
                                    std::string_view::npos;
}

ArgumentKind argument_kind(const Directive &directive) {
    const char conversion = directive.conversion;
    const Length length = directive.length;
    if (is_signed_conversion(conversion)) {
        switch (length) {
        case Length::Long: return ArgumentKind::Long;
        case Length::LongLong: return ArgumentKind::LongLong;
        case Length::IntMax: return ArgumentKind::IntMax;
        case Length::Size:
        case Length::PtrDiff: return ArgumentKind::PtrDiff;
        default: return ArgumentKind::Int;
        }
    }
    if (is_unsigned_conversion(conversion)) {
        switch (length) {
        case Length::Long: return ArgumentKind::UnsignedLong;
        case Length::LongLong: return ArgumentKind::UnsignedLongLong;
        case Length::IntMax: return ArgumentKind::UnsignedIntMax;
        case Length::Size:
        case Length::PtrDiff: return ArgumentKind::Size;
        default: return ArgumentKind::UnsignedInt;
        }
    }
    if (is_float_conversion(conversion)) {
        return length == Length::LongDouble ? ArgumentKind::LongDouble : ArgumentKind::Double;
    }
    if (conversion == 'c') return length == Length::Long ? ArgumentKind::WideInt : ArgumentKind::Int;
    if (conversion == 'C') return ArgumentKind::Int;
    return ArgumentKind::Pointer;  // s S p @ n
}

// Reads the format, assigning every directive and '*' its argument index.
class FormatParser {
public:
    explicit FormatParser(std::u16string_view format) : format_(format) {}

    std::vector<Piece> parse() {
        std::u16string literal;
        while (position_ < format_.size()) {
            const char16_t unit = format_[position_];
            if (unit != u'%') {
                literal += unit;
                ++position_;
                continue;
            }
            const std::size_t start = position_++;
            if (position_ < format_.size() && format_[position_] == u'%') {
                literal += u'%';
                ++position_;
                continue;
            }
            if (auto directive = parse_directive()) {
                if (!literal.empty()) pieces_.emplace_back(std::exchange(literal, {}));
                pieces_.emplace_back(std::move(*directive));
            } else {
                literal.append(format_.substr(start, position_ - start));  // not a directive: kept as written
            }
        }
        if (!literal.empty()) pieces_.emplace_back(std::move(literal));
        return std::move(pieces_);
    }

    const std::vector<ArgumentKind> &argument_kinds() const { return kinds_; }

private:
    // One directive after its '%'. A malformed one names no arguments.
    std::optional<Directive> parse_directive() {
        const std::size_t next_argument = next_argument_;
        auto directive = parse_directive_parts();
        if (!directive) {
            next_argument_ = next_argument;
            return std::nullopt;
        }
        for (const Amount *amount : {&directive->width, &directive->precision}) {
            if (amount->argument != kNoArgument) note_argument(amount->argument, ArgumentKind::Int);
        }
        note_argument(directive->argument, argument_kind(*directive));
        return directive;
    }

    std::optional<Directive> parse_directive_parts() {
        Directive directive;
        const std::optional<std::size_t> position = parse_position();
        if (position && *position == kNoArgument) return std::nullopt;
        while (position_ < format_.size() && is_flag(format_[position_])) {
            directive.flags += static_cast<char>(format_[position_++]);
        }
        if (!parse_amount(directive.width)) return std::nullopt;
        if (position_ < format_.size() && format_[position_] == u'.') {
            ++position_;
            if (!parse_amount(directive.precision)) return std::nullopt;
            directive.precision.present = true;
        }
        directive.length = parse_length();
        if (position_ >= format_.size() || !is_known_conversion(format_[position_])) return std::nullopt;
        directive.conversion = static_cast<char>(format_[position_++]);
        directive.argument = position ? *position : next_argument_++;
        return directive;
    }

    static bool is_flag(char16_t unit) {
        return unit == u'-' || unit == u'+' || unit == u' ' || unit == u'#' || unit == u'0' || unit == u'\'';
    }

    // Decimal digits at the cursor, if any.
    std::optional<int> parse_number() {
        if (position_ >= format_.size() || !is_digit(format_[position_])) return std::nullopt;
        long value = 0;
        while (position_ < format_.size() && is_digit(format_[position_])) {
            value = std::min(value * 10 + (format_[position_++] - u'0'), long{kLargestAmount});
        }
        return static_cast<int>(value);
    }

    // An "n$" argument position: its zero-based index, kNoArgument when it is
    // invalid, or nothing (cursor unmoved) when there is none.
    std::optional<std::size_t> parse_position() {
        const std::size_t saved = position_;
        const std::optional<int> number = parse_number();
        if (number && position_ < format_.size() && format_[position_] == u'$') {
            ++position_;
            const bool valid = *number > 0 && *number <= kLargestPosition;
            return valid ? static_cast<std::size_t>(*number - 1) : kNoArgument;
        }
        position_ = saved;
        return std::nullopt;
    }

    // A width or precision: digits, '*' or "*n$". False when malformed.
    bool parse_amount(Amount &amount) {
        if (position_ < format_.size() && format_[position_] == u'*') {
            ++position_;
            const std::optional<std::size_t> position = parse_position();
            if (position && *position == kNoArgument) return false;
            amount.present = true;
            amount.argument = position ? *position : next_argument_++;
        } else if (const std::optional<int> number = parse_number()) {
            amount.present = true;
            amount.value = *number;
        }
        return true;
    }

    Length parse_length() {
        auto next_is = [&](char16_t unit) {
            if (position_ < format_.size() && format_[position_] == unit) {
                ++position_;
                return true;
            }
            return false;
        };
        if (next_is(u'h')) return next_is(u'h') ? Length::Char : Length::Short;
        if (next_is(u'l')) return next_is(u'l') ? Length::LongLong : Length::Long;
        if (next_is(u'q')) return Length::LongLong;
        if (next_is(u'L')) return Length::LongDouble;
        if (next_is(u'j')) return Length::IntMax;
        if (next_is(u'z')) return Length::Size;
        if (next_is(u't')) return Length::PtrDiff;
        return Length::None;
    }

    // The first directive naming an argument decides its type.
    void note_argument(std::size_t index, ArgumentKind kind) {
        if (index >= kinds_.size()) kinds_.resize(index + 1, ArgumentKind::Unknown);
        if (kinds_[index] == ArgumentKind::Unknown) kinds_[index] = kind;
    }

    std::u16string_view format_;
    std::size_t position_ = 0;
    std::size_t next_argument_ = 0;
    std::vector<Piece> pieces_;
    std::vector<ArgumentKind> kinds_;
};

// Fetches exactly the arguments the format names, in order.
std::vector<ArgumentValue> fetch_arguments(const std::vector<ArgumentKind> &kinds, va_list arguments) {
    std::vector<ArgumentValue> values;
    values.reserve(kinds.size());
    for (const ArgumentKind kind : kinds) {
        switch (kind) {
        case ArgumentKind::Int: values.emplace_back(std::intmax_t{va_arg(arguments, int)}); break;
        case ArgumentKind::Unknown:
        case ArgumentKind::Long: values.emplace_back(std::intmax_t{va_arg(arguments, long)}); break;
        case ArgumentKind::LongLong: values.emplace_back(std::intmax_t{va_arg(arguments, long long)}); break;
        case ArgumentKind::IntMax: values.emplace_back(va_arg(arguments, std::intmax_t)); break;
        case ArgumentKind::PtrDiff: values.emplace_back(std::intmax_t{va_arg(arguments, std::ptrdiff_t)}); break;
        case ArgumentKind::UnsignedInt: values.emplace_back(std::uintmax_t{va_arg(arguments, unsigned)}); break;
        case ArgumentKind::UnsignedLong:
            values.emplace_back(std::uintmax_t{va_arg(arguments, unsigned long)});
            break;
        case ArgumentKind::UnsignedLongLong:
            values.emplace_back(std::uintmax_t{va_arg(arguments, unsigned long long)});
            break;
        case ArgumentKind::UnsignedIntMax: values.emplace_back(va_arg(arguments, std::uintmax_t)); break;
        case ArgumentKind::Size: values.emplace_back(std::uintmax_t{va_arg(arguments, std::size_t)}); break;
        case ArgumentKind::WideInt: values.emplace_back(std::uintmax_t{va_arg(arguments, wint_t)}); break;
        case ArgumentKind::Double: values.emplace_back(va_arg(arguments, double)); break;
        case ArgumentKind::LongDouble: values.emplace_back(va_arg(arguments, long double)); break;
        case ArgumentKind::Pointer: values.emplace_back(va_arg(arguments, const void *)); break;
        }
    }
    return values;
}

// Writes the pieces with the fetched argument values.
class FormatWriter {
public:
    explicit FormatWriter(const std::vector<ArgumentValue> &values) : values_(values) {}

    std::u16string write(const std::vector<Piece> &pieces) {
        for (const Piece &piece : pieces) {
            if (const auto *literal = std::get_if<std::u16string>(&piece)) {
                out_ += *literal;
            } else {
                write_directive(std::get<Directive>(piece));
            }
        }
        return std::move(out_);
    }

private:
    // An argument as T; only a directive that reuses another's argument with a
    // different type needs a conversion here.
    template <typename T>
    T value_as(std::size_t index) const {
        return std::visit(
            [](auto value) -> T {
                using Stored = decltype(value);
                if constexpr (std::is_pointer_v<Stored>) {
                    if constexpr (std::is_integral_v<T>) return static_cast<T>(reinterpret_cast<std::uintptr_t>(value));
                    return T{};
                } else if constexpr (std::is_floating_point_v<Stored> && std::is_integral_v<T>) {
                    const bool fits = value >= static_cast<Stored>(std::numeric_limits<T>::min()) &&
                                      value <= static_cast<Stored>(std::numeric_limits<T>::max());
                    return fits ? static_cast<T>(value) : T{};
                } else {
                    return static_cast<T>(value);
                }
            },
            values_[index]);
    }

    // The directive with widths and precisions from arguments resolved.
    Directive resolved(Directive directive) const {
        if (directive.width.argument != kNoArgument) {
            const int width = value_as<int>(directive.width.argument);
            if (width < 0) directive.flags += '-';
            directive.width.value = width == INT_MIN ? kLargestAmount : std::min(std::abs(width), kLargestAmount);
        }
        if (directive.precision.argument != kNoArgument) {
            const int precision = value_as<int>(directive.precision.argument);
            directive.precision.present = precision >= 0;
            directive.precision.value = std::min(precision, kLargestAmount);
        }
        return directive;
    }

    void write_directive(const Directive &original) {
        const Directive directive = resolved(original);
        const char conversion = directive.conversion;
        if (is_signed_conversion(conversion)) {
            write_printf(directive, "jd", signed_value(directive));
        } else if (is_unsigned_conversion(conversion)) {
            const char converted = conversion == 'U' ? 'u' : conversion == 'O' ? 'o' : conversion;
            write_printf(directive, std::string("j") + converted, unsigned_value(directive));
        } else if (is_float_conversion(conversion)) {
            if (directive.length == Length::LongDouble) {
                write_printf(directive, std::string("L") + conversion, value_as<long double>(directive.argument));
            } else {
                write_printf(directive, std::string(1, conversion), value_as<double>(directive.argument));
            }
        } else if (conversion == 'c' || conversion == 'C') {
            write_character(directive);
        } else if (conversion == 'p') {
            char digits[32];
            std::snprintf(digits, sizeof digits, "0x%" PRIxPTR, reinterpret_cast<std::uintptr_t>(pointer(directive)));
            write_text(directive, cf::utf16_from_utf8(digits), false);
        } else if (conversion != 'n') {
            write_text(directive, text_argument(directive), true);
        }
    }

    // The signed value cut to the size the length modifier names.
    std::intmax_t signed_value(const Directive &directive) const {
        const auto value = value_as<std::intmax_t>(directive.argument);
        switch (directive.length) {
        case Length::Char: return static_cast<signed char>(value);
        case Length::Short: return static_cast<short>(value);
        case Length::None: return static_cast<int>(value);
        default: return value;
        }
    }

    std::uintmax_t unsigned_value(const Directive &directive) const {
        const auto value = value_as<std::uintmax_t>(directive.argument);
        switch (directive.length) {
        case Length::Char: return static_cast<unsigned char>(value);
        case Length::Short: return static_cast<unsigned short>(value);
        case Length::None: return static_cast<unsigned>(value);
        default: return value;
        }
    }

    const void *pointer(const Directive &directive) const {
        const auto *value = std::get_if<const void *>(&values_[directive.argument]);
        return value != nullptr ? *value : nullptr;
    }

    // Numbers go through the C library with the directive rebuilt around a fixed type.
    template <typename T>
    void write_printf(const Directive &directive, const std::string &conversion, T value) {
        std::string format = "%" + directive.flags;
        if (directive.width.present) format += std::to_string(directive.width.value);
        if (directive.precision.present) format += "." + std::to_string(directive.precision.value);
        format += conversion;
        std::string text(64, '\0');
        int size = std::snprintf(text.data(), text.size(), format.c_str(), value);
        if (size < 0) return;
        if (static_cast<std::size_t>(size) >= text.size()) {
            text.resize(static_cast<std::size_t>(size) + 1);
            size = std::snprintf(text.data(), text.size(), format.c_str(), value);
        }
        text.resize(static_cast<std::size_t>(size));
        out_ += cf::utf16_from_utf8(text);
    }

    void write_character(const Directive &directive) {
        std::u16string text;
        if (directive.conversion == 'C') {
            text += static_cast<char16_t>(value_as<std::uintmax_t>(directive.argument));
        } else if (directive.length == Length::Long) {
            const auto code_point = value_as<std::uintmax_t>(directive.argument);
            cf::append_code_point(text, code_point <= 0x10FFFF ? static_cast<char32_t>(code_point) : 0xFFFD);
        } else {
            text += static_cast<char16_t>(static_cast<unsigned char>(value_as<std::intmax_t>(directive.argument)));
        }
        write_text(directive, text, false);
    }

    // The text of a %s, %S or %@ argument.
    std::u16string text_argument(const Directive &directive) const {
        const void *value = pointer(directive);
        if (value == nullptr) return u"(null)";
        switch (directive.conversion) {
        case '@':
            if (const __CFString *string = cf::as<__CFString>(value)) return string->characters;
            return cf::utf16_from_utf8(cf::display_text_of(value));
        case 'S': return std::u16string(static_cast<const char16_t *>(value));
        default:
            if (directive.length == Length::Long) return wide_text(static_cast<const wchar_t *>(value));
            return c_string_text(static_cast<const char *>(value));
        }
    }

    // A C string is UTF-8; bytes that are not are read as Mac OS Roman.
    static std::u16string c_string_text(const char *bytes) {
        if (auto text = cf::decode_utf8(bytes)) return std::move(*text);
        return cf::decode_bytes(bytes, kCFStringEncodingMacRoman).value_or(std::u16string());
    }

    static std::u16string wide_text(const wchar_t *characters) {
        std::u16string text;
        for (; *characters != 0; ++characters) {
            const auto code_point = static_cast<char32_t>(*characters);
            cf::append_code_point(text, code_point <= 0x10FFFF ? code_point : 0xFFFD);
        }
        return text;
    }

    // Text cut to the precision (in UTF-16 units, when it applies) and padded with spaces to the width.
    void write_text(const Directive &directive, std::u16string text, bool precision_applies) {
        if (precision_applies && directive.precision.present &&
            text.size() > static_cast<std::size_t>(directive.precision.value)) {
            text.resize(static_cast<std::size_t>(directive.precision.value));
        }
        const std::size_t width = directive.width.present ? static_cast<std::size_t>(directive.width.value) : 0;
        const std::size_t padding = width > text.size() ? width - text.size() : 0;
        const bool left = directive.flags.find('-') != std::string::npos;
        if (!left) out_.append(padding, u' ');
        out_ += text;
        if (left) out_.append(padding, u' ');
    }

    const std::vector<ArgumentValue> &values_;
    std::u16string out_;
};

// The formatted text, or nothing when the format is not a string.
std::optional<std::u16string> format_text(CFStringRef format, va_list arguments) {
    if (cf::as<__CFString>(format) == nullptr) return std::nullopt;
    FormatParser parser(cf::characters_of(format));
    const std::vector<Piece> pieces = parser.parse();
    va_list copy;
    va_copy(copy, arguments);
    const std::vector<ArgumentValue> values = fetch_arguments(parser.argument_kinds(), copy);
    va_end(copy);
    return FormatWriter(values).write(pieces);
}

}  // namespace

extern "C" {

// Partial: %n stores nothing and writes nothing.
CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef, CFDictionaryRef, CFStringRef format,
                                                 va_list arguments) {
    auto text = format_text(format, arguments);
    return text ? cf::create_string(std::move(*text)) : nullptr;
}

// Partial: %n stores nothing and writes nothing.
CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFDictionaryRef formatOptions, CFStringRef format, ...) {
    va_list arguments;
    va_start(arguments, format);
    CFStringRef string = CFStringCreateWithFormatAndArguments(alloc, formatOptions, format, arguments);
    va_end(arguments);
    return string;
}

// Partial: %n stores nothing and writes nothing.
void CFStringAppendFormatAndArguments(CFMutableStringRef theString, CFDictionaryRef, CFStringRef format,
                                      va_list arguments) {
    __CFString *string = cf::as_mutable_string(theString);
    if (string == nullptr) return;
    if (auto text = format_text(format, arguments)) string->characters += *text;
}

// Partial: %n stores nothing and writes nothing.
void CFStringAppendFormat(CFMutableStringRef theString, CFDictionaryRef formatOptions, CFStringRef format, ...) {
    va_list arguments;
    va_start(arguments, format);
    CFStringAppendFormatAndArguments(theString, formatOptions, format, arguments);
    va_end(arguments);
}

}  // extern "C"
