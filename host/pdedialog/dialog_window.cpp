// Laying out the print dialog window and what its pop-up and buttons do.
#include "dialog_window.h"

#include "gtk_signal.h"
#include "result_message.h"

#include <printdialog/command_line.h>
#include <printdialog/report_text.h>

#include <filesystem>
#include <iostream>

#include <unistd.h>

namespace pdedialog {
namespace {

// The panes' nibs place controls at exact bounds: GTK's controls are made as compact as the
// platform's so that they fit them.
constexpr char kCompactControls[] =
    "combobox#control-popup button.combo { min-height: 0; padding-top: 0; padding-bottom: 0; }\n"
    "entry#control-edittext { min-height: 0; padding-top: 0; padding-bottom: 0; }\n"
    "scale#control-slider { padding-top: 0; padding-bottom: 0; min-height: 0; }\n"
    "checkbutton#control-checkbox { padding-top: 0; padding-bottom: 0; }\n"
    // The keyboard focus stays visible on the compact controls: a solid ring just inside.
    "combobox#control-popup button.combo:focus, scale#control-slider:focus, checkbutton#control-checkbox:focus "
    "{ outline-style: solid; outline-width: 1px; outline-offset: -1px; outline-color: #3584e4; }\n"
    "checkbutton#control-checkbox:focus check { outline: none; }\n";

// Also without animations: a state change shows in full at once, in the window and in a screenshot.
void installCompactStyle() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    g_object_set(gtk_settings_get_default(), "gtk-enable-animations", FALSE, nullptr);
    GtkCssProvider *provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kCompactControls, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

}  // namespace

DialogWindow::DialogWindow(printdialog::Dialog &dialog, ControlView &view, const WindowText &text,
                           const printdialog::Printer &printer, printdialog::JobRequest job)
    : dialog_(&dialog), view_(&view), text_(text), printer_(&printer), job_(std::move(job)), summary_(text.noPanes) {
    installCompactStyle();
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), text_.windowTitle);
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_container_set_border_width(GTK_CONTAINER(window_), 12);
    connectSignal(window_, "delete-event", &DialogWindow::onDelete, this);
    connectSignalAfter(window_, "draw", &DialogWindow::onDraw, this);
    // After the focused widget: a pane's field sees its keys, through its key filters, first.
    connectSignalAfter(window_, "key-press-event", &DialogWindow::onKeyPress, this);
    view_->setChangeListener([this] {
        settingsChanged();
        if (changeListener_) changeListener_();
    });

    GtkWidget *column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
    gtk_container_add(GTK_CONTAINER(window_), column);

    buildPrinterRow(column);
    buildPresetRow(column);

    chooser_ = gtk_combo_box_text_new();
    gtk_widget_set_halign(chooser_, GTK_ALIGN_CENTER);
    gtk_widget_set_size_request(chooser_, 220, -1);
    atk_object_set_name(gtk_widget_get_accessible(chooser_), text_.pageChooserName);
    gtk_box_pack_start(GTK_BOX(column), chooser_, FALSE, FALSE, 0);

    GtkWidget *frame = gtk_frame_new(nullptr);
    stack_ = gtk_stack_new();
    gtk_stack_set_homogeneous(GTK_STACK(stack_), TRUE);
    gtk_widget_set_size_request(stack_, 420, 180);
    gtk_container_set_border_width(GTK_CONTAINER(stack_), 4);
    gtk_container_add(GTK_CONTAINER(frame), stack_);
    gtk_box_pack_start(GTK_BOX(column), frame, TRUE, TRUE, 0);
    addPanePages();
    gtk_stack_add_named(GTK_STACK(stack_), summary_.widget(), kSummaryPage);
    buildChooser();

    GtkWidget *buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
    gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
    gtk_box_set_spacing(GTK_BOX(buttons), 8);
    cancel_ = gtk_button_new_with_label(text_.cancel);
    print_ = gtk_button_new_with_label(text_.print);
    gtk_widget_set_can_default(print_, TRUE);
    saveDefault_ = gtk_button_new_with_mnemonic(presetText(text_).saveDefault);
    gtk_widget_set_name(saveDefault_, "save-default");
    gtk_container_add(GTK_CONTAINER(buttons), saveDefault_);
    gtk_button_box_set_child_secondary(GTK_BUTTON_BOX(buttons), saveDefault_, TRUE);
    gtk_container_add(GTK_CONTAINER(buttons), cancel_);
    gtk_container_add(GTK_CONTAINER(buttons), print_);
    conflictSlot_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_box_pack_start(GTK_BOX(column), conflictSlot_, FALSE, FALSE, 0);
    buildSavedLine(column);
    gtk_box_pack_start(GTK_BOX(column), buttons, FALSE, FALSE, 0);
    // The General and Printer Options pages (window_settings.cpp), built again for a new printer.
    buildSettingPages();
    addPrinterChangedHandler([this] { buildSettingPages(); });
    connectSignal(cancel_, "clicked", &DialogWindow::onCancelClicked, this);
    connectSignal(print_, "clicked", &DialogWindow::onPrintClicked, this);
    connectSignal(saveDefault_, "clicked", &DialogWindow::onSaveDefaultClicked, this);
    showPresets();
    // A new printer starts with its own presets, and nothing said yet about saving.
    addPrinterChangedHandler([this] {
        currentPreset_ = printer_->instance();
        showPresets();
        showSaved("", false);
    });
    gtk_window_set_default(GTK_WINDOW(window_), print_);
    summary_.refresh(*dialog_);
}

DialogWindow::~DialogWindow() {
    clearNeverSavedMark();  // the view's field may outlive the window: its weak pointer goes first
    if (summaryRefresh_ != 0) g_source_remove(summaryRefresh_);
    if (fileChooser_ != nullptr) gtk_widget_destroy(fileChooser_);
    if (result_ != nullptr) gtk_widget_destroy(result_);
    if (refusal_ != nullptr) gtk_widget_destroy(refusal_);
    gtk_widget_destroy(window_);
}

void DialogWindow::show() {
    gtk_widget_show_all(window_);
    view_->renderAll();  // show_all reveals every control; the model decides which are visible
    gtk_window_set_focus_visible(GTK_WINDOW(window_), TRUE);
    // The focus starts on Print, the default, so that Return prints at once (GTK would give it to
    // the page chooser, which takes Return to open its menu).
    gtk_widget_grab_focus(print_);
}

void DialogWindow::settingsChanged() {
    if (summaryRefresh_ == 0) summaryRefresh_ = g_idle_add(&DialogWindow::onSummaryRefresh, this);
}

gboolean DialogWindow::onSummaryRefresh(gpointer data) {
    auto *window = static_cast<DialogWindow *>(data);
    window->summaryRefresh_ = 0;
    if (window->summary_.refresh(*window->dialog_) && window->changeListener_) window->changeListener_();
    return G_SOURCE_REMOVE;
}

// Escape is Cancel, unless the focused widget took it (an open menu closes first).
gboolean DialogWindow::onKeyPress(GtkWidget *, GdkEventKey *event, DialogWindow *window) {
    if (event->keyval != GDK_KEY_Escape || (event->state & gtk_accelerator_get_default_mod_mask()) != 0) return FALSE;
    window->cancel();
    return TRUE;
}

// The printer menu (printer_menu.h) in place of a plain line; until the window is given the
// server's list it holds the printer shown alone.
void DialogWindow::buildPrinterRow(GtkWidget *column) {
    printerName_ = printer_->modelName().empty() ? printer_->ppdPath() : printer_->modelName();
    printerMenu_ = std::make_unique<PrinterMenu>(text_);
    printerLabel_ = printerMenu_->nameLabel();
    std::string name = printer_->isQueue() ? printer_->destination() : printer_->ppdPath();
    PrinterList alone;
    if (printer_->isQueue()) {
        alone.choices.push_back({name, name, printer_->queue(), {}, false});
    } else {
        printdialog::DestinationList none;
        none.status = printdialog::DestinationList::Status::Listed;
        alone = printerList(none, {name}, text_);
    }
    printerMenu_->setChoices(std::move(alone));
    printerMenu_->setChosenHandler([this](const std::string &choice) {
        std::string error;
        if (!choosePrinter(choice, error)) printdialog::printError("pdedialog", error);
    });
    showChosenPrinter(name);
    gtk_box_pack_start(GTK_BOX(column), printerMenu_->widget(), FALSE, FALSE, 0);
}

// The accepted panes in the host's order, then the Summary.
void DialogWindow::buildChooser() {
    for (auto &pane : dialog_->panes()) {
        if (view_->page(*pane) == nullptr) continue;
        gtk_combo_box_text_append(GTK_COMBO_BOX_TEXT(chooser_), pane->shortName.c_str(), pane->title.c_str());
    }
    gtk_combo_box_text_append(GTK_COMBO_BOX_TEXT(chooser_), kSummaryPage, text_.summary);
    connectSignal(chooser_, "changed", &DialogWindow::onChooserChanged, this);
    connectSignal(chooser_, "notify::popup-shown", &DialogWindow::onChooserPopup, this);
}

std::string DialogWindow::firstPage() const {
    if (general_ != nullptr) return kGeneralPage;  // first, as in other print dialogs
    for (auto &pane : dialog_->panes())
        if (view_->page(*pane) != nullptr) return pane->shortName;
    return kSummaryPage;
}

printdialog::Pane *DialogWindow::paneNamed(const std::string &name) const {
    printdialog::Pane *pane = dialog_->findPane(name);
    return pane != nullptr && view_->page(*pane) != nullptr ? pane : nullptr;
}

bool DialogWindow::showPane(const std::string &name, std::string &error) {
    printdialog::Pane *target = paneNamed(name);
    if (target == nullptr && name != kSummaryPage && !isSettingPage(name)) {
        error = dialog_->findPane(name) != nullptr ? "pane '" + name + "' is not for this printer"
                                                  : "unknown pane '" + name + "'";
        return false;
    }
    if (name == shown_) return true;
    if (printdialog::Pane *previous = paneNamed(shown_)) dialog_->closePane(*previous);
    if (target != nullptr) dialog_->openPane(*target);
    summary_.refresh(*dialog_);
    gtk_stack_set_visible_child_name(GTK_STACK(stack_), name.c_str());
    shown_ = name;
    choosing_ = true;
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(chooser_), name.c_str());
    choosing_ = false;
    if (changeListener_) changeListener_();
    return true;
}

void DialogWindow::onChooserChanged(GtkComboBox *chooser, DialogWindow *window) {
    if (window->choosing_) return;
    const gchar *name = gtk_combo_box_get_active_id(chooser);
    std::string error;
    if (name != nullptr && !window->showPane(name, error)) printdialog::printError("pdedialog", error);
}

void DialogWindow::onChooserPopup(GObject *, GParamSpec *, DialogWindow *window) {
    if (window->changeListener_) window->changeListener_();
}

// The core's job; a refusal keeps the dialog open so that the user can change the settings,
// any other outcome is shown and ends the dialog when its window is closed.
void DialogWindow::print(bool force) {
    if (printed() || !settingsAllowPrint()) return;
    if (printer_->isQueue() && job_.file.empty()) {
        askForFile(force);
        return;
    }
    printdialog::JobRequest request = job_;
    request.force = request.force || force;
    request.submit = true;
    outcome_ = printdialog::printDialog(*dialog_, *printer_, request);
    if (outcome_->result == printdialog::PrintOutcome::Result::Refused) {
        showRefusal();
    } else {
        const printdialog::ReportWords &words = printdialog::reportWords(text_.localization);
        std::string text = printdialog::renderOutcomeText(*outcome_, words) +
                           printdialog::renderReportText(outcome_->report, words, printer_->queue(), job_.file);
        std::cout << text << std::flush;
        if (outcome_->failed()) printdialog::printError("pdedialog", outcome_->error);
        showResult(text);
    }
    if (changeListener_) changeListener_();
}

// The queue has no document yet: a file chooser asks for it; Print goes on with the file chosen,
// and cancelling the chooser leaves the dialog as it was.
void DialogWindow::askForFile(bool force) {
    if (fileChooser_ != nullptr) return;
    forceAfterChoice_ = force;
    fileChooser_ = gtk_file_chooser_dialog_new(text_.chooseFileTitle, GTK_WINDOW(window_), GTK_FILE_CHOOSER_ACTION_OPEN,
                                               text_.cancel, GTK_RESPONSE_CANCEL, text_.print, GTK_RESPONSE_ACCEPT,
                                               nullptr);
    gtk_window_set_modal(GTK_WINDOW(fileChooser_), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(fileChooser_), GTK_RESPONSE_ACCEPT);
    gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(fileChooser_), TRUE);
    connectSignal(fileChooser_, "response", &DialogWindow::onFileChooserResponse, this);
    gtk_widget_show(fileChooser_);
    if (changeListener_) changeListener_();
}

void DialogWindow::onFileChooserResponse(GtkDialog *, gint response, DialogWindow *window) {
    std::string file;
    if (response == GTK_RESPONSE_ACCEPT) {
        gchar *name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(window->fileChooser_));
        if (name != nullptr) file = name;
        g_free(name);
    }
    window->fileChosen(file);
}

// The chooser goes; with a file, Print goes on.
void DialogWindow::fileChosen(const std::string &file) {
    gtk_widget_destroy(fileChooser_);
    fileChooser_ = nullptr;
    if (!file.empty()) {
        job_.file = file;
        if (general_) general_->showFile();
        print(forceAfterChoice_);
    } else if (changeListener_) {
        changeListener_();
    }
}

bool DialogWindow::chooseFile(const std::string &path, std::string &error) {
    if (fileChooser_ == nullptr) {
        error = "no file chooser is open (Print asks for the file when none was given)";
        return false;
    }
    std::error_code fileError;
    if (!std::filesystem::is_regular_file(path, fileError) || access(path.c_str(), R_OK) != 0) {
        error = "cannot read the file to print: " + path;
        return false;
    }
    // Straight to the choice: the chooser itself would hold back an Open without a selection.
    fileChosen(std::filesystem::absolute(path, fileError).string());
    return true;
}

// The pre-flight's problems in the window's words, with a way back and a way on.
void DialogWindow::showRefusal() {
    if (refusal_ != nullptr) gtk_widget_destroy(refusal_);
    const printdialog::ReportWords &words = printdialog::reportWords(text_.localization);
    std::string problems;
    for (const auto &problem : printdialog::preflightProblems(outcome_->report, words)) problems += problem + "\n";
    refusal_ = gtk_message_dialog_new(GTK_WINDOW(window_), GTK_DIALOG_MODAL, GTK_MESSAGE_WARNING, GTK_BUTTONS_NONE,
                                      "%s", text_.notPrintedHeading);
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(refusal_), "%s\n%s", text_.refusedBecause,
                                             problems.c_str());
    gtk_dialog_add_buttons(GTK_DIALOG(refusal_), text_.back, GTK_RESPONSE_CANCEL, text_.printAnyway,
                           GTK_RESPONSE_ACCEPT, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(refusal_), GTK_RESPONSE_CANCEL);
    connectSignal(refusal_, "response", &DialogWindow::onRefusalResponse, this);
    gtk_widget_show_all(refusal_);
    std::string line;
    for (const auto &problem : outcome_->problems) line += (line.empty() ? "" : "; ") + problem;
    printdialog::printError("pdedialog", "not printed: " + line);
}

void DialogWindow::onRefusalResponse(GtkDialog *, gint response, DialogWindow *window) {
    gtk_widget_destroy(window->refusal_);
    window->refusal_ = nullptr;
    if (response == GTK_RESPONSE_ACCEPT) window->print(true);
    else if (window->changeListener_) window->changeListener_();
}

bool DialogWindow::pressPrintAnyway() {
    if (refusal_ == nullptr) return false;
    gtk_dialog_response(GTK_DIALOG(refusal_), GTK_RESPONSE_ACCEPT);
    return true;
}

// A modal window over the dialog; closing it ends the dialog, as printing does. It leads with
// the outcome in the window's words, wrapped: the headline, the reason, and the server's own
// message on a line of its own; the whole report (the options, the conflicts overridden, the
// feature code) waits in the details.
void DialogWindow::showResult(const std::string &text) {
    ResultMessage message = describeOutcome(*outcome_, text_);
    result_ = gtk_dialog_new_with_buttons(text_.resultTitle, GTK_WINDOW(window_), GTK_DIALOG_MODAL, text_.close,
                                          GTK_RESPONSE_CLOSE, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(result_), GTK_RESPONSE_CLOSE);
    gtk_window_set_default_size(GTK_WINDOW(result_), 480, -1);
    GtkWidget *content = gtk_dialog_get_content_area(GTK_DIALOG(result_));
    gtk_container_set_border_width(GTK_CONTAINER(content), 12);
    gtk_box_set_spacing(GTK_BOX(content), 8);

    auto wrapped = [content](const std::string &words, const char *name) {
        GtkWidget *label = gtk_label_new(words.c_str());
        gtk_widget_set_name(label, name);
        gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
        gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
        gtk_label_set_max_width_chars(GTK_LABEL(label), 60);
        gtk_label_set_xalign(GTK_LABEL(label), 0);
        gtk_label_set_selectable(GTK_LABEL(label), TRUE);
        gtk_widget_set_can_focus(label, FALSE);
        gtk_box_pack_start(GTK_BOX(content), label, FALSE, FALSE, 0);
        return label;
    };
    GtkWidget *headline = wrapped(message.headline, "result-headline");
    gchar *markup = g_markup_printf_escaped("<span size='large' weight='bold'>%s</span>", message.headline.c_str());
    gtk_label_set_markup(GTK_LABEL(headline), markup);
    g_free(markup);
    if (!message.reason.empty()) wrapped(message.reason, "result-reason");
    if (!message.detail.empty()) {
        GtkWidget *detail = wrapped(message.detail, "result-detail");
        gtk_widget_set_margin_start(detail, 12);
    }

    GtkWidget *expander = gtk_expander_new_with_mnemonic(text_.details);
    gtk_widget_set_name(expander, "result-details");
    gtk_expander_set_resize_toplevel(GTK_EXPANDER(expander), TRUE);
    GtkWidget *scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_min_content_height(GTK_SCROLLED_WINDOW(scroller), 200);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
    GtkWidget *view = gtk_text_view_new();
    gtk_widget_set_name(view, "print-result");
    gtk_text_view_set_editable(GTK_TEXT_VIEW(view), FALSE);
    gtk_text_view_set_monospace(GTK_TEXT_VIEW(view), TRUE);
    gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD_CHAR);
    gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), text.c_str(), -1);
    gtk_container_add(GTK_CONTAINER(scroller), view);
    gtk_container_add(GTK_CONTAINER(expander), scroller);
    gtk_box_pack_start(GTK_BOX(content), expander, TRUE, TRUE, 0);
    connectSignal(result_, "response", &DialogWindow::onResultResponse, this);
    gtk_widget_show_all(result_);
    // Return closes the result, as Escape does: the focus starts on Close, not on the expander.
    gtk_widget_grab_focus(gtk_dialog_get_widget_for_response(GTK_DIALOG(result_), GTK_RESPONSE_CLOSE));
}

void DialogWindow::onResultResponse(GtkDialog *, gint, DialogWindow *window) { window->finish(Outcome::Printed); }

void DialogWindow::cancel() { finish(Outcome::Cancelled); }

void DialogWindow::pressPrint() { gtk_button_clicked(GTK_BUTTON(print_)); }

void DialogWindow::finish(Outcome outcome) {
    if (finishedOnce_) return;
    finishedOnce_ = true;
    ended_ = outcome;
    if (finished_) finished_(outcome);
}

void DialogWindow::onCancelClicked(GtkButton *, DialogWindow *window) { window->cancel(); }

void DialogWindow::onPrintClicked(GtkButton *, DialogWindow *window) { window->print(); }

gboolean DialogWindow::onDelete(GtkWidget *, GdkEvent *, DialogWindow *window) {
    window->cancel();
    return TRUE;  // the window goes when the dialog ends
}

// Every draw tells the change listener too: GTK lays widgets out just before it draws them, so
// only then are their places on the screen known.
gboolean DialogWindow::onDraw(GtkWidget *, cairo_t *, DialogWindow *window) {
    if (!window->drawn_) {
        window->drawn_ = true;
        if (window->drawnHandler_) window->drawnHandler_();
    }
    if (window->changeListener_) window->changeListener_();
    return FALSE;
}

GtkWidget *DialogWindow::frontWindow() const {
    for (GtkWidget *front : {fileChooser_, refusal_, result_})
        if (front != nullptr && gtk_widget_get_realized(front)) return front;
    return window_;
}

std::vector<std::pair<std::string, GtkWidget *>> DialogWindow::namedWidgets() const {
    std::vector<std::pair<std::string, GtkWidget *>> widgets = {
        {"printer", printerLabel_}, {"printerMenu", printerMenu_->button()},
        {"printerNotice", printerMenu_->noticeLabel()}, {"chooser", chooser_}, {"cancel", cancel_}, {"print", print_},
        {"presetMenu", presetMenu_->button()}, {"saveDefault", saveDefault_}, {"savedLine", savedText_}};
    if (result_ != nullptr) widgets.emplace_back("result", result_);
    if (refusal_ != nullptr) widgets.emplace_back("refusal", refusal_);
    if (fileChooser_ != nullptr) widgets.emplace_back("fileChooser", fileChooser_);
    if (general_) {
        for (const auto &named : general_->namedWidgets()) widgets.push_back(named);
    }
    if (printerOptions_) widgets.emplace_back("conflicts", printerOptions_->conflictText());
    return widgets;
}

}  // namespace pdedialog
