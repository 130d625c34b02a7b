// Captions tied to their controls on the window's own pages.
#include "setting_rows.h"

#include "label_pairing.h"

namespace pdedialog {

GtkWidget *tiedCaption(const std::string &textWithMnemonic, GtkWidget *control) {
    GtkWidget *caption = gtk_label_new_with_mnemonic(textWithMnemonic.c_str());
    gtk_label_set_mnemonic_widget(GTK_LABEL(caption), control);
    gtk_label_set_xalign(GTK_LABEL(caption), 1);
    AtkObject *label = gtk_widget_get_accessible(caption);
    AtkObject *target = gtk_widget_get_accessible(control);
    atk_object_add_relationship(label, ATK_RELATION_LABEL_FOR, target);
    atk_object_add_relationship(target, ATK_RELATION_LABELLED_BY, label);
    atk_object_set_name(target, nameOfCaption(gtk_label_get_text(GTK_LABEL(caption))).c_str());
    return caption;
}

GtkWidget *settingsGrid() {
    GtkWidget *grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 8);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 10);
    gtk_container_set_border_width(GTK_CONTAINER(grid), 8);
    gtk_widget_set_halign(grid, GTK_ALIGN_CENTER);
    return grid;
}

void addRow(GtkWidget *grid, int row, GtkWidget *caption, GtkWidget *control) {
    if (caption != nullptr) gtk_grid_attach(GTK_GRID(grid), caption, 0, row, 1, 1);
    gtk_widget_set_halign(control, GTK_ALIGN_START);
    gtk_grid_attach(GTK_GRID(grid), control, 1, row, 1, 1);
}

}  // namespace pdedialog
