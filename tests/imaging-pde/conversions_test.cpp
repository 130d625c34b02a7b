// The four conversions between controls and option keywords, on controls made in code and looked
// up in the real bundle's strings tables.
#include "imaging_test_support.h"
#include "qel-imaging.h"

#include <gtest/gtest.h>

using namespace imaging_test;

namespace {

class Conversions : public test_support::LeakCheckedTest {
protected:
    static void SetUpTestSuite() {
        ASSERT_NE(imagingBundle(), nullptr);
        warmStringTables();
    }
    void SetUp() override {
        LeakCheckedTest::SetUp();
        window_ = std::make_unique<ControlWindow>();
    }
    void TearDown() override {
        PlatformClearInjectedFaults();
        window_.reset();
        LeakCheckedTest::TearDown();
    }

    // The keyword CopyPopupMenu reads, "<NULL>" for none; the copy is released here.
    static std::string keyword(ControlRef popup, CFStringRef table = nullptr) {
        CFStringRef copied = CopyPopupMenu(popup, table);
        if (copied == nullptr) return "<NULL>";
        return cf::utf8(cf::adopt(copied).get());
    }
    static std::string checkboxKeyword(ControlRef box) { return cf::utf8(cf::adopt(CopyCheckbox(box)).get()); }

    std::unique_ptr<ControlWindow> window_;
};

const std::vector<std::string> kColorTypeItems = {"Color", "Automatic Color", "Black and White"};
const std::vector<std::string> kHalftoneItems = {"Automatic", "Smooth", "Fine Detail"};

TEST_F(Conversions, CheckboxReadsTrueWhenCheckedAndFalseOtherwise) {
    EXPECT_EQ("True", checkboxKeyword(window_->checkBox(1)));
    EXPECT_EQ("False", checkboxKeyword(window_->checkBox(0)));
}

TEST_F(Conversions, CheckboxIsSetOnlyByTheExactKeywords) {
    ControlRef box = window_->checkBox(0);
    SetCheckbox(CFSTR("True"), box);
    EXPECT_EQ(1, GetControl32BitValue(box));
    for (CFStringRef other : {CFSTR("true"), CFSTR(""), CFSTR("FALSE"), CFSTR("Yes"), CFStringRef(nullptr)}) {
        SetCheckbox(other, box);
        EXPECT_EQ(1, GetControl32BitValue(box)) << cf::utf8(other);
    }
    SetCheckbox(CFSTR("False"), box);
    EXPECT_EQ(0, GetControl32BitValue(box));
    for (CFStringRef other : {CFSTR("true"), CFSTR(""), CFSTR("TRUE"), CFSTR("No")}) {
        SetCheckbox(other, box);
        EXPECT_EQ(0, GetControl32BitValue(box)) << cf::utf8(other);
    }
}

TEST_F(Conversions, ItemWhoseTextIsItsKeywordMapsWithoutAnEntry) {
    ControlRef popup = window_->popup(kColorTypeItems, 1);
    EXPECT_EQ("Color", keyword(popup));
    SetControl32BitValue(popup, 3);
    SetPopupMenu(CFSTR("Color"), popup, nullptr);
    EXPECT_EQ(1, GetControl32BitValue(popup));
}

TEST_F(Conversions, ItemWhoseTextDiffersMapsThroughBothEntries) {
    ControlRef popup = window_->popup(kColorTypeItems, 3);
    EXPECT_EQ("Mono", keyword(popup));
    SetControl32BitValue(popup, 2);
    EXPECT_EQ("AutoColor", keyword(popup));

    SetControl32BitValue(popup, 1);
    SetPopupMenu(CFSTR("Mono"), popup, nullptr);
    EXPECT_EQ(3, GetControl32BitValue(popup));
    SetPopupMenu(CFSTR("AutoColor"), popup, nullptr);
    EXPECT_EQ(2, GetControl32BitValue(popup));
}

TEST_F(Conversions, ItemTextIsNotTakenForAKeyword) {
    ControlRef popup = window_->popup(kColorTypeItems, 1);
    SetPopupMenu(CFSTR("Black and White"), popup, nullptr);
    EXPECT_EQ(1, GetControl32BitValue(popup)) << "\"Black and White\" translates to \"Mono\", which no item shows";
}

TEST_F(Conversions, OfTwoItemsWithTheSameTextTheLaterIsSelected) {
    ControlRef popup = window_->popup({"Color", "Smooth", "Color", "General"}, 4);
    SetPopupMenu(CFSTR("Color"), popup, nullptr);
    EXPECT_EQ(3, GetControl32BitValue(popup));
}

TEST_F(Conversions, KeywordThatNoItemShowsLeavesTheSelection) {
    ControlRef popup = window_->popup(kColorTypeItems, 2);
    for (CFStringRef unknown : {CFSTR("Sepia"), CFSTR("mono"), CFSTR("color"), CFSTR(""), CFStringRef(nullptr)}) {
        SetPopupMenu(unknown, popup, nullptr);
        EXPECT_EQ(2, GetControl32BitValue(popup)) << cf::utf8(unknown);
    }
}

TEST_F(Conversions, HalftoneItemsMapThroughTheHalftoneTable) {
    ControlRef popup = window_->popup(kHalftoneItems, 1);
    EXPECT_EQ("Auto", keyword(popup, kQELHalftoneTable));
    SetControl32BitValue(popup, 2);
    EXPECT_EQ("Smooth", keyword(popup, kQELHalftoneTable));
    SetControl32BitValue(popup, 3);
    EXPECT_EQ("Detail", keyword(popup, kQELHalftoneTable));

    SetPopupMenu(CFSTR("Auto"), popup, kQELHalftoneTable);
    EXPECT_EQ(1, GetControl32BitValue(popup));
    SetPopupMenu(CFSTR("Detail"), popup, kQELHalftoneTable);
    EXPECT_EQ(3, GetControl32BitValue(popup));
}

TEST_F(Conversions, HalftoneKeywordsAreUnknownToTheDefaultTable) {
    ControlRef popup = window_->popup(kHalftoneItems, 3);
    EXPECT_EQ("Fine Detail", keyword(popup));
    SetPopupMenu(CFSTR("Auto"), popup, nullptr);
    EXPECT_EQ(3, GetControl32BitValue(popup));
}

TEST_F(Conversions, DefaultTableEntriesDoNotReachTheHalftoneTable) {
    ControlRef popup = window_->popup({"Automatic", "Black and White"}, 2);
    EXPECT_EQ("Black and White", keyword(popup, kQELHalftoneTable));
    EXPECT_EQ("Mono", keyword(popup, nullptr));

    SetControl32BitValue(popup, 1);
    SetPopupMenu(CFSTR("Mono"), popup, kQELHalftoneTable);
    EXPECT_EQ(1, GetControl32BitValue(popup));
    SetPopupMenu(CFSTR("Mono"), popup, nullptr);
    EXPECT_EQ(2, GetControl32BitValue(popup));
}

TEST_F(Conversions, NoKeywordWhenNoItemIsSelected) {
    ControlRef popup = window_->popup(kColorTypeItems, 1);
    SetControl32BitMinimum(popup, 0);
    SetControl32BitValue(popup, 0);
    EXPECT_EQ("<NULL>", keyword(popup));

    SetControl32BitMaximum(popup, 5);
    SetControl32BitValue(popup, 4);
    EXPECT_EQ("<NULL>", keyword(popup));
}

TEST_F(Conversions, ValuePastSixteenBitsDoesNotWrapOntoAnItem) {
    ControlRef popup = window_->popup(kColorTypeItems, 1);
    SetControl32BitMaximum(popup, 0x10003);
    SetControl32BitValue(popup, 0x10003);
    EXPECT_EQ("<NULL>", keyword(popup)) << "65539 taken as a 16-bit index would read item 3";
}

TEST_F(Conversions, NoKeywordWhenTheItemTextCannotBeRead) {
    ControlRef popup = window_->popup(kColorTypeItems, 3);
    PlatformInjectFault("CopyMenuItemTextAsCFString", 1, menuItemNotFoundErr);
    EXPECT_EQ("<NULL>", keyword(popup));
    EXPECT_EQ("Mono", keyword(popup));
}

TEST_F(Conversions, PopupWithoutAMenuIsLeftAlone) {
    Rect bounds;
    SetRect(&bounds, 10, 10, 200, 30);
    ControlRef popup = nullptr;
    ASSERT_EQ(noErr, CreatePopupButtonControl(window_->window(), &bounds, CFSTR(""), -12345, false, 0, 0, 0, &popup));
    ASSERT_EQ(nullptr, GetControlPopupMenuHandle(popup));
    EXPECT_EQ("<NULL>", keyword(popup));
    SInt32 before = GetControl32BitValue(popup);
    SetPopupMenu(CFSTR("Color"), popup, nullptr);
    EXPECT_EQ(GetControl32BitValue(popup), before);
}

TEST_F(Conversions, ItemWhoseTextCannotBeReadIsSkippedWhileSearching) {
    ControlRef popup = window_->popup({"Color", "Photo", "Color"}, 2);
    PlatformInjectFault("CopyMenuItemTextAsCFString", 3, menuItemNotFoundErr);
    SetPopupMenu(CFSTR("Color"), popup, nullptr);
    EXPECT_EQ(1, GetControl32BitValue(popup)) << "the unreadable third item must not be chosen";

    PlatformInjectFault("CopyMenuItemTextAsCFString", 2, menuItemNotFoundErr);
    SetPopupMenu(CFSTR("Photo"), popup, nullptr);
    EXPECT_EQ(1, GetControl32BitValue(popup));
}

TEST_F(Conversions, GermanTablesMapTheGermanItemTexts) {
    test_support::LocalizationScope german("de");
    ControlRef colorType = window_->popup({"Farbe", "Automatische Farbe", "Schwarzweiß"}, 3);
    EXPECT_EQ("Mono", keyword(colorType));
    SetPopupMenu(CFSTR("Color"), colorType, nullptr);
    EXPECT_EQ(1, GetControl32BitValue(colorType));

    ControlRef halftone = window_->popup({"Automatisch", "Glatt", "Feine Details"}, 2);
    EXPECT_EQ("Smooth", keyword(halftone, kQELHalftoneTable));
    EXPECT_EQ("Glatt", keyword(halftone, nullptr));
    SetPopupMenu(CFSTR("Detail"), halftone, kQELHalftoneTable);
    EXPECT_EQ(3, GetControl32BitValue(halftone));
}

}  // namespace
