// What the dialog window runs on, and changing it when a person chooses another printer: the
// printer (a queue's fetched PPD with it), its panes (the core's Dialog) and the view of them.
#pragma once

#include "control_view.h"
#include "dialog_window.h"
#include "printer_menu.h"

#include <printdialog/dialog.h>
#include <printdialog/printer.h>

#include <memory>
#include <string>

namespace pdedialog {

class PrinterSwitch {
public:
    // Takes over a printer and the dialog loaded for it, and makes the view of its panes.
    PrinterSwitch(std::unique_ptr<printdialog::Printer> printer, std::unique_ptr<printdialog::Dialog> dialog,
                  std::string pluginFolder);
    PrinterSwitch(const PrinterSwitch &) = delete;
    PrinterSwitch &operator=(const PrinterSwitch &) = delete;
    // finish(), when not done before.
    ~PrinterSwitch();

    printdialog::Printer &printer() const { return *printer_; }
    printdialog::Dialog &dialog() const { return *dialog_; }
    ControlView &view() const { return *view_; }

    // Changes the window to the printer chosen, in the host's order: the new printer is opened
    // first (a queue's PPD fetched), the panes commit into the ticket, the window closes the pane
    // shown and lets go of the pages, the view lets go of the model, every pane is terminated and
    // released; then the bundles load for the new printer with the ticket's entries that both
    // printers' PPDs define (carriedSettings), and the window shows the new panes. false with the
    // reason when the new printer cannot be opened; the printer shown then stays.
    bool switchTo(DialogWindow &window, const PrinterChoice &choice, std::string &error);

    // The view lets go of the model, then every pane is terminated (and the extensions released
    // when the dialog goes).
    void finish();

    // The printer a menu entry names: its PPD file, or the queue with its PPD from the server.
    static std::unique_ptr<printdialog::Printer> openChoice(const PrinterChoice &choice, std::string &error);

private:
    std::unique_ptr<printdialog::Dialog> load(const printdialog::Printer &printer, CFDictionaryRef presets,
                                              std::string &error) const;

    std::unique_ptr<printdialog::Printer> printer_;
    std::unique_ptr<printdialog::Dialog> dialog_;
    std::unique_ptr<ControlView> view_;
    std::string pluginFolder_;
    bool finished_ = false;
};

}  // namespace pdedialog
