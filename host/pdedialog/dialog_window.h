// The print dialog window: the printer, a pop-up that chooses the pane (the panes that accepted
// the printer, then "Summary"), the pane area, and Cancel / Print. Print is the core's job: the
// panes commit, the pre-flight checks the settings, and the document goes to the queue. The
// Summary follows every change of a setting, whatever page is shown; Escape cancels and Return
// prints (a pane's text field sees the Return first, through its key filters).
#pragma once

#include "control_view.h"
#include "general_page.h"
#include "printer_menu.h"
#include "preset_menu.h"
#include "printer_options_page.h"
#include "summary_page.h"
#include "window_text.h"

#include <printdialog/dialog.h>
#include <printdialog/print_job.h>
#include <printdialog/printer.h>
#include <printdialog/saved_settings.h>

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pdedialog {

inline constexpr char kSummaryPage[] = "summary";

enum class Outcome { Cancelled, Printed };

class DialogWindow {
public:
    DialogWindow(printdialog::Dialog &dialog, ControlView &view, const WindowText &text,
                 const printdialog::Printer &printer, printdialog::JobRequest job);
    DialogWindow(const DialogWindow &) = delete;
    DialogWindow &operator=(const DialogWindow &) = delete;
    ~DialogWindow();

    GtkWidget *toplevel() const { return window_; }
    // The window in front: the result, the refusal or the file chooser when one is open, else
    // the dialog's own (what a screenshot shows).
    GtkWidget *frontWindow() const;
    void show();

    // Shows a pane (its short name) or the Summary page: Close for the pane shown before, Open for
    // the new one. false with a message for a pane that is unknown or not for this printer.
    bool showPane(const std::string &name, std::string &error);
    const std::string &shownPane() const { return shown_; }
    const printdialog::Printer &printer() const { return *printer_; }
    const printdialog::JobRequest &job() const { return job_; }
    // The printer's model name from its PPD (the PPD's path when it has none).
    const std::string &printerName() const { return printerName_; }
    // The page the window opens on: General, else (a window without the settings pages) the first
    // accepted pane, else the Summary.
    std::string firstPage() const;

    // The dialog, the view and the printer shown now; choosing another printer replaces all three
    // (window_printer.cpp), so keep no reference to them across a change of printer.
    printdialog::Dialog &dialog() const { return *dialog_; }
    ControlView &view() const { return *view_; }
    // The printer menu's entries; until this is called it holds the printer shown alone.
    void setPrinterChoices(PrinterList list);
    const PrinterMenu &printerMenu() const { return *printerMenu_; }
    // What choosing another printer does (printer_switch.h): false with the reason, and then the
    // printer shown stays. It calls detachPrinter, terminates the panes, loads the new printer's
    // and calls attachPrinter.
    using PrinterSwitcher = std::function<bool(const PrinterChoice &, std::string &)>;
    void setPrinterSwitcher(PrinterSwitcher switcher) { printerSwitcher_ = std::move(switcher); }
    // Chooses an entry of the menu by name, as a person choosing it does; false with a message for
    // a name not in the menu or a printer that could not be opened (the menu's line says so too).
    bool choosePrinter(const std::string &name, std::string &error);
    // Before the panes are terminated: Close for the pane shown, the panes' pages out of the window.
    void detachPrinter();
    // With the new printer's panes loaded: their pages and chooser entries, the printer menu, the
    // Summary, every printer-changed handler, then the first page is shown (Open).
    void attachPrinter(printdialog::Dialog &dialog, ControlView &view, const printdialog::Printer &printer,
                       const std::string &choiceName);
    // Pages built from the printer (the General and Printer Options pages) register here and
    // rebuild from dialog() and printer(): called by attachPrinter after the panes' pages are in
    // and before a page is shown.
    void addPrinterChangedHandler(std::function<void()> handler) { printerChanged_.push_back(std::move(handler)); }

    // What the buttons do: Print runs the job (commit, pre-flight, submission to a queue) and
    // shows its outcome, which ends the dialog when closed; when the pre-flight keeps the job
    // back, the problems are listed and the dialog stays open, with Print Anyway to send it.
    // Cancel (and closing the window) ends the dialog. A queue without a document asks for one
    // first (a file chooser); Print goes on once it is chosen.
    void print(bool force = false);
    void cancel();
    // Presses the Print button (or the refusal's Print Anyway) as a click does, for scripts.
    void pressPrint();
    bool pressPrintAnyway();
    // Answers the open file chooser with that file, as a person choosing it does. false with a
    // message when no chooser is open or the file cannot be read.
    bool chooseFile(const std::string &path, std::string &error);
    // How the dialog ended, once it has.
    const std::optional<Outcome> &ended() const { return ended_; }
    // Whether Print has ended in an outcome that ends the dialog.
    bool printed() const { return outcome_ && outcome_->result != printdialog::PrintOutcome::Result::Refused; }
    // The last outcome of Print, refused or not.
    const std::optional<printdialog::PrintOutcome> &outcome() const { return outcome_; }
    bool printFailed() const { return printed() && outcome_->failed(); }

    const SummaryPage &summary() const { return summary_; }
    // The window's own setting pages (window_settings.cpp): General, first in the page chooser,
    // and the Printer Options pages after it, rebuilt for each new printer.
    GeneralPage &general() const { return *general_; }
    PrinterOptionPages &printerOptions() const { return *printerOptions_; }
    // The window's own widgets by name ("printer", "chooser", "cancel", "print", "result",
    // "refusal", "fileChooser"), for the state file.
    std::vector<std::pair<std::string, GtkWidget *>> namedWidgets() const;

    // Saved settings (window_presets.cpp). Save as Default and Save As… commit the panes as Print
    // does and save the ticket for the queue, or as the preset QUEUE/NAME; Delete removes a preset;
    // choosing one (or "" for the queue's own saved settings) puts its options into the ticket and
    // the panes read it again. Each says what it did in the line above the buttons; false with the
    // reason. A PPD file has no saved settings.
    const PresetMenu &presetMenu() const { return *presetMenu_; }
    bool saveAsDefault(std::string &error);
    bool savePreset(const std::string &name, std::string &error);
    bool deletePreset(const std::string &name, std::string &error);
    bool choosePreset(const std::string &name, std::string &error);
    const std::string &currentPreset() const { return currentPreset_; }
    // The line about the last save, empty while hidden.
    std::string savedLine() const;
    // The document number's field when a mark beside it says that it is not saved, else nullptr.
    GtkWidget *neverSavedField() const { return neverSavedField_; }
    // Lists the printers again after a preset was saved or deleted (the session's list).
    void setPrinterListSource(std::function<PrinterList()> source);

    void setFinishedHandler(std::function<void(Outcome)> handler) { finished_ = std::move(handler); }
    // Called once, after the window was drawn for the first time.
    void setDrawnHandler(std::function<void()> handler) { drawnHandler_ = std::move(handler); }
    void setChangeListener(std::function<void()> listener) { changeListener_ = std::move(listener); }
    bool drawn() const { return drawn_; }

private:
    static void onChooserChanged(GtkComboBox *chooser, DialogWindow *window);
    static void onCancelClicked(GtkButton *, DialogWindow *window);
    static void onPrintClicked(GtkButton *, DialogWindow *window);
    static gboolean onDelete(GtkWidget *, GdkEvent *, DialogWindow *window);
    static gboolean onDraw(GtkWidget *, cairo_t *, DialogWindow *window);
    static void onResultResponse(GtkDialog *, gint, DialogWindow *window);
    static void onRefusalResponse(GtkDialog *, gint response, DialogWindow *window);
    static void onChooserPopup(GObject *, GParamSpec *, DialogWindow *window);
    static gboolean onKeyPress(GtkWidget *, GdkEventKey *event, DialogWindow *window);
    static void onFileChooserResponse(GtkDialog *, gint response, DialogWindow *window);
    static gboolean onSummaryRefresh(gpointer window);

    void buildPrinterRow(GtkWidget *column);
    // window_presets.cpp
    static void onSaveDefaultClicked(GtkButton *, DialogWindow *window);
    void buildPresetRow(GtkWidget *column);
    void buildSavedLine(GtkWidget *column);
    void showPresets();
    void showSaved(const std::string &line, bool failed);
    bool commitAndSave(const printdialog::DestinationName &destination, std::string &error);
    bool markNeverSaved();
    void clearNeverSavedMark();
    void refreshPrinterList();
    void buildChooser();
    // window_settings.cpp: the setting pages and their chooser entries (again after a change of
    // printer), whether a page name is one of them, and whether the General page lets Print go on.
    void buildSettingPages();
    void placeSettingEntries();
    bool isSettingPage(const std::string &name) const;
    bool settingsAllowPrint();
    // The chosen printer on the menu's button: its name, and the model and server or the file.
    void showChosenPrinter(const std::string &choiceName);
    void addPanePages();
    void showResult(const std::string &text);
    void askForFile(bool force);
    void fileChosen(const std::string &file);
    // A setting may have changed: the Summary is read again once the panes' code has returned.
    void settingsChanged();
    void showRefusal();
    void finish(Outcome outcome);
    printdialog::Pane *paneNamed(const std::string &name) const;

    printdialog::Dialog *dialog_;
    ControlView *view_;
    const WindowText &text_;
    const printdialog::Printer *printer_;
    printdialog::JobRequest job_;
    SummaryPage summary_;
    GtkWidget *window_ = nullptr;
    GtkWidget *printerLabel_ = nullptr;
    std::unique_ptr<PrinterMenu> printerMenu_;
    PrinterSwitcher printerSwitcher_;
    std::vector<std::function<void()>> printerChanged_;
    int paneEntriesAt_ = -1;  // where the panes' entries stand in the page chooser
    GtkWidget *chooser_ = nullptr;
    GtkWidget *stack_ = nullptr;
    std::unique_ptr<GeneralPage> general_;
    std::unique_ptr<PrinterOptionPages> printerOptions_;
    GtkWidget *conflictSlot_ = nullptr;  // above the buttons: the Printer Options' conflict line
    std::unique_ptr<PresetMenu> presetMenu_;
    std::string currentPreset_;  // the preset shown, "" for the queue's own settings
    std::function<PrinterList()> printerListSource_;
    GtkWidget *saveDefault_ = nullptr;
    GtkWidget *savedLine_ = nullptr;
    GtkWidget *savedIcon_ = nullptr;
    GtkWidget *savedText_ = nullptr;
    GtkWidget *neverSavedField_ = nullptr;
    GtkWidget *neverSavedMark_ = nullptr;  // the information mark right of that field
    GtkWidget *cancel_ = nullptr;
    GtkWidget *print_ = nullptr;
    GtkWidget *result_ = nullptr;
    GtkWidget *refusal_ = nullptr;
    GtkWidget *fileChooser_ = nullptr;
    bool forceAfterChoice_ = false;
    guint summaryRefresh_ = 0;
    std::optional<Outcome> ended_;
    std::string printerName_;
    std::string shown_;
    bool choosing_ = false;
    bool drawn_ = false;
    bool finishedOnce_ = false;
    std::optional<printdialog::PrintOutcome> outcome_;
    std::function<void(Outcome)> finished_;
    std::function<void()> drawnHandler_;
    std::function<void()> changeListener_;
};

}  // namespace pdedialog
