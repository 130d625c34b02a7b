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
    auto string = owned(CFStringCreateWithFormatAndArguments(nullptr, nullptr, format_string, arguments));
    va_end(arguments);
    return utf8(string);
}

TEST_F(StringFormat, ObjectThenNumber) {
    EXPECT_EQ(format(CFSTR("%@%d"), CFSTR("DINDigit"), 3), "DINDigit3");
    EXPECT_EQ(format(CFSTR("%d"), -3), "-3");
    EXPECT_EQ(format(CFSTR("plain text")), "plain text");
    EXPECT_EQ(format(CFSTR("100%% sure")), "100% sure");
}

TEST_F(StringFormat, IntegerConversionsAndSizes) {
    EXPECT_EQ(format(CFSTR("%i|%u|%x|%X|%o"), -12, 4000000000u, 255, 255, 8), "-12|4000000000|ff|FF|10");
    EXPECT_EQ(format(CFSTR("%ld|%lu"), -5000000000L, 18000000000000000000UL), "-5000000000|18000000000000000000");
    EXPECT_EQ(format(CFSTR("%lld|%llu|%qd"), INT64_MIN, UINT64_MAX, 7LL),
              "-9223372036854775808|18446744073709551615|7");
    EXPECT_EQ(format(CFSTR("%hhd|%hu|%zu|%jd"), 300, 70000, static_cast<size_t>(12), static_cast<intmax_t>(-9)),
              "44|4464|12|-9");
}

TEST_F(StringFormat, FlagsWidthAndPrecision) {
    EXPECT_EQ(format(CFSTR("[%5d][%-5d][%05d]"), 42, 42, -42), "[   42][42   ][-0042]");
    EXPECT_EQ(format(CFSTR("[%+d][% d][%#x][%#o][%.3d]"), 42, 42, 42, 8, 7), "[+42][ 42][0x2a][010][007]");
    EXPECT_EQ(format(CFSTR("[%*d][%-*d][%*d]"), 4, 1, 4, 2, -4, 3), "[   1][2   ][3   ]");
    EXPECT_EQ(format(CFSTR("[%.*f][%.*d]"), 2, 3.14159, -1, 5), "[3.14][5]");
}

TEST_F(StringFormat, FloatingPoint) {
    EXPECT_EQ(format(CFSTR("%f|%.1f|%e|%g|%G"), 1.5, 2.25, 12345.0, 0.0001, 1e-10),
              "1.500000|2.2|1.234500e+04|0.0001|1E-10");
    EXPECT_EQ(format(CFSTR("%8.3f|%-8.1e|"), -1.0, 100.0), "  -1.000|1.0e+02 |");
    EXPECT_EQ(format(CFSTR("%Lf"), 0.5L), "0.500000");
}

TEST_F(StringFormat, MixedArgumentTypesStayInOrder) {
    EXPECT_EQ(format(CFSTR("%d %f %s %@ %lld %c"), 1, 2.5, "three", CFSTR("four"), 5LL, '6'),
              "1 2.500000 three four 5 6");
}

TEST_F(StringFormat, CStringsAreUtf8) {
    auto string = owned(CFStringCreateWithFormat(nullptr, nullptr, CFSTR("<%s>"), "caf\xC3\xA9"));
    EXPECT_EQ(characters(string.get()), u"<caf\u00E9>");
    EXPECT_EQ(format(CFSTR("[%5s][%-5s][%.2s]"), "ab", "ab", "abcdef"), "[   ab][ab   ][ab]");
    EXPECT_EQ(format(CFSTR("%s"), static_cast<const char *>(nullptr)), "(null)");
}

TEST_F(StringFormat, UniCharConversions) {
    const UniChar word[] = {'h', 0x00E9, 0};
    auto string = owned(CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%C%c%S"), 0x2022, 'x', word));
    EXPECT_EQ(characters(string.get()), u"\u2022xh\u00E9");
}

TEST_F(StringFormat, ObjectsUseTheirText) {
    EXPECT_EQ(format(CFSTR("[%@]"), static_cast<CFTypeRef>(nullptr)), "[(null)]");
    EXPECT_EQ(format(CFSTR("[%6@][%-6@][%.2@]"), CFSTR("abc"), CFSTR("abc"), CFSTR("abc")), "[   abc][abc   ][ab]");
    const double half = 0.5;
    auto number = Owned<CFNumberRef>(CFNumberCreate(nullptr, kCFNumberDoubleType, &half));
    auto description = owned(CFCopyDescription(number.get()));
    EXPECT_EQ(format(CFSTR("%@"), number.get()), utf8(description));
    auto mutable_string = owned(CFStringCreateMutableCopy(nullptr, 0, CFSTR("m\xC3\xBCt")));
    EXPECT_EQ(format(CFSTR("%@"), mutable_string.get()), "m\xC3\xBCt");
}

TEST_F(StringFormat, Pointers) {
    int target = 0;
    char expected[32];
    std::snprintf(expected, sizeof expected, "%p", static_cast<void *>(&target));
    EXPECT_EQ(format(CFSTR("%p"), static_cast<void *>(&target)), expected);
    EXPECT_EQ(format(CFSTR("%p"), static_cast<void *>(nullptr)), "0x0");
}

TEST_F(StringFormat, PositionalArguments) {
    EXPECT_EQ(format(CFSTR("%2$@ has %1$d items"), 5, CFSTR("list")), "list has 5 items");
    EXPECT_EQ(format(CFSTR("%1$d-%1$d-%2$s"), 9, "z"), "9-9-z");
    EXPECT_EQ(format(CFSTR("%2$.*1$f"), 1, 2.25), "2.2");
}

TEST_F(StringFormat, UnknownDirectivesAreKeptAsWritten) {
    EXPECT_EQ(format(CFSTR("%k %d"), 5), "%k 5");
    EXPECT_EQ(format(CFSTR("50%")), "50%");
    EXPECT_EQ(format(CFSTR("%0$d")), "%0$d");
    EXPECT_EQ(format(CFSTR("%*k|%d"), 7), "%*k|7");
    EXPECT_EQ(format(CFSTR("%99999$d %d"), 4), "%99999$d 4");
}

TEST_F(StringFormat, FormatIsUtf16Text) {
    auto string = owned(CFStringCreateWithFormat(nullptr, nullptr, CFSTR("\xE2\x80\xA2 %d \xF0\x9F\x98\x80"), 1));
    EXPECT_EQ(characters(string.get()), u"\u2022 1 \U0001F600");
    EXPECT_EQ(CFStringCreateWithFormat(nullptr, nullptr, nullptr, 1), nullptr);
}

TEST_F(StringFormat, AppendFormatAddsToMutableStrings) {
    auto text = owned(CFStringCreateMutableCopy(nullptr, 0, CFSTR("Copies: ")));
    CFStringAppendFormat(text.get(), nullptr, CFSTR("%d of %@"), 2, CFSTR("3"));
    CFStringAppendFormat(text.get(), nullptr, CFSTR("%s"), "!");
    EXPECT_EQ(utf8(text), "Copies: 2 of 3!");
}

}  // namespace
