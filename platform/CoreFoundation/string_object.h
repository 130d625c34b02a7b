// The CFString object shared by the string sources: UTF-16 characters and
// whether the string was created mutable.
#pragma once

#include "object.h"

#include <CoreFoundation/CFString.h>

#include <string>

struct __CFString final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeString;

    __CFString(std::u16string text, bool mutable_string);

    bool equals(const cf::Object &other) const override;
    CFHashCode hash() const override;
    std::string description() const override;

    // The characters as 8-bit text when every one is ASCII and the string can
    // never change; nullptr otherwise (backs CFStringGetCStringPtr).
    const char *ascii_text() const { return has_ascii_text_ ? ascii_text_.c_str() : nullptr; }

    std::u16string characters;
    const bool is_mutable;

private:
    std::string ascii_text_;
    bool has_ascii_text_ = false;
};

namespace cf {

// The string behind ref when it is a CFString that may be changed, else nullptr.
inline __CFString *as_mutable_string(CFTypeRef ref) {
    __CFString *string = as<__CFString>(ref);
    return string != nullptr && string->is_mutable ? string : nullptr;
}

// Whether range lies inside a text of length characters.
inline bool range_is_valid(CFRange range, std::size_t length) {
    return range.location >= 0 && range.length >= 0 &&
           static_cast<std::size_t>(range.location) <= length &&
           static_cast<std::size_t>(range.length) <= length - static_cast<std::size_t>(range.location);
}

}  // namespace cf
