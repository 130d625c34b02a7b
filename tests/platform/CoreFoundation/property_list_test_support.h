// Helpers shared by the property list and .strings tests: owning references,
// parsing a byte string, and reading back strings and error text.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_text.h>
#include <platform/test_support.h>

#include "live_objects.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace plist_test {

struct Parsed {
    cf::Ref<CFPropertyListRef> value;
    cf::Ref<CFErrorRef> error;
    CFPropertyListFormat format = 0;
};

inline Parsed parse(std::string_view bytes, CFOptionFlags options = kCFPropertyListImmutable) {
    auto data = cf::adopt(CFDataCreate(nullptr, reinterpret_cast<const UInt8 *>(bytes.data()), static_cast<CFIndex>(bytes.size())));
    Parsed parsed;
    CFErrorRef error = nullptr;
    parsed.value = cf::adopt(CFPropertyListCreateWithData(nullptr, data.get(), options, &parsed.format, &error));
    parsed.error = cf::adopt(error);
    return parsed;
}

inline std::u16string utf16(CFTypeRef string) {
    if (!string || CFGetTypeID(string) != CFStringGetTypeID()) return u"<not a string>";
    auto text = static_cast<CFStringRef>(string);
    std::u16string characters(static_cast<size_t>(CFStringGetLength(text)), u'\0');
    CFStringGetCharacters(text, CFRangeMake(0, CFStringGetLength(text)), reinterpret_cast<UniChar *>(characters.data()));
    return characters;
}

// The UTF-8 text of a value that should be a string; "<not a string>" for anything else.
inline std::string utf8(CFTypeRef string) {
    if (!string || CFGetTypeID(string) != CFStringGetTypeID()) return "<not a string>";
    return cf::utf8(static_cast<CFStringRef>(string));
}

inline CFTypeRef lookup(CFTypeRef dictionary, const char *key) {
    if (!dictionary || CFGetTypeID(dictionary) != CFDictionaryGetTypeID()) return nullptr;
    return CFDictionaryGetValue(static_cast<CFDictionaryRef>(dictionary), cf::string(key).get());
}

// The error's kCFErrorDescriptionKey text, after checking domain and code.
inline std::string error_text(const Parsed &parsed) {
    CFErrorRef error = parsed.error.get();
    if (!error) return "<no error>";
    EXPECT_TRUE(CFEqual(CFErrorGetDomain(error), kCFErrorDomainCocoa));
    EXPECT_EQ(kCFPropertyListReadCorruptError, CFErrorGetCode(error));
    auto user_info = cf::adopt(CFErrorCopyUserInfo(error));
    return utf8(CFDictionaryGetValue(user_info.get(), kCFErrorDescriptionKey));
}

inline std::string utf16le_with_mark(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

inline std::string utf16be(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) bytes += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
    return bytes;
}

// Every case must give back every CF object it made, error paths included.
class LeakCheckedTest : public test_support::LeakCheckedTest {
protected:
    // Each prefix must parse or fail cleanly, with the line named on failure and nothing leaked.
    void expect_every_prefix_handled(const std::string &document) {
        for (size_t length = 0; length <= document.size(); ++length) {
            const long live_before = PlatformLiveCFObjectCount();
            {
                Parsed parsed = parse(std::string_view(document).substr(0, length));
                if (!parsed.value) {
                    EXPECT_NE(error_text(parsed).find(" line "), std::string::npos) << "prefix " << length;
                }
            }
            ASSERT_EQ(PlatformLiveCFObjectCount(), live_before) << "prefix " << length;
        }
    }
};

}  // namespace plist_test
