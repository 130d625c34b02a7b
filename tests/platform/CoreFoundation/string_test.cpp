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
    EXPECT_EQ(1, CFGetRetainCount(string));
    CFRetain(string);
    EXPECT_EQ(2, CFGetRetainCount(string));
    CFRelease(string);
    EXPECT_EQ(PlatformLiveCFObjectCount(), start + 1);
    CFRelease(string);
    EXPECT_EQ(PlatformLiveCFObjectCount(), start);
}

TEST_F(StringLifetime, CopiesOfImmutableStringsShareTheObjectAndMutableOnesDoNot) {
    auto original = cf::adopt(CFStringCreateWithCString(nullptr, "text", kCFStringEncodingUTF8));
    auto copy = cf::adopt(CFStringCreateCopy(nullptr, original.get()));
    EXPECT_EQ(copy.get(), original.get());
    EXPECT_EQ(2, CFGetRetainCount(original.get()));

    auto mutable_copy = cf::adopt(CFStringCreateMutableCopy(nullptr, 0, original.get()));
    auto copy_of_mutable = cf::adopt(CFStringCreateCopy(nullptr, mutable_copy.get()));
    EXPECT_NE(copy_of_mutable.get(), static_cast<CFStringRef>(mutable_copy.get()));
    CFStringAppend(mutable_copy.get(), CFSTR("!"));
    EXPECT_EQ("text", utf8(copy_of_mutable.get()));
    EXPECT_EQ("text!", utf8(mutable_copy.get()));
}

TEST_F(StringLifetime, ConstantsAreInternedAndNeverFreed) {
    const long start = PlatformLiveCFObjectCount();
    CFStringRef constant = CFSTR("StringLifetime constant");
    EXPECT_EQ(PlatformLiveCFObjectCount(), start);
    EXPECT_EQ(CFSTR("StringLifetime constant"), constant);
    EXPECT_NE(CFSTR("StringLifetime other constant"), constant);
    for (int i = 0; i < 100; ++i) CFRelease(constant);
    CFRetain(constant);
    EXPECT_EQ("StringLifetime constant", utf8(constant));
    EXPECT_EQ(CFGetTypeID(constant), CFStringGetTypeID());
    EXPECT_EQ(CFStringCreateCopy(nullptr, constant), constant);
    EXPECT_EQ(PlatformLiveCFObjectCount(), start);
}

TEST_F(StringLifetime, ConstantsAreUtf8Literals) {
    EXPECT_EQ(u"caf\u00E9", characters(CFSTR("caf\xC3\xA9")));
}

TEST_F(StringLifetime, EqualityAndHashFollowTheCharacters) {
    auto immutable = cf::adopt(CFStringCreateWithCString(nullptr, "same", kCFStringEncodingASCII));
    auto mutable_string = cf::adopt(CFStringCreateMutable(nullptr, 0));
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
    auto description = cf::adopt(CFCopyDescription(CFSTR("abc")));
    const std::string text = utf8(description.get());
    EXPECT_EQ(0u, text.rfind("<CFString 0x", 0)) << text;
    EXPECT_NE(text.find("{contents = \"abc\"}"), std::string::npos) << text;
}

TEST_F(StringEncoding, Utf8TextDecodesAndInvalidUtf8GivesNull) {
    auto accented = cf::adopt(CFStringCreateWithCString(nullptr, "d\xC3\xA9j\xC3\xA0", kCFStringEncodingUTF8));
    EXPECT_EQ(u"d\u00E9j\u00E0", characters(accented.get()));
    EXPECT_EQ(nullptr, CFStringCreateWithCString(nullptr, "bad \xC3\x28", kCFStringEncodingUTF8));
    EXPECT_EQ(nullptr, CFStringCreateWithCString(nullptr, "overlong \xC0\xAF", kCFStringEncodingUTF8));
    EXPECT_EQ(nullptr, CFStringCreateWithCString(nullptr, "surrogate \xED\xA0\x80", kCFStringEncodingUTF8));
    EXPECT_EQ(nullptr, CFStringCreateWithCString(nullptr, "cut \xE2\x82", kCFStringEncodingUTF8));
    EXPECT_EQ(nullptr, CFStringCreateWithCString(nullptr, nullptr, kCFStringEncodingUTF8));
}

TEST_F(StringEncoding, AsciiRejectsHighBytesAndEightBitEncodingsMapThem) {
    EXPECT_EQ(nullptr, CFStringCreateWithCString(nullptr, "caf\xE9", kCFStringEncodingASCII));
    auto roman = cf::adopt(CFStringCreateWithCString(nullptr, "\x8E\xDB\xA5", kCFStringEncodingMacRoman));
    EXPECT_EQ(u"\u00E9\u20AC\u2022", characters(roman.get()));
    auto latin1 = cf::adopt(CFStringCreateWithCString(nullptr, "\xE9\xFF", kCFStringEncodingISOLatin1));
    EXPECT_EQ(u"\u00E9\u00FF", characters(latin1.get()));
    auto windows = cf::adopt(CFStringCreateWithCString(nullptr, "\x80\x93", kCFStringEncodingWindowsLatin1));
    EXPECT_EQ(u"\u20AC\u201C", characters(windows.get()));
    EXPECT_EQ(nullptr, CFStringCreateWithCString(nullptr, "\x81", kCFStringEncodingWindowsLatin1));
    EXPECT_EQ(nullptr, CFStringCreateWithCString(nullptr, "abc", 0x7777));
}

TEST_F(StringEncoding, NonBmpCharactersTakeTwoUtf16Units) {
    auto emoji = cf::adopt(CFStringCreateWithCString(nullptr, "a\xF0\x9F\x98\x80z", kCFStringEncodingUTF8));
    ASSERT_NE(nullptr, emoji.get());
    EXPECT_EQ(4, CFStringGetLength(emoji.get()));
    EXPECT_EQ(0xD83D, CFStringGetCharacterAtIndex(emoji.get(), 1));
    EXPECT_EQ(0xDE00, CFStringGetCharacterAtIndex(emoji.get(), 2));
    EXPECT_EQ("a\xF0\x9F\x98\x80z", utf8(emoji.get()));
    EXPECT_EQ(0, CFStringGetCharacterAtIndex(emoji.get(), 4));
}

TEST_F(StringEncoding, PascalStringsReadTheLengthByte) {
    const unsigned char hello[] = "\x05Hello, world";
    auto string = cf::adopt(CFStringCreateWithPascalString(nullptr, hello, kCFStringEncodingMacRoman));
    EXPECT_EQ("Hello", utf8(string.get()));
    const unsigned char roman[] = "\x03\xA5\xAA\x8E";
    auto bullet = cf::adopt(CFStringCreateWithPascalString(nullptr, roman, kCFStringEncodingMacRoman));
    EXPECT_EQ(u"\u2022\u2122\u00E9", characters(bullet.get()));
    const unsigned char empty[] = "\x00";
    auto nothing = cf::adopt(CFStringCreateWithPascalString(nullptr, empty, kCFStringEncodingMacRoman));
    ASSERT_NE(nullptr, nothing.get());
    EXPECT_EQ(0, CFStringGetLength(nothing.get()));
    const unsigned char bad_utf8[] = "\x02\xC3\x28";
    EXPECT_EQ(nullptr, CFStringCreateWithPascalString(nullptr, bad_utf8, kCFStringEncodingUTF8));
}

TEST_F(StringEncoding, GetPascalStringWritesLengthThenBytes) {
    Str255 buffer;
    ASSERT_TRUE(CFStringGetPascalString(CFSTR("caf\xC3\xA9"), buffer, sizeof buffer, kCFStringEncodingMacRoman));
    EXPECT_EQ(4, buffer[0]);
    EXPECT_EQ(0, std::memcmp(buffer + 1, "caf\x8E", 4));
    unsigned char small[4];
    EXPECT_FALSE(CFStringGetPascalString(CFSTR("four"), small, sizeof small, kCFStringEncodingMacRoman));
    EXPECT_FALSE(CFStringGetPascalString(CFSTR("\xE2\x88\x9A\xE2\x82\xAC\xE2\x9C\x93"), buffer, sizeof buffer,
                                         kCFStringEncodingMacRoman));  // check mark has no Mac OS Roman byte
    const std::string long_text(256, 'x');
    auto too_long = cf::adopt(CFStringCreateWithCString(nullptr, long_text.c_str(), kCFStringEncodingASCII));
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
    EXPECT_EQ(nullptr, CFStringGetCStringPtr(CFSTR("caf\xC3\xA9"), kCFStringEncodingUTF8));
    EXPECT_EQ(nullptr, CFStringGetCStringPtr(CFSTR("plain"), kCFStringEncodingUTF16));
    auto mutable_string = cf::adopt(CFStringCreateMutableCopy(nullptr, 0, CFSTR("plain")));
    EXPECT_EQ(nullptr, CFStringGetCStringPtr(mutable_string.get(), kCFStringEncodingUTF8));
}

TEST_F(StringEncoding, Utf16BytesHonourTheByteOrderMark) {
    const UInt8 big[] = {0xFE, 0xFF, 0x00, 'h', 0x20, 0x22};
    const UInt8 little[] = {0xFF, 0xFE, 'h', 0x00, 0x22, 0x20};
    const UInt8 explicit_big[] = {0x00, 'h', 0x20, 0x22};
    auto from_big = cf::adopt(CFStringCreateWithBytes(nullptr, big, sizeof big, kCFStringEncodingUTF16, true));
    auto from_little = cf::adopt(CFStringCreateWithBytes(nullptr, little, sizeof little, kCFStringEncodingUTF16, true));
    auto from_explicit =
        cf::adopt(CFStringCreateWithBytes(nullptr, explicit_big, sizeof explicit_big, kCFStringEncodingUTF16BE, false));
    EXPECT_EQ(u"h\u2022", characters(from_big.get()));
    EXPECT_EQ(u"h\u2022", characters(from_little.get()));
    EXPECT_EQ(u"h\u2022", characters(from_explicit.get()));
    EXPECT_EQ(nullptr, CFStringCreateWithBytes(nullptr, big, 3, kCFStringEncodingUTF16LE, false));
}

TEST_F(StringEncoding, ExternalRepresentationRoundTrips) {
    CFStringRef text = CFSTR("h\xE2\x80\xA2");
    auto utf16 = cf::adopt(CFStringCreateExternalRepresentation(nullptr, text, kCFStringEncodingUTF16, 0));
    ASSERT_NE(nullptr, utf16.get());
    ASSERT_EQ(6, CFDataGetLength(utf16.get()));
    const UInt8 *bytes = CFDataGetBytePtr(utf16.get());
    EXPECT_TRUE((bytes[0] == 0xFE && bytes[1] == 0xFF) || (bytes[0] == 0xFF && bytes[1] == 0xFE));
    auto back = cf::adopt(CFStringCreateWithBytes(nullptr, bytes, 6, kCFStringEncodingUTF16, true));
    EXPECT_TRUE(CFEqual(back.get(), text));

    EXPECT_EQ(nullptr, CFStringCreateExternalRepresentation(nullptr, text, kCFStringEncodingASCII, 0));
    auto lossy = cf::adopt(CFStringCreateExternalRepresentation(nullptr, text, kCFStringEncodingASCII, '?'));
    ASSERT_NE(nullptr, lossy.get());
    EXPECT_EQ("h?",
              std::string(reinterpret_cast<const char *>(CFDataGetBytePtr(lossy.get())),
                          static_cast<std::size_t>(CFDataGetLength(lossy.get()))));
}

TEST_F(StringEncoding, MaximumSizeCoversEveryCharacter) {
    EXPECT_EQ(10, CFStringGetMaximumSizeForEncoding(10, kCFStringEncodingMacRoman));
    EXPECT_GE(CFStringGetMaximumSizeForEncoding(2, kCFStringEncodingUTF8), 4);  // one non-BMP character
    EXPECT_GE(CFStringGetMaximumSizeForEncoding(1, kCFStringEncodingUTF8), 3);
    EXPECT_EQ(6, CFStringGetMaximumSizeForEncoding(3, kCFStringEncodingUTF16BE));
    EXPECT_EQ(kCFNotFound, CFStringGetMaximumSizeForEncoding(-1, kCFStringEncodingUTF8));
}

TEST_F(StringEditing, MutableStringsGrowAndShrink) {
    auto text = cf::adopt(CFStringCreateMutable(nullptr, 0));
    CFStringAppend(text.get(), CFSTR("Hello"));
    const UniChar comma[] = {',', ' '};
    CFStringAppendCharacters(text.get(), comma, 2);
    CFStringAppendCString(text.get(), "w\xC3\xB6rld", kCFStringEncodingUTF8);
    CFStringAppendCString(text.get(), "bad \xFF", kCFStringEncodingUTF8);
    EXPECT_EQ(u"Hello, w\u00F6rld", characters(text.get()));
    CFStringInsert(text.get(), 0, CFSTR(">"));
    CFStringInsert(text.get(), CFStringGetLength(text.get()), CFSTR("<"));
    EXPECT_EQ(">Hello, w\xC3\xB6rld<", utf8(text.get()));
    CFStringDelete(text.get(), CFRangeMake(1, 7));
    EXPECT_EQ(">w\xC3\xB6rld<", utf8(text.get()));
    CFStringReplace(text.get(), CFRangeMake(1, 5), CFSTR("there"));
    EXPECT_EQ(">there<", utf8(text.get()));
    CFStringReplaceAll(text.get(), CFSTR("done"));
    EXPECT_EQ("done", utf8(text.get()));
}

TEST_F(StringEditing, EditingAStringWithItselfUsesItsOldText) {
    auto text = cf::adopt(CFStringCreateMutableCopy(nullptr, 0, CFSTR("ab")));
    CFStringAppend(text.get(), text.get());
    CFStringInsert(text.get(), 1, text.get());
    EXPECT_EQ("aababbab", utf8(text.get()));
}

TEST_F(StringEditing, BadRangesChangeNothing) {
    auto text = cf::adopt(CFStringCreateMutableCopy(nullptr, 0, CFSTR("abc")));
    CFStringDelete(text.get(), CFRangeMake(2, 2));
    CFStringDelete(text.get(), CFRangeMake(-1, 1));
    CFStringReplace(text.get(), CFRangeMake(4, 0), CFSTR("x"));
    CFStringInsert(text.get(), 4, CFSTR("x"));
    CFStringAppend(text.get(), nullptr);
    EXPECT_EQ("abc", utf8(text.get()));
    EXPECT_EQ(nullptr, CFStringCreateWithSubstring(nullptr, text.get(), CFRangeMake(1, 3)));
    auto middle = cf::adopt(CFStringCreateWithSubstring(nullptr, text.get(), CFRangeMake(1, 2)));
    EXPECT_EQ("bc", utf8(middle.get()));
}

TEST_F(StringEditing, ImmutableStringsIgnoreEdits) {
    auto text = cf::adopt(CFStringCreateWithCString(nullptr, "fixed", kCFStringEncodingUTF8));
    auto as_mutable = const_cast<CFMutableStringRef>(text.get());
    CFStringAppend(as_mutable, CFSTR("more"));
    CFStringAppendCString(as_mutable, "more", kCFStringEncodingUTF8);
    CFStringDelete(as_mutable, CFRangeMake(0, 2));
    CFStringReplaceAll(as_mutable, CFSTR("other"));
    CFStringAppendFormat(as_mutable, nullptr, CFSTR("%d"), 1);
    EXPECT_EQ("fixed", utf8(text.get()));
    auto constant = const_cast<CFMutableStringRef>(CFSTR("StringEditing constant"));
    CFStringAppend(constant, CFSTR("more"));
    CFStringInsert(constant, 0, CFSTR("more"));
    EXPECT_EQ("StringEditing constant", utf8(CFSTR("StringEditing constant")));
}

TEST_F(StringEditing, SeparatingKeepsEmptyPieces) {
    auto pieces = cf::adopt(CFStringCreateArrayBySeparatingStrings(nullptr, CFSTR("a, b, , c"), CFSTR(", ")));
    ASSERT_NE(nullptr, pieces.get());
    ASSERT_EQ(4, CFArrayGetCount(pieces.get()));
    const char *expected[] = {"a", "b", "", "c"};
    for (CFIndex i = 0; i < 4; ++i) {
        EXPECT_EQ(expected[i], utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(pieces.get(), i))));
    }
    auto whole = cf::adopt(CFStringCreateArrayBySeparatingStrings(nullptr, CFSTR("abc"), CFSTR(";")));
    ASSERT_EQ(1, CFArrayGetCount(whole.get()));
    EXPECT_EQ("abc", utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(whole.get(), 0))));
}

TEST_F(StringComparison, ExactByDefault) {
    EXPECT_EQ(kCFCompareLessThan, CFStringCompare(CFSTR("True"), CFSTR("true"), 0));
    EXPECT_EQ(kCFCompareGreaterThan, CFStringCompare(CFSTR("true"), CFSTR("True"), 0));
    EXPECT_EQ(kCFCompareEqualTo, CFStringCompare(CFSTR("true"), CFSTR("true"), 0));
    EXPECT_EQ(kCFCompareLessThan, CFStringCompare(CFSTR("abc"), CFSTR("abcd"), 0));
    EXPECT_EQ(kCFCompareGreaterThan, CFStringCompare(CFSTR("b"), CFSTR("abcd"), 0));
    EXPECT_EQ(kCFCompareEqualTo, CFStringCompare(CFSTR(""), CFSTR(""), 0));
}

TEST_F(StringComparison, OrdersByUtf16CodeUnits) {
    // U+FF21 sorts after U+D83D as a code unit although its code point is smaller.
    EXPECT_EQ(kCFCompareGreaterThan, CFStringCompare(CFSTR("\xEF\xBC\xA1"), CFSTR("\xF0\x9F\x98\x80"), 0));
    EXPECT_EQ(kCFCompareLessThan, CFStringCompare(CFSTR("z"), CFSTR("\xC3\xA9"), 0));
}

TEST_F(StringComparison, CaseInsensitiveFoldsAsciiAndLatin1) {
    EXPECT_EQ(kCFCompareEqualTo, CFStringCompare(CFSTR("True"), CFSTR("tRUE"), kCFCompareCaseInsensitive));
    EXPECT_EQ(kCFCompareEqualTo,
              CFStringCompare(CFSTR("\xC3\x89t\xC3\xA9"), CFSTR("\xC3\xA9T\xC3\x89"), kCFCompareCaseInsensitive));
    EXPECT_EQ(kCFCompareLessThan, CFStringCompare(CFSTR("Apple"), CFSTR("banana"), kCFCompareCaseInsensitive));
    EXPECT_EQ(kCFCompareLessThan, CFStringCompare(CFSTR("Apple"), CFSTR("banana"), 0));
    EXPECT_EQ(kCFCompareGreaterThan, CFStringCompare(CFSTR("apple"), CFSTR("Banana"), 0));
    EXPECT_EQ(kCFCompareLessThan, CFStringCompare(CFSTR("@"), CFSTR("`"), kCFCompareCaseInsensitive));
}

TEST_F(StringComparison, NumericallyComparesDigitRunsByValue) {
    EXPECT_EQ(kCFCompareGreaterThan, CFStringCompare(CFSTR("file9"), CFSTR("file10"), 0));
    EXPECT_EQ(kCFCompareLessThan, CFStringCompare(CFSTR("file9"), CFSTR("file10"), kCFCompareNumerically));
    EXPECT_EQ(kCFCompareGreaterThan, CFStringCompare(CFSTR("v2.10"), CFSTR("v2.9"), kCFCompareNumerically));
}

TEST_F(StringComparison, PrefixSuffixAndFind) {
    EXPECT_TRUE(CFStringHasPrefix(CFSTR("*ColorModel"), CFSTR("*Color")));
    EXPECT_FALSE(CFStringHasPrefix(CFSTR("*ColorModel"), CFSTR("*color")));
    EXPECT_FALSE(CFStringHasPrefix(CFSTR("ab"), CFSTR("abc")));
    EXPECT_FALSE(CFStringHasPrefix(CFSTR("abc"), CFSTR("")));
    EXPECT_TRUE(CFStringHasSuffix(CFSTR("name.strings"), CFSTR(".strings")));
    EXPECT_FALSE(CFStringHasSuffix(CFSTR("name.strings"), CFSTR(".string")));

    CFRange first = CFStringFind(CFSTR("abcabc"), CFSTR("bc"), 0);
    EXPECT_EQ(1, first.location);
    EXPECT_EQ(2, first.length);
    EXPECT_EQ(4, CFStringFind(CFSTR("abcabc"), CFSTR("bc"), kCFCompareBackwards).location);
    EXPECT_EQ(kCFNotFound, CFStringFind(CFSTR("abcabc"), CFSTR("BC"), 0).location);
    EXPECT_EQ(1, CFStringFind(CFSTR("abcabc"), CFSTR("BC"), kCFCompareCaseInsensitive).location);
    EXPECT_EQ(kCFNotFound, CFStringFind(CFSTR("abcabc"), CFSTR("bc"), kCFCompareAnchored).location);
    EXPECT_EQ(4, CFStringFind(CFSTR("abcabc"), CFSTR("bc"), kCFCompareAnchored | kCFCompareBackwards).location);
    EXPECT_EQ(kCFNotFound, CFStringFind(CFSTR("abc"), CFSTR(""), 0).location);
}

SInt32 int_value(const char *text) {
    auto string = cf::adopt(CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8));
    return CFStringGetIntValue(string.get());
}

TEST_F(StringScanning, IntValueSkipsSpaceTakesSignAndIgnoresTheRest) {
    EXPECT_EQ(42, int_value("42"));
    EXPECT_EQ(42, int_value("  \t42"));
    EXPECT_EQ(-17, int_value("-17"));
    EXPECT_EQ(5, int_value("+5"));
    EXPECT_EQ(-8, int_value(" -  8"));
    EXPECT_EQ(12, int_value("12abc"));
    EXPECT_EQ(3, int_value("3.9"));
    EXPECT_EQ(7, int_value("007"));
}

TEST_F(StringScanning, IntValueWithoutDigitsIsZero) {
    EXPECT_EQ(0, int_value(""));
    EXPECT_EQ(0, int_value("abc"));
    EXPECT_EQ(0, int_value("-"));
    EXPECT_EQ(0, int_value("x12"));
    EXPECT_EQ(0, CFStringGetIntValue(nullptr));
}

TEST_F(StringScanning, IntValueSaturatesOnOverflow) {
    EXPECT_EQ(INT32_MAX, int_value("2147483647"));
    EXPECT_EQ(INT32_MIN, int_value("-2147483648"));
    EXPECT_EQ(INT32_MAX, int_value("2147483648"));
    EXPECT_EQ(INT32_MIN, int_value("-2147483649"));
    EXPECT_EQ(INT32_MAX, int_value("99999999999999999999999"));
    EXPECT_EQ(INT32_MIN, int_value("-99999999999999999999999"));
}

TEST_F(StringScanning, DoubleValueReadsDecimalNumbers) {
    auto value = [](const char *text) {
        auto string = cf::adopt(CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8));
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
    EXPECT_EQ("plain text\n", shown(CFSTR("plain text")));
    EXPECT_EQ("has newline\n", shown(CFSTR("has newline\n")));
    EXPECT_EQ("\n", shown(CFSTR("")));
    EXPECT_EQ("(null)\n", shown(nullptr));
}

TEST_F(StringShow, EscapesNonAsciiCharacters) {
    EXPECT_EQ("caf\\u00e9 \\u2022\n", shown(CFSTR("caf\xC3\xA9 \xE2\x80\xA2")));
}

TEST_F(StringShow, OtherObjectsPrintTheirDescription) {
    const int three = 3;
    auto number = cf::adopt(CFNumberCreate(nullptr, kCFNumberIntType, &three));
    auto description = cf::adopt(CFCopyDescription(number.get()));
    EXPECT_EQ(shown(number.get()), utf8(description.get()) + "\n");
}

TEST_F(StringShow, ShowStrDescribesTheString) {
    auto text = cf::adopt(CFStringCreateMutableCopy(nullptr, 0, CFSTR("abc")));
    testing::internal::CaptureStderr();
    CFShowStr(text.get());
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("Length 3"), std::string::npos) << output;
    EXPECT_NE(output.find("IsMutable 1"), std::string::npos) << output;
    EXPECT_NE(output.find("abc"), std::string::npos) << output;
}

}  // namespace
