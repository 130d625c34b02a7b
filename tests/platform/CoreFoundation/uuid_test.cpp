// CFUUID text parsing (strict canonical form), text and byte round trips,
// interned constants and random UUIDs.
#include "collections_test_support.h"

#include <cstring>

namespace {

using namespace collections_test;

class CFUUIDTest : public LiveObjectTest {};

cf::Ref<CFUUIDRef> parse(const char *text) {
    return cf::adopt(CFUUIDCreateFromString(nullptr, cf::string(text).get()));
}

TEST_F(CFUUIDTest, ParsesCanonicalTextInEitherCase) {
    auto upper = parse("68753A44-4D6F-1226-9C60-0050E4C00067");
    auto lower = parse("68753a44-4d6f-1226-9c60-0050e4c00067");
    auto mixed = parse("68753a44-4D6f-1226-9C60-0050e4C00067");
    ASSERT_NE(upper.get(), nullptr);
    ASSERT_NE(lower.get(), nullptr);
    ASSERT_NE(mixed.get(), nullptr);
    EXPECT_TRUE(CFEqual(upper.get(), lower.get()));
    EXPECT_TRUE(CFEqual(upper.get(), mixed.get()));
    EXPECT_EQ(CFHash(upper.get()), CFHash(lower.get()));
    EXPECT_EQ("68753A44-4D6F-1226-9C60-0050E4C00067", cf::adopt_utf8(CFUUIDCreateString(nullptr, lower.get())));

    const CFUUIDBytes bytes = CFUUIDGetUUIDBytes(upper.get());
    EXPECT_EQ(0x68, bytes.byte0);
    EXPECT_EQ(0x44, bytes.byte3);
    EXPECT_EQ(0x4D, bytes.byte4);
    EXPECT_EQ(0x9C, bytes.byte8);
    EXPECT_EQ(0x67, bytes.byte15);
    EXPECT_FALSE(CFEqual(upper.get(), parse("68753A44-4D6F-1226-9C60-0050E4C00068").get()));
}

// This layer's choice: the system's parser is lenient (braces, short text); here only canonical text parses.
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
    for (const char *text : bad) EXPECT_EQ(nullptr, parse(text).get()) << "accepted \"" << text << "\"";
    EXPECT_EQ(nullptr, CFUUIDCreateFromString(nullptr, nullptr));
    auto number = make_number(1);
    EXPECT_EQ(nullptr, CFUUIDCreateFromString(nullptr, reinterpret_cast<CFStringRef>(number.get())));
}

TEST_F(CFUUIDTest, BytesRoundTrip) {
    auto made = cf::adopt(CFUUIDCreateWithBytes(nullptr, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99,
                                                0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF));
    EXPECT_EQ("00112233-4455-6677-8899-AABBCCDDEEFF", cf::adopt_utf8(CFUUIDCreateString(nullptr, made.get())));
    const CFUUIDBytes bytes = CFUUIDGetUUIDBytes(made.get());
    const UInt8 expected[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(0, std::memcmp(&bytes, expected, sizeof expected));

    auto again = cf::adopt(CFUUIDCreateFromUUIDBytes(nullptr, bytes));
    EXPECT_TRUE(CFEqual(made.get(), again.get()));
    EXPECT_TRUE(CFEqual(made.get(), parse("00112233-4455-6677-8899-aabbccddeeff").get()));

    const CFUUIDBytes none = CFUUIDGetUUIDBytes(nullptr);
    EXPECT_EQ(0, none.byte0 | none.byte7 | none.byte15);
    EXPECT_EQ(nullptr, CFUUIDCreateString(nullptr, nullptr));
}

TEST_F(CFUUIDTest, ConstantsAreInternedAndImmortal) {
    const long live_before = PlatformLiveCFObjectCount();
    CFUUIDRef unknown = CFUUIDGetConstantUUIDWithBytes(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
    CFUUIDRef same = CFUUIDGetConstantUUIDWithBytes(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
    EXPECT_EQ(unknown, same);
    EXPECT_EQ(PlatformLiveCFObjectCount(), live_before);
    CFRelease(unknown);
    CFRelease(unknown);
    EXPECT_EQ("00000000-0000-0000-C000-000000000046", cf::adopt_utf8(CFUUIDCreateString(nullptr, unknown)));

    CFUUIDRef other = CFUUIDGetConstantUUIDWithBytes(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x47);
    EXPECT_NE(unknown, other);

    // Anything made later for the same bytes is equal to the constant.
    auto parsed = parse("00000000-0000-0000-C000-000000000046");
    EXPECT_TRUE(CFEqual(parsed.get(), unknown));
    EXPECT_EQ(CFHash(parsed.get()), CFHash(unknown));
}

TEST_F(CFUUIDTest, CreateMakesDistinctVersionFourUUIDs) {
    auto first = cf::adopt(CFUUIDCreate(nullptr));
    auto second = cf::adopt(CFUUIDCreate(nullptr));
    ASSERT_NE(first.get(), nullptr);
    EXPECT_FALSE(CFEqual(first.get(), second.get()));
    const CFUUIDBytes bytes = CFUUIDGetUUIDBytes(first.get());
    EXPECT_EQ(4, bytes.byte6 >> 4);
    EXPECT_EQ(2, bytes.byte8 >> 6);
    const std::string text = cf::adopt_utf8(CFUUIDCreateString(nullptr, first.get()));
    EXPECT_TRUE(CFEqual(parse(text.c_str()).get(), first.get())) << text;
    EXPECT_EQ(CFGetTypeID(first.get()), CFUUIDGetTypeID());
}

}  // namespace
