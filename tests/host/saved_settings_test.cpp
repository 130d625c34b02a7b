// The names of saved settings: destinations and presets as CUPS takes them, and the options that
// are never saved. Saving and reading against a server: tests/cups/saved_settings_test.sh.
#include <printdialog/saved_settings.h>

#include <gtest/gtest.h>

namespace {

TEST(SavedSettingsNames, ADestinationIsAQueueAndMaybeAPresetCUPSTakes) {
    struct Case {
        std::string text, queue, instance, error;
    } cases[] = {
        {"q7140", "q7140", "", ""},
        {"q7140/draft", "q7140", "draft", ""},
        {"q7140/Entwürfe-2", "q7140", "Entwürfe-2", ""},
        {"", "", "", "'' names no queue"},
        {"/draft", "", "", "'/draft' names no queue"},
        {"q7140/", "", "", "'q7140/': a preset needs a name"},
        {"q7140/two words", "", "", "'q7140/two words': a preset name cannot hold blanks or control characters"},
        {"q7140/a/b", "", "", "'q7140/a/b': a preset name cannot hold '/'"},
        {"q7140/a#b", "", "", "'q7140/a#b': a preset name cannot hold '#'"},
        {"q7140/it's", "", "", "'q7140/it's': a preset name cannot hold '''"},
        {"q7140/tab\there", "", "", "'q7140/tab\there': a preset name cannot hold blanks or control characters"},
        {"q7140/\xff", "", "", "'q7140/\xff': a preset name must be UTF-8 text"},
        {"q7140/" + std::string(128, 'n'), "", "", "'q7140/" + std::string(128, 'n') + "': a preset name has at most 127 bytes"},
    };
    for (const Case &each : cases) {
        printdialog::DestinationName name;
        std::string error;
        EXPECT_EQ(each.error.empty(), printdialog::parseDestinationName(each.text, name, error)) << each.text;
        EXPECT_EQ(each.error, error) << each.text;
        if (!each.error.empty()) continue;
        EXPECT_EQ(each.queue, name.queue);
        EXPECT_EQ(each.instance, name.instance);
        EXPECT_EQ(each.text, name.text()) << "the name reads back as lp -d takes it";
    }
    EXPECT_EQ("", printdialog::instanceNameProblem(std::string(127, 'n')));
}

TEST(SavedSettingsNames, OnlyTheFiveDocumentNumberDigitsAreNeverSaved) {
    for (const char *key : {"DINDigit1", "DINDigit3", "DINDigit5"}) EXPECT_TRUE(printdialog::isNeverSaved(key)) << key;
    for (const char *key : {"DINDigit0", "DINDigit6", "DINDigit12", "DINDigit", "DCDigit1", "PrintMode", "dindigit1"})
        EXPECT_FALSE(printdialog::isNeverSaved(key)) << key;
}

}  // namespace
