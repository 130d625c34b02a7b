// The --ticket reader and the way back: presets read from JSON, written as JSON again by
// jsonFromProperty, must read back equal. Inputs here are ones the ticket fuzzer found.
#include <printdialog/extension.h>
#include <printdialog/json.h>
#include <printdialog/ticket_preset.h>

#include <gtest/gtest.h>
#include <platform/cf_ref.h>
#include <platform/test_support.h>

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
            std::string written = printdialog::json::write(printdialog::jsonFromProperty(presets.get()), indent);
            auto again = newPresets();
            ASSERT_TRUE(printdialog::addTicketPresetsFromJSON(written, again.get(), error)) << error << "\n" << written;
            EXPECT_TRUE(CFEqual(presets.get(), again.get())) << "read back differently from\n" << written;
        }
    }

private:
    long cfObjectsBefore_ = 0;
};

TEST_F(TicketPresetRoundTrip, KeepsNulCharactersInsideValuesAndKeys) {
    expectRoundTrip(R"({"PrintMode": "x\u0000y", "DIN\u0000Digit1": ["\u0000", {"a\u0000": "\u0000b"}]})");
}

TEST_F(TicketPresetRoundTrip, KeepsLeadingZeroWidthNoBreakSpaces) {
    expectRoundTrip("{\"\xEF\xBB\xBF\xEF\xBB\xBF" "D\": \"9\", \"PrintMode\": \"\xEF\xBB\xBFx\"}");
}

TEST_F(TicketPresetRoundTrip, KeepsEveryJSONType) {
    expectRoundTrip(R"({"PrintMode": 5, "DINDigit1": [1, -2, 3.25], "DINDigit2": null, "DINDigit3": {"a": {"b": []}},
                       "DINDigit4": true, "DINDigit5": 1.5e-7, "DeptCode": false, "": "no key",
                       "Text\u00e9\ud83d\ude00": "\"\\\/\b\f\n\r\t", "Wide": -9223372036854775808, "Big": 1e300})");
}

TEST(HostText, CreateStringTakesALeadingZeroWidthNoBreakSpaceAsText) {
    auto string = printdialog::createString("\xEF\xBB\xBFx");
    ASSERT_TRUE(string);
    ASSERT_EQ(CFStringGetLength(string.get()), 2);
    EXPECT_EQ(CFStringGetCharacterAtIndex(string.get(), 0), 0xFEFF);
    EXPECT_EQ(printdialog::utf8(string.get()), "\xEF\xBB\xBFx");
}

TEST(HostText, Utf8KeepsEveryCharacterOfAString) {
    const UniChar characters[] = {'x', 0, 0x00E9, 0};
    auto string = cf::adopt(CFStringCreateWithCharacters(nullptr, characters, 4));
    EXPECT_EQ(printdialog::utf8(string.get()), std::string("x\0\xC3\xA9\0", 5));
    EXPECT_EQ(printdialog::utf8(nullptr), "");
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
