// The CFString object: creation, character access and conversion to bytes,
// plus the internal helpers the rest of the platform builds strings with.
#include "string_object.h"
#include "string_encoding.h"
#include "string_internal.h"

#include <cstdlib>
#include <cstring>
#include <limits>

__CFString::__CFString(std::u16string text, bool mutable_string)
    : cf::Object(kTypeID), characters(std::move(text)), is_mutable(mutable_string) {
    if (is_mutable) return;
    for (const char16_t unit : characters) {
        if (unit >= 0x80) return;
    }
    ascii_text_.assign(characters.begin(), characters.end());
    has_ascii_text_ = true;
}

// Strings are equal by their characters, mutable or not.
bool __CFString::equals(const cf::Object &other) const {
    return characters == static_cast<const __CFString &>(other).characters;
}

// FNV-1a over the UTF-16 units, so equal strings hash alike.
CFHashCode __CFString::hash() const {
    CFHashCode value = 14695981039346656037ULL;
    for (const char16_t unit : characters) {
        value = (value ^ (unit & 0xFF)) * 1099511628211ULL;
        value = (value ^ (unit >> 8)) * 1099511628211ULL;
    }
    return value;
}

std::string __CFString::description() const {
    return "<CFString " + cf::address_text(this) + " [" + cf::address_text(kCFAllocatorSystemDefault) +
           "]>{contents = \"" + cf::utf8_from_utf16(characters) + "\"}";
}

namespace cf {

CFStringRef create_string(std::u16string characters) {
    return new __CFString(std::move(characters), false);
}

CFStringRef create_string_from_utf8(std::string_view utf8) {
    return create_string(utf16_from_utf8(utf8));
}

const std::u16string &characters_of(CFStringRef string) {
    static const std::u16string *const empty = new std::u16string;
    const __CFString *object = as<__CFString>(string);
    return object != nullptr ? object->characters : *empty;
}

std::string utf8_of(CFStringRef string) { return utf8_from_utf16(characters_of(string)); }

std::string display_text_of(CFTypeRef object) {
    if (object == nullptr) return "(null)";
    if (const __CFString *string = as<__CFString>(object)) return utf8_from_utf16(string->characters);
    return object_from(object)->description();
}

}  // namespace cf

namespace {

// A new string from bytes in encoding, or NULL when they are invalid in it.
CFStringRef create_from_bytes(std::string_view bytes, CFStringEncoding encoding) {
    auto text = cf::decode_bytes(bytes, encoding);
    return text ? cf::create_string(std::move(*text)) : nullptr;
}

// Whether a caller's character buffer of count units can be read.
bool buffer_is_usable(const void *buffer, CFIndex count) {
    return count >= 0 && (buffer != nullptr || count == 0);
}

}  // namespace

extern "C" {

CFTypeID CFStringGetTypeID(void) { return cf::kTypeString; }

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char *cStr, CFStringEncoding encoding) {
    if (cStr == nullptr) return nullptr;
    return create_from_bytes(std::string_view(cStr), encoding);
}

// The text is copied, so the buffer is handed back to its deallocator at once.
// Partial: any deallocator other than kCFAllocatorNull is taken to be free().
CFStringRef CFStringCreateWithCStringNoCopy(CFAllocatorRef alloc, const char *cStr, CFStringEncoding encoding,
                                            CFAllocatorRef contentsDeallocator) {
    CFStringRef string = CFStringCreateWithCString(alloc, cStr, encoding);
    if (string != nullptr && contentsDeallocator != kCFAllocatorNull) std::free(const_cast<char *>(cStr));
    return string;
}

CFStringRef CFStringCreateWithPascalString(CFAllocatorRef, ConstStr255Param pStr, CFStringEncoding encoding) {
    if (pStr == nullptr) return nullptr;
    return create_from_bytes(std::string_view(reinterpret_cast<const char *>(pStr + 1), pStr[0]), encoding);
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar *chars, CFIndex numChars) {
    if (!buffer_is_usable(chars, numChars)) return nullptr;
    return cf::create_string(std::u16string(reinterpret_cast<const char16_t *>(chars),
                                            static_cast<std::size_t>(numChars)));
}

CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8 *bytes, CFIndex numBytes, CFStringEncoding encoding,
                                    Boolean) {
    if (!buffer_is_usable(bytes, numBytes)) return nullptr;
    return create_from_bytes(
        std::string_view(reinterpret_cast<const char *>(bytes), static_cast<std::size_t>(numBytes)), encoding);
}

// An immutable string never changes, so its copy is the string itself.
CFStringRef CFStringCreateCopy(CFAllocatorRef, CFStringRef theString) {
    const __CFString *string = cf::as<__CFString>(theString);
    if (string == nullptr) return nullptr;
    if (!string->is_mutable) return static_cast<CFStringRef>(CFRetain(theString));
    return cf::create_string(string->characters);
}

CFStringRef CFStringCreateWithSubstring(CFAllocatorRef, CFStringRef str, CFRange range) {
    const __CFString *string = cf::as<__CFString>(str);
    if (string == nullptr || !cf::range_is_valid(range, string->characters.size())) return nullptr;
    return cf::create_string(string->characters.substr(static_cast<std::size_t>(range.location),
                                                       static_cast<std::size_t>(range.length)));
}

// maxLength is only a hint; mutable strings grow as needed.
// Partial: maxLength is not enforced.
CFMutableStringRef CFStringCreateMutable(CFAllocatorRef, CFIndex) { return new __CFString(std::u16string(), true); }

// Partial: maxLength is not enforced.
CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef, CFIndex, CFStringRef theString) {
    const __CFString *string = cf::as<__CFString>(theString);
    if (string == nullptr) return nullptr;
    return new __CFString(string->characters, true);
}

CFIndex CFStringGetLength(CFStringRef theString) {
    return static_cast<CFIndex>(cf::characters_of(theString).size());
}

UniChar CFStringGetCharacterAtIndex(CFStringRef theString, CFIndex idx) {
    const std::u16string &characters = cf::characters_of(theString);
    if (idx < 0 || static_cast<std::size_t>(idx) >= characters.size()) return 0;
    return characters[static_cast<std::size_t>(idx)];
}

void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar *buffer) {
    const std::u16string &characters = cf::characters_of(theString);
    if (buffer == nullptr || !cf::range_is_valid(range, characters.size())) return;
    std::memcpy(buffer, characters.data() + range.location, static_cast<std::size_t>(range.length) * sizeof(UniChar));
}

// Converts the whole string or nothing; the text is NUL-terminated on success.
Boolean CFStringGetCString(CFStringRef theString, char *buffer, CFIndex bufferSize, CFStringEncoding encoding) {
    if (buffer == nullptr || bufferSize <= 0 || cf::as<__CFString>(theString) == nullptr) return false;
    const auto bytes = cf::encode_text(cf::characters_of(theString), encoding);
    if (!bytes || static_cast<CFIndex>(bytes->size()) >= bufferSize) {
        buffer[0] = '\0';
        return false;
    }
    std::memcpy(buffer, bytes->data(), bytes->size());
    buffer[bytes->size()] = '\0';
    return true;
}

// Only immutable all-ASCII strings keep 8-bit text to point into.
const char *CFStringGetCStringPtr(CFStringRef theString, CFStringEncoding encoding) {
    const __CFString *string = cf::as<__CFString>(theString);
    if (string == nullptr || !cf::is_ascii_compatible(encoding)) return nullptr;
    return string->ascii_text();
}

Boolean CFStringGetPascalString(CFStringRef theString, StringPtr buffer, CFIndex bufferSize,
                                CFStringEncoding encoding) {
    if (buffer == nullptr || bufferSize <= 0 || cf::as<__CFString>(theString) == nullptr) return false;
    const auto bytes = cf::encode_text(cf::characters_of(theString), encoding);
    if (!bytes || bytes->size() > 255 || static_cast<CFIndex>(bytes->size()) >= bufferSize) return false;
    buffer[0] = static_cast<unsigned char>(bytes->size());
    // A Pascal string is its length byte and the bytes, with no terminator.
    std::memcpy(buffer + 1, bytes->data(), bytes->size());  // NOLINT(bugprone-not-null-terminated-result)
    return true;
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding) {
    const CFIndex per_unit = cf::maximum_bytes_per_unit(encoding);
    if (per_unit == 0 || length < 0 || length > std::numeric_limits<CFIndex>::max() / per_unit) return kCFNotFound;
    return length * per_unit;
}

// A loss byte of 0 makes unrepresentable characters fail the conversion.
// UTF-16 without an explicit byte order starts with a byte order mark.
CFDataRef CFStringCreateExternalRepresentation(CFAllocatorRef alloc, CFStringRef theString,
                                               CFStringEncoding encoding, UInt8 lossByte) {
    if (cf::as<__CFString>(theString) == nullptr) return nullptr;
    cf::EncodeOptions options;
    if (lossByte != 0) options.loss_byte = static_cast<char>(lossByte);
    options.byte_order_mark = encoding == kCFStringEncodingUTF16;
    const auto bytes = cf::encode_text(cf::characters_of(theString), encoding, options);
    if (!bytes) return nullptr;
    return CFDataCreate(alloc, reinterpret_cast<const UInt8 *>(bytes->data()), static_cast<CFIndex>(bytes->size()));
}

}  // extern "C"
