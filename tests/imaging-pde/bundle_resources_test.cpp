// The bundle's nib and strings tables against the printer's PPD, in both localizations: every
// pop-up item maps to the PPD keyword in the same position and back, and the Summary shows each
// item's own text, so no text or keyword of one table means two things.
#include "imaging_test_support.h"
#include "qel-imaging.h"

#include <gtest/gtest.h>

using namespace imaging_test;

namespace {

struct PopupUnderTest {
    SInt32 id;
    const char *ppdKey;
    CFStringRef table;
};

const PopupUnderTest kPopups[] = {
    {kColorType, "ColorType", nullptr},         {kResolution, "Resolution", nullptr},
    {kHalftone, "Halftone", kQELHalftoneTable}, {kImageType, "ImageType", nullptr},
    {kBlackOverPrint, "BlackOverPrint", nullptr}, {kPureBlackGray, "PureBlackGray", nullptr},
};

class BundleResources : public ::testing::TestWithParam<const char *> {
protected:
    static void SetUpTestSuite() { ASSERT_NE(imagingBundle(), nullptr); }

    void SetUp() override {
        localization_ = std::make_unique<test_support::LocalizationScope>(GetParam());
        IBNibRef nib = nullptr;
        ASSERT_EQ(noErr, CreateNibReferenceWithCFBundle(imagingBundle(), CFSTR("PDE"), &nib));
        ASSERT_EQ(noErr, CreateWindowFromNib(nib, CFSTR("Window"), &window_));
        DisposeNibReference(nib);
    }
    void TearDown() override {
        if (window_ != nullptr) DisposeWindow(window_);
        localization_.reset();
    }

    ControlRef control(SInt32 id) const {
        ControlID controlID = {'qel ', id};
        ControlRef found = nullptr;
        GetControlByID(window_, &controlID, &found);
        return found;
    }

    std::unique_ptr<test_support::LocalizationScope> localization_;
    WindowRef window_ = nullptr;
};

TEST_P(BundleResources, EveryItemMapsToThePPDKeywordAtItsPositionAndBack) {
    auto options = readPPDOptions(sample_printers::kDX8250K);
    for (const auto &popup : kPopups) {
        SCOPED_TRACE(popup.ppdKey);
        ControlRef control = this->control(popup.id);
        ASSERT_NE(control, nullptr);
        const auto &keywords = options[popup.ppdKey].keywords;
        ASSERT_FALSE(keywords.empty());
        ASSERT_EQ(CountMenuItems(GetControlPopupMenuHandle(control)), keywords.size());

        for (size_t index = 0; index < keywords.size(); ++index) {
            SInt32 item = static_cast<SInt32>(index + 1);
            SetControl32BitValue(control, item);
            auto copied = cf::adopt(CopyPopupMenu(control, popup.table));
            EXPECT_EQ(cf::utf8(copied.get()), keywords[index]) << "item " << item;

            SetControl32BitValue(control, item == 1 ? 2 : 1);
            SetPopupMenu(cf::string(keywords[index]).get(), control, popup.table);
            EXPECT_EQ(GetControl32BitValue(control), item) << keywords[index];
        }
    }
}

TEST_P(BundleResources, SummaryShowsEachItemsOwnText) {
    for (const auto &popup : kPopups) {
        SCOPED_TRACE(popup.ppdKey);
        ControlRef control = this->control(popup.id);
        ASSERT_NE(control, nullptr);
        UInt16 count = CountMenuItems(GetControlPopupMenuHandle(control));
        for (MenuItemIndex item = 1; item <= count; ++item) {
            SetControl32BitValue(control, item);
            auto titles = cf::adopt(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
            auto values = cf::adopt(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
            SetPopupSummaryValues(CFSTR("Title"), control, titles.get(), values.get());
            ASSERT_EQ(1, CFArrayGetCount(values.get()));
            EXPECT_EQ(cf::utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(values.get(), 0))), itemText(control, item));
        }
    }
}

TEST_P(BundleResources, CheckBoxWordsAreTwoDistinctWordsOfTheirOwn) {
    auto yes = cf::adopt(CFBundleCopyLocalizedString(imagingBundle(), CFSTR("True"), CFSTR("True"), nullptr));
    auto no = cf::adopt(CFBundleCopyLocalizedString(imagingBundle(), CFSTR("False"), CFSTR("False"), nullptr));
    EXPECT_NE(cf::utf8(yes.get()), cf::utf8(no.get()));
    for (const auto &popup : kPopups) {
        ControlRef control = this->control(popup.id);
        UInt16 count = CountMenuItems(GetControlPopupMenuHandle(control));
        for (MenuItemIndex item = 1; item <= count; ++item) {
            EXPECT_NE(itemText(control, item), cf::utf8(yes.get())) << popup.ppdKey;
            EXPECT_NE(itemText(control, item), cf::utf8(no.get())) << popup.ppdKey;
        }
    }
}

TEST_P(BundleResources, ControlsHaveTheKindsAndCommandsTheRulesNeed) {
    for (SInt32 id : {kDistinguishThinLines, kTonerSave}) {
        ControlKind kind{};
        ASSERT_EQ(noErr, GetControlKind(control(id), &kind));
        EXPECT_EQ(kind.kind, static_cast<OSType>(kControlKindCheckBox)) << id;
    }
    for (SInt32 id : {kColorType, kResolution}) {
        UInt32 command = 0;
        EXPECT_EQ(noErr, GetControlCommandID(control(id), &command));
        EXPECT_NE(command, 0u) << "pop-up " << id << " must send a command so the rules follow it";
    }
    ControlRef container = control(kContainer);
    ASSERT_NE(container, nullptr);
    for (const auto &popup : kPopups) {
        ControlRef parent = nullptr;
        ASSERT_EQ(noErr, GetSuperControl(control(popup.id), &parent));
        EXPECT_EQ(parent, container) << popup.ppdKey << " must move into the dialog with the container";
    }
}

INSTANTIATE_TEST_SUITE_P(Localizations, BundleResources, ::testing::Values("en", "de"),
                         [](const ::testing::TestParamInfo<const char *> &localization) {
                             return std::string(localization.param);
                         });

}  // namespace
