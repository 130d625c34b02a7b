// The rows of the window's own setting pages (General, Printer Options): a caption tied to its
// control as the panes' captions are (label_pairing.h): its mnemonic moves the focus there, the
// accessible relations lead from one to the other, and the control is named by the caption's words.
#pragma once

#include <gtk/gtk.h>

#include <string>

namespace pdedialog {

// A caption (text with a GTK mnemonic: "_Copies:") tied to the control; the caller places it.
GtkWidget *tiedCaption(const std::string &textWithMnemonic, GtkWidget *control);

// A grid for caption / control rows, and one row appended to it (control may span the rest).
GtkWidget *settingsGrid();
void addRow(GtkWidget *grid, int row, GtkWidget *caption, GtkWidget *control);

}  // namespace pdedialog
