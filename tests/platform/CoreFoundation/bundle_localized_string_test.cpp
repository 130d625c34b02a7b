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
        auto key_string = key ? make_string(key) : nullptr;
        auto value_string = value ? make_string(value) : nullptr;
        auto table_string = table ? make_string(table) : nullptr;
        auto result = own(CFBundleCopyLocalizedString(bundle, key_string.get(), value_string.get(), table_string.get()));
        return utf8(result.get());
    }

    Owned<CFBundleRef> bundle_;
};

TEST_F(ProbeStringsTest, FindsKeysOfTheDevelopmentRegionByDefault) {
    EXPECT_EQ(localized("Greeting"), "Hello");
    EXPECT_EQ(localized("Farewell", "unused"), "Goodbye");
}

TEST_F(ProbeStringsTest, UsesThePreferredLocalizationsTable) {
    prefer("de");
    EXPECT_EQ(localized("Greeting"), "Grüß dich");  // a UTF-16 table
    EXPECT_EQ(localized("Farewell"), "Auf Wiedersehen");
}

TEST_F(ProbeStringsTest, ARegionFallsBackToItsLanguage) {
    prefer("de_CH");
    EXPECT_EQ(localized("Greeting"), "Grüß dich");
}

TEST_F(ProbeStringsTest, AKeyOnlyTheDevelopmentRegionHasStillResolves) {
    prefer("de");
    EXPECT_EQ(localized("OnlyInDevelopmentRegion", "fallback"), "Only in English");
}

TEST_F(ProbeStringsTest, AMissingKeyGivesTheValueOrElseTheKey) {
    EXPECT_EQ(localized("Unknown", "Fallback"), "Fallback");
    EXPECT_EQ(localized("Unknown", nullptr), "Unknown");
    EXPECT_EQ(localized("Unknown", ""), "Unknown");
}

TEST_F(ProbeStringsTest, ANullKeyGivesTheValueItselfOrAnEmptyString) {
    auto value = make_string("Value");
    auto result = own(CFBundleCopyLocalizedString(bundle_.get(), nullptr, value.get(), nullptr));
    EXPECT_EQ(result.get(), value.get());
    EXPECT_EQ(CFGetRetainCount(value.get()), 2);
    auto empty = own(CFBundleCopyLocalizedString(bundle_.get(), nullptr, nullptr, nullptr));
    ASSERT_TRUE(empty);
    EXPECT_EQ(CFStringGetLength(empty.get()), 0);
}

TEST_F(ProbeStringsTest, ANullBundleGivesTheFallback) {
    EXPECT_EQ(localized_in(nullptr, "Greeting", "Value", nullptr), "Value");
    EXPECT_EQ(localized_in(nullptr, "Greeting", nullptr, nullptr), "Greeting");
    EXPECT_EQ(localized_in(nullptr, nullptr, nullptr, nullptr), "");
}

TEST_F(ProbeStringsTest, TheResultIsANewReference) {
    auto key = make_string("Unknown");
    CFStringRef first = CFBundleCopyLocalizedString(bundle_.get(), key.get(), nullptr, nullptr);
    CFStringRef second = CFBundleCopyLocalizedString(bundle_.get(), CFSTR("Greeting"), nullptr, nullptr);
    EXPECT_EQ(first, key.get());
    EXPECT_EQ(CFGetRetainCount(key.get()), 2);
    CFRelease(first);
    CFRelease(second);
    // The cached table still owns its value after the caller released its copy.
    EXPECT_EQ(localized("Greeting"), "Hello");
}

TEST_F(ProbeStringsTest, AnEmptyOrNullTableNameMeansLocalizable) {
    EXPECT_EQ(localized("Greeting", nullptr, ""), "Hello");
    EXPECT_EQ(localized("Greeting", nullptr, "Localizable"), "Hello");
}

TEST_F(ProbeStringsTest, ReadsNamedTablesCaseSensitively) {
    EXPECT_EQ(localized("Open", nullptr, "Menus"), "Open…");
    EXPECT_EQ(localized("Greeting", nullptr, "Menus"), "Hello from the menus");
    EXPECT_EQ(localized("Open", "fallback", "menus"), "fallback");
    EXPECT_EQ(localized("Open", "fallback", "Nowhere"), "fallback");
    EXPECT_EQ(localized("Farewell", "fallback", "Menus"), "fallback");
    prefer("de");
    EXPECT_EQ(localized("Open", nullptr, "Menus"), "Öffnen…");
}

TEST_F(ProbeStringsTest, APreferenceChangeTakesEffectForLaterLookups) {
    prefer("de");
    EXPECT_EQ(localized("Greeting"), "Grüß dich");
    prefer("en");
    EXPECT_EQ(localized("Greeting"), "Hello");
    prefer("de");
    EXPECT_EQ(localized("Greeting"), "Grüß dich");
    PlatformSetPreferredLocalization(nullptr);
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(localized("Greeting"), "Grüß dich");
}

// --- bundles whose tables are written at test time ---

class WrittenStringsTest : public BundleTest {
protected:
    void SetUp() override {
        BundleTest::SetUp();
        folder_ = make_bundle("Strings", info_plist({{"CFBundleIdentifier", "com.quorven.test.strings"}}));
    }

    void write_table(const std::string &relative_path, const std::string &content) {
        write_file(folder_ / "Contents" / "Resources" / relative_path, content);
    }

    static std::string lookup(CFBundleRef bundle, const char *key) {
        auto key_string = make_string(key);
        auto result = own(CFBundleCopyLocalizedString(bundle, key_string.get(), CFSTR("fallback"), nullptr));
        return utf8(result.get());
    }

    fs::path folder_;
};

TEST_F(WrittenStringsTest, EachTableIsParsedOncePerBundle) {
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"First\";\n");
    auto bundle = create_bundle(folder_);
    EXPECT_EQ(lookup(bundle.get(), "Key"), "First");
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"Second\";\n");
    EXPECT_EQ(lookup(bundle.get(), "Key"), "First");
    bundle.reset();  // the cache goes with the bundle
    bundle = create_bundle(folder_);
    EXPECT_EQ(lookup(bundle.get(), "Key"), "Second");
}

TEST_F(WrittenStringsTest, TheCacheIsKeptPerLocalization) {
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"English\";\n");
    write_table("fr.lproj/Localizable.strings", "\"Key\" = \"Français\";\n");
    auto bundle = create_bundle(folder_);
    EXPECT_EQ(lookup(bundle.get(), "Key"), "English");
    prefer("fr");
    EXPECT_EQ(lookup(bundle.get(), "Key"), "Français");
    write_table("fr.lproj/Localizable.strings", "\"Key\" = \"Changé\";\n");
    prefer("en");
    EXPECT_EQ(lookup(bundle.get(), "Key"), "English");
    prefer("fr");
    EXPECT_EQ(lookup(bundle.get(), "Key"), "Français");
}

TEST_F(WrittenStringsTest, AMalformedTableGivesTheFallbackAndIsReportedOnce) {
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"unterminated;\n");
    auto bundle = create_bundle(folder_);
    testing::internal::CaptureStderr();
    EXPECT_EQ(lookup(bundle.get(), "Key"), "fallback");
    EXPECT_EQ(lookup(bundle.get(), "Key"), "fallback");
    std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_THAT(messages, HasSubstr("Localizable.strings"));
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 1);
}

TEST_F(WrittenStringsTest, AMalformedPreferredTableFallsBackToTheDevelopmentRegion) {
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"English\";\n");
    write_table("de.lproj/Localizable.strings", "( \"not\", \"a\", \"table\" )");
    prefer("de");
    auto bundle = create_bundle(folder_);
    testing::internal::CaptureStderr();
    EXPECT_EQ(lookup(bundle.get(), "Key"), "English");
    testing::internal::GetCapturedStderr();
}

TEST_F(WrittenStringsTest, ARegionTableNeedsOnlyTheKeysThatDiffer) {
    write_table("de.lproj/Localizable.strings", "\"Hello\" = \"Guten Tag\";\n\"Bye\" = \"Tschüss\";\n");
    write_table("de_CH.lproj/Localizable.strings", "\"Hello\" = \"Grüezi\";\n");
    prefer("de_CH");
    auto bundle = create_bundle(folder_);
    EXPECT_EQ(lookup(bundle.get(), "Hello"), "Grüezi");
    EXPECT_EQ(lookup(bundle.get(), "Bye"), "Tschüss");
}

TEST_F(WrittenStringsTest, AGlobalTableBeatsLocalizedOnes) {
    write_table("Localizable.strings", "\"Key\" = \"Global\";\n");
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"English\";\n\"Other\" = \"English other\";\n");
    auto bundle = create_bundle(folder_);
    EXPECT_EQ(lookup(bundle.get(), "Key"), "Global");
    EXPECT_EQ(lookup(bundle.get(), "Other"), "English other");
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
        EXPECT_EQ(lookup(bundle.get(), "Key"), "English");
        std::string message = testing::internal::GetCapturedStderr();
        EXPECT_THAT(message, HasSubstr(table.string() + ": it " + hostile.reason));
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    }
}

TEST_F(WrittenStringsTest, ATableNameIsNeverAPath) {
    write_table("en.lproj/Localizable.strings", "\"Key\" = \"English\";\n");
    write_table("Secret.strings", "\"Key\" = \"Secret\";\n");
    auto bundle = create_bundle(folder_);
    auto result = own(CFBundleCopyLocalizedString(bundle.get(), CFSTR("Key"), CFSTR("fallback"), CFSTR("../Secret")));
    EXPECT_EQ(utf8(result.get()), "fallback");
}

}  // namespace
