// Small widget groups the dialog window uses in more than one place.
#pragma once

#include <gtk/gtk.h>

namespace pdedialog {

// A menu button showing a label (ellipsized past maxChars) and a down arrow, with an empty menu
// attached; label and menu are handed out for the caller to fill.
GtkWidget *labelledMenuButton(const char *name, int maxChars, GtkWidget *&label, GtkWidget *&menu);

// A line of an icon and wrapped words, hidden until the caller shows it (and kept hidden by
// gtk_widget_show_all); text and icon are handed out.
GtkWidget *iconLine(const char *name, const char *iconName, GtkWidget *&text, GtkWidget *&icon);

}  // namespace pdedialog
