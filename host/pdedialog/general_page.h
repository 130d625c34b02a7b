// The General page, first in the page chooser: the file to print, copies and collate, the pages
// (all, or ranges such as "1-3,5"), pages per sheet and orientation. The values live in the job
// request the window prints (its file and its standard job options), so they reach the job as the
// standard CUPS job options. The page ranges are checked as they are typed: a wrong entry is
// marked (the error style, the reason in its tooltip) and problem() keeps Print back.
#pragma once

#include "window_text.h"

#include <printdialog/json.h>
#include <printdialog/print_job.h>

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pdedialog {

inline constexpr char kGeneralPage[] = "general";

// The orientations by the names scripts and the state use, in the order the page offers them.
inline constexpr const char *kOrientationNames[] = {"portrait", "landscape", "reverse-landscape", "reverse-portrait"};

class GeneralPage {
public:
    // Shows the job's values and writes every change into it; changed runs after each change.
    // The job must outlive the page.
    GeneralPage(printdialog::JobRequest &job, const SettingsText &text, std::function<void()> changed);
    GeneralPage(const GeneralPage &) = delete;
    GeneralPage &operator=(const GeneralPage &) = delete;
    ~GeneralPage();

    GtkWidget *widget() const { return page_; }
    // Why Print cannot go on yet ("pages: ..."), empty when it can.
    const std::string &problem() const { return problem_; }

    // What a person does on the page, for scripts; false with a one-line reason for a value the
    // page does not offer (nothing changes then). A page range is taken as typed, right or wrong.
    bool setCopies(int copies, std::string &error);
    void setCollate(bool collate);
    void setPageRanges(const std::string &ranges);  // empty: all pages
    bool setPagesPerSheet(int count, std::string &error);
    bool setOrientation(const std::string &name, std::string &error);
    bool setFile(const std::string &path, std::string &error);
    // Shows the job's file again after it was chosen elsewhere (the chooser Print opens).
    void showFile();

    // The controls by name ("file", "copies", "collate", "allPages", "pageRange", "pages",
    // "pagesPerSheet", "orientation"), for the state file and tests.
    std::vector<std::pair<std::string, GtkWidget *>> namedWidgets() const;
    // The values as the job takes them, with the page range's verdict.
    printdialog::Json stateJSON() const;

private:
    void nameFileChooserParts(GtkWidget *caption);
    void describeFile();  // the file chosen, as the chooser's parts' accessible description
    static void onCopies(GtkSpinButton *, GeneralPage *page);
    static void onCollate(GtkToggleButton *, GeneralPage *page);
    static void onPagesMode(GtkToggleButton *, GeneralPage *page);
    static void onPagesText(GtkEditable *, GeneralPage *page);
    static void onPerSheet(GtkComboBox *, GeneralPage *page);
    static void onOrientation(GtkComboBox *, GeneralPage *page);
    static void onFileSet(GtkFileChooserButton *, GeneralPage *page);

    // Reads the pages' controls into the job and marks a wrong range.
    void checkPages();
    void notify();

    printdialog::JobRequest &job_;
    const SettingsText &text_;
    std::function<void()> changed_;
    GtkWidget *page_ = nullptr;
    GtkWidget *file_ = nullptr;
    std::vector<GtkWidget *> fileParts_;  // the chooser button's own button and combo box
    GtkWidget *copies_ = nullptr;
    GtkWidget *collate_ = nullptr;
    GtkWidget *allPages_ = nullptr;
    GtkWidget *pageRange_ = nullptr;
    GtkWidget *pages_ = nullptr;
    GtkWidget *perSheet_ = nullptr;
    GtkWidget *orientation_ = nullptr;
    std::string problem_;
    bool updating_ = false;  // the page writes into its own widgets: their signals are not a person's
};

}  // namespace pdedialog
