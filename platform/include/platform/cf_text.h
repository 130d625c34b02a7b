// UTF-8 text to and from CFStrings for the C++ code of the host and the tests, on the RAII holder
// of cf_ref.h.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_ref.h>

#include <string>
#include <vector>

namespace cf {

// A new string with the UTF-8 text (up to its first NUL); the holder is empty when the bytes are
// no UTF-8.
inline Ref<CFStringRef> string(const std::string &utf8) {
    return adopt(CFStringCreateWithCString(kCFAllocatorDefault, utf8.c_str(), kCFStringEncodingUTF8));
}

// The UTF-8 text of a string; "" for NULL or a string that has no UTF-8 form (a lone surrogate).
inline std::string utf8(CFStringRef string) {
    if (string == nullptr) return {};
    std::vector<char> buffer(static_cast<size_t>(
        CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1));
    if (!CFStringGetCString(string, buffer.data(), static_cast<CFIndex>(buffer.size()), kCFStringEncodingUTF8))
        return {};
    return buffer.data();
}

// The text of a string the caller owns (a Create/Copy result), which is released here.
inline std::string adopt_utf8(CFStringRef string) { return utf8(adopt(string).get()); }

}  // namespace cf
