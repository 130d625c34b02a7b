// CFBundleCopyLocalizedString: tables of the probe plug-in and of bundles built
// at test time, the fallbacks, and the per-bundle table cache.
#include "bundle_test_support.h"
#include "hostile_files.h"

#include <gmock/gmock.h>

using namespace bundle_test;
using ::testing::HasSubstr;

namespace {

// Looks keys up in the probe plug-in's tables (its code is not needed for this).
class ProbeStringsTest : public BundleTest {
protected:
    void SetUp() override {
        BundleTest::SetUp();
        bundle_ = create_bundle(probe_bundle_path());
        ASSERT_TRUE(bundle_) << probe_bundle_path();
    }
    void TearDown() override {
        bundle_.reset();
        BundleTest::TearDown();
    }

    std::string localized(const char *key, const char *value = nullptr, const char *table = nullptr) {
        return localized_in(bundle_.get(), key, value, table);
    }

    static std::string localized_in(CFBundleRef bundle, const char *key, const char *value, const char *table) {
        auto key_string = string_or_null(key);
        auto value_string = string_or_null(value);
        auto table_string = string_or_null(table);
        return adopted_text(CFBundleCopyLocalizedString(bundle, key_string.get(), value_string.get(), table_string.get()));
    }

    cf::Ref<CFBundleRef> bundle_;
};

TEST_F(ProbeStringsTest, FindsKeysOfTheDevelopmentRegionByDefault) {
    EXPECT_EQ("Hello", localized("Greeting"));
    EXPECT_EQ("Goodbye", localized("Farewell", "unused"));
}

TEST_F(ProbeStringsTest, UsesThePreferredLocalizationsTable) {
    prefer("de");
    EXPECT_EQ("Grüß dich", localized("Greeting"));  // a UTF-16 table
    EXPECT_EQ("Auf Wiedersehen", localized("Farewell"));
}

TEST_F(ProbeStringsTest, ARegionFallsBackToItsLanguage) {
    prefer("de_CH");
    EXPECT_EQ("Grüß dich", localized("Greeting"));
}

TEST_F(ProbeStringsTest, AKeyOnlyTheDevelopmentRegionHasStillResolves) {
    prefer("de");
    EXPECT_EQ("Only in English", localized("OnlyInDevelopmentRegion", "fallback"));
}

TEST_F(ProbeStringsTest, AMissingKeyGivesTheValueOrElseTheKey) {
    EXPECT_EQ("Fallback", localized("Unknown", "Fallback"));
    EXPECT_EQ("Unknown", localized("Unknown", nullptr));
    EXPECT_EQ("Unknown", localized("Unknown", ""));
}

TEST_F(ProbeStringsTest, ANullKeyGivesTheValueItselfOrAnEmptyString) {
    auto value = cf::string("Value");
    auto result = cf::adopt(CFBundleCopyLocalizedString(bundle_.get(), nullptr, value.get(), nullptr));
    EXPECT_EQ(result.get(), value.get());
    EXPECT_EQ(2, CFGetRetainCount(value.get()));
    auto empty = cf::adopt(CFBundleCopyLocalizedString(bundle_.get(), nullptr, nullptr, nullptr));
    ASSERT_TRUE(empty);
    EXPECT_EQ(0, CFStringGetLength(empty.get()));
}

TEST_F(ProbeStringsTest, ANullBundleGivesTheFallback) {
    EXPECT_EQ("Value", localized_in(nullptr, "Greeting", "Value", nullptr));
    EXPECT_EQ("Greeting", localized_in(nullptr, "Greeting", nullptr, nullptr));
    EXPECT_EQ("", localized_in(nullptr, nullptr, nullptr, nullptr));
}

TEST_F(ProbeStringsTest, TheResultIsANewReference) {
    auto key = cf::string("Unknown");
    CFStringRef first = CFBundleCopyLocalizedString(bundle_.get(), key.get(), nullptr, nullptr);
    CFStringRef second = CFBundleCopyLocalizedString(bundle_.get(), CFSTR("Greeting"), nullptr, nullptr);
    EXPECT_EQ(first, key.get());
    EXPECT_EQ(2, CFGetRetainCount(key.get()));
    CFRelease(first);
    CFRelease(second);
    // The cached table still owns its value after the caller released its copy.
    EXPECT_EQ("Hello", localized("Greeting"));
}

TEST_F(ProbeStringsTest, AnEmptyOrNullTableNameMeansLocalizable) {
    EXPECT_EQ("Hello", localized("Greeting", nullptr, ""));
    EXPECT_EQ("Hello", localized("Greeting", nullptr, "Localizable"));
}

TEST_F(ProbeStringsTest, ReadsNamedTablesCaseSensitively) {
    EXPECT_EQ("Open…", localized("Open", nullptr, "Menus"));
    EXPECT_EQ("Hello from the menus", localized("Greeting", nullptr, "Menus"));
    EXPECT_EQ("fallback", localized("Open", "fallback", "menus"));
    EXPECT_EQ("fallback", localized("Open", "fallback", "Nowhere"));
    EXPECT_EQ("fallback", localized("Farewell", "fallback", "Menus"));
    prefer("de");
    EXPECT_EQ("Öffnen…", localized("Open", nullptr, "Menus"));
}

TEST_F(ProbeStringsTest, APreferenceChangeTakesEffectForLaterLookups) {
    prefer("de");
    EXPECT_EQ("Grüß dich", localized("Greeting"));
    prefer("en");
    EXPECT_EQ("Hello", localized("Greeting"));
    prefer("de");
    EXPECT_EQ("Grüß dich", localized("Greeting"));
    PlatformSetPreferredLocalization(nullptr);
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ("Grüß dich", localized("Greeting"));
}

// --- bundles whose tables are written at test time ---

class WrittenStringsTest : public BundleTest {
protected:
    void SetUp() override {
        BundleTest::SetUp();
        folder_ = make_bundle("Strings", info_plist({{"CFBundleIdentifier", "com.quorven.test.strings"}}));
    }

    void write_table(const std::string &relative_path, const std::string &content) {
        writeFile(folder_ / "Contents" / "Resources" / relative_path, content);
    }

    static std::string lookup(CFBundleRef bundle, const char *key) {
        return cf::adopt_utf8(CFBundleCopyLocalizedString(bundle, cf::string(key).get(), CFSTR("fallback"), nullptr));
    }

    fs::path folder_;
};

TEST_F(WrittenStringsTest, EachTableIsParsedOncePerBundle) {
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"First\";\n");
    auto bundle = create_bundle(folder_);
    EXPECT_EQ("First", lookup(bundle.get(), "Key"));
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"Second\";\n");
    EXPECT_EQ("First", lookup(bundle.get(), "Key"));
    bundle.reset();  // the cache goes with the bundle
    bundle = create_bundle(folder_);
    EXPECT_EQ("Second", lookup(bundle.get(), "Key"));
}

TEST_F(WrittenStringsTest, TheCacheIsKeptPerLocalization) {
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"English\";\n");
    write_table("fr.lproj/Localizable.strings", "\"Key\" = \"Français\";\n");
    auto bundle = create_bundle(folder_);
    EXPECT_EQ("English", lookup(bundle.get(), "Key"));
    prefer("fr");
    EXPECT_EQ("Français", lookup(bundle.get(), "Key"));
    write_table("fr.lproj/Localizable.strings", "\"Key\" = \"Changé\";\n");
    prefer("en");
    EXPECT_EQ("English", lookup(bundle.get(), "Key"));
    prefer("fr");
    EXPECT_EQ("Français", lookup(bundle.get(), "Key"));
}

// This layer's choice: the fallback is documented; the one line on stderr per table is this layer's report.
TEST_F(WrittenStringsTest, AMalformedTableGivesTheFallbackAndIsReportedOnce) {
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"unterminated;\n");
    auto bundle = create_bundle(folder_);
    testing::internal::CaptureStderr();
    EXPECT_EQ("fallback", lookup(bundle.get(), "Key"));
    EXPECT_EQ("fallback", lookup(bundle.get(), "Key"));
    std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_THAT(messages, HasSubstr("Localizable.strings"));
    EXPECT_EQ(1, std::count(messages.begin(), messages.end(), '\n'));
}

TEST_F(WrittenStringsTest, AMalformedPreferredTableFallsBackToTheDevelopmentRegion) {
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"English\";\n");
    write_table("de.lproj/Localizable.strings", "( \"not\", \"a\", \"table\" )");
    prefer("de");
    auto bundle = create_bundle(folder_);
    testing::internal::CaptureStderr();
    EXPECT_EQ("English", lookup(bundle.get(), "Key"));
    testing::internal::GetCapturedStderr();
}

TEST_F(WrittenStringsTest, ARegionTableNeedsOnlyTheKeysThatDiffer) {
    write_table("de.lproj/Localizable.strings", "\"Hello\" = \"Guten Tag\";\n\"Bye\" = \"Tschüss\";\n");
    write_table("de_CH.lproj/Localizable.strings", "\"Hello\" = \"Grüezi\";\n");
    prefer("de_CH");
    auto bundle = create_bundle(folder_);
    EXPECT_EQ("Grüezi", lookup(bundle.get(), "Hello"));
    EXPECT_EQ("Tschüss", lookup(bundle.get(), "Bye"));
}

TEST_F(WrittenStringsTest, AGlobalTableBeatsLocalizedOnes) {
    write_table("Localizable.strings", "\"Key\" = \"Global\";\n");
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"English\";\n\"Other\" = \"English other\";\n");
    auto bundle = create_bundle(folder_);
    EXPECT_EQ("Global", lookup(bundle.get(), "Key"));
    EXPECT_EQ("English other", lookup(bundle.get(), "Other"));
}

// A table that is no regular file or too large is passed over with one line, without waiting
// on it or reading it, and the lookup goes on to the development region's table.
TEST_F(WrittenStringsTest, ATableThatIsNoRegularFileOrTooLargeIsReportedAndPassedOver) {
    constexpr std::size_t kLimit = std::size_t{16} * 1024 * 1024;
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"English\";\n");
    prefer("de");
    for (const auto &hostile : hostile_files::hostile_files(kLimit)) {
        SCOPED_TRACE(hostile.what);
        fs::path table = folder_ / "Contents" / "Resources" / "de.lproj" / "Localizable.strings";
        fs::remove_all(table.parent_path());
        fs::create_directories(table.parent_path());
        hostile.make(table);
        auto bundle = create_bundle(folder_);
        testing::internal::CaptureStderr();
        EXPECT_EQ("English", lookup(bundle.get(), "Key"));
        std::string message = testing::internal::GetCapturedStderr();
        EXPECT_THAT(message, HasSubstr(table.string() + ": it " + hostile.reason));
        EXPECT_EQ(1, std::count(message.begin(), message.end(), '\n')) << message;
    }
}

// This layer's choice: a table name with a path in it finds no table, so no lookup leaves the bundle.
TEST_F(WrittenStringsTest, ATableNameIsNeverAPath) {
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"English\";\n");
    write_table("Secret.strings", "\"Key\" = \"Secret\";\n");
    auto bundle = create_bundle(folder_);
    EXPECT_EQ("fallback",
              cf::adopt_utf8(CFBundleCopyLocalizedString(bundle.get(), CFSTR("Key"), CFSTR("fallback"), CFSTR("../Secret"))));
}

}  // namespace
