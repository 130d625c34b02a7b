// The --ticket reader and the way back: presets read from JSON, written as JSON again by
// jsonFromProperty, must read back equal. Inputs here are ones the ticket fuzzer found.
#include <printdialog/extension.h>
#include <printdialog/json.h>
#include <printdialog/ticket_preset.h>

#include <gtest/gtest.h>
#include <platform/cf_ref.h>
#include <platform/test_support.h>

#include <limits>
#include <string>

namespace {

cf::Ref<CFMutableDictionaryRef> newPresets() {
    return cf::adopt(CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                               &kCFTypeDictionaryValueCallBacks));
}

class TicketPresetRoundTrip : public ::testing::Test {
protected:
    void SetUp() override { cfObjectsBefore_ = PlatformLiveCFObjectCount(); }
    void TearDown() override { EXPECT_EQ(PlatformLiveCFObjectCount(), cfObjectsBefore_) << "CF objects left alive"; }

    // Reads the text, writes the presets back as JSON and reads that again; both must be equal.
    void expectRoundTrip(const std::string &text) {
        auto presets = newPresets();
        std::string error;
        ASSERT_TRUE(printdialog::addTicketPresetsFromJSON(text, presets.get(), error)) << error;
        for (int indent : {0, 2}) {
            std::string written = printdialog::jsonText(printdialog::jsonFromProperty(presets.get()), indent);
            auto again = newPresets();
            ASSERT_TRUE(printdialog::addTicketPresetsFromJSON(written, again.get(), error)) << error << "\n" << written;
            EXPECT_TRUE(CFEqual(presets.get(), again.get())) << "read back differently from\n" << written;
        }
    }

private:
    long cfObjectsBefore_ = 0;
};

// Below the ticket's own members nothing reaches the lp line, so control characters may stay.
TEST_F(TicketPresetRoundTrip, KeepsNulCharactersInsideNestedValuesAndKeys) {
    expectRoundTrip(R"({"PrintMode": ["x\u0000y"], "DINDigit1": ["\u0000", {"a\u0000": "\u0000b\n"}]})");
}

TEST_F(TicketPresetRoundTrip, KeepsLeadingZeroWidthNoBreakSpaces) {
    expectRoundTrip("{\"\xEF\xBB\xBF\xEF\xBB\xBF" "D\": \"9\", \"PrintMode\": \"\xEF\xBB\xBFx\"}");
}

TEST_F(TicketPresetRoundTrip, KeepsEveryJSONType) {
    expectRoundTrip(R"({"PrintMode": 5, "DINDigit1": [1, -2, 3.25], "DINDigit2": null, "DINDigit3": {"a": {"b": []}},
                       "DINDigit4": true, "DINDigit5": 1.5e-7, "DeptCode": false, "": "no key",
                       "Text\u00e9\ud83d\ude00": ["\"\\\/\b\f\n\r\t"], "Wide": -9223372036854775808, "Big": 1e300,
                       "Real": 2.0, "MinusZero": -0.0, "Unsigned": 18446744073709551615})");
}

TEST_F(TicketPresetRoundTrip, SkipsALeadingByteOrderMark) {
    expectRoundTrip("\xEF\xBB\xBF{\"PrintMode\": \"Private\"}");
}

// A number keeps its kind on the way in and back out: a real stays a CFNumber of a float type
// and is written with its point, so that a ticket read back holds the same types.
TEST_F(TicketPresetRoundTrip, NumbersKeepTheirKind) {
    struct Case {
        std::string text;
        bool real;
        std::string written;
    } cases[] = {
        {"2", false, "2"},
        {"2.0", true, "2.0"},
        {"-0.0", true, "-0.0"},
        {"1e2", true, "100.0"},
        {"1.5e-7", true, "1.5e-07"},
        {"-9223372036854775808", false, "-9223372036854775808"},
        {"9223372036854775807", false, "9223372036854775807"},
        {"9223372036854775808", true, "9.223372036854776e+18"},
    };
    for (const auto &each : cases) {
        for (const std::string &text : {each.text, each.written}) {
            auto presets = newPresets();
            std::string error;
            ASSERT_TRUE(printdialog::addTicketPresetsFromJSON("{\"N\": " + text + "}", presets.get(), error)) << error;
            auto number = static_cast<CFNumberRef>(CFDictionaryGetValue(presets.get(), CFSTR("N")));
            ASSERT_NE(number, nullptr) << text;
            ASSERT_EQ(CFGetTypeID(number), CFNumberGetTypeID()) << text;
            EXPECT_EQ(CFNumberIsFloatType(number) != false, each.real) << text;
            EXPECT_EQ(printdialog::jsonText(printdialog::jsonFromProperty(number), 0), each.written) << text;
        }
    }
}

// What the reader refuses, and how it names the place: the line for the JSON text, the member
// for a control character in a key or string value (a NUL would cut the option libcups sees
// short, a line break split the lp command). A refused ticket presets nothing.
TEST_F(TicketPresetRoundTrip, RefusalsNameTheLineOrTheMember) {
    struct Case {
        std::string text;
        std::string error;  // the whole message, or its start when it ends in ": "
    } cases[] = {
        {R"({"DeptCode": "1", "PrintMode": "Private\u0000junk"})",
         R"(the value of "PrintMode" contains a NUL character)"},
        {R"({"DeptCode": "1", "Print\u0000Mode": 5})", R"(the key "Print\u0000Mode" contains a NUL character)"},
        {R"({"PrintMode": "Private\r\n"})", R"(the value of "PrintMode" contains a control character (U+000D))"},
        {R"({"PrintMode": "Pri\tvate"})", R"(the value of "PrintMode" contains a control character (U+0009))"},
        {"{\"PrintMode\": \"Private\x7F\"}", R"(the value of "PrintMode" contains a control character (U+007F))"},
        {"{\"DeptCode\": \"1\",\n \"PrintMode\": \"Private\",\n \"PrintMode\": \"Draft\"}",
         R"(line 3: the key "PrintMode" is given twice)"},
        {"{\"DINDigit1\": [{\"a\": 1},\n {\"b\": 1, \"b\": 2}]}", R"(line 2: the key "b" is given twice)"},
        {"{\"DeptCode\":\n 1e400}", "line 2: "},
        {"{\"DeptCode\": 01}", "line 1: "},
        {"\xEF\xBB\xBF\xEF\xBB\xBF{}", "line 1: "},
        {"{\"a\": " + std::string(257, '[') + std::string(257, ']') + "}", "line 1: nesting too deep"},
    };
    for (const auto &each : cases) {
        auto presets = newPresets();
        std::string error;
        EXPECT_FALSE(printdialog::addTicketPresetsFromJSON(each.text, presets.get(), error)) << each.text;
        if (each.error.ends_with(": "))
            EXPECT_EQ(0u, error.rfind(each.error, 0)) << each.text << " gave " << error;
        else
            EXPECT_EQ(error, each.error) << each.text;
        EXPECT_EQ(0, CFDictionaryGetCount(presets.get())) << each.text;
    }
    // One level less deep is still a ticket.
    auto presets = newPresets();
    std::string error;
    EXPECT_TRUE(printdialog::addTicketPresetsFromJSON(
        "{\"a\": " + std::string(256, '[') + std::string(256, ']') + "}", presets.get(), error))
        << error;
}

TEST(TicketPresetPairs, RefuseAControlCharacterInTheKeyOrValue) {
    struct Case {
        std::string pair;
        std::string error;  // empty: taken
    } cases[] = {
        {"PrintMode=Private", ""},
        {"PrintMode=a=b c", ""},
        {"PrintMode=Private\nDeptCode=1", R"(-o: the value of "PrintMode" contains a control character (U+000A))"},
        {"Print\tMode=Private", R"(-o: the key "Print\tMode" contains a control character (U+0009))"},
    };
    for (const auto &each : cases) {
        auto presets = newPresets();
        std::string error;
        EXPECT_EQ(printdialog::addTicketPreset(each.pair, presets.get(), error), each.error.empty()) << each.pair;
        EXPECT_EQ(error, each.error);
        EXPECT_EQ(CFDictionaryGetCount(presets.get()), each.error.empty() ? 1 : 0) << each.pair;
    }
}

// The one way the programs write JSON: UTF-8 kept, control characters escaped, ill-formed
// bytes (a plug-in's diagnostics) written as U+FFFD instead of failing, reals with their point,
// and JSON's null for what JSON has no number for.
TEST(JsonText, WritesEveryValueSoThatAParserReadsItBack) {
    printdialog::Json document = printdialog::Json::object();
    document["text"] = "\xC3\xA9\x01\n\"";
    document["broken"] = "a\xFF\xC3";
    document["numbers"] = printdialog::Json::array({1, 2.0, -0.0, std::numeric_limits<double>::infinity()});
    document["empty"] = printdialog::Json::object();
    EXPECT_EQ("{\"text\":\"\xC3\xA9\\u0001\\n\\\"\",\"broken\":\"a\xEF\xBF\xBD\xEF\xBF\xBD\","
              "\"numbers\":[1,2.0,-0.0,null],\"empty\":{}}",
              printdialog::jsonText(document, 0));
    EXPECT_EQ("[\n  1,\n  2.0,\n  -0.0,\n  null\n]", printdialog::jsonText(document["numbers"]));
    printdialog::Json read;
    std::string error;
    EXPECT_TRUE(printdialog::parseJson(printdialog::jsonText(document), read, error)) << error;
    EXPECT_EQ(read["text"], document["text"]);
}

TEST(HostText, CreateStringTakesALeadingZeroWidthNoBreakSpaceAsText) {
    auto string = printdialog::createString("\xEF\xBB\xBFx");
    ASSERT_TRUE(string);
    ASSERT_EQ(2, CFStringGetLength(string.get()));
    EXPECT_EQ(0xFEFF, CFStringGetCharacterAtIndex(string.get(), 0));
    EXPECT_EQ("\xEF\xBB\xBFx", printdialog::utf8(string.get()));
}

TEST(HostText, Utf8KeepsEveryCharacterOfAString) {
    const UniChar characters[] = {'x', 0, 0x00E9, 0};
    auto string = cf::adopt(CFStringCreateWithCharacters(nullptr, characters, 4));
    EXPECT_EQ(std::string("x\0\xC3\xA9\0", 5), printdialog::utf8(string.get()));
    EXPECT_EQ("", printdialog::utf8(nullptr));
}

}  // namespace

namespace {

// A surrogate without its partner (an emoji cut in two by a paste) is shown as U+FFFD, never
// as an empty text; a whole pair stays the character it is.
TEST(HostText, Utf8ShowsALoneSurrogateAsTheReplacementCharacter) {
    struct Case {
        std::vector<UniChar> units;
        std::string expected;
    } cases[] = {
        {{'4', 0xD83D}, "4\xEF\xBF\xBD"},
        {{0xDE00, '2'}, "\xEF\xBF\xBD" "2"},
        {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
        {{0xDE00, 0xD83D}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto &each : cases) {
        auto string = cf::adopt(CFStringCreateWithCharacters(nullptr, each.units.data(), static_cast<CFIndex>(each.units.size())));
        EXPECT_EQ(each.expected, printdialog::utf8(string.get()));
    }
}

}  // namespace
