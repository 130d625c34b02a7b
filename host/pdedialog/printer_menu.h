// The printer menu: the CUPS server's destinations (the default first, a queue before its
// instances) and the PPD files given on the command line, which show their panes but cannot print.
// When there is no server, or it has no queues, a line below the menu says so.
#pragma once

#include "window_text.h"

#include <printdialog/destinations.h>
#include <printdialog/json.h>

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

namespace pdedialog {

struct PrinterChoice {
    std::string name;      // "queue", "queue/instance" or the PPD file's path: what `printer NAME` takes
    std::string label;     // what the menu shows, in the window's language
    std::string queue;     // empty for a PPD file
    std::string ppdPath;   // a PPD file's path; empty for a queue (its PPD comes from the server)
    bool isDefault = false;
    bool isQueue() const { return !queue.empty(); }
};

struct PrinterList {
    std::vector<PrinterChoice> choices;
    std::string notice;  // the no-server or no-queues line, in the window's language; empty when listed
};

// The menu's entries: the destinations as listed, then each PPD file (its model name, else its
// path, "not a queue"). A PPD file that cannot be read is left out.
PrinterList printerList(const printdialog::DestinationList &destinations, const std::vector<std::string> &ppdFiles,
                        const WindowText &text);

// The entry of that name, or nullptr. A PPD file also matches by the path it resolves to.
const PrinterChoice *findPrinterChoice(const PrinterList &list, const std::string &name);

// The window's words for the printer menu, English or German as the rest of the window.
struct PrinterMenuText {
    const char *notAQueue;  // "{printer}" filled in
    const char *isDefault;  // "{printer}" filled in
    const char *noServer;   // "{server}" filled in
    const char *noQueues;   // "{server}" filled in
    const char *chooseFailed;  // "{printer}" filled in, followed by the reason
};
const PrinterMenuText &printerMenuText(const WindowText &text);

// The caption, a menu button showing the chosen printer and the notice line, in one column.
// Choosing an entry calls the chosen handler with its name; the menu follows what the window
// finally shows through select().
class PrinterMenu {
public:
    explicit PrinterMenu(const WindowText &text);
    PrinterMenu(const PrinterMenu &) = delete;
    PrinterMenu &operator=(const PrinterMenu &) = delete;
    ~PrinterMenu();

    GtkWidget *widget() const { return column_; }
    GtkWidget *button() const { return button_; }
    GtkWidget *nameLabel() const { return name_; }
    GtkWidget *noticeLabel() const { return notice_; }
    GtkWidget *menu() const { return menu_; }

    // Replaces the entries and the notice.
    void setChoices(PrinterList list);
    const PrinterList &choices() const { return list_; }
    const PrinterChoice *find(const std::string &name) const { return findPrinterChoice(list_, name); }
    // Shows the chosen printer on the button: its label, its tooltip.
    void select(const std::string &name, const std::string &label, const std::string &tooltip);
    const std::string &selected() const { return selected_; }
    // Shows a line under the menu (a printer that could not be opened); empty hides it.
    void setNotice(const std::string &line);
    void setChosenHandler(std::function<void(const std::string &)> handler) { chosen_ = std::move(handler); }

    // "printerMenu" in the state file: the entries, the chosen one and the notice.
    printdialog::Json stateJSON() const;

private:
    static void onItemActivated(GtkMenuItem *item, PrinterMenu *menu);
    void rebuildMenu();

    const WindowText &text_;
    PrinterList list_;
    std::string selected_;
    GtkWidget *column_ = nullptr;
    GtkWidget *button_ = nullptr;
    GtkWidget *name_ = nullptr;
    GtkWidget *notice_ = nullptr;
    GtkWidget *menu_ = nullptr;
    std::function<void(const std::string &)> chosen_;
};

}  // namespace pdedialog
