// Filling the Summary page from GetSummaryText.
#include "summary_page.h"

namespace pdedialog {
namespace {

GtkWidget *label(const std::string &text, float xalign) {
    GtkWidget *widget = gtk_label_new(text.c_str());
    gtk_label_set_xalign(GTK_LABEL(widget), xalign);
    gtk_label_set_selectable(GTK_LABEL(widget), FALSE);
    return widget;
}

}  // namespace

SummaryPage::SummaryPage(const char *noPanesText) : noPanesText_(noPanesText) {
    scroller_ = gtk_scrolled_window_new(nullptr, nullptr);
    g_object_ref_sink(scroller_);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller_), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
    grid_ = gtk_grid_new();
    gtk_widget_set_name(grid_, "summary");
    gtk_grid_set_column_spacing(GTK_GRID(grid_), 12);
    gtk_grid_set_row_spacing(GTK_GRID(grid_), 2);
    gtk_widget_set_margin_start(grid_, 12);
    gtk_widget_set_margin_top(grid_, 8);
    gtk_container_add(GTK_CONTAINER(scroller_), grid_);
    gtk_widget_show_all(scroller_);
}

SummaryPage::~SummaryPage() { g_object_unref(scroller_); }

// A bold heading per pane, then its rows with the titles right-aligned against the values.
bool SummaryPage::refresh(printdialog::Dialog &dialog) {
    decltype(shown_) read;
    for (auto &pane : dialog.panes()) {
        if (!pane->accepted() || pane->terminated) continue;
        std::vector<printdialog::SummaryRow> rows;
        if (dialog.summary(*pane, rows) != noErr) continue;
        auto &group = read.emplace_back(pane->title, std::vector<std::pair<std::string, std::string>>{});
        for (const auto &line : rows) group.second.emplace_back(line.title, line.value);
    }
    if (built_ && read == shown_) return false;
    built_ = true;
    shown_ = std::move(read);

    GList *children = gtk_container_get_children(GTK_CONTAINER(grid_));
    for (GList *child = children; child != nullptr; child = child->next) gtk_widget_destroy(GTK_WIDGET(child->data));
    g_list_free(children);
    int row = 0;
    for (const auto &[title, rows] : shown_) {
        GtkWidget *heading = label(title, 0);
        gchar *markup = g_markup_printf_escaped("<b>%s</b>", title.c_str());
        gtk_label_set_markup(GTK_LABEL(heading), markup);
        g_free(markup);
        gtk_widget_set_margin_top(heading, row == 0 ? 0 : 10);
        gtk_grid_attach(GTK_GRID(grid_), heading, 0, row++, 2, 1);
        for (const auto &[lineTitle, value] : rows) {
            gtk_grid_attach(GTK_GRID(grid_), label(lineTitle + ":", 1), 0, row, 1, 1);
            GtkWidget *shownValue = label(value, 0);
            gtk_label_set_line_wrap(GTK_LABEL(shownValue), TRUE);
            gtk_label_set_line_wrap_mode(GTK_LABEL(shownValue), PANGO_WRAP_WORD_CHAR);
            gtk_widget_set_hexpand(shownValue, TRUE);
            gtk_grid_attach(GTK_GRID(grid_), shownValue, 1, row++, 1, 1);
        }
    }
    if (row == 0) gtk_grid_attach(GTK_GRID(grid_), label(noPanesText_, 0), 0, row++, 2, 1);
    gtk_widget_show_all(grid_);
    return true;
}

std::string SummaryPage::shownText() const {
    std::string text;
    for (int row = 0;; ++row) {
        GtkWidget *first = gtk_grid_get_child_at(GTK_GRID(grid_), 0, row);
        if (first == nullptr) break;
        GtkWidget *second = gtk_grid_get_child_at(GTK_GRID(grid_), 1, row);
        text += gtk_label_get_text(GTK_LABEL(first));
        if (second != nullptr && second != first) text += std::string(" ") + gtk_label_get_text(GTK_LABEL(second));
        text += "\n";
    }
    return text;
}

}  // namespace pdedialog
