// Input translation: what a person does to a widget reaches the platform as the user action the
// panes expect (a popup choice, a check box click, a slider move, a raw key event through the key
// filters, pasted text typed key by key through those filters). The widget then shows the
// model's answer; GTK never changes a widget's value on its own.
#pragma once

#include <printdialog/control_snapshot.h>

#include <Carbon/Carbon.h>
#include <gtk/gtk.h>

#include <string>

namespace pdedialog {

class ControlView;

// Connects the widget of a control of that kind (a popup, an edit-text field, ...) to the platform.
void connectInput(ControlView &view, ControlRef control, printdialog::ControlType kind, GtkWidget *widget);

}  // namespace pdedialog
