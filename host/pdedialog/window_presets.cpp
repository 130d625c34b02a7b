// The dialog window's saved settings: Save as Default, the preset menu (choose, Save As…, Delete)
// and the line that says what a save did. What is saved is what Print would commit: the panes
// commit, and the ticket's options go to the user's lpoptions through the core.
#include "dialog_window.h"

#include "window_widgets.h"

#include <printdialog/cf_dictionary.h>
#include <printdialog/control_snapshot.h>
#include <printdialog/saved_settings.h>
#include <printdialog/startup.h>
#include <printdialog/ticket_preset.h>

#include <algorithm>

namespace pdedialog {
namespace {

// The enabled text field of the snapshot whose text is the digits, or nullptr.
ControlRef fieldHolding(const printdialog::ControlSnapshot &container, const std::string &digits) {
    for (const auto &child : container.children) {
        if (child.type == printdialog::ControlType::EditText && child.enabled && child.text == digits) return child.control;
        if (ControlRef found = fieldHolding(child, digits)) return found;
    }
    return nullptr;
}

}  // namespace

void DialogWindow::buildPresetRow(GtkWidget *column) {
    presetMenu_ = std::make_unique<PresetMenu>(text_);
    gtk_box_pack_start(GTK_BOX(column), presetMenu_->widget(), FALSE, FALSE, 0);
    presetMenu_->setChosenHandler([this](const std::string &name) {
        std::string error;
        if (!choosePreset(name, error)) showSaved(std::string(presetText(text_).notSaved) + " " + error, true);
    });
    presetMenu_->setSaveAsHandler([this] {
        std::string name = askForPresetName(GTK_WINDOW(window_), text_, currentPreset_);
        std::string error;
        if (!name.empty()) savePreset(name, error);
    });
    presetMenu_->setDeleteHandler([this] {
        std::string error;
        deletePreset(currentPreset_, error);
    });
    currentPreset_ = printer_->instance();
    showPresets();
}

// The line above the buttons: an icon and the words; a failure is marked as a warning.
void DialogWindow::buildSavedLine(GtkWidget *column) {
    savedLine_ = iconLine("saved-line", "emblem-default", savedText_, savedIcon_);
    gtk_box_pack_start(GTK_BOX(column), savedLine_, FALSE, FALSE, 0);
}

void DialogWindow::showPresets() {
    const bool queue = printer_->isQueue();
    presetMenu_->setPresets(queue ? printdialog::presetsOf(printer_->queue()) : std::vector<std::string>(),
                            currentPreset_, queue);
    if (saveDefault_ != nullptr) {
        gtk_widget_set_sensitive(saveDefault_, queue);
        gtk_widget_set_tooltip_text(saveDefault_, queue ? nullptr : presetText(text_).notAQueue);
    }
}

void DialogWindow::showSaved(const std::string &line, bool failed) {
    gtk_label_set_text(GTK_LABEL(savedText_), line.c_str());
    gtk_image_set_from_icon_name(GTK_IMAGE(savedIcon_), failed ? "dialog-warning" : "emblem-default", GTK_ICON_SIZE_MENU);
    gtk_widget_set_visible(savedLine_, !line.empty());
    if (changeListener_) changeListener_();
}

std::string DialogWindow::savedLine() const {
    return gtk_widget_get_visible(savedLine_) ? gtk_label_get_text(GTK_LABEL(savedText_)) : "";
}

void DialogWindow::setPrinterListSource(std::function<PrinterList()> source) { printerListSource_ = std::move(source); }

// Print's commit, and the ticket saved for the destination; the line says what happened.
bool DialogWindow::commitAndSave(const printdialog::DestinationName &destination, std::string &error) {
    const PresetText &words = presetText(text_);
    if (!printer_->isQueue()) {
        error = "a PPD file has no saved settings: choose a queue";
    } else if (OSStatus status = dialog_->syncAll(false); status != noErr) {
        error = "the panes could not commit their settings (status " + std::to_string(status) + ")";
    } else if (printdialog::saveSettings(destination, dialog_->ppdDictionary(), error)) {
        std::string line = destination.instance.empty() ? fillIn(words.savedDefault, "queue", destination.queue)
                                                        : fillIn(words.savedPreset, "preset", destination.text());
        if (markNeverSaved()) line += std::string(" ") + words.neverSaved;
        showSaved(line, false);
        return true;
    }
    showSaved(std::string(words.notSaved) + " " + error, true);
    return false;
}

// The field whose text the never-saved options hold (the private-print document number: the
// digits the pane commits are the field's text) gets a mark beside it, while it can be edited.
bool DialogWindow::markNeverSaved() {
    std::string digits;  // by key, so the digits come in their order
    for (const auto &[key, value] : printdialog::neverSavedEntries(dialog_->ppdDictionary())) digits += value;
    clearNeverSavedMark();
    if (digits.empty()) return false;
    for (auto &pane : dialog_->panes()) {
        if (!pane->accepted() || pane->terminated) continue;
        ControlRef field = fieldHolding(printdialog::snapshotControl(pane->userPane), digits);
        GtkWidget *entry = field != nullptr ? view_->widget(field) : nullptr;
        if (entry == nullptr || !GTK_IS_ENTRY(entry)) continue;
        const char *note = presetText(text_).neverSaved;
        atk_object_set_description(gtk_widget_get_accessible(entry), note);
        // Both go when the view rebuilds the pane's page: weak pointers forget them then.
        neverSavedField_ = entry;
        g_object_add_weak_pointer(G_OBJECT(entry), reinterpret_cast<gpointer *>(&neverSavedField_));
        // The mark goes right of the field, in the pane's own layout: inside the field it would
        // take the room of the number's digits.
        GtkWidget *placed = entry;
        while (gtk_widget_get_parent(placed) != nullptr && !GTK_IS_FIXED(gtk_widget_get_parent(placed)))
            placed = gtk_widget_get_parent(placed);
        GtkWidget *layout = gtk_widget_get_parent(placed);
        if (layout == nullptr) return true;
        gint x = 0, y = 0, width = 0, height = 0;
        gtk_container_child_get(GTK_CONTAINER(layout), placed, "x", &x, "y", &y, nullptr);
        gtk_widget_get_size_request(placed, &width, &height);
        neverSavedMark_ = gtk_image_new_from_icon_name("dialog-information", GTK_ICON_SIZE_MENU);
        gtk_widget_set_name(neverSavedMark_, "never-saved");
        gtk_widget_set_tooltip_text(neverSavedMark_, note);
        g_object_add_weak_pointer(G_OBJECT(neverSavedMark_), reinterpret_cast<gpointer *>(&neverSavedMark_));
        gtk_fixed_put(GTK_FIXED(layout), neverSavedMark_, x + width + 4, y + std::max(0, (height - 16) / 2));
        gtk_widget_show(neverSavedMark_);
        return true;
    }
    return false;
}

void DialogWindow::clearNeverSavedMark() {
    if (neverSavedMark_ != nullptr) gtk_widget_destroy(neverSavedMark_);  // its weak pointer clears it
    if (neverSavedField_ == nullptr) return;
    atk_object_set_description(gtk_widget_get_accessible(neverSavedField_), "");
    g_object_remove_weak_pointer(G_OBJECT(neverSavedField_), reinterpret_cast<gpointer *>(&neverSavedField_));
    neverSavedField_ = nullptr;
}

bool DialogWindow::saveAsDefault(std::string &error) { return commitAndSave({printer_->queue(), {}}, error); }

bool DialogWindow::savePreset(const std::string &name, std::string &error) {
    std::string problem = printdialog::instanceNameProblem(name);
    if (!problem.empty()) {
        error = problem;
        showSaved(std::string(presetText(text_).notSaved) + " " + error, true);
        return false;
    }
    if (!commitAndSave({printer_->queue(), name}, error)) return false;
    currentPreset_ = name;
    refreshPrinterList();
    return true;
}

bool DialogWindow::deletePreset(const std::string &name, std::string &error) {
    if (!printer_->isQueue() || name.empty()) {
        error = "no preset is chosen";
        return false;
    }
    printdialog::DestinationName preset{printer_->queue(), name};
    if (!printdialog::deletePreset(preset, error)) {
        showSaved(std::string(presetText(text_).notSaved) + " " + error, true);
        return false;
    }
    if (currentPreset_ == name) currentPreset_.clear();
    refreshPrinterList();
    showSaved(fillIn(presetText(text_).deleted, "preset", preset.text()), false);
    return true;
}

// The queue's defaults with the preset's options (or the queue's own saved settings) over them
// replace the ticket, as on a printer opened with them; the panes read it again (Sync with reinitializePlugin true) and every page
// shows it.
bool DialogWindow::choosePreset(const std::string &name, std::string &error) {
    if (!printer_->isQueue()) {
        error = "a PPD file has no presets";
        return false;
    }
    auto saved = printdialog::withSavedSettings({printer_->queue(), name}, printer_->ppdPath(), nullptr, error);
    if (!saved) return false;
    CFMutableDictionaryRef ticket = dialog_->ppdDictionary();
    CFDictionaryRemoveAllValues(ticket);
    printdialog::copyEntries(saved.get(), ticket);
    dialog_->syncAll(true);
    view_->renderAll();
    clearNeverSavedMark();
    if (printerOptions_) printerOptions_->refresh();
    currentPreset_ = name;
    showPresets();
    showChosenPrinter(printdialog::DestinationName{printer_->queue(), name}.text());
    settingsChanged();
    if (changeListener_) changeListener_();
    return true;
}

void DialogWindow::refreshPrinterList() {
    if (printerListSource_) setPrinterChoices(printerListSource_());
    showPresets();
    showChosenPrinter(printdialog::DestinationName{printer_->queue(), currentPreset_}.text());
    if (changeListener_) changeListener_();
}

void DialogWindow::onSaveDefaultClicked(GtkButton *, DialogWindow *window) {
    std::string error;
    window->saveAsDefault(error);
}

}  // namespace pdedialog
