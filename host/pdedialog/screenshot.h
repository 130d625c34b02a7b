// The screenshot: the window as it is drawn now, saved as a PNG.
#pragma once

#include <gtk/gtk.h>

#include <string>

namespace pdedialog {

// Draws the widget (a window, usually) into an image and writes it as PNG. false with a message
// when the widget is not laid out yet or the file cannot be written.
bool saveScreenshot(GtkWidget *widget, const std::string &path, std::string &error);

}  // namespace pdedialog
