// Old-style text property lists as .strings files use them.
#include "property_list_test_support.h"

namespace {

using namespace plist_test;

class StringsFile : public LeakCheckedTest {};

const std::string kSample =
    "/* Job mode pane */\n"
    "\"JOB_MODE\" = \"Job mode\";\n"
    "// shorthand\n"
    "\"Normal\";\n"
    "'quoted' = 'it\\'s \"fine\"';\n"
    "unquoted_key.1 = path/to:file-$1;\n"
    "nested = { list = ( a, \"b c\", <0fAB 12>, ); };\n";

TEST_F(StringsFile, ReadsBodyWithoutBraces) {
    Parsed parsed = parse(kSample);
    ASSERT_TRUE(parsed.value) << error_text(parsed);
    EXPECT_EQ(kCFPropertyListOpenStepFormat, parsed.format);
    CFTypeRef table = parsed.value.get();
    EXPECT_EQ(5, CFDictionaryGetCount(static_cast<CFDictionaryRef>(table)));
    EXPECT_EQ("Job mode", utf8(lookup(table, "JOB_MODE")));
    EXPECT_EQ("Normal", utf8(lookup(table, "Normal")));
    EXPECT_EQ("it's \"fine\"", utf8(lookup(table, "quoted")));
    EXPECT_EQ("path/to:file-$1", utf8(lookup(table, "unquoted_key.1")));
    auto list = static_cast<CFArrayRef>(lookup(lookup(table, "nested"), "list"));
    ASSERT_EQ(3, CFArrayGetCount(list));
    EXPECT_EQ("b c", utf8(CFArrayGetValueAtIndex(list, 1)));
    auto data = static_cast<CFDataRef>(CFArrayGetValueAtIndex(list, 2));
    ASSERT_EQ(3, CFDataGetLength(data));
    EXPECT_EQ(0x0F, CFDataGetBytePtr(data)[0]);
    EXPECT_EQ(0xAB, CFDataGetBytePtr(data)[1]);
    EXPECT_EQ(0x12, CFDataGetBytePtr(data)[2]);
}

TEST_F(StringsFile, DecodesEveryEscape) {
    const std::pair<std::string, std::u16string> cases[] = {
        {R"(\a\b\f\n\r\t\v)", u"\a\b\f\n\r\t\v"},
        {R"(\\ \" \' \q \u)", u"\\ \" ' q u"},
        {"one\\\ntwo", u"one\ntwo"},
        {R"(\U20AC\U41\UfeFF\U1234567)", u"\u20AC\u0041\uFEFF\u1234" u"567"},
        {R"(\Ux)", u"Ux"},
        {R"(\101\0\7a\351\4000)", std::u16string(u"A\0\x07" u"a\u00E9 00", 8)},
    };
    for (const auto &[escaped, expected] : cases) {
        Parsed parsed = parse("k = \"" + escaped + "\";");
        ASSERT_TRUE(parsed.value) << escaped << ": " << error_text(parsed);
        EXPECT_EQ(expected, utf16(lookup(parsed.value.get(), "k"))) << escaped;
    }
}

TEST_F(StringsFile, SkipsCommentsAndWhiteSpace) {
    Parsed parsed = parse("/* a\n * \"k\" = \"no\";\n */ k /* between */ = // to the end\n"
                          "\"v /* kept */ // kept\"\xE2\x80\xA8;\x0B\x0C\r\n/**/ p = /x/y;");
    ASSERT_TRUE(parsed.value) << error_text(parsed);
    EXPECT_EQ("v /* kept */ // kept", utf8(lookup(parsed.value.get(), "k")));
    EXPECT_EQ("/x/y", utf8(lookup(parsed.value.get(), "p")));

    for (const char *empty : {"", " \n\t", "// only\n/* comments */"}) {
        parsed = parse(empty);
        ASSERT_TRUE(parsed.value) << '"' << empty << '"';
        EXPECT_EQ(CFGetTypeID(parsed.value.get()), CFDictionaryGetTypeID());
        EXPECT_EQ(0, CFDictionaryGetCount(static_cast<CFDictionaryRef>(parsed.value.get())));
    }
}

TEST_F(StringsFile, LastDuplicateWinsAndLoneStringIsRoot) {
    Parsed parsed = parse("\"a\" = \"1\";\n\"a\" = \"2\";\n\"a\";");
    ASSERT_TRUE(parsed.value);
    EXPECT_EQ("a", utf8(lookup(parsed.value.get(), "a")));
    parsed = parse(" \"just text\" ");
    EXPECT_EQ("just text", utf8(parsed.value.get()));
}

TEST_F(StringsFile, DetectsEncodings) {
    const std::u16string text = u"\"caf\u00E9\" = \"\u20AC \U0001F600\";";
    const std::string utf8_text = "\"caf\xC3\xA9\" = \"\xE2\x82\xAC \xF0\x9F\x98\x80\";";
    const std::u16string emoji = u"\u20AC \U0001F600";
    const std::pair<std::string, std::u16string> cases[] = {
        {utf16le_with_mark(text), emoji},
        {"\xFE\xFF" + utf16be(text), emoji},
        {utf16be(text), emoji},                           // no mark: NUL bytes give it away
        {utf16le_with_mark(text).substr(2), emoji},       // likewise, little-endian
        {utf16le_with_mark(text) + "\n", emoji},           // a stray last byte of UTF-16 is dropped
        {"\xEF\xBB\xBF" + utf8_text, emoji},
        {utf8_text, emoji},
        // Not UTF-8, so MacRoman throughout.
        {"\"caf\x8E\" = \"\xDB \xF0\x9F\x98\x80\";", u"\u20AC \uF8FF\u00FC\u00F2\u00C4"},
        {"\"caf\x8E\" = \"ok\";", u"ok"},
    };
    for (const auto &[document, expected] : cases) {
        Parsed parsed = parse(document);
        ASSERT_TRUE(parsed.value) << error_text(parsed);
        EXPECT_EQ(expected, utf16(lookup(parsed.value.get(), "caf\xC3\xA9"))) << (&document - &cases[0].first);
    }
}

TEST_F(StringsFile, MutableLeavesOption) {
    Parsed parsed = parse("k = v; d = <00>;", kCFPropertyListMutableContainersAndLeaves);
    ASSERT_TRUE(parsed.value);
    auto value = static_cast<CFMutableStringRef>(const_cast<void *>(lookup(parsed.value.get(), "k")));
    CFStringAppend(value, CFSTR("2"));
    EXPECT_EQ("v2", utf8(value));
    auto table = static_cast<CFMutableDictionaryRef>(const_cast<void *>(parsed.value.get()));
    CFDictionaryRemoveValue(table, CFSTR("d"));
    EXPECT_EQ(1, CFDictionaryGetCount(table));
}

TEST_F(StringsFile, ReportsMalformedInputWithItsLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"\"a\" = \"1\";\n\"b\" = \"2\";\n\"c\" = \"3\";\n\"d\" = \"4\"\n\"e\" = \"5\";\n", "Missing ';' on line 4"},
        {"a = b;\r\nc = d\r\ne = f;", "Missing ';' on line 2"},
        {"a = b;\rc = d", "Missing ';' on line 2"},
        {"a = b;\n\nc = \"open\n;\n", "Unterminated quoted string on line 3"},
        {"a = 'x\\", "Unterminated quoted string on line 1"},
        {"a = b;\n/* never closed\n", "Unterminated comment on line 2"},
        {"{\n  ( x ) = y;\n}", "Dictionary key is not a string on line 2"},
        {"a = b;\n\"k\" \"v\";", "Missing '=' or ';' after a key on line 2"},
        {"a = b;\n@ = c;", "Unexpected '@' on line 2"},
        {"a =\n", "Unexpected end of data on line 2"},
        {"x = {\n a = b;\n", "Missing '}' for the dictionary opened on line 1"},
        {"x = (\n a,\n b c);", "Missing ',' in array on line 3"},
        {"x = ( a, b;", "Missing ',' in array on line 1"},
        {"x = (\n", "Missing ')' for the array opened on line 1"},
        {"x = <0g>;", "Bad hex digit 'g' in data on line 1"},
        {"x = <abc>;", "Odd number of hex digits in data on line 1"},
        {"x = <ab", "Missing '>' for the data opened on line 1"},
        {"( a )\n)", "Unexpected ')' after the property list on line 2"},
    };
    for (const auto &[document, expected] : cases) {
        Parsed parsed = parse(document);
        EXPECT_FALSE(parsed.value) << document;
        EXPECT_NE(error_text(parsed).find(expected), std::string::npos)
            << document << " gave: " << error_text(parsed);
    }
}

TEST_F(StringsFile, CapsNestingDepth) {
    auto nested = [](int depth) { return std::string(static_cast<size_t>(depth), '(') + std::string(static_cast<size_t>(depth), ')'); };
    Parsed parsed = parse(nested(512));
    EXPECT_TRUE(parsed.value) << error_text(parsed);
    parsed = parse(nested(513));
    EXPECT_FALSE(parsed.value);
    EXPECT_NE(error_text(parsed).find("Nesting too deep on line 1"), std::string::npos);
    parsed = parse("k = " + std::string(100000, '{'));
    EXPECT_FALSE(parsed.value);
}

TEST_F(StringsFile, EveryTruncationReturnsCleanly) {
    expect_every_prefix_handled(kSample);
    std::u16string wide(kSample.begin(), kSample.end());
    expect_every_prefix_handled(utf16le_with_mark(wide));
}

}  // namespace
