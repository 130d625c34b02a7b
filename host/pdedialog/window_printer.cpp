// The dialog window's side of choosing another printer: the printer menu, and taking the old
// printer's pages out of the window and putting the new printer's in.
#include "dialog_window.h"

#include <printdialog/command_line.h>

namespace pdedialog {
namespace {

// The row of the combo box's entry with that id, or -1.
int chooserRow(GtkWidget *chooser, const std::string &id) {
    GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(chooser));
    gint column = gtk_combo_box_get_id_column(GTK_COMBO_BOX(chooser));
    GtkTreeIter iter;
    int row = 0;
    for (gboolean more = gtk_tree_model_get_iter_first(model, &iter); more;
         more = gtk_tree_model_iter_next(model, &iter), ++row) {
        gchar *each = nullptr;
        gtk_tree_model_get(model, &iter, column, &each, -1);
        bool same = each != nullptr && id == each;
        g_free(each);
        if (same) return row;
    }
    return -1;
}

}  // namespace

void DialogWindow::addPanePages() {
    for (auto &pane : dialog_->panes()) {
        if (GtkWidget *page = view_->page(*pane)) gtk_stack_add_named(GTK_STACK(stack_), page, pane->shortName.c_str());
    }
}

// The printer shown stays in the menu even when the list lacks it (a queue the listing missed).
void DialogWindow::setPrinterChoices(PrinterList list) {
    const std::string shown = printerMenu_->selected();
    const PrinterChoice *current = findPrinterChoice(printerMenu_->choices(), shown);
    if (findPrinterChoice(list, shown) == nullptr && current != nullptr)
        list.choices.insert(list.choices.begin(), *current);
    printerMenu_->setChoices(std::move(list));
    showChosenPrinter(printerMenu_->selected());
    if (changeListener_) changeListener_();
}

// A queue goes by the name its server knows it by (with the instance chosen), the model and the
// server in the tooltip; a PPD file by its menu entry (the model, "not a queue"), the file in the
// tooltip.
void DialogWindow::showChosenPrinter(const std::string &choiceName) {
    std::string label;
    std::string tooltip;
    if (printer_->isQueue()) {
        label = choiceName.rfind(printer_->queue() + "/", 0) == 0 ? choiceName : printer_->queue();
        tooltip = printerName_ + "\n" + text_.server + " " + printer_->server();
    } else {
        const PrinterChoice *choice = printerMenu_->find(printer_->ppdPath());
        label = choice != nullptr ? choice->label : printerName_;
        tooltip = printer_->ppdPath();
    }
    printerMenu_->select(choiceName, label, tooltip);
}

bool DialogWindow::choosePrinter(const std::string &name, std::string &error) {
    const PrinterChoice *choice = printerMenu_->find(name);
    if (choice == nullptr) {
        error = "no printer '" + name + "' in the printer menu";
        return false;
    }
    if (choice->name == printerMenu_->selected()) return true;
    // Another preset of the queue shown: its options go into the panes, which stay loaded.
    if (choice->isQueue() && printer_->isQueue() && choice->queue == printer_->queue()) {
        const size_t slash = choice->name.find('/');
        return choosePreset(slash == std::string::npos ? std::string() : choice->name.substr(slash + 1), error);
    }
    if (printed() || fileChooser_ != nullptr || refusal_ != nullptr) {
        error = "the printer cannot change while Print is under way";
        return false;
    }
    if (!printerSwitcher_) {
        error = "this window cannot change its printer";
        return false;
    }
    PrinterChoice chosen = *choice;  // the switch may replace the menu's entries
    std::string reason;
    if (!printerSwitcher_(chosen, reason)) {
        printerMenu_->setNotice(fillIn(printerMenuText(text_).chooseFailed, "printer", chosen.label) + " " + reason);
        error = "cannot change to the printer '" + chosen.name + "': " + reason;
        if (changeListener_) changeListener_();
        return false;
    }
    return true;
}

// The pane shown is closed before its panes are terminated; the pages of the panes leave the
// window (the view that owns them goes with the panes). The Summary and any page built from the
// printer stay, to be rebuilt by attachPrinter. The name of the page shown is kept, so that the
// new printer's page of that name is shown when there is one; nothing may use the window's dialog
// until attachPrinter has given it the new one.
void DialogWindow::detachPrinter() {
    clearNeverSavedMark();  // the field and its mark go with the panes' view
    if (printdialog::Pane *shown = paneNamed(shown_)) dialog_->closePane(*shown);
    if (summaryRefresh_ != 0) g_source_remove(summaryRefresh_);
    summaryRefresh_ = 0;
    choosing_ = true;
    paneEntriesAt_ = -1;
    for (auto &pane : dialog_->panes()) {
        GtkWidget *page = view_->page(*pane);
        if (page == nullptr) continue;
        gtk_container_remove(GTK_CONTAINER(stack_), page);
        int row = chooserRow(chooser_, pane->shortName);
        if (row < 0) continue;
        if (paneEntriesAt_ < 0) paneEntriesAt_ = row;
        gtk_combo_box_text_remove(GTK_COMBO_BOX_TEXT(chooser_), row);
    }
    if (paneEntriesAt_ < 0) paneEntriesAt_ = chooserRow(chooser_, kSummaryPage);
    choosing_ = false;
    view_->setChangeListener(nullptr);
}

void DialogWindow::attachPrinter(printdialog::Dialog &dialog, ControlView &view, const printdialog::Printer &printer,
                                 const std::string &choiceName) {
    std::string previous = shown_;
    dialog_ = &dialog;
    view_ = &view;
    printer_ = &printer;
    printerName_ = printer_->modelName().empty() ? printer_->ppdPath() : printer_->modelName();
    view_->setChangeListener([this] {
        settingsChanged();
        if (changeListener_) changeListener_();
    });
    addPanePages();
    choosing_ = true;
    int row = paneEntriesAt_;
    for (auto &pane : dialog_->panes()) {
        GtkWidget *page = view_->page(*pane);
        if (page == nullptr) continue;
        gtk_widget_show_all(page);
        gtk_combo_box_text_insert(GTK_COMBO_BOX_TEXT(chooser_), row < 0 ? -1 : row++, pane->shortName.c_str(),
                                  pane->title.c_str());
    }
    choosing_ = false;
    view_->renderAll();  // show_all revealed every control; the model decides which are visible
    printerMenu_->setNotice(printerMenu_->choices().notice);
    showChosenPrinter(choiceName);
    summary_.refresh(*dialog_);
    for (const auto &handler : printerChanged_) handler();
    // The page shown before, when the new printer has it too; else the first page.
    std::string error;
    shown_.clear();
    if (previous.empty() || !showPane(previous, error)) showPane(firstPage(), error);
    if (changeListener_) changeListener_();
}

}  // namespace pdedialog
