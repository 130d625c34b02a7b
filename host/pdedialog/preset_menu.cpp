// The preset menu and the dialog that asks for a preset's name.
#include "preset_menu.h"

#include "gtk_signal.h"
#include "window_widgets.h"

#include <printdialog/saved_settings.h>

namespace pdedialog {
namespace {

constexpr char kPresetName[] = "preset-name";

}  // namespace

const PresetText &presetText(const WindowText &text) {
    static const PresetText english{
        "Pre_set:", "None", "Save As…", "Delete", "Save as _Default", "Save Preset", "_Name:", "Save",
        "Saved as your defaults for {queue}: every application prints with them.",
        "Saved as the preset {preset}, a printer of its own in every application.", "Deleted the preset {preset}.",
        "Not saved:", "The document number is not saved: it is asked for each job.",
        "A PPD file has no saved settings: choose a queue."};
    static const PresetText german{
        "_Voreinstellung:", "Keine", "Sichern unter …", "Löschen", "Als _Standard sichern", "Voreinstellung sichern",
        "_Name:", "Sichern",
        "Als Ihre Standardeinstellungen für {queue} gesichert: alle Programme drucken damit.",
        "Als Voreinstellung {preset} gesichert, ein eigener Drucker in jedem Programm.",
        "Voreinstellung {preset} gelöscht.", "Nicht gesichert:",
        "Die Dokumentnummer wird nicht gesichert: sie wird für jeden Auftrag abgefragt.",
        "Eine PPD-Datei hat keine gesicherten Einstellungen: Wählen Sie eine Warteschlange."};
    return std::string(text.localization) == "de" ? german : english;
}

// The caption is tied to the button as the printer menu's is: mnemonic and accessible relations.
PresetMenu::PresetMenu(const WindowText &text) : text_(presetText(text)) {
    row_ = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    GtkWidget *caption = gtk_label_new_with_mnemonic(text_.caption);
    gtk_box_pack_start(GTK_BOX(row_), caption, FALSE, FALSE, 0);
    button_ = labelledMenuButton("preset-menu", 32, label_, menu_);
    gtk_box_pack_start(GTK_BOX(row_), button_, FALSE, FALSE, 0);
    gtk_label_set_mnemonic_widget(GTK_LABEL(caption), button_);
    AtkObject *label = gtk_widget_get_accessible(caption);
    AtkObject *target = gtk_widget_get_accessible(button_);
    atk_object_add_relationship(label, ATK_RELATION_LABEL_FOR, target);
    atk_object_add_relationship(target, ATK_RELATION_LABELLED_BY, label);
    rebuild();
}

PresetMenu::~PresetMenu() = default;  // the widgets go with the window

void PresetMenu::setPresets(std::vector<std::string> names, const std::string &chosen, bool usable) {
    names_ = std::move(names);
    chosen_ = chosen;
    usable_ = usable;
    rebuild();
}

void PresetMenu::rebuild() {
    GList *items = gtk_container_get_children(GTK_CONTAINER(menu_));
    for (GList *each = items; each != nullptr; each = each->next) gtk_widget_destroy(GTK_WIDGET(each->data));
    g_list_free(items);
    auto append = [this](GtkWidget *item) {
        gtk_menu_shell_append(GTK_MENU_SHELL(menu_), item);
        gtk_widget_show(item);
    };
    std::vector<std::string> entries = {""};
    entries.insert(entries.end(), names_.begin(), names_.end());
    for (const std::string &name : entries) {
        GtkWidget *item = gtk_menu_item_new_with_label(name.empty() ? text_.none : name.c_str());
        g_object_set_data_full(G_OBJECT(item), kPresetName, g_strdup(name.c_str()), &g_free);
        connectSignal(item, "activate", &PresetMenu::onItemActivated, this);
        append(item);
    }
    append(gtk_separator_menu_item_new());
    GtkWidget *saveAs = gtk_menu_item_new_with_label(text_.saveAs);
    connectSignal(saveAs, "activate", &PresetMenu::onSaveAs, this);
    append(saveAs);
    GtkWidget *remove = gtk_menu_item_new_with_label(text_.remove);
    gtk_widget_set_sensitive(remove, !chosen_.empty());
    connectSignal(remove, "activate", &PresetMenu::onDelete, this);
    append(remove);
    gtk_label_set_text(GTK_LABEL(label_), chosen_.empty() ? text_.none : chosen_.c_str());
    gtk_widget_set_sensitive(button_, usable_);
    gtk_widget_set_tooltip_text(button_, usable_ ? nullptr : text_.notAQueue);
}

void PresetMenu::onItemActivated(GtkMenuItem *item, PresetMenu *menu) {
    const auto *name = static_cast<const char *>(g_object_get_data(G_OBJECT(item), kPresetName));
    if (name != nullptr && menu->chosenHandler_) menu->chosenHandler_(name);
}

void PresetMenu::onSaveAs(GtkMenuItem *, PresetMenu *menu) {
    if (menu->saveAsHandler_) menu->saveAsHandler_();
}

void PresetMenu::onDelete(GtkMenuItem *, PresetMenu *menu) {
    if (menu->deleteHandler_) menu->deleteHandler_();
}

printdialog::Json PresetMenu::stateJSON() const {
    return printdialog::Json{{"names", names_}, {"chosen", chosen_}, {"usable", usable_}};
}

namespace {

struct NameDialog {
    GtkWidget *entry;
    GtkWidget *problem;
    GtkWidget *save;
};

// Save is offered only for a name CUPS takes; the reason shows under the field meanwhile.
void checkName(GtkEditable *, NameDialog *dialog) {
    std::string problem = printdialog::instanceNameProblem(gtk_entry_get_text(GTK_ENTRY(dialog->entry)));
    gtk_label_set_text(GTK_LABEL(dialog->problem), problem.c_str());
    gtk_widget_set_sensitive(dialog->save, problem.empty());
}

}  // namespace

std::string askForPresetName(GtkWindow *parent, const WindowText &words, const std::string &suggestion) {
    const PresetText &text = presetText(words);
    GtkWidget *dialog = gtk_dialog_new_with_buttons(text.nameTitle, parent, GTK_DIALOG_MODAL, nullptr, nullptr);
    gtk_widget_set_name(dialog, "preset-name");
    gtk_dialog_add_button(GTK_DIALOG(dialog), words.cancel, GTK_RESPONSE_CANCEL);
    NameDialog parts{gtk_entry_new(), gtk_label_new(nullptr),
                     gtk_dialog_add_button(GTK_DIALOG(dialog), text.save, GTK_RESPONSE_OK)};
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    gtk_entry_set_activates_default(GTK_ENTRY(parts.entry), TRUE);
    gtk_entry_set_text(GTK_ENTRY(parts.entry), suggestion.c_str());
    GtkWidget *grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
    gtk_container_set_border_width(GTK_CONTAINER(grid), 12);
    GtkWidget *caption = gtk_label_new_with_mnemonic(text.namePrompt);
    gtk_label_set_mnemonic_widget(GTK_LABEL(caption), parts.entry);
    atk_object_set_name(gtk_widget_get_accessible(parts.entry), gtk_label_get_text(GTK_LABEL(caption)));
    gtk_grid_attach(GTK_GRID(grid), caption, 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), parts.entry, 1, 0, 1, 1);
    gtk_label_set_xalign(GTK_LABEL(parts.problem), 0);
    gtk_grid_attach(GTK_GRID(grid), parts.problem, 1, 1, 1, 1);
    gtk_container_add(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), grid);
    connectSignal(parts.entry, "changed", &checkName, &parts);
    checkName(nullptr, &parts);
    gtk_widget_show_all(dialog);
    std::string name;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK) name = gtk_entry_get_text(GTK_ENTRY(parts.entry));
    gtk_widget_destroy(dialog);
    return name;
}

}  // namespace pdedialog
