// Building the Printer Options pages from the core's model and writing their values.
#include "printer_options_page.h"

#include "general_page.h"
#include "gtk_signal.h"
#include "setting_rows.h"
#include "window_widgets.h"

#include <printdialog/ticket_preset.h>

#include <algorithm>

namespace pdedialog {
namespace {

using printdialog::PrinterOption;

const char *kindName(PrinterOption::Kind kind) {
    switch (kind) {
    case PrinterOption::Kind::PickOne: return "PickOne";
    case PrinterOption::Kind::Boolean: return "Boolean";
    case PrinterOption::Kind::PickMany: return "PickMany";
    }
    return "PickOne";
}

// A Boolean option's choice for a check box's state: "True"/"False" as PPDs spell them.
std::string booleanChoice(const PrinterOption &option, bool on) {
    for (const auto &choice : option.choices) {
        std::string lower = choice.keyword;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        if ((on && (lower == "true" || lower == "on" || lower == "yes")) ||
            (!on && (lower == "false" || lower == "off" || lower == "no")))
            return choice.keyword;
    }
    return on ? "True" : "False";
}

bool booleanValue(const std::string &value) {
    std::string lower = value;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower == "true" || lower == "on" || lower == "yes";
}

const printdialog::OptionChoice *choiceNamed(const PrinterOption &option, const std::string &keyword) {
    for (const auto &choice : option.choices)
        if (choice.keyword == keyword) return &choice;
    return nullptr;
}

void collectOptions(const printdialog::OptionGroup &group, std::vector<const PrinterOption *> &into) {
    for (const auto &option : group.options) into.push_back(&option);
    for (const auto &subgroup : group.subgroups) collectOptions(subgroup, into);
}

}  // namespace

bool isSettingPageName(const std::string &name) {
    return name == kGeneralPage || name.rfind(kOptionsPagePrefix, 0) == 0;
}

PrinterOptionPages::PrinterOptionPages(printdialog::Dialog &dialog, std::string ppdPath, std::string language,
                                       const SettingsText &text, const std::vector<std::string> &ownTitles,
                                       std::function<void()> changed)
    : dialog_(dialog), ppdPath_(std::move(ppdPath)), language_(std::move(language)), text_(text),
      changed_(std::move(changed)) {
    owned_ = printdialog::paneOwnedOptions(dialog_);
    GtkWidget *icon = nullptr;
    conflictLine_ = iconLine("conflict-line", "dialog-warning", conflictText_, icon);
    g_object_ref_sink(conflictLine_);

    translations_ = printdialog::readOptionTranslations(ppdPath_, language_);
    if (!printdialog::readPrinterOptions(ppdPath_, translations_, dialog_.ppdDictionary(), owned_, groups_, error_))
        return;
    for (const auto &group : groups_) {
        Page page;
        page.name = kOptionsPagePrefix + group.name;
        page.title = group.text;
        if (std::find(ownTitles.begin(), ownTitles.end(), page.title) != ownTitles.end()) page.title += text_.printerSuffix;
        GtkWidget *grid = settingsGrid();
        int row = 0;
        buildGroup(grid, row, group);
        page.widget = gtk_scrolled_window_new(nullptr, nullptr);
        g_object_ref_sink(page.widget);
        gtk_widget_set_name(page.widget, page.name.c_str());
        gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(page.widget), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
        gtk_container_add(GTK_CONTAINER(page.widget), grid);
        pages_.push_back(std::move(page));
    }
    refresh();
}

PrinterOptionPages::~PrinterOptionPages() {
    for (auto &page : pages_) g_object_unref(page.widget);
    g_object_unref(conflictLine_);
}

// A subgroup's options follow its group's, under its title.
void PrinterOptionPages::buildGroup(GtkWidget *grid, int &row, const printdialog::OptionGroup &group) {
    for (const auto &option : group.options) buildOption(grid, row++, option);
    for (const auto &subgroup : group.subgroups) {
        GtkWidget *heading = gtk_label_new(nullptr);
        gchar *markup = g_markup_printf_escaped("<b>%s</b>", subgroup.text.c_str());
        gtk_label_set_markup(GTK_LABEL(heading), markup);
        g_free(markup);
        gtk_label_set_xalign(GTK_LABEL(heading), 0);
        gtk_grid_attach(GTK_GRID(grid), heading, 0, row++, 3, 1);
        buildGroup(grid, row, subgroup);
    }
}

// Caption, control and the conflict mark (hidden without a conflict) on one row; a check box
// carries its own words and takes no caption.
void PrinterOptionPages::buildOption(GtkWidget *grid, int row, const PrinterOption &option) {
    auto widgets = std::make_unique<OptionWidgets>();
    widgets->keyword = option.keyword;
    widgets->owner = this;
    GtkWidget *caption = nullptr;
    std::string captionText = option.text + ":";
    switch (option.kind) {
    case PrinterOption::Kind::PickOne:
        widgets->control = gtk_combo_box_text_new();
        for (const auto &choice : option.choices)
            gtk_combo_box_text_append(GTK_COMBO_BOX_TEXT(widgets->control), choice.keyword.c_str(), choice.text.c_str());
        caption = tiedCaption("_" + captionText, widgets->control);
        connectSignal(widgets->control, "changed", &PrinterOptionPages::onComboChanged, widgets.get());
        break;
    case PrinterOption::Kind::Boolean:
        widgets->control = gtk_check_button_new_with_label(option.text.c_str());
        connectSignal(widgets->control, "toggled", &PrinterOptionPages::onToggled, widgets.get());
        break;
    case PrinterOption::Kind::PickMany:
        widgets->control = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
        for (const auto &choice : option.choices) {
            GtkWidget *check = gtk_check_button_new_with_label(choice.text.c_str());
            gtk_box_pack_start(GTK_BOX(widgets->control), check, FALSE, FALSE, 0);
            connectSignal(check, "toggled", &PrinterOptionPages::onToggled, widgets.get());
            widgets->checks.push_back(check);
        }
        caption = gtk_label_new(captionText.c_str());
        gtk_label_set_xalign(GTK_LABEL(caption), 1);
        gtk_widget_set_valign(caption, GTK_ALIGN_START);
        atk_object_set_name(gtk_widget_get_accessible(widgets->control), option.text.c_str());
        break;
    }
    gtk_widget_set_name(widgets->control, ("option-" + option.keyword).c_str());
    addRow(grid, row, caption, widgets->control);
    widgets->mark = gtk_image_new_from_icon_name("dialog-warning", GTK_ICON_SIZE_MENU);
    gtk_widget_set_name(widgets->mark, ("conflict-" + option.keyword).c_str());
    gtk_widget_set_no_show_all(widgets->mark, TRUE);
    gtk_grid_attach(GTK_GRID(grid), widgets->mark, 2, row, 1, 1);
    options_.push_back(std::move(widgets));
}

void PrinterOptionPages::onComboChanged(GtkComboBox *combo, OptionWidgets *option) {
    if (option->owner->updating_) return;
    if (const gchar *choice = gtk_combo_box_get_active_id(combo)) option->owner->write(option->keyword, {choice});
}

// A PickMany option's check boxes: checking one chooses it alone (a job carries one choice of an
// option, see setPrinterOption); unchecking it leaves the PPD's default.
void PrinterOptionPages::onToggled(GtkToggleButton *button, OptionWidgets *option) {
    PrinterOptionPages &owner = *option->owner;
    if (owner.updating_) return;
    const PrinterOption *model = printdialog::findPrinterOption(owner.groups_, option->keyword);
    if (model == nullptr) return;
    const bool on = gtk_toggle_button_get_active(button) != FALSE;
    if (option->checks.empty()) {
        owner.write(option->keyword, {booleanChoice(*model, on)});
        return;
    }
    std::vector<std::string> chosen;
    for (size_t index = 0; index < option->checks.size() && index < model->choices.size(); ++index)
        if (on && option->checks[index] == GTK_WIDGET(button)) chosen.push_back(model->choices[index].keyword);
    owner.write(option->keyword, chosen);
}

void PrinterOptionPages::write(const std::string &keyword, const std::vector<std::string> &choices) {
    const PrinterOption *option = printdialog::findPrinterOption(groups_, keyword);
    if (option == nullptr) return;
    std::string error;
    if (!printdialog::setPrinterOption(dialog_.ppdDictionary(), *option, choices, error)) g_warning("%s", error.c_str());
    refresh();
    if (changed_) changed_();
}

bool PrinterOptionPages::setOption(const std::string &keyword, const std::string &choice, std::string &error) {
    const PrinterOption *option = printdialog::findPrinterOption(groups_, keyword);
    if (option == nullptr) {
        auto owner = owned_.find(keyword);
        error = owner != owned_.end() ? keyword + " is set on the " + owner->second + " pane"
                                      : "the printer has no option " + keyword + " on the Printer Options pages";
        return false;
    }
    if (choiceNamed(*option, choice) == nullptr) {
        error = "'" + choice + "' is not a choice of " + keyword;
        return false;
    }
    // Through the control, as a click does. Each change reads the model again (refresh), which
    // replaces the option looked up above: a copy is kept.
    const PrinterOption model = *option;
    for (const auto &widgets : options_) {
        if (widgets->keyword != keyword) continue;
        switch (model.kind) {
        case PrinterOption::Kind::PickOne:
            gtk_combo_box_set_active_id(GTK_COMBO_BOX(widgets->control), choice.c_str());
            break;
        case PrinterOption::Kind::Boolean:
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widgets->control), booleanValue(choice));
            break;
        case PrinterOption::Kind::PickMany:
            for (size_t index = 0; index < widgets->checks.size(); ++index)
                if (index < model.choices.size() && model.choices[index].keyword == choice)
                    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widgets->checks[index]), TRUE);
            break;
        }
    }
    return true;
}

std::string PrinterOptionPages::describe(const printdialog::OptionConflict &conflict) const {
    std::string option = conflict.option;
    std::string choice = conflict.choice;
    if (const PrinterOption *other = printdialog::findPrinterOption(groups_, conflict.option)) {
        option = other->text;
        if (const auto *each = choiceNamed(*other, conflict.choice)) choice = each->text;
    }
    return fillIn(fillIn(text_.conflictsWith, "option", option), "choice", choice);
}

void PrinterOptionPages::refresh() {
    std::vector<printdialog::OptionGroup> groups;
    std::string error;
    if (!printdialog::readPrinterOptions(ppdPath_, translations_, dialog_.ppdDictionary(), owned_, groups, error))
        return;
    groups_ = std::move(groups);
    std::string names;
    updating_ = true;
    for (auto &widgets : options_) {
        const PrinterOption *option = printdialog::findPrinterOption(groups_, widgets->keyword);
        if (option == nullptr) continue;
        show(*option, *widgets);
        if (!option->conflicts.empty()) names += (names.empty() ? "" : ", ") + option->text;
    }
    updating_ = false;
    // Empty while hidden: a screen reader lists hidden labels too.
    gtk_label_set_text(GTK_LABEL(conflictText_), names.empty() ? "" : fillIn(text_.conflictLine, "options", names).c_str());
    gtk_widget_set_visible(conflictLine_, !names.empty());
}

void PrinterOptionPages::show(const PrinterOption &option, OptionWidgets &widgets) {
    switch (option.kind) {
    case PrinterOption::Kind::PickOne:
        gtk_combo_box_set_active_id(GTK_COMBO_BOX(widgets.control), option.value.c_str());
        break;
    case PrinterOption::Kind::Boolean:
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widgets.control), booleanValue(option.value));
        break;
    case PrinterOption::Kind::PickMany: {
        std::vector<std::string> picked = printdialog::splitChoices(option.value);
        for (size_t index = 0; index < widgets.checks.size() && index < option.choices.size(); ++index) {
            bool on = std::find(picked.begin(), picked.end(), option.choices[index].keyword) != picked.end();
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widgets.checks[index]), on);
        }
        break;
    }
    }
    std::string tooltip;
    for (const auto &conflict : option.conflicts) tooltip += (tooltip.empty() ? "" : "\n") + describe(conflict);
    gtk_widget_set_tooltip_text(widgets.mark, tooltip.empty() ? nullptr : tooltip.c_str());
    atk_object_set_name(gtk_widget_get_accessible(widgets.mark), tooltip.c_str());
    gtk_widget_set_visible(widgets.mark, !option.conflicts.empty());
}

GtkWidget *PrinterOptionPages::control(const std::string &keyword) const {
    for (const auto &widgets : options_)
        if (widgets->keyword == keyword) return widgets->control;
    return nullptr;
}

GtkWidget *PrinterOptionPages::conflictMark(const std::string &keyword) const {
    for (const auto &widgets : options_)
        if (widgets->keyword == keyword) return widgets->mark;
    return nullptr;
}

printdialog::Json PrinterOptionPages::stateJSON() const {
    using printdialog::Json;
    Json pages = Json::array();
    for (size_t index = 0; index < pages_.size() && index < groups_.size(); ++index) {
        std::vector<const PrinterOption *> options;
        collectOptions(groups_[index], options);
        Json values = Json::array();
        for (const PrinterOption *option : options) {
            Json conflicts = Json::array();
            for (const auto &conflict : option->conflicts) conflicts.push_back(conflict.option + "=" + conflict.choice);
            GtkWidget *mark = conflictMark(option->keyword);
            std::unique_ptr<gchar, decltype(&g_free)> tooltip(gtk_widget_get_tooltip_text(mark), &g_free);
            values.push_back(Json{{"keyword", option->keyword},
                                  {"text", option->text},
                                  {"kind", kindName(option->kind)},
                                  {"value", option->value},
                                  {"conflicts", std::move(conflicts)},
                                  {"marked", gtk_widget_get_visible(mark) != FALSE},
                                  {"markTooltip", tooltip ? tooltip.get() : ""}});
        }
        pages.push_back(Json{{"name", pages_[index].name}, {"title", pages_[index].title}, {"options", std::move(values)}});
    }
    Json result = Json::object();
    result["pages"] = std::move(pages);
    result["conflictLine"] = gtk_widget_get_visible(conflictLine_) ? gtk_label_get_text(GTK_LABEL(conflictText_)) : "";
    if (!error_.empty()) result["error"] = error_;
    return result;
}

}  // namespace pdedialog
