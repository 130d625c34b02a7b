// A bundle that does not load names the reason as its pane's loadError: a copy of the Probe
// bundle broken one way at a time.
#include "host_test_support.h"

#include <gmock/gmock.h>

#include "loader_message.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include <sys/stat.h>

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
    // Info.plist names another function as the factory: one the executable does not define.
    auto factoryNamed = [&info](const char *name, const std::string &function) {
        return BrokenBundle{
            name,
            [&info, function](const fs::path &bundle) {
                EXPECT_TRUE(replaceIn(info(bundle), ">CreatePDEFactory<", ">" + function + "<"));
            },
            [function](const fs::path &) -> Matcher<std::string> {
                return Eq("the factory made no instance for the printer-module PDE type (its factory function " +
                          function + " is missing from the executable)");
            }};
    };
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
        factoryNamed("factory function missing", "NoSuchFactory"),
        {"registration function missing",
         [&](const fs::path &bundle) {
             EXPECT_TRUE(replaceIn(info(bundle), "<key>CFPlugInFactories<", "<key>Unused<"));
             EXPECT_TRUE(replaceIn(info(bundle), "<string>NO<", "<string>YES<"));
         },
         [](const fs::path &) {
             return Eq("the bundle registers no factory for the printer-module PDE type (its registration function "
                       "CFPlugInDynamicRegister is missing from the executable)");
         }},
        // Info.plist that is no plain file: named, never read (a FIFO would never end).
        {"Info.plist a FIFO",
         [&](const fs::path &bundle) { fs::remove(info(bundle)); ASSERT_EQ(0, mkfifo(info(bundle).c_str(), 0600)); },
         [&](const fs::path &bundle) { return Eq(info(bundle).string() + " is a FIFO, not a plain file"); }},
        {"Info.plist a folder", [&](const fs::path &bundle) { fs::remove(info(bundle)); fs::create_directory(info(bundle)); },
         [&](const fs::path &bundle) { return Eq(info(bundle).string() + " is a folder, not a plain file"); }},
        {"Info.plist a link to /dev/zero",
         [&](const fs::path &bundle) { fs::remove(info(bundle)); fs::create_symlink("/dev/zero", info(bundle)); },
         [&](const fs::path &bundle) { return Eq(info(bundle).string() + " is a device, not a plain file"); }},
        {"Info.plist a link loop",
         [&](const fs::path &bundle) { fs::remove(info(bundle)); fs::create_symlink(info(bundle), info(bundle)); },
         [&](const fs::path &bundle) {
             return Eq("cannot read " + info(bundle).string() + ": Too many levels of symbolic links");
         }},
        factoryNamed("factory function from libc", "abort"),
        {"executable cut short",
         [&](const fs::path &bundle) { fs::resize_file(executable(bundle), 4096); },
         [](const fs::path &) { return AllOf(StartsWith("cannot load the executable: "), HasSubstr("truncated")); }},
    };
    for (const BrokenBundle &test : cases) {
        SCOPED_TRACE(test.name);
        PPDFolder scratch;
        fs::path bundle = fs::path(scratch.write("README", "")).parent_path() / "Probe.plugin";
        fs::copy(kProbeBundle, bundle, fs::copy_options::recursive);
        test.breakIt(bundle);
        Matcher<std::string> expected = test.loadError(bundle);

        LiveObjects before = LiveObjects::now();
        {
            printdialog::Dialog::Options options;
            options.ppdPath = sample_printers::kDX7140K;
            options.bundlePaths = {bundle.string()};
            std::string error;
            auto dialog = printdialog::Dialog::open(options, error);
            ASSERT_NE(dialog, nullptr) << error;
            ASSERT_EQ(1u, dialog->panes().size());
            EXPECT_EQ(nullptr, dialog->panes()[0]->extension);
            EXPECT_THAT(dialog->panes()[0]->loadError, expected);
        }
        EXPECT_EQ(LiveObjects::now(), before) << "a bundle that does not load leaves nothing behind";
    }
}

// Copies of the probe that load beside it or alone: a second copy is named a duplicate of the
// first, a bundle without an identifier keeps its folder's name, a folder name that is not UTF-8
// loads like any other.
TEST_F(BundleLoadReasonTest, CopiesOfABundleAreToldApart) {
    PPDFolder scratch;
    const fs::path folder = fs::path(scratch.write("README", "")).parent_path();
    auto copyProbe = [&](const std::string &name) {
        fs::copy(kProbeBundle, folder / name, fs::copy_options::recursive);
        return (folder / name).string();
    };
    auto open = [&](std::vector<std::string> bundles) {
        printdialog::Dialog::Options options;
        options.ppdPath = sample_printers::kDX7140K;
        options.bundlePaths = std::move(bundles);
        std::string error;
        auto dialog = printdialog::Dialog::open(options, error);
        EXPECT_NE(dialog, nullptr) << error;
        return dialog;
    };

    {
        auto dialog = open({kProbeBundle, copyProbe("Second.plugin")});
        ASSERT_EQ(2u, dialog->panes().size());
        EXPECT_TRUE(dialog->panes()[0]->accepted());
        EXPECT_EQ("duplicate of Probe.plugin (its factory is already registered by that bundle)",
                  dialog->panes()[1]->loadError);
    }
    {
        std::string nameless = copyProbe("Nameless.plugin");
        EXPECT_TRUE(replaceIn(fs::path(nameless) / "Contents" / "Info.plist", kProbeIdentifier, ""));
        auto dialog = open({nameless});
        ASSERT_EQ(1u, dialog->panes().size());
        EXPECT_NE(dialog->panes()[0]->extension, nullptr);
        EXPECT_EQ("Nameless", dialog->panes()[0]->shortName);
    }
    {
        auto dialog = open({copyProbe("Pr\xF6" "be.plugin")});
        ASSERT_EQ(1u, dialog->panes().size());
        EXPECT_EQ("", dialog->panes()[0]->loadError);
        EXPECT_TRUE(dialog->panes()[0]->accepted()) << dialog->panes()[0]->initializeNote;
    }
}

// Initialize fails alike for another printer and for a nib without one of the pane's controls;
// the host's note tells which, and the pane's status stays what the pane returned.
TEST_F(BundleLoadReasonTest, AFailedInitializeIsExplained) {
    {
        auto dialog = openProbeDialog(sample_printers::kDX8250K);
        ASSERT_EQ(1u, dialog->panes().size());
        EXPECT_EQ(kPMInvalidPDEContext, dialog->panes()[0]->initializeStatus);
        EXPECT_EQ("the pane's printer test did not accept this printer", dialog->panes()[0]->initializeNote);
    }
    PPDFolder scratch;
    fs::path bundle = fs::path(scratch.write("README", "")).parent_path() / "Probe.plugin";
    fs::copy(kProbeBundle, bundle, fs::copy_options::recursive);
    fs::path nib;
    for (const auto &entry : fs::recursive_directory_iterator(bundle))
        if (entry.path().filename() == "PDE.nib") nib = entry.path();
    ASSERT_FALSE(nib.empty());
    ASSERT_TRUE(replaceIn(nib, "id=\"6\"", "id=\"66\""));
    printdialog::Dialog::Options options;
    options.ppdPath = sample_printers::kDX7140K;
    options.bundlePaths = {bundle.string()};
    std::string error;
    auto dialog = printdialog::Dialog::open(options, error);
    ASSERT_NE(dialog, nullptr) << error;
    EXPECT_EQ(kPMInvalidPDEContext, dialog->panes()[0]->initializeStatus);
    EXPECT_EQ("the pane's printer test accepted this printer, but its nib has no control 'qel ' / 6",
              dialog->panes()[0]->initializeNote);
}

}  // namespace
}  // namespace host_test
