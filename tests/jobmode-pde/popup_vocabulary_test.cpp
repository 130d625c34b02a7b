// The three popups and their option keywords, both ways, on the controls of the real nib.
#include "jobmode_test_support.h"

#include "qel-source.h"

#include <utility>
#include <vector>

namespace jobmode_test {
namespace {

using JobModePopups = PaneTest;

TEST_F(JobModePopups, PrintModeItemsReadAsTheirKeywords) {
    const std::vector<std::pair<SInt32, std::string>> items = {
        {1, "Normal"}, {2, "Hold"}, {3, "Proof"}, {4, "Private"}};
    for (const auto &[item, keyword] : items) {
        SetControl32BitValue(record_->control_PrintMode, item);
        EXPECT_EQ(keyword, cf::utf8(GetPrintMode(record_->control_PrintMode))) << "item " << item;
    }
}

TEST_F(JobModePopups, PrintModeOutsideTheMenuReadsNormal) {
    ControlRef popup = record_->control_PrintMode;
    SetControl32BitMinimum(popup, 0);
    SetControl32BitMaximum(popup, 9);
    for (SInt32 value : {0, 5, 9}) {
        SetControl32BitValue(popup, value);
        ASSERT_EQ(value, GetControl32BitValue(popup));
        EXPECT_EQ("Normal", cf::utf8(GetPrintMode(popup))) << "value " << value;
    }
}

TEST_F(JobModePopups, SetPrintModeSelectsTheMatchingItem) {
    ControlRef popup = record_->control_PrintMode;
    const std::vector<std::pair<std::string, SInt32>> keywords = {
        {"Proof", 3}, {"Private", 4}, {"Hold", 2}, {"Normal", 1}};
    for (const auto &[keyword, item] : keywords) {
        SetControl32BitValue(popup, item == 4 ? 1 : 4);
        SetPrintMode(popup, cf::string(keyword).get());
        EXPECT_EQ(item, GetControl32BitValue(popup)) << keyword;
    }
}

TEST_F(JobModePopups, SetPrintModeWithAnUnknownWordSelectsNormal) {
    ControlRef popup = record_->control_PrintMode;
    for (const char *keyword : {"proof", "PRIVATE", "Draft", "", " Hold"}) {
        SetControl32BitValue(popup, 3);
        SetPrintMode(popup, cf::string(keyword).get());
        EXPECT_EQ(1, GetControl32BitValue(popup)) << '"' << keyword << '"';
    }
    SetControl32BitValue(popup, 3);
    SetPrintMode(popup, nullptr);
    EXPECT_EQ(1, GetControl32BitValue(popup));

    SInt32 four = 4;
    auto number = cf::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &four));
    SetControl32BitValue(popup, 3);
    SetPrintMode(popup, reinterpret_cast<CFStringRef>(number.get()));
    EXPECT_EQ(1, GetControl32BitValue(popup));
}

TEST_F(JobModePopups, SwitchesMapOnlyExactTrueToTheSecondItem) {
    for (ControlRef popup : {record_->control_Department, record_->control_BlankPages}) {
        bool isDepartment = popup == record_->control_Department;
        auto set = [&](const char *keyword) {
            if (isDepartment)
                SetDepartmentCode(popup, cf::string(keyword).get());
            else
                SetBlankPages(popup, cf::string(keyword).get());
        };
        auto get = [&] { return cf::utf8(isDepartment ? GetDepartmentCode(popup) : GetBlankPages(popup)); };

        set("True");
        EXPECT_EQ(2, GetControl32BitValue(popup));
        EXPECT_EQ("True", get());
        set("true");
        EXPECT_EQ(1, GetControl32BitValue(popup));
        EXPECT_EQ("False", get());
        set("True");
        set("On");
        EXPECT_EQ(1, GetControl32BitValue(popup));
        set("True");
        set("False");
        EXPECT_EQ(1, GetControl32BitValue(popup));
    }
}

TEST_F(JobModePopups, SwitchValuesOtherThanTwoReadFalse) {
    for (ControlRef popup : {record_->control_Department, record_->control_BlankPages}) {
        SetControl32BitMinimum(popup, 0);
        SetControl32BitMaximum(popup, 5);
        for (SInt32 value : {0, 1, 3, 5}) {
            SetControl32BitValue(popup, value);
            EXPECT_EQ("False", cf::utf8(GetDepartmentCode(popup))) << value;
            EXPECT_EQ("False", cf::utf8(GetBlankPages(popup))) << value;
        }
    }
}

TEST_F(JobModePopups, SettingClearsTheCheckMarkOfTheOldItem) {
    ControlRef popup = record_->control_PrintMode;
    MenuRef menu = GetControlPopupMenuHandle(popup);
    ASSERT_NE(nullptr, menu);
    SetControl32BitValue(popup, 2);
    CheckMenuItem(menu, 2, true);

    SetPrintMode(popup, CFSTR("Private"));

    CharParameter mark = 0;
    GetItemMark(menu, 2, &mark);
    EXPECT_EQ(noMark, mark) << "the old item keeps its check mark";
    EXPECT_EQ(4, GetControl32BitValue(popup));

    ControlRef department = record_->control_Department;
    MenuRef departmentMenu = GetControlPopupMenuHandle(department);
    SetControl32BitValue(department, 2);
    CheckMenuItem(departmentMenu, 2, true);
    SetDepartmentCode(department, CFSTR("False"));
    GetItemMark(departmentMenu, 2, &mark);
    EXPECT_EQ(noMark, mark);
}

TEST_F(JobModePopups, APopupWithoutAMenuIsSetAllTheSame) {
    ControlRef popup = record_->control_PrintMode;
    SetControlPopupMenuHandle(popup, nullptr);
    ASSERT_EQ(nullptr, GetControlPopupMenuHandle(popup));
    SetControl32BitMinimum(popup, 1);
    SetControl32BitMaximum(popup, 4);

    SetPrintMode(popup, CFSTR("Proof"));
    EXPECT_EQ(3, GetControl32BitValue(popup));
    EXPECT_EQ("Proof", cf::utf8(GetPrintMode(popup)));

    ControlRef blankPages = record_->control_BlankPages;
    SetControlPopupMenuHandle(blankPages, nullptr);
    SetControl32BitMinimum(blankPages, 1);
    SetControl32BitMaximum(blankPages, 2);
    SetBlankPages(blankPages, CFSTR("True"));
    EXPECT_EQ(2, GetControl32BitValue(blankPages));
}

}  // namespace
}  // namespace jobmode_test
