// The window's own setting pages: the General page and the Printer Options pages in the page
// stack and first in the page chooser (before the panes, the Summary last), the conflict line
// above the buttons, and Print held back while the General page has a wrong value.
#include "dialog_window.h"

#include <printdialog/command_line.h>

namespace pdedialog {

// Called once from the constructor and again for every new printer (the printer-changed hook):
// the General page stays (its values are the job's); the Printer Options pages are built anew
// from dialog() and printer(), and their chooser entries replace the old ones.
void DialogWindow::buildSettingPages() {
    const SettingsText &words = settingsText(text_.localization);
    auto changed = [this] {
        gtk_widget_set_sensitive(print_, general_->problem().empty());
        settingsChanged();
        if (changeListener_) changeListener_();
    };
    if (!general_) {
        general_ = std::make_unique<GeneralPage>(job_, words, changed);
        // Shown before it is added: the stack ignores a hidden page as its visible child.
        gtk_widget_show_all(general_->widget());
        gtk_stack_add_named(GTK_STACK(stack_), general_->widget(), kGeneralPage);
    }
    if (printerOptions_) {
        for (const auto &page : printerOptions_->pages()) gtk_container_remove(GTK_CONTAINER(stack_), page.widget);
        gtk_container_remove(GTK_CONTAINER(conflictSlot_), printerOptions_->conflictLine());
        printerOptions_.reset();
    }
    printerOptions_ = std::make_unique<PrinterOptionPages>(dialog(), printer().ppdPath(), text_.localization, words,
                                                           std::vector<std::string>{words.general, text_.summary},
                                                           changed);
    if (!printerOptions_->error().empty())
        printdialog::printError("pdedialog", "the Printer Options: " + printerOptions_->error());
    for (const auto &page : printerOptions_->pages()) {
        gtk_widget_show_all(page.widget);
        gtk_stack_add_named(GTK_STACK(stack_), page.widget, page.name.c_str());
    }
    gtk_box_pack_start(GTK_BOX(conflictSlot_), printerOptions_->conflictLine(), FALSE, FALSE, 0);
    placeSettingEntries();
}

// The General page first, then the Printer Options pages, ahead of whatever else the chooser holds.
void DialogWindow::placeSettingEntries() {
    if (chooser_ == nullptr || !general_) return;
    choosing_ = true;
    GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(chooser_));
    gint idColumn = gtk_combo_box_get_id_column(GTK_COMBO_BOX(chooser_));
    for (gint index = gtk_tree_model_iter_n_children(model, nullptr) - 1; index >= 0; --index) {
        GtkTreeIter iter;
        if (!gtk_tree_model_iter_nth_child(model, &iter, nullptr, index)) continue;
        gchar *id = nullptr;
        gtk_tree_model_get(model, &iter, idColumn, &id, -1);
        if (id != nullptr && isSettingPageName(id)) gtk_combo_box_text_remove(GTK_COMBO_BOX_TEXT(chooser_), index);
        g_free(id);
    }
    gtk_combo_box_text_insert(GTK_COMBO_BOX_TEXT(chooser_), 0, kGeneralPage, settingsText(text_.localization).general);
    gint position = 1;
    if (printerOptions_) {
        for (const auto &page : printerOptions_->pages())
            gtk_combo_box_text_insert(GTK_COMBO_BOX_TEXT(chooser_), position++, page.name.c_str(), page.title.c_str());
    }
    if (!shown_.empty()) gtk_combo_box_set_active_id(GTK_COMBO_BOX(chooser_), shown_.c_str());
    choosing_ = false;
}

bool DialogWindow::isSettingPage(const std::string &name) const {
    if (name == kGeneralPage) return general_ != nullptr;
    if (!printerOptions_) return false;
    for (const auto &page : printerOptions_->pages())
        if (page.name == name) return true;
    return false;
}

// A wrong value on the General page keeps Print back: the page is shown with the focus on the
// wrong field, and the reason goes to standard error.
bool DialogWindow::settingsAllowPrint() {
    if (!general_ || general_->problem().empty()) return true;
    std::string error;
    showPane(kGeneralPage, error);
    for (const auto &[name, widget] : general_->namedWidgets())
        if (name == "pages") gtk_widget_grab_focus(widget);
    gtk_widget_error_bell(window_);
    printdialog::printError("pdedialog", "not printed: " + general_->problem());
    return false;
}

}  // namespace pdedialog
