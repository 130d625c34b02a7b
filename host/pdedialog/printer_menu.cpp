// The printer menu's entries, words and widgets.
#include "printer_menu.h"

#include "window_widgets.h"

#include "gtk_signal.h"

#include <printdialog/ppd_report.h>

#include <cups/ppd.h>

#include <filesystem>

namespace pdedialog {
namespace {

constexpr char kChoiceName[] = "printer-choice";

// The path a PPD file name leads to, so that "./a.ppd" and "/x/a.ppd" are one file.
std::string resolved(const std::string &path) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

GtkWidget *boldCaption(const char *text) {
    GtkWidget *widget = gtk_label_new(nullptr);
    gchar *markup = g_markup_printf_escaped("<b>%s</b>", text);
    gtk_label_set_markup(GTK_LABEL(widget), markup);
    g_free(markup);
    return widget;
}

}  // namespace

const PrinterMenuText &printerMenuText(const WindowText &text) {
    static const PrinterMenuText english{
        "{printer} — not a queue: cannot print", "{printer} (default)",
        "No CUPS server is running at {server}. Only PPD files can be chosen, and they cannot print.",
        "The CUPS server at {server} has no queues. Only PPD files can be chosen, and they cannot print.",
        "Cannot change to {printer}:"};
    static const PrinterMenuText german{
        "{printer} — keine Warteschlange: kann nicht drucken", "{printer} (Standard)",
        "Unter {server} läuft kein CUPS-Server. Nur PPD-Dateien stehen zur Wahl, und sie können nicht drucken.",
        "Der CUPS-Server unter {server} hat keine Warteschlangen. Nur PPD-Dateien stehen zur Wahl, und sie "
        "können nicht drucken.",
        "Wechsel zu {printer} nicht möglich:"};
    return std::string(text.localization) == "de" ? german : english;
}

PrinterList printerList(const printdialog::DestinationList &destinations, const std::vector<std::string> &ppdFiles,
                        const WindowText &text) {
    using Status = printdialog::DestinationList::Status;
    const PrinterMenuText &words = printerMenuText(text);
    PrinterList list;
    for (const auto &destination : destinations.destinations) {
        PrinterChoice choice;
        choice.name = destination.name();
        choice.queue = destination.queue;
        choice.isDefault = destination.isDefault;
        choice.label = destination.isDefault ? fillIn(words.isDefault, "printer", choice.name) : choice.name;
        list.choices.push_back(std::move(choice));
    }
    for (const auto &file : ppdFiles) {
        std::string error;
        printdialog::PPDFile ppd = printdialog::openPPD(file, error);
        if (!ppd) continue;
        PrinterChoice choice;
        choice.name = file;
        choice.ppdPath = file;
        std::string model = ppd->modelname != nullptr && *ppd->modelname != '\0' ? ppd->modelname : file;
        choice.label = fillIn(words.notAQueue, "printer", model);
        bool listed = false;
        for (const auto &each : list.choices) listed = listed || (!each.isQueue() && resolved(each.ppdPath) == resolved(file));
        if (!listed) list.choices.push_back(std::move(choice));
    }
    if (destinations.status == Status::NoServer) list.notice = fillIn(words.noServer, "server", destinations.server);
    else if (destinations.status == Status::NoQueues) list.notice = fillIn(words.noQueues, "server", destinations.server);
    return list;
}

// The caption is tied to the button as a label to its control: the mnemonic widget, and the
// accessible relations both ways, so that a screen reader reads "Printer:" with the menu.
PrinterMenu::PrinterMenu(const WindowText &text) : text_(text) {
    column_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    GtkWidget *row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    GtkWidget *caption = boldCaption(text_.printer);
    gtk_box_pack_start(GTK_BOX(row), caption, FALSE, FALSE, 0);

    button_ = labelledMenuButton("printer-menu", 72, name_, menu_);
    gtk_box_pack_start(GTK_BOX(row), button_, FALSE, FALSE, 0);

    gtk_label_set_mnemonic_widget(GTK_LABEL(caption), button_);
    atk_object_add_relationship(gtk_widget_get_accessible(caption), ATK_RELATION_LABEL_FOR,
                                gtk_widget_get_accessible(button_));
    atk_object_add_relationship(gtk_widget_get_accessible(button_), ATK_RELATION_LABELLED_BY,
                                gtk_widget_get_accessible(caption));
    gtk_box_pack_start(GTK_BOX(column_), row, FALSE, FALSE, 0);

    notice_ = gtk_label_new(nullptr);
    gtk_widget_set_name(notice_, "printer-notice");
    gtk_label_set_line_wrap(GTK_LABEL(notice_), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(notice_), 60);
    gtk_label_set_xalign(GTK_LABEL(notice_), 0);
    gtk_widget_set_no_show_all(notice_, TRUE);
    gtk_box_pack_start(GTK_BOX(column_), notice_, FALSE, FALSE, 0);
}

PrinterMenu::~PrinterMenu() = default;  // the widgets go with the window

void PrinterMenu::setChoices(PrinterList list) {
    list_ = std::move(list);
    rebuildMenu();
    setNotice(list_.notice);
}

void PrinterMenu::rebuildMenu() {
    GList *items = gtk_container_get_children(GTK_CONTAINER(menu_));
    for (GList *each = items; each != nullptr; each = each->next) gtk_widget_destroy(GTK_WIDGET(each->data));
    g_list_free(items);
    for (const auto &choice : list_.choices) {
        GtkWidget *item = gtk_menu_item_new_with_label(choice.label.c_str());
        // The name lives as long as the item: the list is only replaced after the items go.
        g_object_set_data_full(G_OBJECT(item), kChoiceName, g_strdup(choice.name.c_str()), &g_free);
        connectSignal(item, "activate", &PrinterMenu::onItemActivated, this);
        gtk_menu_shell_append(GTK_MENU_SHELL(menu_), item);
        gtk_widget_show(item);
    }
}

void PrinterMenu::onItemActivated(GtkMenuItem *item, PrinterMenu *menu) {
    const auto *name = static_cast<const char *>(g_object_get_data(G_OBJECT(item), kChoiceName));
    if (name != nullptr && menu->chosen_) menu->chosen_(name);
}

const PrinterChoice *findPrinterChoice(const PrinterList &list, const std::string &name) {
    for (const auto &choice : list.choices)
        if (choice.name == name) return &choice;
    for (const auto &choice : list.choices)
        if (!choice.isQueue() && resolved(choice.ppdPath) == resolved(name)) return &choice;
    return nullptr;
}

void PrinterMenu::select(const std::string &name, const std::string &label, const std::string &tooltip) {
    selected_ = name;
    gtk_label_set_text(GTK_LABEL(name_), label.c_str());
    gtk_widget_set_tooltip_text(name_, tooltip.c_str());
    gtk_widget_set_tooltip_text(button_, tooltip.c_str());
}

void PrinterMenu::setNotice(const std::string &line) {
    gtk_label_set_text(GTK_LABEL(notice_), line.c_str());
    gtk_widget_set_visible(notice_, !line.empty());
}

printdialog::Json PrinterMenu::stateJSON() const {
    printdialog::Json entries = printdialog::Json::array();
    for (const auto &choice : list_.choices) {
        printdialog::Json entry = printdialog::Json::object();
        entry["name"] = choice.name;
        entry["label"] = choice.label;
        entry["queue"] = choice.isQueue();
        entry["default"] = choice.isDefault;
        entries.push_back(std::move(entry));
    }
    printdialog::Json result = printdialog::Json::object();
    result["chosen"] = selected_;
    result["choices"] = std::move(entries);
    result["notice"] = gtk_widget_get_visible(notice_) ? gtk_label_get_text(GTK_LABEL(notice_)) : "";
    return result;
}

}  // namespace pdedialog
