// CFBundle: creation and uniquing, lookup by identifier, Info.plist, resources
// and their localized search order, the preferred localization.
#include "bundle_test_support.h"
#include "hostile_files.h"

#include <gmock/gmock.h>

using namespace bundle_test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::string kSimpleInfo = info_plist({{"CFBundleIdentifier", "com.quorven.test.simple"}});

// --- creation and uniquing ---

using BundleCreateTest = BundleTest;

TEST_F(BundleCreateTest, ReadsTheFolderAndItsInfoPlist) {
    auto bundle = create_bundle(make_bundle("Simple", kSimpleInfo));
    ASSERT_TRUE(bundle);
    EXPECT_EQ(CFGetTypeID(bundle.get()), CFBundleGetTypeID());
    EXPECT_EQ("com.quorven.test.simple", cf::utf8(CFBundleGetIdentifier(bundle.get())));
}

TEST_F(BundleCreateTest, TheSameFolderGivesTheSameObjectRetained) {
    fs::path folder = make_bundle("Simple", kSimpleInfo);
    fs::create_directory_symlink(folder, temporary_ / "Alias.plugin");
    auto first = create_bundle(folder);
    ASSERT_TRUE(first);
    auto again = create_bundle(folder);
    auto through_dots = create_bundle(folder / "Contents" / "..");
    auto through_link = create_bundle(temporary_ / "Alias.plugin");
    EXPECT_EQ(again.get(), first.get());
    EXPECT_EQ(through_dots.get(), first.get());
    EXPECT_EQ(through_link.get(), first.get());
    EXPECT_EQ(4, CFGetRetainCount(first.get()));
}

TEST_F(BundleCreateTest, AFreedBundleIsReadAfresh) {
    fs::path folder = make_bundle("Simple", kSimpleInfo);
    create_bundle(folder).reset();
    writeFile(folder / "Contents" / "Info.plist", info_plist({{"CFBundleIdentifier", "com.quorven.test.changed"}}));
    auto bundle = create_bundle(folder);
    EXPECT_EQ("com.quorven.test.changed", cf::utf8(CFBundleGetIdentifier(bundle.get())));
}

TEST_F(BundleCreateTest, MissingFolderOrInfoPlistGivesNullQuietly) {
    fs::create_directories(temporary_ / "Empty.plugin" / "Contents");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(create_bundle(temporary_ / "Nowhere.plugin"));
    EXPECT_FALSE(create_bundle(temporary_ / "Empty.plugin"));
    EXPECT_FALSE(cf::adopt(CFBundleCreate(nullptr, nullptr)));
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

TEST_F(BundleCreateTest, MalformedInfoPlistGivesNullAndOneLine) {
    fs::path broken = make_bundle("Broken", "<plist><dict><key>CFBundleIdentifier</key>");
    fs::path not_a_dictionary = make_bundle("Listed", "<plist version=\"1.0\"><array/></plist>");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(create_bundle(broken));
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_THAT(message, HasSubstr(broken.string()));
    EXPECT_EQ(1, std::count(message.begin(), message.end(), '\n'));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(create_bundle(not_a_dictionary));
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(not_a_dictionary.string()));
}

// Whatever stands in for Info.plist, CFBundleCreate returns at once with NULL and one line that
// names the folder and says what is wrong.
TEST_F(BundleCreateTest, AnInfoPlistThatIsNoRegularFileOrTooLargeIsRefusedWithItsReason) {
    constexpr std::size_t kLimit = std::size_t{16} * 1024 * 1024;
    for (const auto &hostile : hostile_files::hostile_files(kLimit)) {
        SCOPED_TRACE(hostile.what);
        fs::path folder = temporary_ / (std::string(hostile.what) + ".plugin");
        fs::create_directories(folder / "Contents");
        hostile.make(folder / "Contents" / "Info.plist");
        testing::internal::CaptureStderr();
        EXPECT_FALSE(create_bundle(folder));
        std::string message = testing::internal::GetCapturedStderr();
        EXPECT_THAT(message, HasSubstr(folder.string()));
        EXPECT_THAT(message, HasSubstr("Info.plist " + hostile.reason));
        EXPECT_EQ(1, std::count(message.begin(), message.end(), '\n')) << message;
    }
}

// --- lookup by identifier ---

using BundleIdentifierTest = BundleTest;

TEST_F(BundleIdentifierTest, FindsALiveBundleWithoutRetainingIt) {
    auto bundle = create_bundle(make_bundle("Simple", kSimpleInfo));
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.quorven.test.simple")), bundle.get());
    EXPECT_EQ(1, CFGetRetainCount(bundle.get()));
    EXPECT_EQ(nullptr, CFBundleGetBundleWithIdentifier(CFSTR("com.quorven.test.SIMPLE")));
    EXPECT_EQ(nullptr, CFBundleGetBundleWithIdentifier(CFSTR("com.quorven.test.other")));
    EXPECT_EQ(nullptr, CFBundleGetBundleWithIdentifier(nullptr));
}

TEST_F(BundleIdentifierTest, AFreedBundleIsNoLongerFound) {
    auto bundle = create_bundle(make_bundle("Simple", kSimpleInfo));
    bundle.reset();
    EXPECT_EQ(nullptr, CFBundleGetBundleWithIdentifier(CFSTR("com.quorven.test.simple")));
}

TEST_F(BundleIdentifierTest, AnInjectedFaultGivesNullOnce) {
    auto bundle = create_bundle(make_bundle("Simple", kSimpleInfo));
    PlatformInjectFault("CFBundleGetBundleWithIdentifier", 1, -1);
    EXPECT_EQ(nullptr, CFBundleGetBundleWithIdentifier(CFSTR("com.quorven.test.simple")));
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.quorven.test.simple")), bundle.get());
}

// --- Info.plist and folders ---

using BundleInfoTest = BundleTest;

TEST_F(BundleInfoTest, GivesInfoPlistValues) {
    auto bundle = create_bundle(make_bundle(
        "Simple", info_plist({{"CFBundleIdentifier", "com.quorven.test.simple"}, {"CFBundleDevelopmentRegion", "de"}},
                             "<key>Count</key><integer>3</integer>\n")));
    CFDictionaryRef info = CFBundleGetInfoDictionary(bundle.get());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(3, CFDictionaryGetCount(info));
    EXPECT_EQ("com.quorven.test.simple", cf::utf8(static_cast<CFStringRef>(CFDictionaryGetValue(info, kCFBundleIdentifierKey))));
    CFTypeRef count = CFBundleGetValueForInfoDictionaryKey(bundle.get(), CFSTR("Count"));
    ASSERT_EQ(CFGetTypeID(count), CFNumberGetTypeID());
    EXPECT_EQ(nullptr, CFBundleGetValueForInfoDictionaryKey(bundle.get(), CFSTR("Absent")));
    EXPECT_EQ("de", cf::utf8(CFBundleGetDevelopmentRegion(bundle.get())));
}

TEST_F(BundleInfoTest, DevelopmentRegionIsEnglishWhenAbsent) {
    auto bundle = create_bundle(make_bundle("Simple", kSimpleInfo));
    EXPECT_EQ("en", cf::utf8(CFBundleGetDevelopmentRegion(bundle.get())));
}

TEST_F(BundleInfoTest, GivesTheFoldersOfTheBundle) {
    fs::path folder = make_bundle("Tool", info_plist({{"CFBundleExecutable", "Tool"}}));
    writeFile(folder / "Contents" / "MacOS" / "Tool", "binary");
    auto bundle = create_bundle(folder);
    auto bundle_url = cf::adopt(CFBundleCopyBundleURL(bundle.get()));
    auto resources_url = cf::adopt(CFBundleCopyResourcesDirectoryURL(bundle.get()));
    auto executable_url = cf::adopt(CFBundleCopyExecutableURL(bundle.get()));
    EXPECT_EQ(path_of(bundle_url.get()), folder.string());
    EXPECT_EQ(path_of(resources_url.get()), (folder / "Contents" / "Resources").string());
    EXPECT_EQ(path_of(executable_url.get()), (folder / "Contents" / "MacOS" / "Tool").string());
}

TEST_F(BundleInfoTest, NoExecutableUrlWithoutAnExecutable) {
    auto unnamed = create_bundle(make_bundle("Unnamed", kSimpleInfo));
    auto missing = create_bundle(make_bundle("Missing", info_plist({{"CFBundleExecutable", "Missing"}})));
    EXPECT_FALSE(cf::adopt(CFBundleCopyExecutableURL(unnamed.get())));
    EXPECT_FALSE(cf::adopt(CFBundleCopyExecutableURL(missing.get())));
}

TEST_F(BundleInfoTest, ANullBundleGivesNothing) {
    EXPECT_EQ(nullptr, CFBundleGetIdentifier(nullptr));
    EXPECT_EQ(nullptr, CFBundleGetInfoDictionary(nullptr));
    EXPECT_EQ(nullptr, CFBundleGetValueForInfoDictionaryKey(nullptr, kCFBundleIdentifierKey));
    EXPECT_EQ(nullptr, CFBundleGetDevelopmentRegion(nullptr));
    EXPECT_EQ(nullptr, CFBundleCopyBundleLocalizations(nullptr));
    EXPECT_EQ(nullptr, CFBundleCopyResourceURL(nullptr, CFSTR("x"), nullptr, nullptr));
    EXPECT_FALSE(CFBundleLoadExecutable(nullptr));
    EXPECT_FALSE(CFBundleLoadExecutableAndReturnError(nullptr, nullptr));
    EXPECT_FALSE(CFBundlePreflightExecutable(nullptr, nullptr));
    // Another type of object is no bundle either.
    auto not_a_bundle = static_cast<CFBundleRef>(const_cast<void *>(static_cast<const void *>(CFSTR("x"))));
    EXPECT_EQ(nullptr, CFBundleGetIdentifier(not_a_bundle));
}

// --- localizations and resources ---

class BundleResourceTest : public BundleTest {
protected:
    void SetUp() override {
        BundleTest::SetUp();
        folder_ = make_bundle("Resourceful", kSimpleInfo);
    }

    void add(const std::string &relative_path) { writeFile(resources() / relative_path, relative_path); }
    fs::path resources() const { return folder_ / "Contents" / "Resources"; }

    // The found file's path relative to Contents/Resources, or "<none>".
    std::string found(const char *name, const char *type, const char *subdirectory = nullptr) {
        auto bundle = create_bundle(folder_);
        auto name_string = cf::string(name);
        auto type_string = string_or_null(type);
        auto subdirectory_string = string_or_null(subdirectory);
        auto url = cf::adopt(CFBundleCopyResourceURL(bundle.get(), name_string.get(), type_string.get(),
                                                     subdirectory_string.get()));
        if (!url) return "<none>";
        return fs::path(path_of(url.get())).lexically_relative(resources()).string();
    }

    fs::path folder_;
};

TEST_F(BundleResourceTest, ListsTheLprojFoldersSorted) {
    for (const char *folder : {"fr_CA.lproj", "de.lproj", "en.lproj", "Other"})
        fs::create_directories(resources() / folder);
    add("notes.txt");
    add("Fake.lproj");  // a file, not a folder
    auto bundle = create_bundle(folder_);
    auto localizations = cf::adopt(CFBundleCopyBundleLocalizations(bundle.get()));
    EXPECT_THAT(texts_of(localizations.get()), ElementsAre("de", "en", "fr_CA"));
}

TEST_F(BundleResourceTest, NoResourcesFolderGivesNoLocalizations) {
    auto bundle = create_bundle(folder_);
    auto localizations = cf::adopt(CFBundleCopyBundleLocalizations(bundle.get()));
    ASSERT_TRUE(localizations);
    EXPECT_EQ(0, CFArrayGetCount(localizations.get()));
}

TEST_F(BundleResourceTest, AGlobalCopyBeatsLocalizedOnes) {
    prefer("de");
    add("icon.png");
    add("de.lproj/icon.png");
    add("en.lproj/icon.png");
    EXPECT_EQ("icon.png", found("icon", "png"));
}

TEST_F(BundleResourceTest, SearchesRegionLanguageLegacyThenDevelopmentRegion) {
    prefer("de_CH");
    EXPECT_EQ("<none>", found("page", "txt"));
    add("en.lproj/page.txt");
    EXPECT_EQ("en.lproj/page.txt", found("page", "txt"));
    add("German.lproj/page.txt");
    EXPECT_EQ("German.lproj/page.txt", found("page", "txt"));
    add("de.lproj/page.txt");
    EXPECT_EQ("de.lproj/page.txt", found("page", "txt"));
    add("de_CH.lproj/page.txt");
    EXPECT_EQ("de_CH.lproj/page.txt", found("page", "txt"));
}

TEST_F(BundleResourceTest, TheDevelopmentRegionMayUseItsLegacyName) {
    prefer("ja");
    add("English.lproj/page.txt");
    EXPECT_EQ("English.lproj/page.txt", found("page", "txt"));
    add("Japanese.lproj/page.txt");
    EXPECT_EQ("Japanese.lproj/page.txt", found("page", "txt"));
}

TEST_F(BundleResourceTest, HonoursSubfoldersAndNamesWithoutType) {
    prefer("fr");
    add("sounds/beep.aiff");
    add("fr.lproj/help/index.html");
    add("README");
    EXPECT_EQ("sounds/beep.aiff", found("beep", "aiff", "sounds"));
    EXPECT_EQ("<none>", found("beep", "aiff"));
    EXPECT_EQ("fr.lproj/help/index.html", found("index", "html", "help"));
    EXPECT_EQ("README", found("README", nullptr));
    EXPECT_EQ("README", found("README", ""));
}

// A localization that is a path, from the host, the environment or Info.plist, is no
// localization: the lproj folder it names outside the bundle is never searched.
TEST_F(BundleResourceTest, ALocalizationThatIsAPathNeverLeadsOutOfTheBundle) {
    fs::path evil = temporary_ / "outside" / "evil";
    writeFile(evil.string() + ".lproj/page.txt", "outside");
    add("en.lproj/page.txt");
    prefer(evil.c_str());
    EXPECT_EQ("en.lproj/page.txt", found("page", "txt"));
    PlatformSetPreferredLocalization(nullptr);
    setenv("LANG", evil.c_str(), 1);
    EXPECT_EQ("en.lproj/page.txt", found("page", "txt"));

    unsetenv("LANG");
    fs::remove_all(resources() / "en.lproj");
    writeFile(folder_ / "Contents" / "Info.plist", info_plist({{"CFBundleDevelopmentRegion", evil.string()}}));
    EXPECT_EQ("<none>", found("page", "txt"));
    auto bundle = create_bundle(folder_);
    EXPECT_EQ("en", cf::utf8(CFBundleGetDevelopmentRegion(bundle.get())));
}

// A name, type or subfolder that would reach a file outside Contents/Resources finds nothing,
// though the file is there; subfolders inside are still found.
TEST_F(BundleResourceTest, NamesAndSubfoldersNeverLeadOutOfTheResources) {
    fs::path outside = temporary_ / "outside";
    writeFile(outside / "secret.txt", "secret");
    writeFile(folder_ / "Contents" / "secret.txt", "secret");
    add("sub/inner/page.txt");
    struct Case {
        const char *name;
        const char *type;
        std::string subdirectory;
    };
    const Case cases[] = {
        {"../secret", "txt", ""},   {"..", nullptr, ""},          {".", nullptr, ""},
        {"secret", "txt", ".."},    {"secret", "txt", "../"},     {"secret", "txt", "sub/../.."},
        {"secret", "txt", outside.string()},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(std::string(test.name) + " in '" + test.subdirectory + "'");
        EXPECT_EQ("<none>", found(test.name, test.type, test.subdirectory.empty() ? nullptr : test.subdirectory.c_str()));
    }
    EXPECT_EQ("sub/inner/page.txt", found("page", "txt", "sub/inner"));
    EXPECT_EQ("sub/inner/page.txt", fs::path(found("page", "txt", "./sub/inner/")).lexically_normal());
}

TEST_F(BundleResourceTest, ThePreferredLocalizationComesFromTheEnvironment) {
    add("de_AT.lproj/page.txt");
    add("fr.lproj/page.txt");
    add("it.lproj/page.txt");
    add("en.lproj/page.txt");
    setenv("LANG", "de_AT.UTF-8", 1);
    EXPECT_EQ("de_AT.lproj/page.txt", found("page", "txt"));
    setenv("LC_MESSAGES", "fr_FR.UTF-8", 1);
    EXPECT_EQ("fr.lproj/page.txt", found("page", "txt"));
    setenv("LC_ALL", "it_IT@euro", 1);
    EXPECT_EQ("it.lproj/page.txt", found("page", "txt"));
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ("en.lproj/page.txt", found("page", "txt"));
    prefer("fr");  // the host's choice beats the environment
    EXPECT_EQ("fr.lproj/page.txt", found("page", "txt"));
}

// --- the preferred localization itself ---

using PreferredLocalizationTest = BundleTest;

std::string preferred_text() { return adopted_text(PlatformCopyPreferredLocalization()); }

TEST_F(PreferredLocalizationTest, ReadsTheFirstNonEmptyLocaleVariable) {
    EXPECT_EQ("<NULL>", preferred_text());
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ("de_DE", preferred_text());
    setenv("LC_ALL", "", 1);
    EXPECT_EQ("de_DE", preferred_text());
    setenv("LC_MESSAGES", "ja_JP.eucJP", 1);
    EXPECT_EQ("ja_JP", preferred_text());
    setenv("LC_ALL", "POSIX", 1);
    EXPECT_EQ("<NULL>", preferred_text());
}

// Values that are no localization name: a path (which would lead the lproj folder anywhere),
// white space, non-ASCII, other punctuation, or too long.
const std::vector<std::string> kNoLocalizations = {
    "/some/dir/evil", "../../evil", "de/../../evil", "de\\evil", "de DE", "de\nDE", "d\xC3\xA9", "de:CH",
    std::string(65, 'a')};

TEST_F(PreferredLocalizationTest, AValueThatIsNoLocalizationNameCountsAsUnset) {
    setenv("LANG", "fr_FR.UTF-8", 1);
    for (const std::string &name : kNoLocalizations) {
        SCOPED_TRACE(name);
        prefer(name.c_str());
        EXPECT_EQ("fr_FR", preferred_text()) << "the host's choice";
        PlatformSetPreferredLocalization(nullptr);
        setenv("LC_ALL", name.c_str(), 1);
        EXPECT_EQ("fr_FR", preferred_text()) << "a locale variable";
        unsetenv("LC_ALL");
    }
    setenv("LANG", "/some/dir/evil", 1);
    EXPECT_EQ("<NULL>", preferred_text());
    // The longest name allowed, and a hyphen, which becomes an underscore.
    prefer(std::string(64, 'a').c_str());
    EXPECT_EQ(preferred_text(), std::string(64, 'a'));
    prefer("de-CH");
    EXPECT_EQ("de_CH", preferred_text());
}

TEST_F(PreferredLocalizationTest, TheHostsChoiceHoldsUntilCleared) {
    setenv("LANG", "de_DE.UTF-8", 1);
    prefer("fr_CA");
    EXPECT_EQ("fr_CA", preferred_text());
    PlatformSetPreferredLocalization(nullptr);
    EXPECT_EQ("de_DE", preferred_text());
}

}  // namespace
