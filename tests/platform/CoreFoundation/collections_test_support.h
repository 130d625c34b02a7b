// What the number, collection, UUID and URL tests share: a fixture that checks
// every CF object made in a test is gone at its end, an owning holder, and
// string helpers.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <platform/test_support.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace collections_test {

class LiveObjectTest : public ::testing::Test {
protected:
    void SetUp() override { live_at_start_ = PlatformLiveCFObjectCount(); }
    void TearDown() override { EXPECT_EQ(PlatformLiveCFObjectCount(), live_at_start_) << "CF objects leaked"; }

private:
    long live_at_start_ = 0;
};

// Releases a Create/Copy result when the test scope ends.
template <typename T>
class Owned {
public:
    explicit Owned(T ref = nullptr) : ref_(ref) {}
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
    Owned(Owned &&other) noexcept : ref_(std::exchange(other.ref_, nullptr)) {}
    ~Owned() {
        if (ref_) CFRelease(ref_);
    }
    T get() const { return ref_; }
    operator T() const { return ref_; }

private:
    T ref_;
};

inline Owned<CFStringRef> make_string(const char *utf8) {
    return Owned<CFStringRef>(CFStringCreateWithCString(nullptr, utf8, kCFStringEncodingUTF8));
}

// The UTF-8 text of a string; "<null>" for NULL so failures read clearly.
inline std::string text_of(CFStringRef string) {
    if (string == nullptr) return "<null>";
    char buffer[1024];
    if (!CFStringGetCString(string, buffer, sizeof buffer, kCFStringEncodingUTF8)) return "<unconvertible>";
    return buffer;
}

// Takes over a string result and gives its text.
inline std::string take_text(CFStringRef string) {
    Owned<CFStringRef> owned(string);
    return text_of(owned);
}

inline Owned<CFNumberRef> make_number(SInt64 value) {
    return Owned<CFNumberRef>(CFNumberCreate(nullptr, kCFNumberSInt64Type, &value));
}

}  // namespace collections_test
