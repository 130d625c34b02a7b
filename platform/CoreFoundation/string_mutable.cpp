// CFMutableString editing. Every function leaves immutable strings untouched.
#include "string_object.h"
#include "string_encoding.h"
#include "string_internal.h"

namespace {

// Replaces range of a mutable string with text; nothing for a bad range.
void replace_range(__CFString *string, CFRange range, std::u16string_view text) {
    if (string == nullptr || !cf::range_is_valid(range, string->characters.size())) return;
    string->characters.replace(static_cast<std::size_t>(range.location), static_cast<std::size_t>(range.length),
                               text);
}

// The characters of another string, copied so a string may be edited with itself.
std::u16string characters_copy(CFStringRef string) { return cf::characters_of(string); }

}  // namespace

extern "C" {

void CFStringAppend(CFMutableStringRef theString, CFStringRef appendedString) {
    __CFString *string = cf::as_mutable_string(theString);
    if (string == nullptr || cf::as<__CFString>(appendedString) == nullptr) return;
    string->characters += characters_copy(appendedString);
}

void CFStringAppendCharacters(CFMutableStringRef theString, const UniChar *chars, CFIndex numChars) {
    __CFString *string = cf::as_mutable_string(theString);
    if (string == nullptr || chars == nullptr || numChars <= 0) return;
    string->characters.append(reinterpret_cast<const char16_t *>(chars), static_cast<std::size_t>(numChars));
}

// Bytes invalid in the encoding append nothing.
void CFStringAppendCString(CFMutableStringRef theString, const char *cStr, CFStringEncoding encoding) {
    __CFString *string = cf::as_mutable_string(theString);
    if (string == nullptr || cStr == nullptr) return;
    if (const auto text = cf::decode_bytes(cStr, encoding)) string->characters += *text;
}

void CFStringInsert(CFMutableStringRef str, CFIndex idx, CFStringRef insertedStr) {
    if (cf::as<__CFString>(insertedStr) == nullptr) return;
    replace_range(cf::as_mutable_string(str), CFRangeMake(idx, 0), characters_copy(insertedStr));
}

void CFStringDelete(CFMutableStringRef theString, CFRange range) {
    replace_range(cf::as_mutable_string(theString), range, std::u16string_view());
}

void CFStringReplace(CFMutableStringRef theString, CFRange range, CFStringRef replacement) {
    if (cf::as<__CFString>(replacement) == nullptr) return;
    replace_range(cf::as_mutable_string(theString), range, characters_copy(replacement));
}

void CFStringReplaceAll(CFMutableStringRef theString, CFStringRef replacement) {
    __CFString *string = cf::as_mutable_string(theString);
    if (string == nullptr || cf::as<__CFString>(replacement) == nullptr) return;
    string->characters = characters_copy(replacement);
}

}  // extern "C"
