// The contract of qel-pane.h held against every built pane, as the host loads them, and the
// framework's bundle and Summary helpers that the panes share.
#include "probe_test_support.h"
#include "qel-bundle.h"
#include "qel-summary.h"

#include <platform/cf_text.h>
#include <printdialog/extension.h>

#include <memory>

namespace probe_test {
namespace {

struct BuiltPane {
    const char *name;
    const char *bundlePath;
};

class EveryPaneContract : public ::testing::TestWithParam<BuiltPane> {
protected:
    void SetUp() override {
        std::string error;
        extension_ = printdialog::Extension::load(GetParam().bundlePath, error);
        ASSERT_NE(nullptr, extension_) << error;
    }
    const PlugInIntfVTable &table() const { return extension_->table(); }

private:
    std::unique_ptr<printdialog::Extension> extension_;
};

// A NULL context is refused before any other argument is judged, so missing arrays do not turn
// it into paramErr; Terminate alone accepts it.
TEST_P(EveryPaneContract, NullContextIsRefusedBeforeTheOtherArguments) {
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;
    EXPECT_EQ(kPMInvalidPDEContext, table().GetSummaryText(0, nullptr, nullptr));
    EXPECT_EQ(kPMInvalidPDEContext, table().GetSummaryText(0, &titles, nullptr));
    EXPECT_EQ(kPMInvalidPDEContext, table().GetSummaryText(0, nullptr, &values));
    EXPECT_EQ(kPMInvalidPDEContext, table().Initialize(0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(kPMInvalidPDEContext, table().Sync(0, nullptr, true));
    EXPECT_EQ(kPMInvalidPDEContext, table().Open(0));
    EXPECT_EQ(kPMInvalidPDEContext, table().Close(0));
    EXPECT_EQ(noErr, table().Terminate(0, noErr));
    EXPECT_EQ(nullptr, titles);
    EXPECT_EQ(nullptr, values);
}

// With a live context a missing array is paramErr, and nothing is stored through the other one.
TEST_P(EveryPaneContract, LiveContextRefusesAMissingArrayAndStoresNothing) {
    PMPDEContext context = 0;
    OSType creator = 0;
    CFStringRef kind = nullptr;
    CFStringRef title = nullptr;
    UInt32 width = 0;
    UInt32 height = 0;
    ASSERT_EQ(noErr, table().Prologue(&context, &creator, &kind, &title, &width, &height));
    auto ownedTitle = cf::adopt(title);
    auto untouched = cf::adopt(CFArrayCreate(kCFAllocatorDefault, nullptr, 0, &kCFTypeArrayCallBacks));
    CFArrayRef titles = untouched.get();
    CFArrayRef values = untouched.get();

    EXPECT_EQ(paramErr, table().GetSummaryText(context, nullptr, &values));
    EXPECT_EQ(paramErr, table().GetSummaryText(context, &titles, nullptr));
    EXPECT_EQ(untouched.get(), titles);
    EXPECT_EQ(untouched.get(), values);
    EXPECT_EQ(noErr, table().Terminate(context, noErr));
}

INSTANTIATE_TEST_SUITE_P(Bundles, EveryPaneContract,
                         ::testing::Values(BuiltPane{"JobMode", PDE_PLUGIN_DIR "/JobMode.plugin"},
                                           BuiltPane{"Imaging", PDE_PLUGIN_DIR "/Imaging.plugin"},
                                           BuiltPane{"ColorAdjust", PDE_PLUGIN_DIR "/ColorAdjust.plugin"},
                                           BuiltPane{"Probe", PDE_TEST_PLUGIN_DIR "/Probe.plugin"}),
                         [](const ::testing::TestParamInfo<BuiltPane> &param) {
                             return std::string(param.param.name);
                         });

// The helpers on the probe's bundle, which must be known before the live objects are counted.
class PaneHelpers : public test_support::LeakCheckedTest {
protected:
    void SetUp() override {
        makeProbeBundleKnown();
        PlatformClearInjectedFaults();
        test_support::LeakCheckedTest::SetUp();
    }
};

TEST_F(PaneHelpers, PaneBundleIsTheDeliverablesOwn) {
    CFBundleRef bundle = GetPaneBundle();
    ASSERT_NE(nullptr, bundle);
    EXPECT_EQ("com.quorven.test.pde.probe", cf::utf8(CFBundleGetIdentifier(bundle)));
}

TEST_F(PaneHelpers, LocalizedStringFallsBackToTheKey) {
    struct Case {
        bool withBundle;
        const char *key;
        CFStringRef table;
        const char *expected;
    };
    for (const Case &each : {Case{true, "MODE", nullptr, "Mode"}, Case{true, "ABSENT", nullptr, "ABSENT"},
                             Case{true, "MODE", CFSTR("NoSuchTable"), "MODE"}, Case{false, "MODE", nullptr, "MODE"}}) {
        auto key = cf::string(each.key);
        CFBundleRef bundle = each.withBundle ? GetPaneBundle() : nullptr;
        EXPECT_EQ(each.expected, cf::adopt_utf8(CopyLocalizedStringOrKey(bundle, key.get(), each.table)))
            << each.key << (each.withBundle ? " in the bundle" : " without a bundle");
    }
}

// A row goes in whole or not at all, and the caller keeps its own references.
TEST_F(PaneHelpers, SummaryRowIsAppendedWholeOrNotAtAll) {
    auto titles = cf::adopt(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
    auto values = cf::adopt(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
    auto title = cf::string("Title");
    auto value = cf::string("Value");
    CFIndex titleReferences = CFGetRetainCount(title.get());

    EXPECT_EQ(paramErr, AppendSummaryRow(titles.get(), values.get(), nullptr, value.get()));
    EXPECT_EQ(paramErr, AppendSummaryRow(titles.get(), values.get(), title.get(), nullptr));
    EXPECT_EQ(paramErr, AppendSummaryRow(nullptr, values.get(), title.get(), value.get()));
    EXPECT_EQ(paramErr, AppendSummaryRow(titles.get(), nullptr, title.get(), value.get()));
    EXPECT_EQ(0, CFArrayGetCount(titles.get()));
    EXPECT_EQ(0, CFArrayGetCount(values.get()));

    EXPECT_EQ(noErr, AppendSummaryRow(titles.get(), values.get(), title.get(), value.get()));
    ASSERT_EQ(1, CFArrayGetCount(titles.get()));
    ASSERT_EQ(1, CFArrayGetCount(values.get()));
    EXPECT_EQ(title.get(), CFArrayGetValueAtIndex(titles.get(), 0));
    EXPECT_EQ(value.get(), CFArrayGetValueAtIndex(values.get(), 0));
    EXPECT_EQ(titleReferences + 1, CFGetRetainCount(title.get())) << "the array holds its own reference";
}

}  // namespace
}  // namespace probe_test
