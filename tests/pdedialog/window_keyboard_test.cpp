// The window as a person with a keyboard or a screen reader uses it, in-process on the virtual
// display: captions tied to their controls and greyed with them, the Summary kept current, Escape
// and Return, the result in the window's words, and the file chooser of a queue without a document.
#include "view_fixture.h"

#include "platform_scopes.h"
#include "run_loop_bridge.h"

#include <cups/cups.h>

#include <set>

using namespace pdedialog_test;
using pdedialog::Outcome;
using pdedialog::RunLoopBridge;

namespace {

}  // namespace

class WindowKeyboardTest : public ViewTest {};

TEST_F(WindowKeyboardTest, CaptionsAreTiedToTheirControlsAndGreyWithThem) {
    open(sample_printers::kDX7140K, "jobmode");
    struct Case {
        std::string pane;
        SInt32 id;
        std::string caption;  // empty: no caption of its own
        std::string name;
    };
    for (const Case &each : {Case{"jobmode", 5, "Print Mode:", "Print Mode"},
                             Case{"jobmode", 6, "Document Number:", "Document Number"},
                             Case{"jobmode", 7, "Department Code:", "Department Code"},
                             Case{"jobmode", 8, "", "Department Code"},
                             Case{"jobmode", 9, "Print Blank Pages:", "Print Blank Pages"},
                             Case{"coloradjust", 10, "Cyan:", "Cyan"},
                             Case{"coloradjust", 18, "Background:", "Background"}}) {
        auto state = view_->widgetState(control(each.pane, each.id));
        ASSERT_TRUE(state) << each.id;
        EXPECT_EQ(each.name, state->accessibleName) << each.id;
        EXPECT_EQ(!each.caption.empty(), state->hasCaption) << each.id;
        if (each.caption.empty()) continue;
        EXPECT_EQ(each.caption, state->captionText) << each.id;
        EXPECT_TRUE(state->captionTied) << each.id << ": mnemonic widget and labelled-by relation";
        EXPECT_EQ(state->sensitive, state->captionSensitive) << each.id;
    }
    // Normal mode: the document number and its caption are disabled; Private enables both.
    EXPECT_FALSE(view_->widgetState(control("jobmode", 6))->captionSensitive);
    PlatformChoosePopupItem(control("jobmode", 5), 4);
    RunLoopBridge::turnOnce();
    EXPECT_TRUE(view_->widgetState(control("jobmode", 6))->captionSensitive);
    DisableControl(control("jobmode", 9));
    EXPECT_FALSE(view_->widgetState(control("jobmode", 9))->captionSensitive) << "at once, with the control";
    // The value fields beside the sliders are no captions: the pane writes them.
    EXPECT_FALSE(view_->widgetState(control("coloradjust", 20))->hasCaption);
}

TEST_F(WindowKeyboardTest, EachCaptionOfAPageHasAMnemonicOfItsOwn) {
    open(sample_printers::kDX7140K, "jobmode");
    std::vector<GtkWidget *> all;
    collectWidgets(view_->page(*dialog_->findPane("jobmode")), all);
    std::set<guint> keys;
    int captions = 0;
    for (GtkWidget *each : all) {
        if (!GTK_IS_LABEL(each) || gtk_label_get_mnemonic_widget(GTK_LABEL(each)) == nullptr) continue;
        ++captions;
        guint key = gtk_label_get_mnemonic_keyval(GTK_LABEL(each));
        EXPECT_NE(GDK_KEY_VoidSymbol, key) << gtk_label_get_text(GTK_LABEL(each));
        keys.insert(key);
    }
    EXPECT_EQ(4, captions);
    EXPECT_EQ(4u, keys.size()) << "no two captions share a key";
}

TEST_F(WindowKeyboardTest, TheSummaryFollowsEveryChangeWhateverPageIsShown) {
    open(sample_printers::kDX7140K, "summary");
    auto shows = [this](const std::string &line) {
        return runMainLoopUntil([&] { return window_->summary().shownText().find(line) != std::string::npos; },
                                std::chrono::seconds(2));
    };
    EXPECT_TRUE(shows("Print Mode: Normal\n")) << window_->summary().shownText();
    PlatformChoosePopupItem(control("jobmode", 5), 4);  // while the Summary is shown
    EXPECT_TRUE(shows("Print Mode: Private\n")) << window_->summary().shownText();
    std::string error;
    ASSERT_TRUE(window_->showPane("coloradjust", error)) << error;
    PlatformMoveSlider(control("coloradjust", 10), 3);  // while another page is shown
    EXPECT_TRUE(shows("Cyan Balance: 3\n")) << window_->summary().shownText();
}

TEST_F(WindowKeyboardTest, EscapeCancelsAndReturnPrintsAfterTheFieldHasSeenIt) {
    struct Case {
        bool inField;
        guint key;
        bool printed;
    };
    for (const Case &each : {Case{false, GDK_KEY_Escape, false}, Case{true, GDK_KEY_Escape, false},
                             Case{false, GDK_KEY_Return, true}, Case{true, GDK_KEY_Return, true}}) {
        SCOPED_TRACE(std::string(each.key == GDK_KEY_Escape ? "Escape" : "Return") + (each.inField ? " in the field" : ""));
        open(sample_printers::kDX7140K, "jobmode");
        std::vector<Outcome> outcomes;
        window_->setFinishedHandler([&](Outcome outcome) { outcomes.push_back(outcome); });
        if (each.inField) {
            PlatformChoosePopupItem(control("jobmode", 5), 4);
            RunLoopBridge::turnOnce();
            gtk_widget_grab_focus(widget("jobmode", 6));
            ASSERT_EQ(widget("jobmode", 6), gtk_window_get_focus(GTK_WINDOW(window_->toplevel())));
        }
        std::string before = modelText(control("jobmode", 6));
        // As GDK delivers a key: to the window, which hands it to the focused widget first.
        pressKeyOfKeyboard(window_->toplevel(), each.key);
        // A button activated from the keyboard clicks when the key is let go, or a moment later.
        runMainLoopUntil([&] { return window_->printed() || !outcomes.empty(); }, std::chrono::seconds(2));
        EXPECT_EQ(each.printed, window_->printed());
        if (each.printed) {
            EXPECT_NE(namedWidget(*window_, "result"), nullptr);
        } else {
            EXPECT_EQ(std::vector<Outcome>{Outcome::Cancelled}, outcomes);
        }
        EXPECT_EQ(before, modelText(control("jobmode", 6))) << "the key typed nothing";
        view_->detach();
        dialog_->terminate();
        window_.reset();
        view_.reset();
        dialog_.reset();
    }
}

// The result leads with the outcome in the window's words, wrapped and whole; the report waits
// in the details.
TEST_F(WindowKeyboardTest, TheResultSaysWhatHappenedAndNothingInItIsClipped) {
    open(sample_printers::kDX7140K);
    window_->pressPrint();
    GtkWidget *result = namedWidget(*window_, "result");
    ASSERT_NE(result, nullptr);
    runMainLoopFor(std::chrono::milliseconds(200));
    GtkWidget *headline = widgetNamed(result, "result-headline");
    GtkWidget *reason = widgetNamed(result, "result-reason");
    ASSERT_TRUE(headline != nullptr && reason != nullptr);
    EXPECT_STREQ("Not printed", gtk_label_get_text(GTK_LABEL(headline)));
    EXPECT_STREQ(pdedialog::windowText("en").reasonNoQueue, gtk_label_get_text(GTK_LABEL(reason)));
    GtkWidget *details = widgetNamed(result, "result-details");
    ASSERT_TRUE(details != nullptr && GTK_IS_EXPANDER(details));
    EXPECT_FALSE(gtk_expander_get_expanded(GTK_EXPANDER(details)));
    EXPECT_EQ(gtk_dialog_get_widget_for_response(GTK_DIALOG(result), GTK_RESPONSE_CLOSE),
              gtk_window_get_focus(GTK_WINDOW(result)))
        << "Return closes the result";
    for (GtkWidget *label : {headline, reason}) {
        int width = gtk_widget_get_allocated_width(label);
        int needed = 0;
        gtk_widget_get_preferred_height_for_width(label, width, &needed, nullptr);
        EXPECT_TRUE(gtk_label_get_line_wrap(GTK_LABEL(label)));
        EXPECT_GE(gtk_widget_get_allocated_height(label), needed) << gtk_label_get_text(GTK_LABEL(label));
    }
}

TEST_F(WindowKeyboardTest, AQueueWithoutADocumentAsksForItWhenPrintIsPressed) {
    auto server = std::make_unique<test_support::EnvironmentScope>(
        std::initializer_list<std::pair<const char *, const char *>>{{"CUPS_SERVER", "127.0.0.1:1"}});
    cupsSetServer(nullptr);  // nothing listens on port 1
    TemporaryFolder folder;
    std::string document = folder.write("page.ps", "%!PS\nshowpage\n");
    openQueue("q7140", sample_printers::kDX7140K, {"", ""});
    window_->pressPrint();
    GtkWidget *chooser = namedWidget(*window_, "fileChooser");
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(GTK_IS_FILE_CHOOSER(chooser));
    EXPECT_FALSE(window_->outcome()) << "nothing is printed before the file is chosen";

    std::string error;
    EXPECT_FALSE(window_->chooseFile(folder.file("missing.ps"), error));
    EXPECT_EQ("cannot read the file to print: " + folder.file("missing.ps"), error);
    gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_CANCEL);
    EXPECT_EQ(nullptr, namedWidget(*window_, "fileChooser"));
    EXPECT_FALSE(window_->outcome()) << "cancelling the chooser prints nothing";
    EXPECT_FALSE(window_->chooseFile(document, error)) << "no chooser is open";

    window_->pressPrint();
    ASSERT_TRUE(window_->chooseFile(document, error)) << error;
    ASSERT_TRUE(window_->outcome());
    EXPECT_EQ(document, window_->outcome()->file);
    EXPECT_EQ("page.ps", window_->outcome()->job.title);
    EXPECT_EQ(window_->outcome()->result, printdialog::PrintOutcome::Result::Failed) << "no server on port 1";
    server.reset();
    cupsSetServer(nullptr);
}
