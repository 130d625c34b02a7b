// A bundle that does not load names the reason as its pane's loadError: a copy of the Probe
// bundle broken one way at a time.
#include "host_test_support.h"

#include <gmock/gmock.h>

#include "loader_message.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace host_test {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::Eq;
using ::testing::HasSubstr;
using ::testing::Matcher;
using ::testing::StartsWith;

// Replaces the first `from` in the file by `to`; false when the file has no `from`.
bool replaceIn(const fs::path &file, const std::string &from, const std::string &to) {
    std::ifstream in(file, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    size_t at = text.find(from);
    if (at == std::string::npos) return false;
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text.replace(at, from.size(), to);
    return true;
}

struct BrokenBundle {
    const char *name;
    std::function<void(const fs::path &bundle)> breakIt;
    std::function<Matcher<std::string>(const fs::path &bundle)> loadError;
};

using BundleLoadReasonTest = HostTest;

TEST_F(BundleLoadReasonTest, ThePaneNamesWhyItsBundleDidNotLoad) {
    auto info = [](const fs::path &bundle) { return bundle / "Contents" / "Info.plist"; };
    auto executable = [](const fs::path &bundle) { return bundle / "Contents" / "MacOS" / "Probe"; };
    const BrokenBundle cases[] = {
        {"folder missing", [](const fs::path &bundle) { fs::remove_all(bundle); },
         [](const fs::path &bundle) { return Eq("no bundle folder at " + bundle.string()); }},
        {"Info.plist removed", [&](const fs::path &bundle) { fs::remove(info(bundle)); },
         [](const fs::path &bundle) { return Eq("no Info.plist in " + (bundle / "Contents").string()); }},
        {"Info.plist cut short", [&](const fs::path &bundle) { fs::resize_file(info(bundle), 400); },
         [](const fs::path &) { return AllOf(StartsWith("malformed Info.plist: "), HasSubstr(" line ")); }},
        {"executable replaced by garbage",
         [&](const fs::path &bundle) { std::ofstream(executable(bundle)) << std::string(300, 'G'); },
         [&](const fs::path &bundle) { return Eq("cannot load the executable: " + test_support::loaderMessage(executable(bundle))); }},
        {"executable named ../../x",
         [&](const fs::path &bundle) { EXPECT_TRUE(replaceIn(info(bundle), ">Probe<", ">../../x<")); },
         [](const fs::path &) {
             return Eq("refused the executable: the executable name \"../../x\" contains a path separator");
         }},
        {"factory function missing",
         [&](const fs::path &bundle) { EXPECT_TRUE(replaceIn(info(bundle), ">CreatePDEFactory<", ">NoSuchFactory<")); },
         [](const fs::path &) {
             return Eq("the factory made no instance for the printer-module PDE type (its factory function "
                       "NoSuchFactory is missing from the executable)");
         }},
        {"registration function missing",
         [&](const fs::path &bundle) {
             EXPECT_TRUE(replaceIn(info(bundle), "<key>CFPlugInFactories<", "<key>Unused<"));
             EXPECT_TRUE(replaceIn(info(bundle), "<string>NO<", "<string>YES<"));
         },
         [](const fs::path &) {
             return Eq("the bundle registers no factory for the printer-module PDE type (its registration function "
                       "CFPlugInDynamicRegister is missing from the executable)");
         }},
    };
    for (const BrokenBundle &test : cases) {
        SCOPED_TRACE(test.name);
        PPDFolder scratch;
        fs::path bundle = fs::path(scratch.write("README", "")).parent_path() / "Probe.plugin";
        fs::copy(kProbeBundle, bundle, fs::copy_options::recursive);
        test.breakIt(bundle);
        Matcher<std::string> expected = test.loadError(bundle);

        LiveCounts before = LiveCounts::now();
        {
            printdialog::Dialog::Options options;
            options.ppdPath = samplePPD("QUORVEN-v-DX7140K.ppd");
            options.bundlePaths = {bundle.string()};
            std::string error;
            auto dialog = printdialog::Dialog::open(options, error);
            ASSERT_NE(dialog, nullptr) << error;
            ASSERT_EQ(dialog->panes().size(), 1u);
            EXPECT_EQ(dialog->panes()[0]->extension, nullptr);
            EXPECT_THAT(dialog->panes()[0]->loadError, expected);
        }
        EXPECT_EQ(LiveCounts::now(), before) << "a bundle that does not load leaves nothing behind";
    }
}

}  // namespace
}  // namespace host_test
