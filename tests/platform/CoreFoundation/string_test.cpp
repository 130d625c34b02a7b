// CFString and CFMutableString: lifetime, constants, encodings, editing,
// comparison, number scanning and CFShow.
#include "string_test_support.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace string_test;

class StringLifetime : public LeakChecked {};
class StringEncoding : public LeakChecked {};
class StringEditing : public LeakChecked {};
class StringComparison : public LeakChecked {};
class StringScanning : public LeakChecked {};
class StringShow : public LeakChecked {};

TEST_F(StringLifetime, LastReleaseFreesTheString) {
    const long start = PlatformLiveCFObjectCount();
    CFStringRef string = CFStringCreateWithCString(nullptr, "abc", kCFStringEncodingUTF8);
    ASSERT_NE(string, nullptr);
    EXPECT_EQ(PlatformLiveCFObjectCount(), start + 1);
    EXPECT_EQ(CFGetRetainCount(string), 1);
    CFRetain(string);
    EXPECT_EQ(CFGetRetainCount(string), 2);
    CFRelease(string);
    EXPECT_EQ(PlatformLiveCFObjectCount(), start + 1);
    CFRelease(string);
    EXPECT_EQ(PlatformLiveCFObjectCount(), start);
}

TEST_F(StringLifetime, CopiesOfImmutableStringsShareTheObjectAndMutableOnesDoNot) {
    auto original = owned(CFStringCreateWithCString(nullptr, "text", kCFStringEncodingUTF8));
    auto copy = owned(CFStringCreateCopy(nullptr, original.get()));
    EXPECT_EQ(copy.get(), original.get());
    EXPECT_EQ(CFGetRetainCount(original.get()), 2);

    auto mutable_copy = owned(CFStringCreateMutableCopy(nullptr, 0, original.get()));
    auto copy_of_mutable = owned(CFStringCreateCopy(nullptr, mutable_copy.get()));
    EXPECT_NE(copy_of_mutable.get(), static_cast<CFStringRef>(mutable_copy.get()));
    CFStringAppend(mutable_copy.get(), CFSTR("!"));
    EXPECT_EQ(utf8(copy_of_mutable), "text");
    EXPECT_EQ(utf8(mutable_copy), "text!");
}

TEST_F(StringLifetime, ConstantsAreInternedAndNeverFreed) {
    const long start = PlatformLiveCFObjectCount();
    CFStringRef constant = CFSTR("StringLifetime constant");
    EXPECT_EQ(PlatformLiveCFObjectCount(), start);
    EXPECT_EQ(CFSTR("StringLifetime constant"), constant);
    EXPECT_NE(CFSTR("StringLifetime other constant"), constant);
    for (int i = 0; i < 100; ++i) CFRelease(constant);
    CFRetain(constant);
    EXPECT_EQ(utf8(constant), "StringLifetime constant");
    EXPECT_EQ(CFGetTypeID(constant), CFStringGetTypeID());
    EXPECT_EQ(CFStringCreateCopy(nullptr, constant), constant);
    EXPECT_EQ(PlatformLiveCFObjectCount(), start);
}

TEST_F(StringLifetime, ConstantsAreUtf8Literals) {
    EXPECT_EQ(characters(CFSTR("caf\xC3\xA9")), u"caf\u00E9");
}

TEST_F(StringLifetime, EqualityAndHashFollowTheCharacters) {
    auto immutable = owned(CFStringCreateWithCString(nullptr, "same", kCFStringEncodingASCII));
    auto mutable_string = owned(CFStringCreateMutable(nullptr, 0));
    CFStringAppend(mutable_string.get(), CFSTR("sam"));
    EXPECT_FALSE(CFEqual(immutable.get(), mutable_string.get()));
    CFStringAppend(mutable_string.get(), CFSTR("e"));
    EXPECT_TRUE(CFEqual(immutable.get(), mutable_string.get()));
    EXPECT_TRUE(CFEqual(CFSTR("same"), immutable.get()));
    EXPECT_EQ(CFHash(immutable.get()), CFHash(mutable_string.get()));
    EXPECT_NE(CFHash(CFSTR("ab")), CFHash(CFSTR("ba")));
    EXPECT_FALSE(CFEqual(CFSTR("Same"), immutable.get()));
}

TEST_F(StringLifetime, DescriptionQuotesTheContents) {
    auto description = owned(CFCopyDescription(CFSTR("abc")));
    const std::string text = utf8(description);
    EXPECT_EQ(text.rfind("<CFString 0x", 0), 0u) << text;
    EXPECT_NE(text.find("{contents = \"abc\"}"), std::string::npos) << text;
}

TEST_F(StringEncoding, Utf8TextDecodesAndInvalidUtf8GivesNull) {
    auto accented = owned(CFStringCreateWithCString(nullptr, "d\xC3\xA9j\xC3\xA0", kCFStringEncodingUTF8));
    EXPECT_EQ(characters(accented.get()), u"d\u00E9j\u00E0");
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "bad \xC3\x28", kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "overlong \xC0\xAF", kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "surrogate \xED\xA0\x80", kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "cut \xE2\x82", kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, nullptr, kCFStringEncodingUTF8), nullptr);
}

TEST_F(StringEncoding, AsciiRejectsHighBytesAndEightBitEncodingsMapThem) {
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "caf\xE9", kCFStringEncodingASCII), nullptr);
    auto roman = owned(CFStringCreateWithCString(nullptr, "\x8E\xDB\xA5", kCFStringEncodingMacRoman));
    EXPECT_EQ(characters(roman.get()), u"\u00E9\u20AC\u2022");
    auto latin1 = owned(CFStringCreateWithCString(nullptr, "\xE9\xFF", kCFStringEncodingISOLatin1));
    EXPECT_EQ(characters(latin1.get()), u"\u00E9\u00FF");
    auto windows = owned(CFStringCreateWithCString(nullptr, "\x80\x93", kCFStringEncodingWindowsLatin1));
    EXPECT_EQ(characters(windows.get()), u"\u20AC\u201C");
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "\x81", kCFStringEncodingWindowsLatin1), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "abc", 0x7777), nullptr);
}

TEST_F(StringEncoding, NonBmpCharactersTakeTwoUtf16Units) {
    auto emoji = owned(CFStringCreateWithCString(nullptr, "a\xF0\x9F\x98\x80z", kCFStringEncodingUTF8));
    ASSERT_NE(emoji, nullptr);
    EXPECT_EQ(CFStringGetLength(emoji.get()), 4);
    EXPECT_EQ(CFStringGetCharacterAtIndex(emoji.get(), 1), 0xD83D);
    EXPECT_EQ(CFStringGetCharacterAtIndex(emoji.get(), 2), 0xDE00);
    EXPECT_EQ(utf8(emoji), "a\xF0\x9F\x98\x80z");
    EXPECT_EQ(CFStringGetCharacterAtIndex(emoji.get(), 4), 0);
}

TEST_F(StringEncoding, PascalStringsReadTheLengthByte) {
    const unsigned char hello[] = "\x05Hello, world";
    auto string = owned(CFStringCreateWithPascalString(nullptr, hello, kCFStringEncodingMacRoman));
    EXPECT_EQ(utf8(string), "Hello");
    const unsigned char roman[] = "\x03\xA5\xAA\x8E";
    auto bullet = owned(CFStringCreateWithPascalString(nullptr, roman, kCFStringEncodingMacRoman));
    EXPECT_EQ(characters(bullet.get()), u"\u2022\u2122\u00E9");
    const unsigned char empty[] = "\x00";
    auto nothing = owned(CFStringCreateWithPascalString(nullptr, empty, kCFStringEncodingMacRoman));
    ASSERT_NE(nothing, nullptr);
    EXPECT_EQ(CFStringGetLength(nothing.get()), 0);
    const unsigned char bad_utf8[] = "\x02\xC3\x28";
    EXPECT_EQ(CFStringCreateWithPascalString(nullptr, bad_utf8, kCFStringEncodingUTF8), nullptr);
}

TEST_F(StringEncoding, GetPascalStringWritesLengthThenBytes) {
    Str255 buffer;
    ASSERT_TRUE(CFStringGetPascalString(CFSTR("caf\xC3\xA9"), buffer, sizeof buffer, kCFStringEncodingMacRoman));
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(std::memcmp(buffer + 1, "caf\x8E", 4), 0);
    unsigned char small[4];
    EXPECT_FALSE(CFStringGetPascalString(CFSTR("four"), small, sizeof small, kCFStringEncodingMacRoman));
    EXPECT_FALSE(CFStringGetPascalString(CFSTR("\xE2\x88\x9A\xE2\x82\xAC\xE2\x9C\x93"), buffer, sizeof buffer,
                                         kCFStringEncodingMacRoman));  // check mark has no Mac OS Roman byte
    const std::string long_text(256, 'x');
    auto too_long = owned(CFStringCreateWithCString(nullptr, long_text.c_str(), kCFStringEncodingASCII));
    std::vector<unsigned char> large(1024);
    EXPECT_FALSE(CFStringGetPascalString(too_long.get(), large.data(), 1024, kCFStringEncodingASCII));
}

TEST_F(StringEncoding, GetCStringNeedsRoomForTheTerminator) {
    char buffer[8];
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_FALSE(CFStringGetCString(CFSTR("abc"), buffer, 3, kCFStringEncodingUTF8));
    ASSERT_TRUE(CFStringGetCString(CFSTR("abc"), buffer, 4, kCFStringEncodingUTF8));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_FALSE(CFStringGetCString(CFSTR("caf\xC3\xA9"), buffer, sizeof buffer, kCFStringEncodingASCII));
    ASSERT_TRUE(CFStringGetCString(CFSTR("caf\xC3\xA9"), buffer, sizeof buffer, kCFStringEncodingMacRoman));
    EXPECT_STREQ(buffer, "caf\x8E");
    ASSERT_TRUE(CFStringGetCString(CFSTR("caf\xC3\xA9"), buffer, sizeof buffer, kCFStringEncodingISOLatin1));
    EXPECT_STREQ(buffer, "caf\xE9");
}

TEST_F(StringEncoding, CStringPtrOnlyForImmutableAsciiText) {
    const char *text = CFStringGetCStringPtr(CFSTR("plain"), kCFStringEncodingUTF8);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "plain");
    EXPECT_STREQ(CFStringGetCStringPtr(CFSTR("plain"), kCFStringEncodingMacRoman), "plain");
    EXPECT_EQ(CFStringGetCStringPtr(CFSTR("caf\xC3\xA9"), kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringGetCStringPtr(CFSTR("plain"), kCFStringEncodingUTF16), nullptr);
    auto mutable_string = owned(CFStringCreateMutableCopy(nullptr, 0, CFSTR("plain")));
    EXPECT_EQ(CFStringGetCStringPtr(mutable_string.get(), kCFStringEncodingUTF8), nullptr);
}

TEST_F(StringEncoding, Utf16BytesHonourTheByteOrderMark) {
    const UInt8 big[] = {0xFE, 0xFF, 0x00, 'h', 0x20, 0x22};
    const UInt8 little[] = {0xFF, 0xFE, 'h', 0x00, 0x22, 0x20};
    const UInt8 explicit_big[] = {0x00, 'h', 0x20, 0x22};
    auto from_big = owned(CFStringCreateWithBytes(nullptr, big, sizeof big, kCFStringEncodingUTF16, true));
    auto from_little = owned(CFStringCreateWithBytes(nullptr, little, sizeof little, kCFStringEncodingUTF16, true));
    auto from_explicit =
        owned(CFStringCreateWithBytes(nullptr, explicit_big, sizeof explicit_big, kCFStringEncodingUTF16BE, false));
    EXPECT_EQ(characters(from_big.get()), u"h\u2022");
    EXPECT_EQ(characters(from_little.get()), u"h\u2022");
    EXPECT_EQ(characters(from_explicit.get()), u"h\u2022");
    EXPECT_EQ(CFStringCreateWithBytes(nullptr, big, 3, kCFStringEncodingUTF16LE, false), nullptr);
}

TEST_F(StringEncoding, ExternalRepresentationRoundTrips) {
    CFStringRef text = CFSTR("h\xE2\x80\xA2");
    auto utf16 = Owned<CFDataRef>(CFStringCreateExternalRepresentation(nullptr, text, kCFStringEncodingUTF16, 0));
    ASSERT_NE(utf16, nullptr);
    ASSERT_EQ(CFDataGetLength(utf16.get()), 6);
    const UInt8 *bytes = CFDataGetBytePtr(utf16.get());
    EXPECT_TRUE((bytes[0] == 0xFE && bytes[1] == 0xFF) || (bytes[0] == 0xFF && bytes[1] == 0xFE));
    auto back = owned(CFStringCreateWithBytes(nullptr, bytes, 6, kCFStringEncodingUTF16, true));
    EXPECT_TRUE(CFEqual(back.get(), text));

    EXPECT_EQ(CFStringCreateExternalRepresentation(nullptr, text, kCFStringEncodingASCII, 0), nullptr);
    auto lossy = Owned<CFDataRef>(CFStringCreateExternalRepresentation(nullptr, text, kCFStringEncodingASCII, '?'));
    ASSERT_NE(lossy, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(CFDataGetBytePtr(lossy.get())),
                          static_cast<std::size_t>(CFDataGetLength(lossy.get()))),
              "h?");
}

TEST_F(StringEncoding, MaximumSizeCoversEveryCharacter) {
    EXPECT_EQ(CFStringGetMaximumSizeForEncoding(10, kCFStringEncodingMacRoman), 10);
    EXPECT_GE(CFStringGetMaximumSizeForEncoding(2, kCFStringEncodingUTF8), 4);  // one non-BMP character
    EXPECT_GE(CFStringGetMaximumSizeForEncoding(1, kCFStringEncodingUTF8), 3);
    EXPECT_EQ(CFStringGetMaximumSizeForEncoding(3, kCFStringEncodingUTF16BE), 6);
    EXPECT_EQ(CFStringGetMaximumSizeForEncoding(-1, kCFStringEncodingUTF8), kCFNotFound);
}

TEST_F(StringEditing, MutableStringsGrowAndShrink) {
    auto text = owned(CFStringCreateMutable(nullptr, 0));
    CFStringAppend(text.get(), CFSTR("Hello"));
    const UniChar comma[] = {',', ' '};
    CFStringAppendCharacters(text.get(), comma, 2);
    CFStringAppendCString(text.get(), "w\xC3\xB6rld", kCFStringEncodingUTF8);
    CFStringAppendCString(text.get(), "bad \xFF", kCFStringEncodingUTF8);
    EXPECT_EQ(characters(text.get()), u"Hello, w\u00F6rld");
    CFStringInsert(text.get(), 0, CFSTR(">"));
    CFStringInsert(text.get(), CFStringGetLength(text.get()), CFSTR("<"));
    EXPECT_EQ(utf8(text), ">Hello, w\xC3\xB6rld<");
    CFStringDelete(text.get(), CFRangeMake(1, 7));
    EXPECT_EQ(utf8(text), ">w\xC3\xB6rld<");
    CFStringReplace(text.get(), CFRangeMake(1, 5), CFSTR("there"));
    EXPECT_EQ(utf8(text), ">there<");
    CFStringReplaceAll(text.get(), CFSTR("done"));
    EXPECT_EQ(utf8(text), "done");
}

TEST_F(StringEditing, EditingAStringWithItselfUsesItsOldText) {
    auto text = owned(CFStringCreateMutableCopy(nullptr, 0, CFSTR("ab")));
    CFStringAppend(text.get(), text.get());
    CFStringInsert(text.get(), 1, text.get());
    EXPECT_EQ(utf8(text), "aababbab");
}

TEST_F(StringEditing, BadRangesChangeNothing) {
    auto text = owned(CFStringCreateMutableCopy(nullptr, 0, CFSTR("abc")));
    CFStringDelete(text.get(), CFRangeMake(2, 2));
    CFStringDelete(text.get(), CFRangeMake(-1, 1));
    CFStringReplace(text.get(), CFRangeMake(4, 0), CFSTR("x"));
    CFStringInsert(text.get(), 4, CFSTR("x"));
    CFStringAppend(text.get(), nullptr);
    EXPECT_EQ(utf8(text), "abc");
    EXPECT_EQ(CFStringCreateWithSubstring(nullptr, text.get(), CFRangeMake(1, 3)), nullptr);
    auto middle = owned(CFStringCreateWithSubstring(nullptr, text.get(), CFRangeMake(1, 2)));
    EXPECT_EQ(utf8(middle), "bc");
}

TEST_F(StringEditing, ImmutableStringsIgnoreEdits) {
    auto text = owned(CFStringCreateWithCString(nullptr, "fixed", kCFStringEncodingUTF8));
    auto as_mutable = const_cast<CFMutableStringRef>(text.get());
    CFStringAppend(as_mutable, CFSTR("more"));
    CFStringAppendCString(as_mutable, "more", kCFStringEncodingUTF8);
    CFStringDelete(as_mutable, CFRangeMake(0, 2));
    CFStringReplaceAll(as_mutable, CFSTR("other"));
    CFStringAppendFormat(as_mutable, nullptr, CFSTR("%d"), 1);
    EXPECT_EQ(utf8(text), "fixed");
    auto constant = const_cast<CFMutableStringRef>(CFSTR("StringEditing constant"));
    CFStringAppend(constant, CFSTR("more"));
    CFStringInsert(constant, 0, CFSTR("more"));
    EXPECT_EQ(utf8(CFSTR("StringEditing constant")), "StringEditing constant");
}

TEST_F(StringEditing, SeparatingKeepsEmptyPieces) {
    auto pieces = Owned<CFArrayRef>(CFStringCreateArrayBySeparatingStrings(nullptr, CFSTR("a, b, , c"), CFSTR(", ")));
    ASSERT_NE(pieces, nullptr);
    ASSERT_EQ(CFArrayGetCount(pieces.get()), 4);
    const char *expected[] = {"a", "b", "", "c"};
    for (CFIndex i = 0; i < 4; ++i) {
        EXPECT_EQ(utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(pieces.get(), i))), expected[i]);
    }
    auto whole = Owned<CFArrayRef>(CFStringCreateArrayBySeparatingStrings(nullptr, CFSTR("abc"), CFSTR(";")));
    ASSERT_EQ(CFArrayGetCount(whole.get()), 1);
    EXPECT_EQ(utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(whole.get(), 0))), "abc");
}

TEST_F(StringComparison, ExactByDefault) {
    EXPECT_EQ(CFStringCompare(CFSTR("True"), CFSTR("true"), 0), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("true"), CFSTR("True"), 0), kCFCompareGreaterThan);
    EXPECT_EQ(CFStringCompare(CFSTR("true"), CFSTR("true"), 0), kCFCompareEqualTo);
    EXPECT_EQ(CFStringCompare(CFSTR("abc"), CFSTR("abcd"), 0), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("b"), CFSTR("abcd"), 0), kCFCompareGreaterThan);
    EXPECT_EQ(CFStringCompare(CFSTR(""), CFSTR(""), 0), kCFCompareEqualTo);
}

TEST_F(StringComparison, OrdersByUtf16CodeUnits) {
    // U+FF21 sorts after U+D83D as a code unit although its code point is smaller.
    EXPECT_EQ(CFStringCompare(CFSTR("\xEF\xBC\xA1"), CFSTR("\xF0\x9F\x98\x80"), 0), kCFCompareGreaterThan);
    EXPECT_EQ(CFStringCompare(CFSTR("z"), CFSTR("\xC3\xA9"), 0), kCFCompareLessThan);
}

TEST_F(StringComparison, CaseInsensitiveFoldsAsciiAndLatin1) {
    EXPECT_EQ(CFStringCompare(CFSTR("True"), CFSTR("tRUE"), kCFCompareCaseInsensitive), kCFCompareEqualTo);
    EXPECT_EQ(CFStringCompare(CFSTR("\xC3\x89t\xC3\xA9"), CFSTR("\xC3\xA9T\xC3\x89"), kCFCompareCaseInsensitive),
              kCFCompareEqualTo);
    EXPECT_EQ(CFStringCompare(CFSTR("Apple"), CFSTR("banana"), kCFCompareCaseInsensitive), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("Apple"), CFSTR("banana"), 0), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("apple"), CFSTR("Banana"), 0), kCFCompareGreaterThan);
    EXPECT_EQ(CFStringCompare(CFSTR("@"), CFSTR("`"), kCFCompareCaseInsensitive), kCFCompareLessThan);
}

TEST_F(StringComparison, NumericallyComparesDigitRunsByValue) {
    EXPECT_EQ(CFStringCompare(CFSTR("file9"), CFSTR("file10"), 0), kCFCompareGreaterThan);
    EXPECT_EQ(CFStringCompare(CFSTR("file9"), CFSTR("file10"), kCFCompareNumerically), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("v2.10"), CFSTR("v2.9"), kCFCompareNumerically), kCFCompareGreaterThan);
}

TEST_F(StringComparison, PrefixSuffixAndFind) {
    EXPECT_TRUE(CFStringHasPrefix(CFSTR("*ColorModel"), CFSTR("*Color")));
    EXPECT_FALSE(CFStringHasPrefix(CFSTR("*ColorModel"), CFSTR("*color")));
    EXPECT_FALSE(CFStringHasPrefix(CFSTR("ab"), CFSTR("abc")));
    EXPECT_FALSE(CFStringHasPrefix(CFSTR("abc"), CFSTR("")));
    EXPECT_TRUE(CFStringHasSuffix(CFSTR("name.strings"), CFSTR(".strings")));
    EXPECT_FALSE(CFStringHasSuffix(CFSTR("name.strings"), CFSTR(".string")));

    CFRange first = CFStringFind(CFSTR("abcabc"), CFSTR("bc"), 0);
    EXPECT_EQ(first.location, 1);
    EXPECT_EQ(first.length, 2);
    EXPECT_EQ(CFStringFind(CFSTR("abcabc"), CFSTR("bc"), kCFCompareBackwards).location, 4);
    EXPECT_EQ(CFStringFind(CFSTR("abcabc"), CFSTR("BC"), 0).location, kCFNotFound);
    EXPECT_EQ(CFStringFind(CFSTR("abcabc"), CFSTR("BC"), kCFCompareCaseInsensitive).location, 1);
    EXPECT_EQ(CFStringFind(CFSTR("abcabc"), CFSTR("bc"), kCFCompareAnchored).location, kCFNotFound);
    EXPECT_EQ(CFStringFind(CFSTR("abcabc"), CFSTR("bc"), kCFCompareAnchored | kCFCompareBackwards).location, 4);
    EXPECT_EQ(CFStringFind(CFSTR("abc"), CFSTR(""), 0).location, kCFNotFound);
}

SInt32 int_value(const char *text) {
    auto string = owned(CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8));
    return CFStringGetIntValue(string.get());
}

TEST_F(StringScanning, IntValueSkipsSpaceTakesSignAndIgnoresTheRest) {
    EXPECT_EQ(int_value("42"), 42);
    EXPECT_EQ(int_value("  \t42"), 42);
    EXPECT_EQ(int_value("-17"), -17);
    EXPECT_EQ(int_value("+5"), 5);
    EXPECT_EQ(int_value(" -  8"), -8);
    EXPECT_EQ(int_value("12abc"), 12);
    EXPECT_EQ(int_value("3.9"), 3);
    EXPECT_EQ(int_value("007"), 7);
}

TEST_F(StringScanning, IntValueWithoutDigitsIsZero) {
    EXPECT_EQ(int_value(""), 0);
    EXPECT_EQ(int_value("abc"), 0);
    EXPECT_EQ(int_value("-"), 0);
    EXPECT_EQ(int_value("x12"), 0);
    EXPECT_EQ(CFStringGetIntValue(nullptr), 0);
}

TEST_F(StringScanning, IntValueSaturatesOnOverflow) {
    EXPECT_EQ(int_value("2147483647"), INT32_MAX);
    EXPECT_EQ(int_value("-2147483648"), INT32_MIN);
    EXPECT_EQ(int_value("2147483648"), INT32_MAX);
    EXPECT_EQ(int_value("-2147483649"), INT32_MIN);
    EXPECT_EQ(int_value("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(int_value("-99999999999999999999999"), INT32_MIN);
}

TEST_F(StringScanning, DoubleValueReadsDecimalNumbers) {
    auto value = [](const char *text) {
        auto string = owned(CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8));
        return CFStringGetDoubleValue(string.get());
    };
    EXPECT_DOUBLE_EQ(value(" 3.5"), 3.5);
    EXPECT_DOUBLE_EQ(value("-2e3x"), -2000.0);
    EXPECT_DOUBLE_EQ(value(".25"), 0.25);
    EXPECT_DOUBLE_EQ(value("7e"), 7.0);
    EXPECT_DOUBLE_EQ(value("1.5E-2"), 0.015);
    EXPECT_DOUBLE_EQ(value("abc"), 0.0);
    EXPECT_DOUBLE_EQ(value("."), 0.0);
    EXPECT_TRUE(std::isinf(value("1e999")));
}

std::string shown(CFTypeRef object) {
    testing::internal::CaptureStderr();
    CFShow(object);
    return testing::internal::GetCapturedStderr();
}

TEST_F(StringShow, PrintsStringsRawWithOneNewline) {
    EXPECT_EQ(shown(CFSTR("plain text")), "plain text\n");
    EXPECT_EQ(shown(CFSTR("has newline\n")), "has newline\n");
    EXPECT_EQ(shown(CFSTR("")), "\n");
    EXPECT_EQ(shown(nullptr), "(null)\n");
}

TEST_F(StringShow, EscapesNonAsciiCharacters) {
    EXPECT_EQ(shown(CFSTR("caf\xC3\xA9 \xE2\x80\xA2")), "caf\\u00e9 \\u2022\n");
}

TEST_F(StringShow, OtherObjectsPrintTheirDescription) {
    const int three = 3;
    auto number = Owned<CFNumberRef>(CFNumberCreate(nullptr, kCFNumberIntType, &three));
    auto description = owned(CFCopyDescription(number.get()));
    EXPECT_EQ(shown(number.get()), utf8(description) + "\n");
}

TEST_F(StringShow, ShowStrDescribesTheString) {
    auto text = owned(CFStringCreateMutableCopy(nullptr, 0, CFSTR("abc")));
    testing::internal::CaptureStderr();
    CFShowStr(text.get());
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("Length 3"), std::string::npos) << output;
    EXPECT_NE(output.find("IsMutable 1"), std::string::npos) << output;
    EXPECT_NE(output.find("abc"), std::string::npos) << output;
}

}  // namespace
