// The four conversions between controls and option keywords, on controls made in code and looked
// up in the real bundle's strings tables.
#include "imaging_test_support.h"
#include "qel-imaging.h"

#include <gtest/gtest.h>

using namespace imaging_test;

namespace {

class Conversions : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_NE(imagingBundle(), nullptr);
        warmStringTables();
    }
    void SetUp() override {
        liveAtStart_ = PlatformLiveCFObjectCount();
        window_ = std::make_unique<ControlWindow>();
    }
    void TearDown() override {
        PlatformClearInjectedFaults();
        window_.reset();
        EXPECT_EQ(PlatformLiveCFObjectCount(), liveAtStart_) << "a conversion leaked or over-released a CF object";
    }

    // The keyword CopyPopupMenu reads, "<NULL>" for none; the copy is released here.
    static std::string keyword(ControlRef popup, CFStringRef table = nullptr) {
        CFStringRef copied = CopyPopupMenu(popup, table);
        if (copied == nullptr) return "<NULL>";
        return text(cf::adopt(copied).get());
    }
    static std::string checkboxKeyword(ControlRef box) { return text(cf::adopt(CopyCheckbox(box)).get()); }

    std::unique_ptr<ControlWindow> window_;
    long liveAtStart_ = 0;
};

const std::vector<std::string> kColorTypeItems = {"Color", "Automatic Color", "Black and White"};
const std::vector<std::string> kHalftoneItems = {"Automatic", "Smooth", "Fine Detail"};

TEST_F(Conversions, CheckboxReadsTrueWhenCheckedAndFalseOtherwise) {
    EXPECT_EQ(checkboxKeyword(window_->checkBox(1)), "True");
    EXPECT_EQ(checkboxKeyword(window_->checkBox(0)), "False");
}

TEST_F(Conversions, CheckboxIsSetOnlyByTheExactKeywords) {
    ControlRef box = window_->checkBox(0);
    SetCheckbox(CFSTR("True"), box);
    EXPECT_EQ(GetControl32BitValue(box), 1);
    for (CFStringRef other : {CFSTR("true"), CFSTR(""), CFSTR("FALSE"), CFSTR("Yes"), CFStringRef(nullptr)}) {
        SetCheckbox(other, box);
        EXPECT_EQ(GetControl32BitValue(box), 1) << text(other);
    }
    SetCheckbox(CFSTR("False"), box);
    EXPECT_EQ(GetControl32BitValue(box), 0);
    for (CFStringRef other : {CFSTR("true"), CFSTR(""), CFSTR("TRUE"), CFSTR("No")}) {
        SetCheckbox(other, box);
        EXPECT_EQ(GetControl32BitValue(box), 0) << text(other);
    }
}

TEST_F(Conversions, ItemWhoseTextIsItsKeywordMapsWithoutAnEntry) {
    ControlRef popup = window_->popup(kColorTypeItems, 1);
    EXPECT_EQ(keyword(popup), "Color");
    SetControl32BitValue(popup, 3);
    SetPopupMenu(CFSTR("Color"), popup, nullptr);
    EXPECT_EQ(GetControl32BitValue(popup), 1);
}

TEST_F(Conversions, ItemWhoseTextDiffersMapsThroughBothEntries) {
    ControlRef popup = window_->popup(kColorTypeItems, 3);
    EXPECT_EQ(keyword(popup), "Mono");
    SetControl32BitValue(popup, 2);
    EXPECT_EQ(keyword(popup), "AutoColor");

    SetControl32BitValue(popup, 1);
    SetPopupMenu(CFSTR("Mono"), popup, nullptr);
    EXPECT_EQ(GetControl32BitValue(popup), 3);
    SetPopupMenu(CFSTR("AutoColor"), popup, nullptr);
    EXPECT_EQ(GetControl32BitValue(popup), 2);
}

TEST_F(Conversions, ItemTextIsNotTakenForAKeyword) {
    ControlRef popup = window_->popup(kColorTypeItems, 1);
    SetPopupMenu(CFSTR("Black and White"), popup, nullptr);
    EXPECT_EQ(GetControl32BitValue(popup), 1) << "\"Black and White\" translates to \"Mono\", which no item shows";
}

TEST_F(Conversions, OfTwoItemsWithTheSameTextTheLaterIsSelected) {
    ControlRef popup = window_->popup({"Color", "Smooth", "Color", "General"}, 4);
    SetPopupMenu(CFSTR("Color"), popup, nullptr);
    EXPECT_EQ(GetControl32BitValue(popup), 3);
}

TEST_F(Conversions, KeywordThatNoItemShowsLeavesTheSelection) {
    ControlRef popup = window_->popup(kColorTypeItems, 2);
    for (CFStringRef unknown : {CFSTR("Sepia"), CFSTR("mono"), CFSTR("color"), CFSTR(""), CFStringRef(nullptr)}) {
        SetPopupMenu(unknown, popup, nullptr);
        EXPECT_EQ(GetControl32BitValue(popup), 2) << text(unknown);
    }
}

TEST_F(Conversions, HalftoneItemsMapThroughTheHalftoneTable) {
    ControlRef popup = window_->popup(kHalftoneItems, 1);
    EXPECT_EQ(keyword(popup, kQELHalftoneTable), "Auto");
    SetControl32BitValue(popup, 2);
    EXPECT_EQ(keyword(popup, kQELHalftoneTable), "Smooth");
    SetControl32BitValue(popup, 3);
    EXPECT_EQ(keyword(popup, kQELHalftoneTable), "Detail");

    SetPopupMenu(CFSTR("Auto"), popup, kQELHalftoneTable);
    EXPECT_EQ(GetControl32BitValue(popup), 1);
    SetPopupMenu(CFSTR("Detail"), popup, kQELHalftoneTable);
    EXPECT_EQ(GetControl32BitValue(popup), 3);
}

TEST_F(Conversions, HalftoneKeywordsAreUnknownToTheDefaultTable) {
    ControlRef popup = window_->popup(kHalftoneItems, 3);
    EXPECT_EQ(keyword(popup), "Fine Detail");
    SetPopupMenu(CFSTR("Auto"), popup, nullptr);
    EXPECT_EQ(GetControl32BitValue(popup), 3);
}

TEST_F(Conversions, DefaultTableEntriesDoNotReachTheHalftoneTable) {
    ControlRef popup = window_->popup({"Automatic", "Black and White"}, 2);
    EXPECT_EQ(keyword(popup, kQELHalftoneTable), "Black and White");
    EXPECT_EQ(keyword(popup, nullptr), "Mono");

    SetControl32BitValue(popup, 1);
    SetPopupMenu(CFSTR("Mono"), popup, kQELHalftoneTable);
    EXPECT_EQ(GetControl32BitValue(popup), 1);
    SetPopupMenu(CFSTR("Mono"), popup, nullptr);
    EXPECT_EQ(GetControl32BitValue(popup), 2);
}

TEST_F(Conversions, NoKeywordWhenNoItemIsSelected) {
    ControlRef popup = window_->popup(kColorTypeItems, 1);
    SetControl32BitMinimum(popup, 0);
    SetControl32BitValue(popup, 0);
    EXPECT_EQ(keyword(popup), "<NULL>");

    SetControl32BitMaximum(popup, 5);
    SetControl32BitValue(popup, 4);
    EXPECT_EQ(keyword(popup), "<NULL>");
}

TEST_F(Conversions, ValuePastSixteenBitsDoesNotWrapOntoAnItem) {
    ControlRef popup = window_->popup(kColorTypeItems, 1);
    SetControl32BitMaximum(popup, 0x10003);
    SetControl32BitValue(popup, 0x10003);
    EXPECT_EQ(keyword(popup), "<NULL>") << "65539 taken as a 16-bit index would read item 3";
}

TEST_F(Conversions, NoKeywordWhenTheItemTextCannotBeRead) {
    ControlRef popup = window_->popup(kColorTypeItems, 3);
    PlatformInjectFault("CopyMenuItemTextAsCFString", 1, menuItemNotFoundErr);
    EXPECT_EQ(keyword(popup), "<NULL>");
    EXPECT_EQ(keyword(popup), "Mono");
}

TEST_F(Conversions, PopupWithoutAMenuIsLeftAlone) {
    Rect bounds;
    SetRect(&bounds, 10, 10, 200, 30);
    ControlRef popup = nullptr;
    ASSERT_EQ(CreatePopupButtonControl(window_->window(), &bounds, CFSTR(""), -12345, false, 0, 0, 0, &popup), noErr);
    ASSERT_EQ(GetControlPopupMenuHandle(popup), nullptr);
    EXPECT_EQ(keyword(popup), "<NULL>");
    SInt32 before = GetControl32BitValue(popup);
    SetPopupMenu(CFSTR("Color"), popup, nullptr);
    EXPECT_EQ(GetControl32BitValue(popup), before);
}

TEST_F(Conversions, ItemWhoseTextCannotBeReadIsSkippedWhileSearching) {
    ControlRef popup = window_->popup({"Color", "Photo", "Color"}, 2);
    PlatformInjectFault("CopyMenuItemTextAsCFString", 3, menuItemNotFoundErr);
    SetPopupMenu(CFSTR("Color"), popup, nullptr);
    EXPECT_EQ(GetControl32BitValue(popup), 1) << "the unreadable third item must not be chosen";

    PlatformInjectFault("CopyMenuItemTextAsCFString", 2, menuItemNotFoundErr);
    SetPopupMenu(CFSTR("Photo"), popup, nullptr);
    EXPECT_EQ(GetControl32BitValue(popup), 1);
}

TEST_F(Conversions, GermanTablesMapTheGermanItemTexts) {
    PreferredLocalization german("de");
    ControlRef colorType = window_->popup({"Farbe", "Automatische Farbe", "Schwarzweiß"}, 3);
    EXPECT_EQ(keyword(colorType), "Mono");
    SetPopupMenu(CFSTR("Color"), colorType, nullptr);
    EXPECT_EQ(GetControl32BitValue(colorType), 1);

    ControlRef halftone = window_->popup({"Automatisch", "Glatt", "Feine Details"}, 2);
    EXPECT_EQ(keyword(halftone, kQELHalftoneTable), "Smooth");
    EXPECT_EQ(keyword(halftone, nullptr), "Glatt");
    SetPopupMenu(CFSTR("Detail"), halftone, kQELHalftoneTable);
    EXPECT_EQ(GetControl32BitValue(halftone), 3);
}

}  // namespace
