// The window's words without a display: which caption labels which control, the captions'
// names and mnemonics, and the outcome of Print as the result window says it.
#include "label_pairing.h"
#include "result_message.h"

#include <gtest/gtest.h>

using namespace pdedialog;

namespace {

LayoutItem caption(int left, int top, int right, int bottom) {
    return {LayoutItem::Role::Caption, left, top, right, bottom};
}
LayoutItem control(int left, int top, int right, int bottom) {
    return {LayoutItem::Role::Control, left, top, right, bottom};
}
LayoutItem other(int left, int top, int right, int bottom) { return {LayoutItem::Role::Other, left, top, right, bottom}; }

}  // namespace

TEST(DialogCaptions, TheJobModePanesRowsPairAsItsNibPlacesThem) {
    // The job-mode nib: caption, pop-up / caption, field / caption, pop-up, field / caption, pop-up.
    std::vector<LayoutItem> items = {caption(20, 22, 170, 38),  control(180, 20, 330, 40),
                                     caption(20, 56, 170, 72),  control(182, 56, 252, 72),
                                     caption(20, 90, 170, 106), control(180, 88, 260, 108),
                                     control(272, 90, 342, 106), caption(20, 124, 170, 140),
                                     control(180, 122, 260, 142)};
    std::vector<LabelTie> ties = tieLabels(items);
    ASSERT_EQ(items.size(), ties.size());
    EXPECT_EQ(0, ties[1].caption);
    EXPECT_EQ(2, ties[3].caption);
    EXPECT_EQ(4, ties[5].caption);
    EXPECT_EQ(-1, ties[6].caption) << "the department-code field has no caption of its own";
    EXPECT_EQ(4, ties[6].neighbour) << "it is named after the pop-up beside it";
    EXPECT_EQ(7, ties[8].caption);
    for (size_t index : {0u, 2u, 4u, 7u}) EXPECT_EQ(-1, ties[index].caption) << "a caption is no control";
}

TEST(DialogCaptions, GeometryDecidesWhichCaptionLabelsWhichControl) {
    struct Case {
        const char *what;
        std::vector<LayoutItem> items;
        int control;
        int caption;
        int neighbour;
    };
    for (const Case &each : {
             Case{"a caption right of the control labels nothing", {control(10, 10, 100, 30), caption(110, 12, 200, 28)}, 0, -1, -1},
             Case{"a caption on another row labels nothing", {caption(10, 50, 100, 66), control(110, 10, 200, 30)}, 1, -1, -1},
             Case{"the nearer of two controls on the row takes the caption",
                  {caption(10, 10, 100, 26), control(220, 10, 300, 26), control(110, 10, 200, 26)}, 2, 0, -1},
             Case{"a caption just above, within the control's width", {caption(20, 10, 120, 26), control(20, 30, 200, 50)}, 1, 0, -1},
             Case{"a caption too far above labels nothing", {caption(20, 10, 120, 26), control(20, 40, 200, 60)}, 1, -1, -1},
             Case{"a caption above but left of the control labels nothing",
                  {caption(0, 10, 100, 26), control(20, 30, 200, 50)}, 1, -1, -1},
             Case{"a static text with an id (a value) is no caption", {other(10, 10, 100, 26), control(110, 10, 200, 26)}, 1, -1, -1},
             Case{"no neighbour without a captioned control left of it",
                  {caption(10, 50, 100, 66), control(110, 50, 200, 66), control(10, 10, 100, 26)}, 2, -1, -1},
         }) {
        std::vector<LabelTie> ties = tieLabels(each.items);
        EXPECT_EQ(each.caption, ties[static_cast<size_t>(each.control)].caption) << each.what;
        EXPECT_EQ(each.neighbour, ties[static_cast<size_t>(each.control)].neighbour) << each.what;
    }
}

TEST(DialogCaptions, NamesDropTheColonAndMnemonicsTakeAFreeLetter) {
    EXPECT_EQ("Print Mode", nameOfCaption("Print Mode:"));
    EXPECT_EQ("Cyan", nameOfCaption("Cyan: "));
    EXPECT_EQ("Black Over Print", nameOfCaption("Black Over Print"));

    struct Case {
        std::string caption, expected;
    };
    std::vector<std::string> used;
    for (const Case &each : {Case{"Print Mode:", "_Print Mode:"}, Case{"Print Blank Pages:", "Print _Blank Pages:"},
                             Case{"Pages:", "P_ages:"}, Case{"PB:", "PB:"}, Case{"my_file:", "_my__file:"},
                             Case{"Übersicht:", "_Übersicht:"}, Case{"über:", "üb_er:"}}) {
        EXPECT_EQ(each.expected, withMnemonic(each.caption, used)) << each.caption;
    }
    EXPECT_EQ((std::vector<std::string>{"p", "b", "a", "m", "ü", "e"}), used);
}

TEST(DialogResultMessage, TheOutcomeInTheWindowsWords) {
    using Result = printdialog::PrintOutcome::Result;
    struct Case {
        std::string language;
        Result result;
        bool forced;
        OSStatus commitStatus;
        std::string error;
        ResultMessage expected;
    };
    const std::string serverMessage = "the CUPS server at 127.0.0.1:8631 refused the job for the queue 'qclosed': "
                                      "The printer or class is not accepting jobs.";
    for (const Case &each : {
             Case{"en", Result::Sent, false, noErr, "", {true, "Sent to q7140 as job 7", "", ""}},
             Case{"de", Result::Sent, false, noErr, "", {true, "Als Auftrag 7 an q7140 gesendet", "", ""}},
             Case{"en", Result::Sent, true, noErr, "",
                  {true, "Sent to q7140 as job 7", "Sent although the printer's PPD does not allow these settings.", ""}},
             Case{"de", Result::NoQueue, false, noErr, "not sent: no queue chosen",
                  {false, "Nicht gedruckt", windowText("de").reasonNoQueue, ""}},
             Case{"en", Result::NotSent, false, -50, "the panes could not write the ticket (status -50)",
                  {false, "Not printed", "The panes could not save their settings (status -50), so nothing was sent.", ""}},
             Case{"de", Result::Failed, false, noErr, "cannot read the file to print: /tmp/gone.ps",
                  {false, "Nicht gedruckt", "Die zu druckende Datei kann nicht gelesen werden:", "/tmp/gone.ps"}},
             Case{"de", Result::Failed, false, noErr, serverMessage,
                  {false, "Nicht gedruckt", "Der Druckserver hat den Auftrag nicht angenommen. Seine Meldung:", serverMessage}},
         }) {
        printdialog::PrintOutcome outcome;
        outcome.result = each.result;
        outcome.forced = each.forced;
        outcome.commitStatus = each.commitStatus;
        outcome.error = each.error;
        outcome.job.queue = "q7140";
        outcome.job.id = each.result == Result::Sent ? 7 : 0;
        ResultMessage message = describeOutcome(outcome, windowText(each.language));
        std::string what = each.language + " " + printdialog::resultName(each.result);
        EXPECT_EQ(each.expected.sent, message.sent) << what;
        EXPECT_EQ(each.expected.headline, message.headline) << what;
        EXPECT_EQ(each.expected.reason, message.reason) << what;
        EXPECT_EQ(each.expected.detail, message.detail) << what;
    }
}

TEST(DialogResultMessage, EveryWordOfTheWindowHasItsGermanOwn) {
    const WindowText &english = windowText("en");
    const WindowText &german = windowText("de_DE");
    for (auto member : {&WindowText::sentTo, &WindowText::sentAnyway, &WindowText::reasonNoQueue,
                        &WindowText::reasonNotSaved, &WindowText::reasonUnreadableFile, &WindowText::reasonServer,
                        &WindowText::details, &WindowText::chooseFileTitle, &WindowText::pageChooserName}) {
        ASSERT_NE(nullptr, german.*member);
        EXPECT_STRNE(english.*member, german.*member);
    }
    EXPECT_EQ("a 1 b 1", fillIn("a {n} b {n}", "n", "1"));
    EXPECT_EQ("{n}", fillIn("{n}", "m", "1"));
}
