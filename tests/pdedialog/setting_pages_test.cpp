// The window's own setting pages in-process: the General page (its values in the job, the page
// range checked as typed and keeping Print back) and the Printer Options pages (the PPD's groups
// in order without the panes' options, their values in the PPD dictionary, live conflicts), in
// English and German, and the script verbs that set them.
#include "view_fixture.h"

#include "dialog_state.h"
#include "script_runner.h"

#include <printdialog/printer_options.h>
#include <printdialog/ticket_preset.h>

#include <sstream>

using namespace pdedialog_test;

namespace {

std::string tooltip(GtkWidget *widget) {
    std::unique_ptr<gchar, decltype(&g_free)> text(gtk_widget_get_tooltip_text(widget), &g_free);
    return text ? text.get() : "";
}

bool contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// The caption GTK ties to the widget by its mnemonic, or nullptr.
GtkWidget *mnemonicCaption(GtkWidget *widget) {
    GList *labels = gtk_widget_list_mnemonic_labels(widget);
    GtkWidget *caption = labels != nullptr ? GTK_WIDGET(labels->data) : nullptr;
    g_list_free(labels);
    return caption;
}

std::string accessibleName(GtkWidget *widget) {
    const char *name = atk_object_get_name(gtk_widget_get_accessible(widget));
    return name != nullptr ? name : "";
}

}  // namespace

using SettingPagesTest = ViewTest;

// The pages in the chooser: General first, then a page per PPD group in PPD order holding only
// what no pane writes, then the panes, the Summary last. The PPD's "General" group is told apart
// from the window's own General page.
TEST_F(SettingPagesTest, PrinterOptionsFollowThePPDGroupsWithoutThePanesOptions) {
    struct Case {
        std::string printer;
        std::vector<std::string> chooser;
        std::vector<std::string> generalGroup;
        std::vector<std::string> ownedByPanes;
    };
    for (const Case &each : {
             Case{sample_printers::kDX7140K,
                  {"general", "options-General", "options-Finishing", "coloradjust", "jobmode", "summary"},
                  {"PageSize", "InputSlot", "Duplex"},
                  {"PrintMode", "DeptCode", "DINDigit1", "ColorBalanceYellow"}},
             Case{sample_printers::kDX8250K,
                  {"general", "options-General", "options-Finishing", "imaging", "summary"},
                  {"PageSize", "InputSlot", "Duplex"},
                  {"ColorType", "Resolution", "ImageType"}},
         }) {
        SCOPED_TRACE(each.printer);
        open(each.printer);
        EXPECT_EQ(each.chooser, comboIds(namedWidget(*window_, "chooser")));
        const auto &pages = window_->printerOptions().pages();
        ASSERT_EQ(2u, pages.size());
        EXPECT_EQ("General (Printer)", pages[0].title) << "the PPD's group beside the window's own General";
        EXPECT_EQ("Finishing", pages[1].title);
        const auto &groups = window_->printerOptions().groups();
        std::vector<std::string> general;
        for (const auto &option : groups[0].options) general.push_back(option.keyword);
        EXPECT_EQ(each.generalGroup, general) << "PageRegion follows PageSize and is not shown";
        ASSERT_EQ(1u, groups[1].options.size());
        EXPECT_EQ("OutputBin", groups[1].options[0].keyword);
        for (const std::string &keyword : each.ownedByPanes) {
            EXPECT_EQ(nullptr, printdialog::findPrinterOption(groups, keyword)) << keyword << " belongs to a pane";
            EXPECT_EQ(nullptr, window_->printerOptions().control(keyword)) << keyword;
        }
        EXPECT_NE(nullptr, window_->printerOptions().control("PageSize"));
        EXPECT_EQ("general", window_->firstPage()) << "the window opens on General, as other print dialogs do";
        TearDown();
        SetUp();
    }
}

// Every caption is tied to its control, in the window's language; the PPD's own translations
// name the Printer Options.
TEST_F(SettingPagesTest, TheCaptionsAreTiedToTheirControlsInEnglishAndGerman) {
    open(sample_printers::kDX7140K);
    struct Case {
        const char *language;
        std::vector<std::pair<const char *, const char *>> general;  // control, its accessible name
        const char *groupTitle;
        const char *pageSizeName;
        const char *bypass;
    };
    for (const Case &each : {
             Case{"en",
                  {{"file", "File"}, {"copies", "Copies"}, {"pagesPerSheet", "Pages per sheet"},
                   {"orientation", "Orientation"}, {"pages", "Page Range"}},
                  "General (Printer)", "Page Size", "Bypass Tray"},
             Case{"de",
                  {{"file", "Datei"}, {"copies", "Kopien"}, {"pagesPerSheet", "Seiten pro Blatt"},
                   {"orientation", "Ausrichtung"}, {"pages", "Seitenbereich"}},
                  "Allgemein (Drucker)", "Papierformat", "Stapelanlage"},
         }) {
        SCOPED_TRACE(each.language);
        const pdedialog::SettingsText &words = pdedialog::settingsText(each.language);
        printdialog::JobRequest job;
        pdedialog::GeneralPage general(job, words, nullptr);
        for (const auto &[name, expected] : each.general) {
            GtkWidget *control = nullptr;
            for (const auto &[widgetName, widget] : general.namedWidgets())
                if (widgetName == name) control = widget;
            ASSERT_NE(nullptr, control) << name;
            EXPECT_EQ(expected, accessibleName(control)) << name;
            if (std::string(name) != "pages") {
                EXPECT_NE(nullptr, mnemonicCaption(control)) << name << " has no caption";
            }
        }
        pdedialog::PrinterOptionPages options(*dialog_, printer_->ppdPath(), each.language, words,
                                              {words.general, "Summary"}, nullptr);
        ASSERT_FALSE(options.pages().empty());
        EXPECT_EQ(each.groupTitle, options.pages()[0].title);
        GtkWidget *pageSize = options.control("PageSize");
        EXPECT_EQ(each.pageSizeName, accessibleName(pageSize));
        ASSERT_NE(nullptr, mnemonicCaption(pageSize));
        EXPECT_EQ(std::string(each.pageSizeName) + ":", gtk_label_get_text(GTK_LABEL(mnemonicCaption(pageSize))));
        const printdialog::PrinterOption *slot = printdialog::findPrinterOption(options.groups(), "InputSlot");
        ASSERT_NE(nullptr, slot);
        EXPECT_EQ(each.bypass, slot->choices[3].text);
    }
}

// A choice made in a Printer Options drop-down is the PPD dictionary's value, which the panes'
// Sync leaves alone and the job sends; the state file has it.
TEST_F(SettingPagesTest, APickOneChoiceReachesThePPDDictionaryAndTheJob) {
    open(sample_printers::kDX8250K);
    GtkWidget *pageSize = window_->printerOptions().control("PageSize");
    ASSERT_TRUE(GTK_IS_COMBO_BOX(pageSize));
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(pageSize), "A3");
    EXPECT_EQ("A3", ticketValue(*dialog_, "PageSize"));
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(window_->printerOptions().control("OutputBin")), "FaceUp");
    EXPECT_EQ("FaceUp", ticketValue(*dialog_, "OutputBin"));

    window_->print();
    ASSERT_TRUE(window_->outcome());
    std::vector<std::string> sent;
    for (const auto &option : window_->outcome()->report.options) sent.push_back(option.key + "=" + option.value);
    EXPECT_NE(std::find(sent.begin(), sent.end(), "PageSize=A3"), sent.end());
    EXPECT_NE(std::find(sent.begin(), sent.end(), "OutputBin=FaceUp"), sent.end());

    auto state = pdedialog::dialogStateJSON(*dialog_, *view_, *window_);
    EXPECT_EQ("A3", state["printerOptions"]["pages"][0]["options"][0]["value"]);
    EXPECT_EQ("PageSize", state["printerOptions"]["pages"][0]["options"][0]["keyword"]);
}

// A PickMany option's check boxes: a job carries one choice of an option (see setPrinterOption),
// so checking one leaves it alone checked, and unchecking it leaves the PPD's default.
TEST_F(SettingPagesTest, APickManyOptionHoldsTheChoiceCheckedLast) {
    TemporaryFolder folder;
    open(folder.write("punch.ppd", "*PPD-Adobe: \"4.3\"\n*ModelName: \"Punch\"\n*NickName: \"Punch\"\n"
                                   "*OpenGroup: Finishing/Finishing\n"
                                   "*OpenUI *Punch/Punch: PickMany\n*DefaultPunch: None\n*Punch None/None: \"\"\n"
                                   "*Punch Two/Two holes: \"\"\n*Punch Four/Four holes: \"\"\n*CloseUI: *Punch\n"
                                   "*CloseGroup: Finishing\n"));
    GtkWidget *box = window_->printerOptions().control("Punch");
    ASSERT_TRUE(GTK_IS_BOX(box));
    std::unique_ptr<GList, decltype(&g_list_free)> children(gtk_container_get_children(GTK_CONTAINER(box)), &g_list_free);
    std::vector<GtkWidget *> checks;
    for (GList *each = children.get(); each != nullptr; each = each->next) checks.push_back(GTK_WIDGET(each->data));
    ASSERT_EQ(3u, checks.size());
    auto checked = [&checks] {
        std::string out;
        for (GtkWidget *check : checks) out += gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check)) ? "x" : ".";
        return out;
    };
    EXPECT_EQ("x..", checked()) << "the PPD's default";
    struct Step {
        size_t check;
        std::string entry, checked;
    } steps[] = {{1, "Two", ".x."}, {2, "Four", "..x"}, {2, "(none)", "x.."}};
    for (const Step &step : steps) {
        gtk_button_clicked(GTK_BUTTON(checks[step.check]));
        EXPECT_EQ(step.entry, ticketValue(*dialog_, "Punch")) << step.check;
        EXPECT_EQ(step.checked, checked()) << step.check;
    }
    std::string error;
    ASSERT_TRUE(window_->printerOptions().setOption("Punch", "Two", error)) << error;
    EXPECT_EQ(".x.", checked());
    EXPECT_EQ("Two", ticketValue(*dialog_, "Punch"));
}

// The page range is checked as it is typed: a wrong one is marked with the reason and Print is
// held back (the button insensitive, a press does nothing but show the page); a right one clears it.
TEST_F(SettingPagesTest, APageRangeIsCheckedAsTypedAndAWrongOneKeepsPrintBack) {
    open(sample_printers::kDX7140K);
    std::string error;
    ASSERT_TRUE(window_->showPane("general", error)) << error;
    GtkWidget *pages = namedWidget(*window_, "pages");
    ASSERT_TRUE(GTK_IS_ENTRY(pages));
    struct Case {
        const char *typed;
        bool right;
        const char *named;  // in the reason
    };
    for (const Case &each : {Case{"3-1", false, "3-1"}, Case{"1-3,5", true, ""}, Case{"0", false, "0"},
                             Case{"2,a", false, "a"}, Case{"2-3", true, ""}}) {
        SCOPED_TRACE(each.typed);
        gtk_widget_grab_focus(pages);
        gtk_editable_delete_text(GTK_EDITABLE(pages), 0, -1);
        typeKeys(pages, each.typed);
        EXPECT_STREQ(each.typed, gtk_entry_get_text(GTK_ENTRY(pages)));
        bool marked = gtk_style_context_has_class(gtk_widget_get_style_context(pages), GTK_STYLE_CLASS_ERROR);
        EXPECT_EQ(!each.right, marked);
        EXPECT_EQ(each.right, gtk_widget_is_sensitive(namedWidget(*window_, "print")) != FALSE);
        EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(namedWidget(*window_, "pageRange")))) << "typing chose the range";
        if (!each.right) {
            EXPECT_TRUE(contains(tooltip(pages), each.named)) << tooltip(pages);
            EXPECT_EQ(tooltip(pages), window_->general().problem());
        } else {
            EXPECT_EQ("", tooltip(pages));
            EXPECT_EQ(each.typed, window_->job().standard.pageRanges);
        }
    }
    // Wrong again: Print does nothing but show the page with the focus on the field.
    typeKeys(pages, "-1");
    ASSERT_FALSE(window_->general().problem().empty());
    ASSERT_TRUE(window_->showPane("summary", error));
    window_->pressPrint();
    EXPECT_FALSE(window_->outcome()) << "nothing was printed";
    EXPECT_EQ("general", window_->shownPane());
    EXPECT_EQ(pages, gtk_window_get_focus(GTK_WINDOW(window_->toplevel())));
    // All pages: the range no longer matters.
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(namedWidget(*window_, "allPages")), TRUE);
    EXPECT_EQ("", window_->general().problem());
    EXPECT_EQ("", window_->job().standard.pageRanges);
}

// The General page's controls write the job's standard options, which the job sends.
TEST_F(SettingPagesTest, TheGeneralPageWritesTheStandardJobOptions) {
    open(sample_printers::kDX7140K, "general");
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(namedWidget(*window_, "copies")), 3);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(namedWidget(*window_, "collate")), FALSE);
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(namedWidget(*window_, "pagesPerSheet")), "4");
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(namedWidget(*window_, "orientation")), "reverse-landscape");
    const printdialog::StandardJobOptions &standard = window_->job().standard;
    EXPECT_EQ(3, standard.copies);
    EXPECT_FALSE(standard.collate);
    EXPECT_EQ(4, standard.pagesPerSheet);
    EXPECT_EQ(printdialog::Orientation::ReverseLandscape, standard.orientation);
    window_->print();
    ASSERT_TRUE(window_->outcome());
    std::vector<std::string> sent;
    for (const auto &option : window_->outcome()->report.options) sent.push_back(option.key + "=" + option.value);
    for (const char *expected : {"copies=3", "collate=false", "number-up=4", "orientation-requested=5"})
        EXPECT_NE(std::find(sent.begin(), sent.end(), expected), sent.end()) << expected;
}

// Two choices the PPD does not allow together: both marked at once, each mark naming the other
// side, the line above the buttons; Print then goes through the pre-flight's refusal. Taking one
// back clears all of it.
TEST_F(SettingPagesTest, AConflictIsMarkedLiveAndPrintIsRefused) {
    TemporaryFolder folder;
    printdialog::JobRequest job;
    job.file = folder.write("page.ps", "%!PS\nshowpage\n");
    // A queue, so that Print goes as far as the pre-flight; it refuses before any server is asked.
    openQueue("q7140", sample_printers::kDX7140K, job, "options-General");
    pdedialog::PrinterOptionPages &options = window_->printerOptions();
    GtkWidget *line = namedWidget(*window_, "conflicts");
    ASSERT_NE(nullptr, line);
    EXPECT_FALSE(gtk_widget_get_mapped(line));
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(options.control("InputSlot")), "Bypass");
    EXPECT_FALSE(gtk_widget_get_visible(options.conflictMark("InputSlot"))) << "Bypass alone is allowed";
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(options.control("Duplex")), "DuplexNoTumble");
    runMainLoopFor(std::chrono::milliseconds(50));
    EXPECT_TRUE(gtk_widget_get_mapped(options.conflictMark("InputSlot")));
    EXPECT_TRUE(gtk_widget_get_mapped(options.conflictMark("Duplex")));
    EXPECT_EQ("Conflicts with Two-Sided: Long-Edge Binding", tooltip(options.conflictMark("InputSlot")));
    EXPECT_EQ("Conflicts with Paper Source: Bypass Tray", tooltip(options.conflictMark("Duplex")));
    EXPECT_FALSE(gtk_widget_get_visible(options.conflictMark("PageSize")));
    EXPECT_TRUE(gtk_widget_get_mapped(line));
    std::string shown = gtk_label_get_text(GTK_LABEL(line));
    EXPECT_TRUE(contains(shown, "Paper Source") && contains(shown, "Two-Sided")) << shown;
    auto state = pdedialog::dialogStateJSON(*dialog_, *view_, *window_);
    EXPECT_EQ(shown, state["printerOptions"]["conflictLine"]);
    EXPECT_EQ("Duplex=DuplexNoTumble", state["printerOptions"]["pages"][0]["options"][1]["conflicts"][0]);

    window_->pressPrint();
    ASSERT_TRUE(window_->outcome());
    EXPECT_EQ(printdialog::PrintOutcome::Result::Refused, window_->outcome()->result);
    EXPECT_NE(nullptr, namedWidget(*window_, "refusal"));

    gtk_combo_box_set_active_id(GTK_COMBO_BOX(options.control("Duplex")), "None");
    EXPECT_FALSE(gtk_widget_get_visible(options.conflictMark("InputSlot")));
    EXPECT_FALSE(gtk_widget_get_visible(options.conflictMark("Duplex")));
    EXPECT_FALSE(gtk_widget_get_visible(gtk_widget_get_parent(line)));
}

// The script verbs of the setting pages: what they take, and what they set when run.
TEST_F(SettingPagesTest, TheSettingVerbsSetThePagesAndRefuseWrongValues) {
    std::string error;
    for (const auto &[text, reason] : std::vector<std::pair<std::string, std::string>>{
             {"copies two", "whole number"}, {"copies", "needs a value"}, {"collate maybe", "on or off"},
             {"option PageSize", "one choice"}, {"option PageSize A3 A4", "one choice"}, {"per-sheet 2x", "whole number"}}) {
        pdedialog::ScriptLine line;
        EXPECT_FALSE(pdedialog::parseScriptLine(text, line, error)) << text;
        EXPECT_TRUE(contains(error, reason)) << text << ": " << error;
    }

    open(sample_printers::kDX7140K);
    std::vector<pdedialog::ScriptLine> lines;
    for (const char *text : {"open general", "copies 2", "collate off", "pages 2-3", "per-sheet 2",
                             "orientation landscape", "open options-General", "option Duplex DuplexTumble",
                             "option PageSize A3", "pages 3-1", "option PrintMode Private"}) {
        pdedialog::ScriptLine line;
        ASSERT_TRUE(pdedialog::parseScriptLine(text, line, error)) << text << ": " << error;
        line.origin = "s line " + std::to_string(lines.size() + 1);
        lines.push_back(line);
    }
    ASSERT_TRUE(pdedialog::validateScript(*dialog_, lines, error)) << error;
    std::ostringstream log;
    pdedialog::ScriptRunner runner(*window_, lines, log);
    using Status = pdedialog::ScriptRunner::Status;
    for (int step = 0; step < 10; ++step) ASSERT_EQ(Status::Running, runner.step()) << runner.error();
    EXPECT_EQ(Status::Failed, runner.step());
    EXPECT_EQ("s line 11: PrintMode is set on the jobmode pane", runner.error());
    EXPECT_TRUE(contains(log.str(), "pages 3-1: marked wrong: pages: ")) << log.str();

    auto state = pdedialog::dialogStateJSON(*dialog_, *view_, *window_);
    EXPECT_EQ(2, state["general"]["copies"]);
    EXPECT_EQ(false, state["general"]["collate"]);
    EXPECT_EQ("3-1", state["general"]["pages"]);
    EXPECT_NE("", state["general"]["pagesProblem"]);
    EXPECT_EQ(2, state["general"]["pagesPerSheet"]);
    EXPECT_EQ("landscape", state["general"]["orientation"]);
    EXPECT_EQ("DuplexTumble", ticketValue(*dialog_, "Duplex"));
    EXPECT_EQ("A3", ticketValue(*dialog_, "PageSize"));
    EXPECT_EQ("options-General", window_->shownPane());
}

// A PPD file has no saved settings: the preset menu and Save as Default are offered only for a
// queue, and saving anyway says why instead of looking done.
TEST_F(SettingPagesTest, APPDFileOffersNoSavedSettings) {
    open(sample_printers::kDX7140K);
    EXPECT_EQ(false, window_->presetMenu().stateJSON()["usable"]);
    EXPECT_FALSE(gtk_widget_get_sensitive(namedWidget(*window_, "saveDefault")));
    std::string error;
    EXPECT_FALSE(window_->saveAsDefault(error));
    EXPECT_EQ("a PPD file has no saved settings: choose a queue", error);
    EXPECT_EQ("Not saved: a PPD file has no saved settings: choose a queue", window_->savedLine());
    EXPECT_FALSE(window_->savePreset("two words", error));
    EXPECT_EQ("a preset name cannot hold blanks or control characters", error);
    EXPECT_FALSE(window_->choosePreset("draft", error));
    EXPECT_EQ(nullptr, window_->neverSavedField());
}
