// The window around the view: choosing panes (Open and Close), the run loop under the GTK main
// loop, the Summary, Print and Cancel, the screenshot, the state and scripts.
#include "view_fixture.h"

#include "dialog_state.h"
#include "gtk_signal.h"
#include "run_loop_bridge.h"
#include "screenshot.h"
#include "script_runner.h"

#include <cups/cups.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>

using namespace pdedialog_test;
using pdedialog::RunLoopBridge;
using pdedialog::Outcome;

namespace {

// The text of the Print result window.
std::string resultText(GtkWidget *widget) {
    if (GTK_IS_TEXT_VIEW(widget)) {
        GtkTextBuffer *buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(widget));
        GtkTextIter start, end;
        gtk_text_buffer_get_bounds(buffer, &start, &end);
        std::unique_ptr<gchar, decltype(&g_free)> text(gtk_text_buffer_get_text(buffer, &start, &end, FALSE), &g_free);
        return text.get();
    }
    if (!GTK_IS_CONTAINER(widget)) return {};
    std::string found;
    GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList *child = children; child != nullptr && found.empty(); child = child->next)
        found = resultText(GTK_WIDGET(child->data));
    g_list_free(children);
    return found;
}

// The CUPS server libcups uses, for one test; libcups reads CUPS_SERVER again after each change.
class ServerForTest {
public:
    explicit ServerForTest(const char *server) {
        if (const char *before = std::getenv("CUPS_SERVER")) before_ = before;
        setenv("CUPS_SERVER", server, 1);
        cupsSetServer(nullptr);
    }
    ServerForTest(const ServerForTest &) = delete;
    ServerForTest &operator=(const ServerForTest &) = delete;
    ~ServerForTest() {
        if (before_) setenv("CUPS_SERVER", before_->c_str(), 1);
        else unsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    }

private:
    std::optional<std::string> before_;
};

void recordClick(GtkButton *, gpointer clicks) { ++*static_cast<int *>(clicks); }

}  // namespace

using DialogWindowTest = ViewTest;

TEST_F(DialogWindowTest, TheChooserOffersThePanesThatAcceptedThePrinterAndTheSummary) {
    open(sample_printers::kDX8250K);
    // The window's own General and Printer Options pages come first (setting_pages_test.cpp).
    EXPECT_EQ(comboIds(namedWidget(*window_, "chooser")),
              (std::vector<std::string>{"general", "options-General", "options-Finishing", "imaging", "summary"}));
    std::string error;
    EXPECT_FALSE(window_->showPane("jobmode", error));
    EXPECT_EQ("pane 'jobmode' is not for this printer", error);
    EXPECT_FALSE(window_->showPane("fax", error));
    EXPECT_EQ("unknown pane 'fax'", error);
    EXPECT_EQ("imaging", window_->shownPane());
    EXPECT_EQ("general", window_->firstPage()) << "the window opens on General, as other print dialogs do";
}

TEST_F(DialogWindowTest, ShowingAPaneOpensItAndClosesTheOneShownBefore) {
    open(sample_printers::kDX7140K);
    EXPECT_EQ(comboIds(namedWidget(*window_, "chooser")),
              (std::vector<std::string>{"general", "options-General", "options-Finishing", "coloradjust", "jobmode",
                                        "summary"}));
    printdialog::Pane *colour = dialog_->findPane("coloradjust");
    printdialog::Pane *jobMode = dialog_->findPane("jobmode");
    EXPECT_TRUE(colour->isOpen);
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(namedWidget(*window_, "chooser")), "jobmode");
    EXPECT_EQ("jobmode", window_->shownPane());
    EXPECT_FALSE(colour->isOpen);
    EXPECT_TRUE(jobMode->isOpen);
    std::string error;
    ASSERT_TRUE(window_->showPane("summary", error));
    EXPECT_FALSE(jobMode->isOpen);
    EXPECT_STREQ(gtk_combo_box_get_active_id(GTK_COMBO_BOX(namedWidget(*window_, "chooser"))), "summary");
}

TEST_F(DialogWindowTest, TheMainLoopTurnsTheRunLoopForDeferredRulesAndTheColourRefresh) {
    open(sample_printers::kDX7140K);
    pdedialog::RunLoopBridge bridge(nullptr);
    // The colour pane is shown: its timer brings a slider set by code into its field.
    SetControl32BitValue(control("coloradjust", 10), 4);
    EXPECT_TRUE(runMainLoopUntil([&] { return modelText(control("coloradjust", 20)) == "4"; }, std::chrono::seconds(2)));
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(widget("coloradjust", 20))), "4");

    std::string error;
    ASSERT_TRUE(window_->showPane("jobmode", error));
    SetControl32BitValue(control("coloradjust", 10), -2);
    runMainLoopFor(std::chrono::milliseconds(1200));
    EXPECT_EQ("4", modelText(control("coloradjust", 20))) << "no refresh while another pane is shown";

    gtk_combo_box_set_active(GTK_COMBO_BOX(widget("jobmode", 5)), 3);
    EXPECT_TRUE(runMainLoopUntil([&] { return gtk_widget_is_sensitive(widget("jobmode", 6)) != FALSE; },
                                 std::chrono::seconds(2)));
    EXPECT_GT(bridge.passes(), 10u);
}

TEST_F(DialogWindowTest, TheSummaryListsEveryPanesLinesWhenShown) {
    open(sample_printers::kDX7140K);
    PlatformChoosePopupItem(control("jobmode", 5), 4);
    std::string error;
    ASSERT_TRUE(window_->showPane("summary", error));
    std::string shown = window_->summary().shownText();
    EXPECT_NE(shown.find("Color Adjustment\nCyan Balance: 0\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Job Mode\nPrint Mode: Private\nDocument Number: 24680\n"), std::string::npos) << shown;
}

TEST_F(DialogWindowTest, PrintCommitsEveryPaneThenReportsWhatThePrinterReceives) {
    open(sample_printers::kDX7140K);
    std::vector<Outcome> outcomes;
    window_->setFinishedHandler([&](Outcome outcome) { outcomes.push_back(outcome); });
    PlatformChoosePopupItem(control("jobmode", 5), 4);
    PlatformMoveSlider(control("coloradjust", 12), -3);
    EXPECT_EQ("(none)", ticketValue(*dialog_, "PrintMode"));
    gtk_button_clicked(GTK_BUTTON(namedWidget(*window_, "print")));
    EXPECT_TRUE(window_->printed());
    EXPECT_EQ("Private", ticketValue(*dialog_, "PrintMode"));
    EXPECT_EQ("-3", ticketValue(*dialog_, "ColorBalanceYellow"));
    EXPECT_EQ("0", ticketValue(*dialog_, "DINDigit5"));
    ASSERT_TRUE(window_->outcome());
    EXPECT_NE(window_->outcome()->report.emitted.find("*PrintMode Private"), std::string::npos);
    EXPECT_TRUE(window_->outcome()->report.conflicts.empty());
    EXPECT_EQ(window_->outcome()->result, printdialog::PrintOutcome::Result::NoQueue) << "a PPD file takes no job";
    EXPECT_TRUE(window_->printFailed()) << "nothing was sent";
    GtkWidget *result = namedWidget(*window_, "result");
    ASSERT_NE(result, nullptr);
    EXPECT_TRUE(outcomes.empty()) << "the dialog ends when the result is closed";
    gtk_dialog_response(GTK_DIALOG(result), GTK_RESPONSE_CLOSE);
    EXPECT_EQ(std::vector<Outcome>{Outcome::Printed}, outcomes);
}

TEST_F(DialogWindowTest, CancelAndClosingTheWindowEndTheDialogOnce) {
    open(sample_printers::kDX7140K);
    std::vector<Outcome> outcomes;
    window_->setFinishedHandler([&](Outcome outcome) { outcomes.push_back(outcome); });
    GdkEvent *close = gdk_event_new(GDK_DELETE);
    close->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window_->toplevel())));
    gtk_main_do_event(close);
    gdk_event_free(close);
    gtk_button_clicked(GTK_BUTTON(namedWidget(*window_, "cancel")));
    EXPECT_EQ(std::vector<Outcome>{Outcome::Cancelled}, outcomes);
    EXPECT_TRUE(gtk_widget_get_visible(window_->toplevel())) << "the window goes with the dialog, not before";
    EXPECT_EQ(0, CFDictionaryGetCount(dialog_->ppdDictionary())) << "nothing committed";
}

TEST_F(DialogWindowTest, TheScreenshotIsThePictureOfTheWindow) {
    open(sample_printers::kDX8250K);
    TemporaryFolder folder;
    std::string error;
    ASSERT_TRUE(pdedialog::saveScreenshot(window_->toplevel(), folder.file("window.png"), error)) << error;
    PictureCheck picture = checkPicture(folder.file("window.png"));
    ASSERT_TRUE(picture.readable);
    EXPECT_EQ(picture.width, gtk_widget_get_allocated_width(window_->toplevel()));
    EXPECT_EQ(picture.height, gtk_widget_get_allocated_height(window_->toplevel()));
    EXPECT_GT(picture.colours, 20u) << "not blank";
    GtkWidget *unshown = gtk_label_new("never shown");
    g_object_ref_sink(unshown);
    EXPECT_FALSE(pdedialog::saveScreenshot(unshown, folder.file("unshown.png"), error));
    g_object_unref(unshown);
    EXPECT_FALSE(pdedialog::saveScreenshot(window_->toplevel(), "/nonexistent/folder/x.png", error));
}

TEST_F(DialogWindowTest, TheStateHoldsTheModelBesideWhatTheWidgetsShow) {
    open(sample_printers::kDX7140K);
    PlatformChoosePopupItem(control("jobmode", 5), 4);
    RunLoopBridge::turnOnce();
    auto state = json::parse(printdialog::jsonText(pdedialog::dialogStateJSON(*dialog_, *view_, *window_)));
    EXPECT_EQ("QUORVEN v-DX7140KSeries", state["printer"]["modelName"]);
    EXPECT_EQ("coloradjust", state["shownPane"]);
    const json &jobMode = paneState(state, "jobmode");
    EXPECT_EQ(4, controlState(jobMode, 5)["widget"]["active"]);
    for (int id : {5, 6, 7, 8, 9}) {
        const json &entry = controlState(jobMode, id);
        EXPECT_EQ(entry["enabled"], entry["widget"]["sensitive"]) << "control " << id;
    }
    EXPECT_EQ(true, controlState(jobMode, 6)["enabled"]);
    EXPECT_EQ("24680", controlState(jobMode, 6)["widget"]["text"]);
    EXPECT_EQ(false, paneState(state, "imaging")["accepted"]);
    EXPECT_EQ(false, state["printed"]);
    EXPECT_NE(state["window"]["xid"], 0);
}

TEST_F(DialogWindowTest, AScriptRunsOneLinePerPassAndNamesTheLineThatFails) {
    open(sample_printers::kDX7140K);
    TemporaryFolder folder;
    std::vector<pdedialog::ScriptLine> lines;
    std::string error;
    for (const std::string &text : std::vector<std::string>{"select jobmode 5 4", "open jobmode", "wait 0.3", "screenshot " + folder.file("s.png"),
                             "type jobmode 6 1", "quit"}) {
        pdedialog::ScriptLine line;
        ASSERT_TRUE(pdedialog::parseScriptLine(text, line, error)) << error;
        line.origin = "script line " + std::to_string(lines.size() + 1);
        lines.push_back(line);
    }
    ASSERT_TRUE(pdedialog::validateScript(*dialog_, lines, error)) << error;
    std::ostringstream log;
    pdedialog::ScriptRunner runner(*window_, lines, log);
    using Status = pdedialog::ScriptRunner::Status;

    EXPECT_EQ(runner.step(), Status::Running);
    EXPECT_EQ(4, GetControl32BitValue(control("jobmode", 5)));
    EXPECT_EQ("coloradjust", window_->shownPane()) << "one line per step";
    EXPECT_EQ(runner.step(), Status::Running);
    EXPECT_EQ("jobmode", window_->shownPane());
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(runner.step(), Status::Running);  // the wait begins
    ASSERT_TRUE(runMainLoopUntil(
        [&] { return runner.step() != Status::Running || std::filesystem::exists(folder.file("s.png")); },
        std::chrono::seconds(5)));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));
    EXPECT_TRUE(checkPicture(folder.file("s.png")).readable);
    // The rules never ran (no pass of the run loop), so the field is still disabled.
    while (runner.status() == Status::Running) runner.step();
    EXPECT_EQ(runner.status(), Status::Failed);
    EXPECT_EQ(0u, runner.error().rfind("script line 5: jobmode control 6: cannot type", 0)) << runner.error();
    EXPECT_NE(log.str().find("select jobmode 5 4: jobmode control 5 popup: \"Private\" (item 4)"), std::string::npos);
}

TEST_F(DialogWindowTest, AScriptIsCheckedAgainstThePanesBeforeItRuns) {
    open(sample_printers::kDX8250K);
    pdedialog::ScriptLine line;
    std::string error;
    ASSERT_TRUE(pdedialog::parseScriptLine("select jobmode 5 4", line, error));
    line.origin = "s line 1";
    EXPECT_FALSE(pdedialog::validateScript(*dialog_, {line}, error));
    EXPECT_EQ(0u, error.rfind("s line 1: ", 0)) << error;
    EXPECT_NE(error.find("refused"), std::string::npos) << error;

    // The Summary is no pane, but a script may show it.
    ASSERT_TRUE(pdedialog::parseScriptLine("open summary", line, error));
    EXPECT_TRUE(pdedialog::validateScript(*dialog_, {line}, error)) << error;
    std::ostringstream log;
    pdedialog::ScriptRunner runner(*window_, {line}, log);
    runner.step();
    EXPECT_EQ("summary", window_->shownPane());
    EXPECT_FALSE(dialog_->findPane("imaging")->isOpen);
}

// Closing the pane on show must not leave its page in the window; closing another pane leaves
// the page alone.
TEST_F(DialogWindowTest, AScriptClosingThePaneShownShowsTheSummary) {
    open(sample_printers::kDX7140K);
    std::vector<pdedialog::ScriptLine> lines;
    std::string error;
    for (const char *text : {"close jobmode", "close coloradjust"}) {
        pdedialog::ScriptLine line;
        ASSERT_TRUE(pdedialog::parseScriptLine(text, line, error)) << error;
        lines.push_back(line);
    }
    ASSERT_TRUE(pdedialog::validateScript(*dialog_, lines, error)) << error;
    std::ostringstream log;
    pdedialog::ScriptRunner runner(*window_, lines, log);
    ASSERT_EQ("coloradjust", window_->shownPane());

    EXPECT_EQ(runner.step(), pdedialog::ScriptRunner::Status::Running);
    EXPECT_EQ("coloradjust", window_->shownPane());
    EXPECT_TRUE(dialog_->findPane("coloradjust")->isOpen);

    EXPECT_EQ(runner.step(), pdedialog::ScriptRunner::Status::Running);
    EXPECT_FALSE(dialog_->findPane("coloradjust")->isOpen);
    EXPECT_EQ("summary", window_->shownPane());
    EXPECT_STREQ(gtk_combo_box_get_active_id(GTK_COMBO_BOX(namedWidget(*window_, "chooser"))), "summary");
    EXPECT_NE(log.str().find("close coloradjust: closed, the Summary shown"), std::string::npos) << log.str();
}

TEST_F(DialogWindowTest, TheScriptsPrintLineClicksPrint) {
    open(sample_printers::kDX7140K);
    PlatformChoosePopupItem(control("jobmode", 5), 4);
    pdedialog::ScriptLine line;
    std::string error;
    ASSERT_TRUE(pdedialog::parseScriptLine("print", line, error)) << error;
    int clicks = 0;
    GtkWidget *print = namedWidget(*window_, "print");
    gulong handler = pdedialog::connectSignal(print, "clicked", &recordClick, &clicks);
    std::ostringstream log;
    pdedialog::ScriptRunner runner(*window_, {line}, log);
    EXPECT_EQ(runner.step(), pdedialog::ScriptRunner::Status::Running);
    g_signal_handler_disconnect(print, handler);
    EXPECT_EQ(1, clicks) << "the button's own signal, as for a click";
    EXPECT_TRUE(window_->printed());
    EXPECT_EQ("Private", ticketValue(*dialog_, "PrintMode"));
    EXPECT_NE(namedWidget(*window_, "result"), nullptr);
    EXPECT_EQ("print: no queue\n", log.str()) << "a PPD file takes no job";
    EXPECT_NE(resultText(namedWidget(*window_, "result")).find("Job: not sent: no queue chosen\n"), std::string::npos);
    EXPECT_EQ(runner.step(), pdedialog::ScriptRunner::Status::Finished);
}

TEST_F(DialogWindowTest, AQueueIsNamedByItsServerAndAJobItDoesNotTakeIsReported) {
    ServerForTest server("127.0.0.1:1");  // nothing listens on port 1
    TemporaryFolder folder;
    std::string document = folder.write("page.ps", "%!PS\nshowpage\n");
    openQueue("q7140", sample_printers::kDX7140K, {document, "Quarterly report"});
    GtkWidget *label = namedWidget(*window_, "printer");
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(label)), "q7140");
    std::unique_ptr<gchar, decltype(&g_free)> tooltip(gtk_widget_get_tooltip_text(label), &g_free);
    EXPECT_STREQ(tooltip.get(), "QUORVEN v-DX7140KSeries\nServer: 127.0.0.1:1");

    std::vector<Outcome> outcomes;
    window_->setFinishedHandler([&](Outcome outcome) { outcomes.push_back(outcome); });
    PlatformChoosePopupItem(control("jobmode", 5), 4);
    window_->pressPrint();
    ASSERT_TRUE(window_->outcome());
    EXPECT_TRUE(window_->printFailed());
    const printdialog::PrintOutcome &job = *window_->outcome();
    EXPECT_EQ("no CUPS server is running at 127.0.0.1:1 (start cupsd, or set CUPS_SERVER)", job.error);
    EXPECT_EQ("Quarterly report", job.job.title);
    EXPECT_EQ("Private", ticketValue(*dialog_, "PrintMode")) << "the panes wrote the ticket first";
    std::string shown = resultText(namedWidget(*window_, "result"));
    EXPECT_EQ(0u, shown.rfind("Job: not printed: " + job.error + "\n", 0)) << shown;
    EXPECT_NE(shown.find("lp -d q7140 -o "), std::string::npos) << shown;

    auto state = json::parse(printdialog::jsonText(pdedialog::dialogStateJSON(*dialog_, *view_, *window_)));
    EXPECT_EQ("q7140", state["printer"]["queue"]);
    EXPECT_EQ("127.0.0.1:1", state["printer"]["server"]);
    EXPECT_EQ("q7140", state["window"]["widgets"]["printer"]["text"]);
    EXPECT_EQ(state["job"]["error"], job.error);
    EXPECT_FALSE(state["job"].contains("id"));

    GtkWidget *result = namedWidget(*window_, "result");
    window_->pressPrint();
    EXPECT_EQ(namedWidget(*window_, "result"), result) << "one job, one result per dialog";
    gtk_dialog_response(GTK_DIALOG(result), GTK_RESPONSE_CLOSE);
    EXPECT_EQ(std::vector<Outcome>{Outcome::Printed}, outcomes);
}

namespace {

// The pre-flight keeps a job with a UIConstraints conflict back and the dialog open; Print Anyway
// sends it, and the outcome says it was forced.
TEST_F(DialogWindowTest, AConflictKeepsTheJobBackUntilPrintAnyway) {
    ServerForTest server("127.0.0.1:1");
    TemporaryFolder folder;
    openQueue("q8250", sample_printers::kDX8250K, {folder.write("page.ps", "%!PS\nshowpage\n"), ""});
    std::vector<Outcome> outcomes;
    window_->setFinishedHandler([&](Outcome outcome) { outcomes.push_back(outcome); });
    PlatformChoosePopupItem(control("imaging", 9), 2);   // Photo
    PlatformChoosePopupItem(control("imaging", 20), 2);  // 1200 dpi: Photo disabled, still chosen
    runMainLoopFor(std::chrono::milliseconds(50));
    window_->pressPrint();
    ASSERT_TRUE(window_->outcome());
    EXPECT_EQ(window_->outcome()->result, printdialog::PrintOutcome::Result::Refused);
    EXPECT_EQ(std::vector<std::string>{"Resolution=1200dpi conflicts with ImageType=Photo"}, window_->outcome()->problems);
    EXPECT_FALSE(window_->printed());
    EXPECT_EQ(nullptr, namedWidget(*window_, "result"));
    EXPECT_NE(namedWidget(*window_, "refusal"), nullptr);
    EXPECT_TRUE(outcomes.empty()) << "the dialog stays open";

    ASSERT_TRUE(window_->pressPrintAnyway());
    ASSERT_TRUE(window_->outcome());
    EXPECT_TRUE(window_->outcome()->forced);
    EXPECT_EQ(window_->outcome()->result, printdialog::PrintOutcome::Result::Failed) << "no server on port 1";
    EXPECT_NE(namedWidget(*window_, "result"), nullptr);
}

}  // namespace
