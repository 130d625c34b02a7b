// Helpers shared by the property list and .strings tests: owning references,
// parsing a byte string, and reading back strings and error text.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <platform/test_support.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plist_test {

struct Releaser {
    void operator()(const void *ref) const { if (ref) CFRelease(ref); }
};
using Owned = std::unique_ptr<const void, Releaser>;

struct Parsed {
    Owned value;
    Owned error;
    CFPropertyListFormat format = 0;
};

inline Parsed parse(std::string_view bytes, CFOptionFlags options = kCFPropertyListImmutable) {
    Owned data(CFDataCreate(nullptr, reinterpret_cast<const UInt8 *>(bytes.data()), static_cast<CFIndex>(bytes.size())));
    Parsed parsed;
    CFErrorRef error = nullptr;
    parsed.value.reset(CFPropertyListCreateWithData(nullptr, static_cast<CFDataRef>(data.get()), options,
                                                    &parsed.format, &error));
    parsed.error.reset(error);
    return parsed;
}

inline std::u16string utf16(CFTypeRef string) {
    if (!string || CFGetTypeID(string) != CFStringGetTypeID()) return u"<not a string>";
    auto text = static_cast<CFStringRef>(string);
    std::u16string characters(static_cast<size_t>(CFStringGetLength(text)), u'\0');
    CFStringGetCharacters(text, CFRangeMake(0, CFStringGetLength(text)), reinterpret_cast<UniChar *>(characters.data()));
    return characters;
}

inline std::string utf8(CFTypeRef string) {
    if (!string || CFGetTypeID(string) != CFStringGetTypeID()) return "<not a string>";
    auto text = static_cast<CFStringRef>(string);
    std::vector<char> buffer(static_cast<size_t>(CFStringGetMaximumSizeForEncoding(CFStringGetLength(text), kCFStringEncodingUTF8)) + 1);
    CFStringGetCString(text, buffer.data(), static_cast<CFIndex>(buffer.size()), kCFStringEncodingUTF8);
    return buffer.data();
}

inline CFTypeRef lookup(CFTypeRef dictionary, const char *key) {
    if (!dictionary || CFGetTypeID(dictionary) != CFDictionaryGetTypeID()) return nullptr;
    Owned name(CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8));
    return CFDictionaryGetValue(static_cast<CFDictionaryRef>(dictionary), name.get());
}

// The error's kCFErrorDescriptionKey text, after checking domain and code.
inline std::string error_text(const Parsed &parsed) {
    auto error = static_cast<CFErrorRef>(const_cast<void *>(parsed.error.get()));
    if (!error) return "<no error>";
    EXPECT_TRUE(CFEqual(CFErrorGetDomain(error), kCFErrorDomainCocoa));
    EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListReadCorruptError);
    Owned user_info(CFErrorCopyUserInfo(error));
    return utf8(CFDictionaryGetValue(static_cast<CFDictionaryRef>(user_info.get()), kCFErrorDescriptionKey));
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
class LeakCheckedTest : public ::testing::Test {
protected:
    void SetUp() override { live_at_start_ = PlatformLiveCFObjectCount(); }
    void TearDown() override { EXPECT_EQ(PlatformLiveCFObjectCount(), live_at_start_) << "CF objects leaked"; }

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

private:
    long live_at_start_ = 0;
};

}  // namespace plist_test
