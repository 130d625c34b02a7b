// Shared pieces of the property list readers: the value factory that honours
// the mutability option, the parse error, and the two format readers.
#pragma once

#include <platform/cf_ref.h>

#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFPropertyList.h>

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace cf::plist {

using Value = Ref<CFTypeRef>;

// Deeper nesting than this is refused rather than risking the stack.
inline constexpr int kMaxNestingDepth = 512;

// A malformed document; the message already names the line.
class ParseError : public std::runtime_error {
public:
    ParseError(const std::string &what, long line)
        : std::runtime_error(what + " on line " + std::to_string(line)) {}
};

// Makes the parsed objects, mutable or not as the caller's option asks.
class ValueFactory {
public:
    explicit ValueFactory(CFOptionFlags options);

    // A string value (mutable when leaves are mutable).
    Value string(std::u16string_view characters) const;
    Value string_from_utf8(std::string_view utf8) const;
    // A dictionary key: always an immutable string.
    Value key(std::u16string_view characters) const;
    Value key_from_utf8(std::string_view utf8) const;
    Value data(std::span<const UInt8> bytes) const;

    // Containers are filled mutable, then frozen by finish() unless mutable containers were asked for.
    Ref<CFMutableDictionaryRef> new_dictionary() const;
    Ref<CFMutableArrayRef> new_array() const;
    Value finish(Ref<CFMutableDictionaryRef> dictionary) const;
    Value finish(Ref<CFMutableArrayRef> array) const;

private:
    bool mutable_containers_;
    bool mutable_leaves_;
};

// Readers: both return the root object or throw ParseError (or std::bad_alloc).
Value parse_xml(std::span<const UInt8> bytes, const ValueFactory &factory);
Value parse_text(std::u16string_view text, const ValueFactory &factory);

// The characters of an old-style text file: UTF-16 by byte-order mark (or NUL
// bytes), else UTF-8 (optional mark), else MacRoman.
std::u16string decode_text(std::span<const UInt8> bytes);

}  // namespace cf::plist
