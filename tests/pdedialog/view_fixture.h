// A dialog on a sample printer with the view and the window around it, on the virtual display.
#pragma once

#include "desktop_support.h"

#include "control_view.h"
#include "dialog_window.h"

#include <printdialog/dialog.h>
#include <printdialog/print_job.h>
#include <printdialog/printer.h>
#include <platform/test_support.h>
#include <platform/user_actions.h>

#include <memory>
#include <string>
#include <vector>

namespace pdedialog_test {

// The ids of a combo box's entries, in order (the page chooser's page names).
std::vector<std::string> comboIds(GtkWidget *combo);
// The window's widget of that name (DialogWindow::namedWidgets), or nullptr.
GtkWidget *namedWidget(const pdedialog::DialogWindow &window, const std::string &name);
// The PPD dictionary's string entry under key, "(none)" without one.
std::string ticketValue(printdialog::Dialog &dialog, const std::string &key);
// Every widget below the root, the root first, depth first.
void collectWidgets(GtkWidget *root, std::vector<GtkWidget *> &found);
// The first widget below the root whose GTK name is name, or nullptr.
GtkWidget *widgetNamed(GtkWidget *root, const std::string &name);

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Ends the dialog in the host's order (the view lets go of the model, every pane is
    // terminated) and lets go of the window, view, dialog and printer.
    void closeDialog();

    // Opens the dialog on the printer with every built plug-in, builds the view and shows the
    // window on the pane (when empty the first pane that accepted the printer, else the window's
    // own first page).
    void open(const std::string &printer, const std::string &pane = {});
    // The same for a queue of the server libcups names, its PPD given as a file, and the job
    // Print submits.
    void openQueue(const std::string &queue, const std::string &ppd, printdialog::JobRequest job,
                   const std::string &pane = {});
    ControlRef control(const std::string &pane, SInt32 id) const;
    GtkWidget *widget(const std::string &pane, SInt32 id) const;
    // The model's text of an edit or static text control.
    std::string modelText(ControlRef control) const;
    std::pair<int, int> modelSelection(ControlRef field) const;
    // A key press and release sent to the widget as GDK delivers them.
    void pressKey(GtkWidget *widget, guint keyval, GdkModifierType state = GdkModifierType(0)) const;
    void typeKeys(GtkWidget *widget, const std::string &text) const;
    // The same with the key's own keycode from the keymap, so that GTK's key bindings (a field's
    // activation, the window's default) see it as the keyboard's.
    void pressKeyOfKeyboard(GtkWidget *widget, guint keyval) const;

    std::unique_ptr<printdialog::Printer> printer_;
    std::unique_ptr<printdialog::Dialog> dialog_;
    std::unique_ptr<pdedialog::ControlView> view_;
    std::unique_ptr<pdedialog::DialogWindow> window_;
    long liveObjectsBefore_ = 0;

private:
    void sendKey(GtkWidget *widget, guint keyval, GdkModifierType state, guint16 keycode) const;
    void openOn(const std::string &pane, printdialog::JobRequest job);
};

}  // namespace pdedialog_test
