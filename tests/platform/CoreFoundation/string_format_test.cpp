// CFStringCreateWithFormat and CFStringAppendFormat.
#include "string_test_support.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using namespace string_test;

class StringFormat : public LeakChecked {};

// The formatted text as UTF-8.
std::string format(CFStringRef format_string, ...) {
    va_list arguments;
    va_start(arguments, format_string);
    auto string = cf::adopt(CFStringCreateWithFormatAndArguments(nullptr, nullptr, format_string, arguments));
    va_end(arguments);
    return utf8(string.get());
}

TEST_F(StringFormat, ObjectThenNumber) {
    EXPECT_EQ("DINDigit3", format(CFSTR("%@%d"), CFSTR("DINDigit"), 3));
    EXPECT_EQ("-3", format(CFSTR("%d"), -3));
    EXPECT_EQ("plain text", format(CFSTR("plain text")));
    EXPECT_EQ("100% sure", format(CFSTR("100%% sure")));
}

TEST_F(StringFormat, IntegerConversionsAndSizes) {
    EXPECT_EQ("-12|4000000000|ff|FF|10", format(CFSTR("%i|%u|%x|%X|%o"), -12, 4000000000u, 255, 255, 8));
    EXPECT_EQ("-5000000000|18000000000000000000", format(CFSTR("%ld|%lu"), -5000000000L, 18000000000000000000UL));
    EXPECT_EQ("-9223372036854775808|18446744073709551615|7",
              format(CFSTR("%lld|%llu|%qd"), INT64_MIN, UINT64_MAX, 7LL));
    EXPECT_EQ("44|4464|12|-9",
              format(CFSTR("%hhd|%hu|%zu|%jd"), 300, 70000, static_cast<size_t>(12), static_cast<intmax_t>(-9)));
}

TEST_F(StringFormat, FlagsWidthAndPrecision) {
    EXPECT_EQ("[   42][42   ][-0042]", format(CFSTR("[%5d][%-5d][%05d]"), 42, 42, -42));
    EXPECT_EQ("[+42][ 42][0x2a][010][007]", format(CFSTR("[%+d][% d][%#x][%#o][%.3d]"), 42, 42, 42, 8, 7));
    EXPECT_EQ("[   1][2   ][3   ]", format(CFSTR("[%*d][%-*d][%*d]"), 4, 1, 4, 2, -4, 3));
    EXPECT_EQ("[3.14][5]", format(CFSTR("[%.*f][%.*d]"), 2, 3.14159, -1, 5));
}

TEST_F(StringFormat, FloatingPoint) {
    EXPECT_EQ("1.500000|2.2|1.234500e+04|0.0001|1E-10",
              format(CFSTR("%f|%.1f|%e|%g|%G"), 1.5, 2.25, 12345.0, 0.0001, 1e-10));
    EXPECT_EQ("  -1.000|1.0e+02 |", format(CFSTR("%8.3f|%-8.1e|"), -1.0, 100.0));
    EXPECT_EQ("0.500000", format(CFSTR("%Lf"), 0.5L));
}

TEST_F(StringFormat, MixedArgumentTypesStayInOrder) {
    EXPECT_EQ("1 2.500000 three four 5 6",
              format(CFSTR("%d %f %s %@ %lld %c"), 1, 2.5, "three", CFSTR("four"), 5LL, '6'));
}

TEST_F(StringFormat, CStringsAreUtf8) {
    auto string = cf::adopt(CFStringCreateWithFormat(nullptr, nullptr, CFSTR("<%s>"), "caf\xC3\xA9"));
    EXPECT_EQ(u"<caf\u00E9>", characters(string.get()));
    EXPECT_EQ("[   ab][ab   ][ab]", format(CFSTR("[%5s][%-5s][%.2s]"), "ab", "ab", "abcdef"));
    EXPECT_EQ("(null)", format(CFSTR("%s"), static_cast<const char *>(nullptr)));
}

TEST_F(StringFormat, UniCharConversions) {
    const UniChar word[] = {'h', 0x00E9, 0};
    auto string = cf::adopt(CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%C%c%S"), 0x2022, 'x', word));
    EXPECT_EQ(u"\u2022xh\u00E9", characters(string.get()));
}

TEST_F(StringFormat, ObjectsUseTheirText) {
    EXPECT_EQ("[(null)]", format(CFSTR("[%@]"), static_cast<CFTypeRef>(nullptr)));
    EXPECT_EQ("[   abc][abc   ][ab]", format(CFSTR("[%6@][%-6@][%.2@]"), CFSTR("abc"), CFSTR("abc"), CFSTR("abc")));
    const double half = 0.5;
    auto number = cf::adopt(CFNumberCreate(nullptr, kCFNumberDoubleType, &half));
    auto description = cf::adopt(CFCopyDescription(number.get()));
    EXPECT_EQ(format(CFSTR("%@"), number.get()), utf8(description.get()));
    auto mutable_string = cf::adopt(CFStringCreateMutableCopy(nullptr, 0, CFSTR("m\xC3\xBCt")));
    EXPECT_EQ("m\xC3\xBCt", format(CFSTR("%@"), mutable_string.get()));
}

TEST_F(StringFormat, Pointers) {
    int target = 0;
    char expected[32];
    std::snprintf(expected, sizeof expected, "%p", static_cast<void *>(&target));
    EXPECT_EQ(expected, format(CFSTR("%p"), static_cast<void *>(&target)));
    EXPECT_EQ("0x0", format(CFSTR("%p"), static_cast<void *>(nullptr)));
}

TEST_F(StringFormat, PositionalArguments) {
    EXPECT_EQ("list has 5 items", format(CFSTR("%2$@ has %1$d items"), 5, CFSTR("list")));
    EXPECT_EQ("9-9-z", format(CFSTR("%1$d-%1$d-%2$s"), 9, "z"));
    EXPECT_EQ("2.2", format(CFSTR("%2$.*1$f"), 1, 2.25));
}

TEST_F(StringFormat, UnknownDirectivesAreKeptAsWritten) {
    EXPECT_EQ("%k 5", format(CFSTR("%k %d"), 5));
    EXPECT_EQ("50%", format(CFSTR("50%")));
    EXPECT_EQ("%0$d", format(CFSTR("%0$d")));
    EXPECT_EQ("%*k|7", format(CFSTR("%*k|%d"), 7));
    EXPECT_EQ("%99999$d 4", format(CFSTR("%99999$d %d"), 4));
}

TEST_F(StringFormat, FormatIsUtf16Text) {
    auto string = cf::adopt(CFStringCreateWithFormat(nullptr, nullptr, CFSTR("\xE2\x80\xA2 %d \xF0\x9F\x98\x80"), 1));
    EXPECT_EQ(u"\u2022 1 \U0001F600", characters(string.get()));
    EXPECT_EQ(nullptr, CFStringCreateWithFormat(nullptr, nullptr, nullptr, 1));
}

TEST_F(StringFormat, AppendFormatAddsToMutableStrings) {
    auto text = cf::adopt(CFStringCreateMutableCopy(nullptr, 0, CFSTR("Copies: ")));
    CFStringAppendFormat(text.get(), nullptr, CFSTR("%d of %@"), 2, CFSTR("3"));
    CFStringAppendFormat(text.get(), nullptr, CFSTR("%s"), "!");
    EXPECT_EQ("Copies: 2 of 3!", utf8(text.get()));
}

}  // namespace
