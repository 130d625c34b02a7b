// Small widget groups of the dialog window.
#include "window_widgets.h"

namespace pdedialog {

GtkWidget *labelledMenuButton(const char *name, int maxChars, GtkWidget *&label, GtkWidget *&menu) {
    GtkWidget *button = gtk_menu_button_new();
    gtk_widget_set_name(button, name);
    GtkWidget *inside = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    label = gtk_label_new(nullptr);
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_MIDDLE);
    gtk_label_set_max_width_chars(GTK_LABEL(label), maxChars);
    gtk_box_pack_start(GTK_BOX(inside), label, TRUE, TRUE, 0);
    gtk_box_pack_end(GTK_BOX(inside), gtk_image_new_from_icon_name("pan-down-symbolic", GTK_ICON_SIZE_BUTTON), FALSE,
                     FALSE, 0);
    gtk_container_add(GTK_CONTAINER(button), inside);
    menu = gtk_menu_new();
    gtk_menu_button_set_popup(GTK_MENU_BUTTON(button), menu);
    return button;
}

GtkWidget *iconLine(const char *name, const char *iconName, GtkWidget *&text, GtkWidget *&icon) {
    GtkWidget *line = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    gtk_widget_set_name(line, name);
    icon = gtk_image_new_from_icon_name(iconName, GTK_ICON_SIZE_MENU);
    gtk_box_pack_start(GTK_BOX(line), icon, FALSE, FALSE, 0);
    text = gtk_label_new(nullptr);
    gtk_label_set_line_wrap(GTK_LABEL(text), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(text), 60);
    gtk_label_set_xalign(GTK_LABEL(text), 0);
    gtk_box_pack_start(GTK_BOX(line), text, TRUE, TRUE, 0);
    gtk_widget_show_all(line);
    gtk_widget_set_no_show_all(line, TRUE);
    gtk_widget_hide(line);
    return line;
}

}  // namespace pdedialog
