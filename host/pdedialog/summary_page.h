// The Summary page: every shown pane's Summary lines (title and value), grouped by pane, read
// from the panes again whenever a setting may have changed, so that it is current whatever page
// is shown.
#pragma once

#include <printdialog/dialog.h>

#include <gtk/gtk.h>

#include <string>
#include <utility>
#include <vector>

namespace pdedialog {

class SummaryPage {
public:
    explicit SummaryPage(const char *noPanesText);
    SummaryPage(const SummaryPage &) = delete;
    SummaryPage &operator=(const SummaryPage &) = delete;
    ~SummaryPage();

    GtkWidget *widget() const { return scroller_; }
    // Asks every accepted pane for its Summary and shows it; whether anything shown changed.
    bool refresh(printdialog::Dialog &dialog);
    // The page's text as shown, one line per label row: "Pane" or "Title: Value".
    std::string shownText() const;

private:
    GtkWidget *scroller_ = nullptr;
    GtkWidget *grid_ = nullptr;
    std::string noPanesText_;
    // What is shown: each pane's title with its rows, as titles and values.
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> shown_;
    bool built_ = false;
};

}  // namespace pdedialog
