// The Summary rows: which rows, in which order, with titles from the bundle's strings table and
// values as the user sees them; all rows or none.
#include "jobmode_test_support.h"

#include "qel-pane.h"
#include "qel-source.h"

#include <platform/test_support.h>

#include <fstream>
#include <utility>
#include <vector>

namespace jobmode_test {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

class JobModeSummary : public PaneTest {
protected:
    // The rows of GetSummaryText, or the status when it fails.
    OSStatus summary(Rows &rows) {
        rows.clear();
        CFArrayRef titles = nullptr;
        CFArrayRef values = nullptr;
        OSStatus status = GetSummaryText(context(), &titles, &values);
        if (status != noErr) return status;
        auto ownedTitles = cf::adopt(titles);
        auto ownedValues = cf::adopt(values);
        EXPECT_EQ(CFArrayGetCount(titles), CFArrayGetCount(values)) << "titles and values must pair up";
        for (CFIndex index = 0; index < CFArrayGetCount(titles); index++)
            rows.emplace_back(cf::utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(titles, index))),
                              index < CFArrayGetCount(values)
                                  ? cf::utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(values, index)))
                                  : "<none>");
        return noErr;
    }

    void choose(SInt32 printMode, SInt32 departmentSwitch, SInt32 blankPages = 1) {
        SetControl32BitValue(record_->control_PrintMode, printMode);
        SetControl32BitValue(record_->control_Department, departmentSwitch);
        SetControl32BitValue(record_->control_BlankPages, blankPages);
    }

    // A failed call must hand out nothing: the out-parameters keep what they held.
    void expectFailureHandsOutNothing(OSStatus expected) {
        const CFArrayRef untouched = reinterpret_cast<CFArrayRef>(this);
        CFArrayRef titles = untouched;
        CFArrayRef values = untouched;
        EXPECT_EQ(expected, GetSummaryText(context(), &titles, &values));
        EXPECT_EQ(untouched, titles);
        EXPECT_EQ(untouched, values);
    }
};

TEST_F(JobModeSummary, RowsFollowPrintModeAndSwitch) {
    setFieldText(record_->control_DIN, "7");
    setFieldText(record_->control_DC, "");
    const struct {
        SInt32 printMode;
        SInt32 departmentSwitch;
        Rows rows;
    } cases[] = {
        {1, 1, {{"Print Mode", "Normal"}, {"Print Blank Pages", "Off"}}},
        {2, 1, {{"Print Mode", "Hold"}, {"Print Blank Pages", "Off"}}},
        {4, 1, {{"Print Mode", "Private"}, {"Document Number", "00007"}, {"Print Blank Pages", "Off"}}},
        {3, 2, {{"Print Mode", "Proof"}, {"Print Blank Pages", "Off"}, {"Department Code", "00000"}}},
        {4, 2,
         {{"Print Mode", "Private"},
          {"Document Number", "00007"},
          {"Print Blank Pages", "Off"},
          {"Department Code", "00000"}}},
    };
    for (const auto &row : cases) {
        choose(row.printMode, row.departmentSwitch);
        Rows rows;
        ASSERT_EQ(noErr, summary(rows));
        EXPECT_EQ(row.rows, rows) << "print mode " << row.printMode << ", switch " << row.departmentSwitch;
    }
}

TEST_F(JobModeSummary, NumbersAreShownInFullAndLongTextUnchanged) {
    choose(4, 2, 2);
    setFieldText(record_->control_DIN, "1234567");
    setFieldText(record_->control_DC, "305");
    Rows rows;
    ASSERT_EQ(noErr, summary(rows));
    Rows expected = {{"Print Mode", "Private"},
                     {"Document Number", "1234567"},
                     {"Print Blank Pages", "On"},
                     {"Department Code", "00305"}};
    EXPECT_EQ(expected, rows);
}

TEST_F(JobModeSummary, RowsFollowTheControlsNotTheTicket) {
    setEntry(ppd(), "PrintMode", "Private");
    ASSERT_EQ(noErr, SyncPaneFromTicket(context(), session()));
    choose(1, 2, 2);
    setFieldText(record_->control_DC, "9");
    Rows rows;
    ASSERT_EQ(noErr, summary(rows));
    Rows expected = {{"Print Mode", "Normal"}, {"Print Blank Pages", "On"}, {"Department Code", "00009"}};
    EXPECT_EQ(expected, rows);
}

TEST_F(JobModeSummary, AnUnreadableNumberShowsAnEmptyValue) {
    choose(4, 1);
    PlatformInjectFault("GetControlData", 1, errDataNotSupported);
    Rows rows;
    ASSERT_EQ(noErr, summary(rows));
    Rows expected = {{"Print Mode", "Private"}, {"Document Number", ""}, {"Print Blank Pages", "Off"}};
    EXPECT_EQ(expected, rows);
}

TEST_F(JobModeSummary, APrintModePopupWithoutAMenuFails) {
    SetControlPopupMenuHandle(record_->control_PrintMode, nullptr);
    expectFailureHandsOutNothing(kPMGeneralError);
}

TEST_F(JobModeSummary, ABlankPagesPopupWithoutAMenuDiscardsTheRowsBefore) {
    choose(4, 2);
    SetControlPopupMenuHandle(record_->control_BlankPages, nullptr);
    expectFailureHandsOutNothing(kPMGeneralError);
}

TEST_F(JobModeSummary, AFailedItemTextCopyReturnsItsStatus) {
    PlatformInjectFault("CopyMenuItemTextAsCFString", 2, menuItemNotFoundErr);
    expectFailureHandsOutNothing(menuItemNotFoundErr);
    PlatformInjectFault("CopyMenuItemTextAsCFString", 1, menuItemNotFoundErr);
    expectFailureHandsOutNothing(menuItemNotFoundErr);
}

TEST_F(JobModeSummary, WithoutItsBundleEveryTitleReportsTheMissingTable) {
    choose(4, 1);
    setFieldText(record_->control_DIN, "5");
    PlatformInjectFault("CFBundleGetBundleWithIdentifier", 1, 0);
    Rows rows;
    ASSERT_EQ(noErr, summary(rows));
    Rows expected = {{"Missing Localizable.strings", "Private"},
                     {"Document Number", "00005"},
                     {"Print Blank Pages", "Off"}};
    EXPECT_EQ(expected, rows);
}

TEST_F(JobModeSummary, BadArgumentsAreRefused) {
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;
    EXPECT_EQ(kPMInvalidPDEContext, GetSummaryText(0, &titles, &values));
    EXPECT_EQ(paramErr, GetSummaryText(context(), nullptr, &values));
    EXPECT_EQ(paramErr, GetSummaryText(context(), &titles, nullptr));
    EXPECT_EQ(nullptr, titles);
    EXPECT_EQ(nullptr, values);
}

// The pane in German: the nib's item texts and the German strings table.
class JobModeSummaryInGerman : public JobModeSummary {
protected:
    const char *localization() const override { return "de"; }
};

TEST_F(JobModeSummaryInGerman, TitlesAndItemTextsAreGerman) {
    choose(4, 2, 2);
    setFieldText(record_->control_DIN, "12");
    setFieldText(record_->control_DC, "345");
    Rows rows;
    ASSERT_EQ(noErr, summary(rows));
    Rows expected = {{"Druckmodus", "Vertraulich"},
                     {"Dokumentnummer", "00012"},
                     {"Leerseiten drucken", "Ein"},
                     {"Abteilungscode", "00345"}};
    EXPECT_EQ(expected, rows);
}

// A bundle whose strings tables lack the blank-pages title.
class JobModeSummaryWithoutBlankPagesTitle : public JobModeSummary {
protected:
    void SetUp() override {
        for (const char *language : {"en", "de"}) {
            std::ofstream table(copy_.resources() / (std::string(language) + ".lproj") / "Localizable.strings",
                                std::ios::trunc);
            table << "\"DINTITLE\" = \"Mode " << language << "\";\n\"DIN\" = \"Number\";\n\"DC\" = \"Code\";\n";
        }
        JobModeSummary::SetUp();
    }
    std::string bundlePath() const override { return copy_.path().string(); }

    BundleCopy copy_;
};

TEST_F(JobModeSummaryWithoutBlankPagesTitle, ThatRowIsTitledMissingLocalizableStrings) {
    choose(1, 2);
    setFieldText(record_->control_DC, "24680");
    Rows rows;
    ASSERT_EQ(noErr, summary(rows));
    Rows expected = {{"Mode en", "Normal"}, {"Missing Localizable.strings", "Off"}, {"Code", "24680"}};
    EXPECT_EQ(expected, rows);
}

}  // namespace
}  // namespace jobmode_test
