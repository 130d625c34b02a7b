// Changing the printer of the dialog window.
#include "printer_switch.h"

#include <printdialog/command_line.h>
#include <printdialog/cf_dictionary.h>
#include <printdialog/printer_switch.h>
#include <printdialog/startup.h>

#include <cstdlib>

namespace pdedialog {

PrinterSwitch::PrinterSwitch(std::unique_ptr<printdialog::Printer> printer, std::unique_ptr<printdialog::Dialog> dialog,
                             std::string pluginFolder)
    : printer_(std::move(printer)), dialog_(std::move(dialog)), view_(std::make_unique<ControlView>(*dialog_)),
      pluginFolder_(std::move(pluginFolder)) {}

PrinterSwitch::~PrinterSwitch() { finish(); }

void PrinterSwitch::finish() {
    if (finished_) return;
    finished_ = true;
    view_->detach();
    dialog_->terminate();
}

std::unique_ptr<printdialog::Printer> PrinterSwitch::openChoice(const PrinterChoice &choice, std::string &error) {
    // A queue's entry is named "queue" or "queue/preset".
    return choice.isQueue() ? printdialog::Printer::fromQueue(choice.name, error)
                            : printdialog::Printer::fromFile(choice.ppdPath, error);
}

std::unique_ptr<printdialog::Dialog> PrinterSwitch::load(const printdialog::Printer &printer, CFDictionaryRef presets,
                                                         std::string &error) const {
    printdialog::Dialog::Options options;
    options.ppdPath = printer.ppdPath();
    options.pluginDirectory = pluginFolder_;
    options.presets = presets;
    return printdialog::Dialog::open(options, error);
}

bool PrinterSwitch::switchTo(DialogWindow &window, const PrinterChoice &choice, std::string &error) {
    if (finished_) {
        error = "the dialog has ended";
        return false;
    }
    std::unique_ptr<printdialog::Printer> next = openChoice(choice, error);
    if (!next) return false;
    dialog_->syncAll(false);  // a pane that fails to commit still leaves what it wrote before
    auto carried = printdialog::carriedSettings(dialog_->ppdDictionary(), printer_->ppdPath(), next->ppdPath(), error);
    if (!carried) return false;
    // A queue opens with its saved settings (or the preset's), and what was carried fills in the rest.
    if (next->isQueue()) {
        auto saved = printdialog::withSavedSettings(*next, nullptr, error);
        if (!saved) return false;
        printdialog::copyEntries(carried.get(), saved.get(), true);
        carried = std::move(saved);
    }
    auto kept = cf::adopt(CFDictionaryCreateMutableCopy(kCFAllocatorDefault, 0, dialog_->ppdDictionary()));

    window.detachPrinter();
    view_->detach();
    view_.reset();
    dialog_.reset();  // Terminate for every pane, then the Releases

    std::string shownBefore = window.printerMenu().selected();
    dialog_ = load(*next, carried.get(), error);
    bool switched = dialog_ != nullptr;
    if (switched) {
        printer_ = std::move(next);
    } else {
        // Back to the printer shown before, as it was; without it the window has nothing to show.
        std::string reason;
        dialog_ = load(*printer_, kept.get(), reason);
        if (!dialog_) {
            printdialog::printError("pdedialog", "cannot load the panes again: " + reason);
            std::abort();
        }
    }
    view_ = std::make_unique<ControlView>(*dialog_);
    window.attachPrinter(*dialog_, *view_, *printer_, switched ? choice.name : shownBefore);
    return switched;
}

}  // namespace pdedialog
