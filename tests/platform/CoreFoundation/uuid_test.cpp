// CFUUID text parsing (strict canonical form), text and byte round trips,
// interned constants and random UUIDs.
#include "collections_test_support.h"

#include <cstring>

namespace {

using namespace collections_test;

class CFUUIDTest : public LiveObjectTest {};

Owned<CFUUIDRef> parse(const char *text) {
    auto string = make_string(text);
    return Owned<CFUUIDRef>(CFUUIDCreateFromString(nullptr, string));
}

TEST_F(CFUUIDTest, ParsesCanonicalTextInEitherCase) {
    auto upper = parse("68753A44-4D6F-1226-9C60-0050E4C00067");
    auto lower = parse("68753a44-4d6f-1226-9c60-0050e4c00067");
    auto mixed = parse("68753a44-4D6f-1226-9C60-0050e4C00067");
    ASSERT_NE(upper.get(), nullptr);
    ASSERT_NE(lower.get(), nullptr);
    ASSERT_NE(mixed.get(), nullptr);
    EXPECT_TRUE(CFEqual(upper, lower));
    EXPECT_TRUE(CFEqual(upper, mixed));
    EXPECT_EQ(CFHash(upper), CFHash(lower));
    EXPECT_EQ(take_text(CFUUIDCreateString(nullptr, lower)), "68753A44-4D6F-1226-9C60-0050E4C00067");

    const CFUUIDBytes bytes = CFUUIDGetUUIDBytes(upper);
    EXPECT_EQ(bytes.byte0, 0x68);
    EXPECT_EQ(bytes.byte3, 0x44);
    EXPECT_EQ(bytes.byte4, 0x4D);
    EXPECT_EQ(bytes.byte8, 0x9C);
    EXPECT_EQ(bytes.byte15, 0x67);
    EXPECT_FALSE(CFEqual(upper, parse("68753A44-4D6F-1226-9C60-0050E4C00068")));
}

TEST_F(CFUUIDTest, RefusesEveryOtherText) {
    const char *const bad[] = {
        "",
        "{68753A44-4D6F-1226-9C60-0050E4C00067}",  // braces
        "68753A44-4D6F-1226-9C60-0050E4C0006",     // one digit short
        "68753A44-4D6F-1226-9C60-0050E4C000677",   // one digit long
        "68753A444D6F12269C600050E4C00067",        // no separators
        "68753A44-4D6F-1226-9C600-050E4C00067",    // separator moved
        "68753A44_4D6F_1226_9C60_0050E4C00067",    // wrong separators
        "68753A44-4D6F-1226-9C60-0050E4C0006G",    // not hexadecimal
        "68753A44-4D6F-1226-9C60-0050E4C0006 ",    // trailing space
        " 8753A44-4D6F-1226-9C60-0050E4C00067",    // leading space
        "68753A4--4D6F-1226-9C60-0050E4C00067",    // separator where a digit belongs
        "0x753A44-4D6F-1226-9C60-0050E4C00067",    // prefix
    };
    for (const char *text : bad) EXPECT_EQ(parse(text).get(), nullptr) << "accepted \"" << text << "\"";
    EXPECT_EQ(CFUUIDCreateFromString(nullptr, nullptr), nullptr);
    auto number = make_number(1);
    EXPECT_EQ(CFUUIDCreateFromString(nullptr, reinterpret_cast<CFStringRef>(number.get())), nullptr);
}

TEST_F(CFUUIDTest, BytesRoundTrip) {
    Owned<CFUUIDRef> made(CFUUIDCreateWithBytes(nullptr, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99,
                                                0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF));
    EXPECT_EQ(take_text(CFUUIDCreateString(nullptr, made)), "00112233-4455-6677-8899-AABBCCDDEEFF");
    const CFUUIDBytes bytes = CFUUIDGetUUIDBytes(made);
    const UInt8 expected[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(std::memcmp(&bytes, expected, sizeof expected), 0);

    Owned<CFUUIDRef> again(CFUUIDCreateFromUUIDBytes(nullptr, bytes));
    EXPECT_TRUE(CFEqual(made, again));
    EXPECT_TRUE(CFEqual(made, parse("00112233-4455-6677-8899-aabbccddeeff")));

    const CFUUIDBytes none = CFUUIDGetUUIDBytes(nullptr);
    EXPECT_EQ(none.byte0 | none.byte7 | none.byte15, 0);
    EXPECT_EQ(CFUUIDCreateString(nullptr, nullptr), nullptr);
}

TEST_F(CFUUIDTest, ConstantsAreInternedAndImmortal) {
    const long live_before = PlatformLiveCFObjectCount();
    CFUUIDRef unknown = CFUUIDGetConstantUUIDWithBytes(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
    CFUUIDRef same = CFUUIDGetConstantUUIDWithBytes(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
    EXPECT_EQ(unknown, same);
    EXPECT_EQ(PlatformLiveCFObjectCount(), live_before);
    CFRelease(unknown);
    CFRelease(unknown);
    EXPECT_EQ(take_text(CFUUIDCreateString(nullptr, unknown)), "00000000-0000-0000-C000-000000000046");

    CFUUIDRef other = CFUUIDGetConstantUUIDWithBytes(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x47);
    EXPECT_NE(unknown, other);

    // Anything made later for the same bytes is equal to the constant.
    auto parsed = parse("00000000-0000-0000-C000-000000000046");
    EXPECT_TRUE(CFEqual(parsed, unknown));
    EXPECT_EQ(CFHash(parsed), CFHash(unknown));
}

TEST_F(CFUUIDTest, CreateMakesDistinctVersionFourUUIDs) {
    Owned<CFUUIDRef> first(CFUUIDCreate(nullptr));
    Owned<CFUUIDRef> second(CFUUIDCreate(nullptr));
    ASSERT_NE(first.get(), nullptr);
    EXPECT_FALSE(CFEqual(first, second));
    const CFUUIDBytes bytes = CFUUIDGetUUIDBytes(first);
    EXPECT_EQ(bytes.byte6 >> 4, 4);
    EXPECT_EQ(bytes.byte8 >> 6, 2);
    const std::string text = take_text(CFUUIDCreateString(nullptr, first));
    EXPECT_TRUE(CFEqual(parse(text.c_str()), first)) << text;
    EXPECT_EQ(CFGetTypeID(first.get()), CFUUIDGetTypeID());
}

}  // namespace
