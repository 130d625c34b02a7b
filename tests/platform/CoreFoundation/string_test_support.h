// Helpers shared by the CFString tests: owning holders, UTF-8 text of a string
// and a fixture that checks no CF object outlives its test.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <platform/test_support.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>

namespace string_test {

struct Releaser {
    void operator()(CFTypeRef object) const { CFRelease(object); }
};

// Owns one reference of a Create/Copy result.
template <typename Ref>
using Owned = std::unique_ptr<std::remove_pointer_t<Ref>, Releaser>;

inline Owned<CFStringRef> owned(CFStringRef string) { return Owned<CFStringRef>(string); }
inline Owned<CFMutableStringRef> owned(CFMutableStringRef string) { return Owned<CFMutableStringRef>(string); }

// The string's text as UTF-8; "<none>" when it cannot be had.
inline std::string utf8(CFStringRef string) {
    if (string == nullptr) return "<none>";
    const CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1;
    std::string buffer(static_cast<std::size_t>(size), '\0');
    if (!CFStringGetCString(string, buffer.data(), size, kCFStringEncodingUTF8)) return "<none>";
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

template <typename Holder>
std::string utf8(const Holder &holder) {
    return utf8(static_cast<CFStringRef>(holder.get()));
}

inline std::u16string characters(CFStringRef string) {
    std::u16string text(static_cast<std::size_t>(CFStringGetLength(string)), u'\0');
    CFStringGetCharacters(string, CFRangeMake(0, CFStringGetLength(string)), reinterpret_cast<UniChar *>(text.data()));
    return text;
}

// Fails the test when CF objects made during it are still alive at its end.
class LeakChecked : public testing::Test {
protected:
    void SetUp() override { live_at_start_ = PlatformLiveCFObjectCount(); }
    void TearDown() override { EXPECT_EQ(PlatformLiveCFObjectCount(), live_at_start_) << "CF objects leaked"; }

private:
    long live_at_start_ = 0;
};

}  // namespace string_test
