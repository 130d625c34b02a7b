// Ordering, searching and number scanning of CFStrings.
#include "string_object.h"
#include "string_internal.h"
#include "ref.h"

#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Simple one-to-one lower-case folding for Latin-1, Latin Extended-A, Greek
// and Cyrillic; other characters fold to themselves.
char16_t folded(char16_t unit) {
    if (unit < 0x80) return unit >= u'A' && unit <= u'Z' ? unit + 0x20 : unit;
    if (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7) return unit + 0x20;
    if (unit >= 0x100 && unit <= 0x17F) {
        if (unit == 0x130) return u'i';
        if (unit == 0x178) return 0xFF;
        if (unit == 0x17F) return u's';
        const bool even_upper = (unit <= 0x137) || (unit >= 0x14A && unit <= 0x177);
        const bool odd_upper = (unit >= 0x139 && unit <= 0x148) || (unit >= 0x179 && unit <= 0x17E);
        if ((even_upper && unit % 2 == 0) || (odd_upper && unit % 2 == 1)) return unit + 1;
        return unit;
    }
    if (unit >= 0x391 && unit <= 0x3A9 && unit != 0x3A2) return unit + 0x20;
    if (unit >= 0x410 && unit <= 0x42F) return unit + 0x20;
    if (unit >= 0x400 && unit <= 0x40F) return unit + 0x50;
    return unit;
}

bool is_digit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

bool is_white_space(char16_t unit) {
    return unit == u' ' || (unit >= 0x09 && unit <= 0x0D) || unit == 0xA0 || unit == 0x1680 ||
           (unit >= 0x2000 && unit <= 0x200B) || unit == 0x2028 || unit == 0x2029 || unit == 0x202F ||
           unit == 0x205F || unit == 0x3000;
}

CFComparisonResult sign_of(int difference) {
    return difference < 0 ? kCFCompareLessThan : difference > 0 ? kCFCompareGreaterThan : kCFCompareEqualTo;
}

// Compares the digit runs starting at first[i] and second[j] by value, moving
// both indexes past them.
int compare_numbers(std::u16string_view first, std::size_t &i, std::u16string_view second, std::size_t &j) {
    auto digits = [](std::u16string_view text, std::size_t &index) {
        while (index + 1 < text.size() && text[index] == u'0' && is_digit(text[index + 1])) ++index;
        const std::size_t start = index;
        while (index < text.size() && is_digit(text[index])) ++index;
        return text.substr(start, index - start);
    };
    const std::u16string_view a = digits(first, i);
    const std::u16string_view b = digits(second, j);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

CFComparisonResult compare(std::u16string_view first, std::u16string_view second, CFStringCompareFlags options) {
    const bool fold = (options & kCFCompareCaseInsensitive) != 0;
    const bool numeric = (options & kCFCompareNumerically) != 0;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < first.size() && j < second.size()) {
        if (numeric && is_digit(first[i]) && is_digit(second[j])) {
            if (const int order = compare_numbers(first, i, second, j); order != 0) return sign_of(order);
            continue;
        }
        const char16_t a = fold ? folded(first[i]) : first[i];
        const char16_t b = fold ? folded(second[j]) : second[j];
        if (a != b) return sign_of(a < b ? -1 : 1);
        ++i, ++j;
    }
    return sign_of(i < first.size() ? 1 : j < second.size() ? -1 : 0);
}

bool matches_at(std::u16string_view text, std::size_t position, std::u16string_view pattern, bool fold) {
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        const char16_t a = text[position + k];
        const char16_t b = pattern[k];
        if (a != b && (!fold || folded(a) != folded(b))) return false;
    }
    return true;
}

// Where pattern occurs in text under the options (backwards, anchored, case-insensitive).
CFRange find(std::u16string_view text, std::u16string_view pattern, CFStringCompareFlags options) {
    const CFRange not_found = CFRangeMake(kCFNotFound, 0);
    if (pattern.empty() || pattern.size() > text.size()) return not_found;
    const bool fold = (options & kCFCompareCaseInsensitive) != 0;
    const bool backwards = (options & kCFCompareBackwards) != 0;
    const bool anchored = (options & kCFCompareAnchored) != 0;
    const std::size_t last = text.size() - pattern.size();
    auto found = [&](std::size_t position) {
        return CFRangeMake(static_cast<CFIndex>(position), static_cast<CFIndex>(pattern.size()));
    };
    if (anchored) {
        const std::size_t position = backwards ? last : 0;
        return matches_at(text, position, pattern, fold) ? found(position) : not_found;
    }
    for (std::size_t step = 0; step <= last; ++step) {
        const std::size_t position = backwards ? last - step : step;
        if (matches_at(text, position, pattern, fold)) return found(position);
    }
    return not_found;
}

// Index of the first character that is not white space, from start.
std::size_t skip_white_space(std::u16string_view text, std::size_t start) {
    while (start < text.size() && is_white_space(text[start])) ++start;
    return start;
}

}  // namespace

extern "C" {

// Partial: only kCFCompareCaseInsensitive (simple Latin, Greek and Cyrillic folding) and
// kCFCompareNumerically; the other options are ignored.
CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2,
                                   CFStringCompareFlags compareOptions) {
    return compare(cf::characters_of(theString1), cf::characters_of(theString2), compareOptions);
}

// Like the system, an empty prefix or suffix is never found.
Boolean CFStringHasPrefix(CFStringRef theString, CFStringRef prefix) {
    return find(cf::characters_of(theString), cf::characters_of(prefix), kCFCompareAnchored).location == 0;
}

Boolean CFStringHasSuffix(CFStringRef theString, CFStringRef suffix) {
    return find(cf::characters_of(theString), cf::characters_of(suffix), kCFCompareAnchored | kCFCompareBackwards)
               .location != kCFNotFound;
}

// Partial: only kCFCompareCaseInsensitive, kCFCompareBackwards and kCFCompareAnchored; the other
// options are ignored.
CFRange CFStringFind(CFStringRef theString, CFStringRef stringToFind, CFStringCompareFlags compareOptions) {
    return find(cf::characters_of(theString), cf::characters_of(stringToFind), compareOptions);
}

// White space, an optional sign (white space may follow it), then decimal
// digits; anything after them is ignored. Saturates on overflow.
SInt32 CFStringGetIntValue(CFStringRef str) {
    const std::u16string_view text = cf::characters_of(str);
    std::size_t position = skip_white_space(text, 0);
    bool negative = false;
    if (position < text.size() && (text[position] == u'+' || text[position] == u'-')) {
        negative = text[position] == u'-';
        position = skip_white_space(text, position + 1);
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<SInt32>::min())
                                        : std::numeric_limits<SInt32>::max();
    std::int64_t magnitude = 0;
    for (; position < text.size() && is_digit(text[position]); ++position) {
        magnitude = magnitude * 10 + (text[position] - u'0');
        if (magnitude > limit) magnitude = limit;
    }
    return static_cast<SInt32>(negative ? -magnitude : magnitude);
}

// White space, then a decimal number with optional fraction and exponent;
// 0.0 when there is none. Independent of the C locale.
double CFStringGetDoubleValue(CFStringRef str) {
    const std::u16string_view text = cf::characters_of(str);
    std::size_t position = skip_white_space(text, 0);
    bool negative = false;
    if (position < text.size() && (text[position] == u'+' || text[position] == u'-')) {
        negative = text[position++] == u'-';
    }
    std::string number;
    auto take_digits = [&] {
        std::size_t count = 0;
        for (; position < text.size() && is_digit(text[position]); ++position, ++count) {
            number += static_cast<char>(text[position]);
        }
        return count;
    };
    std::size_t digits = take_digits();
    if (position < text.size() && text[position] == u'.') {
        number += '.';
        ++position;
        digits += take_digits();
    }
    if (digits == 0) return 0.0;
    if (position + 1 < text.size() && (text[position] == u'e' || text[position] == u'E')) {
        std::size_t exponent = position + 1;
        if (text[exponent] == u'+' || text[exponent] == u'-') ++exponent;
        if (exponent < text.size() && is_digit(text[exponent])) {
            number += 'e';
            number.append(text.begin() + static_cast<std::ptrdiff_t>(position + 1),
                          text.begin() + static_cast<std::ptrdiff_t>(exponent));
            position = exponent;
            take_digits();
        }
    }
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", locale_t());
    const double value = strtod_l(number.c_str(), nullptr, c_locale);  // overflow gives HUGE_VAL
    return negative ? -value : value;
}

// The pieces between separators, empty ones included; the whole string when
// the separator does not occur.
CFArrayRef CFStringCreateArrayBySeparatingStrings(CFAllocatorRef alloc, CFStringRef theString,
                                                  CFStringRef separatorString) {
    if (cf::as<__CFString>(theString) == nullptr || cf::as<__CFString>(separatorString) == nullptr) return nullptr;
    const std::u16string_view text = cf::characters_of(theString);
    const std::u16string_view separator = cf::characters_of(separatorString);
    std::vector<cf::Ref<CFStringRef>> pieces;
    std::size_t start = 0;
    while (!separator.empty()) {
        const std::size_t found = text.find(separator, start);
        if (found == std::u16string_view::npos) break;
        pieces.push_back(cf::adopt(cf::create_string(std::u16string(text.substr(start, found - start)))));
        start = found + separator.size();
    }
    pieces.push_back(cf::adopt(cf::create_string(std::u16string(text.substr(start)))));
    std::vector<const void *> values;
    values.reserve(pieces.size());
    for (const auto &piece : pieces) values.push_back(piece.get());
    return CFArrayCreate(alloc, values.data(), static_cast<CFIndex>(values.size()), &kCFTypeArrayCallBacks);
}

}  // extern "C"
