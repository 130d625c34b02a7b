// Input translation: what a person does to a widget reaches the platform as the user action the
// panes expect (a popup choice, a check box click, a slider move, a raw key event through the key
// filters, pasted text typed key by key through those filters). The widget then shows the
// model's answer; GTK never changes a widget's value on its own.
#pragma once

#include <Carbon/Carbon.h>
#include <gtk/gtk.h>

#include <string>

namespace pdedialog {

class ControlView;

// Connects the widget of a control of that kind ("popup", "edittext", ...) to the platform.
void connectInput(ControlView &view, ControlRef control, const std::string &kind, GtkWidget *widget);

}  // namespace pdedialog
