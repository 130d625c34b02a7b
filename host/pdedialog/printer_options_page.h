// The Printer Options pages: every option of the printer's PPD that no pane owns, one page per PPD
// group in the PPD's order (a subgroup's options follow its group's), with the PPD's texts in the
// window's language: PickOne as a drop-down, Boolean as a check box, PickMany as check boxes. The
// values live in the PPD dictionary the panes write too, so there is one state, one pre-flight and
// one job. After each change the model is read again and the conflicts are shown live: a warning
// mark beside each conflicting option, its tooltip naming the other side, and a line for the
// window to place above its buttons while any conflict exists.
#pragma once

#include "window_text.h"

#include <printdialog/dialog.h>
#include <printdialog/json.h>
#include <printdialog/printer_options.h>

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pdedialog {

// A Printer Options page's name in the page chooser: this prefix and the PPD group's keyword.
inline constexpr char kOptionsPagePrefix[] = "options-";

// Whether the page name is one of the window's own setting pages (General, Printer Options).
bool isSettingPageName(const std::string &name);

class PrinterOptionPages {
public:
    struct Page {
        std::string name;   // "options-General"
        std::string title;  // the PPD group's text, marked as the printer's when it is a window page's title
        GtkWidget *widget = nullptr;
    };

    // Finds the options the panes own (printdialog::paneOwnedOptions: a commit into a scratch
    // dictionary, the PPD dictionary given back as it was) and builds the pages, in the language
    // ("en", "de": the PPD's translations where it has them) of text. ownTitles are
    // the titles of the window's own pages, which a group's title must not repeat. changed runs
    // after each change a person (or a script) makes.
    PrinterOptionPages(printdialog::Dialog &dialog, std::string ppdPath, std::string language,
                       const SettingsText &text, const std::vector<std::string> &ownTitles, std::function<void()> changed);
    PrinterOptionPages(const PrinterOptionPages &) = delete;
    PrinterOptionPages &operator=(const PrinterOptionPages &) = delete;
    ~PrinterOptionPages();

    const std::vector<Page> &pages() const { return pages_; }
    // The line about the conflicts; hidden while there is none. The window packs it.
    GtkWidget *conflictLine() const { return conflictLine_; }
    GtkWidget *conflictText() const { return conflictText_; }  // the line's words
    // Why the PPD could not be read (then there are no pages), else empty.
    const std::string &error() const { return error_; }

    // Sets the option's value as its control does (for PickMany, checks that choice, which then
    // stands alone).
    // false with a one-line reason for an option not on these pages or a choice it lacks.
    bool setOption(const std::string &keyword, const std::string &choice, std::string &error);
    // Reads the values and conflicts from the PPD dictionary again and shows them.
    void refresh();

    const std::vector<printdialog::OptionGroup> &groups() const { return groups_; }
    GtkWidget *control(const std::string &keyword) const;
    GtkWidget *conflictMark(const std::string &keyword) const;
    // The pages and values with their conflicts, and the conflict line, for the state file.
    printdialog::Json stateJSON() const;

private:
    struct OptionWidgets {
        std::string keyword;
        GtkWidget *control = nullptr;              // combo box, check button, or box of check buttons
        std::vector<GtkWidget *> checks;           // PickMany: one per choice
        GtkWidget *mark = nullptr;
        PrinterOptionPages *owner = nullptr;
    };

    static void onComboChanged(GtkComboBox *, OptionWidgets *option);
    static void onToggled(GtkToggleButton *, OptionWidgets *option);

    void buildGroup(GtkWidget *grid, int &row, const printdialog::OptionGroup &group);
    void buildOption(GtkWidget *grid, int row, const printdialog::PrinterOption &option);
    void show(const printdialog::PrinterOption &option, OptionWidgets &widgets);
    // A person's change of one option: into the dictionary, then everything read again.
    void write(const std::string &keyword, const std::vector<std::string> &choices);
    std::string describe(const printdialog::OptionConflict &conflict) const;

    printdialog::Dialog &dialog_;
    std::string ppdPath_;
    std::string language_;
    const SettingsText &text_;
    std::function<void()> changed_;
    std::map<std::string, std::string> owned_;
    printdialog::OptionTranslations translations_;  // read once, with the pages
    std::vector<printdialog::OptionGroup> groups_;
    std::vector<Page> pages_;
    std::vector<std::unique_ptr<OptionWidgets>> options_;
    GtkWidget *conflictLine_ = nullptr;
    GtkWidget *conflictText_ = nullptr;
    std::string error_;
    bool updating_ = false;
};

}  // namespace pdedialog
