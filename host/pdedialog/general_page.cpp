// The General page's controls and how they write the job's standard options.
#include "general_page.h"

#include "gtk_signal.h"
#include "setting_rows.h"

#include <printdialog/job_options.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

#include <unistd.h>

namespace pdedialog {
namespace {

constexpr int kOrientationCount = static_cast<int>(std::size(kOrientationNames));

int orientationIndex(printdialog::Orientation orientation) {
    return static_cast<int>(orientation) - static_cast<int>(printdialog::Orientation::Portrait);
}

}  // namespace

GeneralPage::GeneralPage(printdialog::JobRequest &job, const SettingsText &text, std::function<void()> changed)
    : job_(job), text_(text), changed_(std::move(changed)) {
    page_ = settingsGrid();
    g_object_ref_sink(page_);
    gtk_widget_set_name(page_, "general-page");
    int row = 0;

    file_ = gtk_file_chooser_button_new(text_.chooseFile, GTK_FILE_CHOOSER_ACTION_OPEN);
    gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(file_), TRUE);
    gtk_widget_set_size_request(file_, 220, -1);
    GtkWidget *fileCaption = tiedCaption(text_.file, file_);
    addRow(page_, row++, fileCaption, file_);
    nameFileChooserParts(fileCaption);
    showFile();
    connectSignal(file_, "file-set", &GeneralPage::onFileSet, this);

    copies_ = gtk_spin_button_new_with_range(printdialog::kFewestCopies, printdialog::kMostCopies, 1);
    gtk_spin_button_set_numeric(GTK_SPIN_BUTTON(copies_), TRUE);
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(copies_), job_.standard.copies);
    collate_ = gtk_check_button_new_with_mnemonic(text_.collate);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(collate_), job_.standard.collate);
    GtkWidget *copiesRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
    gtk_box_pack_start(GTK_BOX(copiesRow), copies_, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(copiesRow), collate_, FALSE, FALSE, 0);
    addRow(page_, row++, tiedCaption(text_.copies, copies_), copiesRow);
    connectSignal(copies_, "value-changed", &GeneralPage::onCopies, this);
    connectSignal(collate_, "toggled", &GeneralPage::onCollate, this);

    // All pages, or the range typed beside its radio button (typing there chooses it).
    allPages_ = gtk_radio_button_new_with_mnemonic(nullptr, text_.allPages);
    pageRange_ = gtk_radio_button_new_with_mnemonic_from_widget(GTK_RADIO_BUTTON(allPages_), text_.pageRange);
    pages_ = gtk_entry_new();
    gtk_entry_set_width_chars(GTK_ENTRY(pages_), 12);
    gtk_entry_set_placeholder_text(GTK_ENTRY(pages_), "1-3,5");
    atk_object_set_name(gtk_widget_get_accessible(pages_), text_.pageRangeName);
    atk_object_add_relationship(gtk_widget_get_accessible(pageRange_), ATK_RELATION_LABEL_FOR,
                                gtk_widget_get_accessible(pages_));
    atk_object_add_relationship(gtk_widget_get_accessible(pages_), ATK_RELATION_LABELLED_BY,
                                gtk_widget_get_accessible(pageRange_));
    GtkWidget *pagesRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    gtk_box_pack_start(GTK_BOX(pagesRow), allPages_, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(pagesRow), pageRange_, FALSE, FALSE, 6);
    gtk_box_pack_start(GTK_BOX(pagesRow), pages_, FALSE, FALSE, 0);
    GtkWidget *pagesCaption = gtk_label_new(text_.pages);
    gtk_label_set_xalign(GTK_LABEL(pagesCaption), 1);
    for (GtkWidget *choice : {allPages_, pageRange_}) {
        atk_object_add_relationship(gtk_widget_get_accessible(choice), ATK_RELATION_MEMBER_OF,
                                    gtk_widget_get_accessible(pagesCaption));
    }
    addRow(page_, row++, pagesCaption, pagesRow);
    if (!job_.standard.pageRanges.empty()) {
        gtk_entry_set_text(GTK_ENTRY(pages_), job_.standard.pageRanges.c_str());
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(pageRange_), TRUE);
    }
    connectSignal(allPages_, "toggled", &GeneralPage::onPagesMode, this);
    connectSignal(pages_, "changed", &GeneralPage::onPagesText, this);

    perSheet_ = gtk_combo_box_text_new();
    int shownCount = 0;
    for (int count : printdialog::kPagesPerSheet) {
        std::string number = std::to_string(count);
        gtk_combo_box_text_append(GTK_COMBO_BOX_TEXT(perSheet_), number.c_str(), number.c_str());
        if (count == job_.standard.pagesPerSheet) shownCount = count;
    }
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(perSheet_), std::to_string(shownCount != 0 ? shownCount : 1).c_str());
    addRow(page_, row++, tiedCaption(text_.pagesPerSheet, perSheet_), perSheet_);
    connectSignal(perSheet_, "changed", &GeneralPage::onPerSheet, this);

    orientation_ = gtk_combo_box_text_new();
    for (int index = 0; index < kOrientationCount; ++index)
        gtk_combo_box_text_append(GTK_COMBO_BOX_TEXT(orientation_), kOrientationNames[index], text_.orientations[index]);
    gtk_combo_box_set_active(GTK_COMBO_BOX(orientation_), std::clamp(orientationIndex(job_.standard.orientation), 0,
                                                                     kOrientationCount - 1));
    addRow(page_, row++, tiedCaption(text_.orientation, orientation_), orientation_);
    connectSignal(orientation_, "changed", &GeneralPage::onOrientation, this);
    checkPages();
}

GeneralPage::~GeneralPage() { g_object_unref(page_); }

void GeneralPage::notify() {
    if (changed_) changed_();
}

void GeneralPage::onCopies(GtkSpinButton *spin, GeneralPage *page) {
    page->job_.standard.copies = gtk_spin_button_get_value_as_int(spin);
    if (!page->updating_) page->notify();
}

void GeneralPage::onCollate(GtkToggleButton *button, GeneralPage *page) {
    page->job_.standard.collate = gtk_toggle_button_get_active(button) != FALSE;
    if (!page->updating_) page->notify();
}

void GeneralPage::onPagesMode(GtkToggleButton *, GeneralPage *page) {
    page->checkPages();
    if (!page->updating_) page->notify();
}

// Typing a range chooses the range.
void GeneralPage::onPagesText(GtkEditable *, GeneralPage *page) {
    if (!page->updating_) {
        page->updating_ = true;
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(page->pageRange_), TRUE);
        page->updating_ = false;
    }
    page->checkPages();
    if (!page->updating_) page->notify();
}

void GeneralPage::onPerSheet(GtkComboBox *combo, GeneralPage *page) {
    if (const gchar *id = gtk_combo_box_get_active_id(combo)) page->job_.standard.pagesPerSheet = std::stoi(id);
    if (!page->updating_) page->notify();
}

void GeneralPage::onOrientation(GtkComboBox *combo, GeneralPage *page) {
    int index = std::max(0, gtk_combo_box_get_active(combo));
    page->job_.standard.orientation =
        static_cast<printdialog::Orientation>(static_cast<int>(printdialog::Orientation::Portrait) + index);
    if (!page->updating_) page->notify();
}

void GeneralPage::onFileSet(GtkFileChooserButton *button, GeneralPage *page) {
    gchar *name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(button));
    page->job_.file = name != nullptr ? name : "";
    g_free(name);
    page->describeFile();
    page->notify();
}

void GeneralPage::checkPages() {
    GtkStyleContext *style = gtk_widget_get_style_context(pages_);
    problem_.clear();
    if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(allPages_))) {
        job_.standard.pageRanges.clear();
    } else {
        job_.standard.pageRanges = gtk_entry_get_text(GTK_ENTRY(pages_));
        std::vector<printdialog::PageRange> ranges;
        std::string reason;
        if (!printdialog::parsePageRanges(job_.standard.pageRanges, ranges, reason)) problem_ = "pages: " + reason;
    }
    if (problem_.empty()) {
        gtk_style_context_remove_class(style, GTK_STYLE_CLASS_ERROR);
        gtk_widget_set_tooltip_text(pages_, nullptr);
    } else {
        gtk_style_context_add_class(style, GTK_STYLE_CLASS_ERROR);
        gtk_widget_set_tooltip_text(pages_, problem_.c_str());
    }
}

bool GeneralPage::setCopies(int copies, std::string &error) {
    if (copies < printdialog::kFewestCopies || copies > printdialog::kMostCopies) {
        error = "copies: " + std::to_string(copies) + " is not between " + std::to_string(printdialog::kFewestCopies) +
                " and " + std::to_string(printdialog::kMostCopies);
        return false;
    }
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(copies_), copies);
    return true;
}

void GeneralPage::setCollate(bool collate) { gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(collate_), collate); }

void GeneralPage::setPageRanges(const std::string &ranges) {
    if (ranges.empty()) {
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(allPages_), TRUE);
        return;
    }
    gtk_entry_set_text(GTK_ENTRY(pages_), ranges.c_str());
    // The same text again changes nothing, but its verdict is still wanted with the range chosen.
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(pageRange_), TRUE);
}

bool GeneralPage::setPagesPerSheet(int count, std::string &error) {
    if (std::find(std::begin(printdialog::kPagesPerSheet), std::end(printdialog::kPagesPerSheet), count) ==
        std::end(printdialog::kPagesPerSheet)) {
        error = "pages per sheet: " + std::to_string(count) + " is not one of 1, 2, 4, 6, 9, 16";
        return false;
    }
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(perSheet_), std::to_string(count).c_str());
    return true;
}

bool GeneralPage::setOrientation(const std::string &name, std::string &error) {
    if (!gtk_combo_box_set_active_id(GTK_COMBO_BOX(orientation_), name.c_str())) {
        error = "orientation: '" + name + "' is not portrait, landscape, reverse-landscape or reverse-portrait";
        return false;
    }
    return true;
}

bool GeneralPage::setFile(const std::string &path, std::string &error) {
    std::error_code fileError;
    if (!std::filesystem::is_regular_file(path, fileError) || access(path.c_str(), R_OK) != 0) {
        error = "cannot read the file to print: " + path;
        return false;
    }
    job_.file = std::filesystem::absolute(path, fileError).string();
    showFile();
    notify();
    return true;
}

// The file chooser button draws its own button (and a combo box for other actions); a screen
// reader meets those, named only by the file shown ("(None)"). They take the caption's name and
// relation, and the file as their description.
void GeneralPage::nameFileChooserParts(GtkWidget *caption) {
    struct Naming {
        AtkObject *label;
        const char *name;
        std::vector<GtkWidget *> *parts;
    };
    Naming naming{gtk_widget_get_accessible(caption), atk_object_get_name(gtk_widget_get_accessible(file_)), &fileParts_};
    gtk_container_forall(
        GTK_CONTAINER(file_),
        [](GtkWidget *child, gpointer data) {
            auto *each = static_cast<Naming *>(data);
            if (!GTK_IS_BUTTON(child) && !GTK_IS_COMBO_BOX(child)) return;
            AtkObject *part = gtk_widget_get_accessible(child);
            atk_object_set_name(part, each->name != nullptr ? each->name : "");
            atk_object_add_relationship(part, ATK_RELATION_LABELLED_BY, each->label);
            each->parts->push_back(child);
        },
        &naming);
}

void GeneralPage::showFile() {
    updating_ = true;
    if (job_.file.empty()) gtk_file_chooser_unselect_all(GTK_FILE_CHOOSER(file_));
    else gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(file_), job_.file.c_str());
    updating_ = false;
    describeFile();
}

void GeneralPage::describeFile() {
    for (GtkWidget *part : fileParts_) atk_object_set_description(gtk_widget_get_accessible(part), job_.file.c_str());
}

std::vector<std::pair<std::string, GtkWidget *>> GeneralPage::namedWidgets() const {
    return {{"file", file_},           {"copies", copies_},         {"collate", collate_},
            {"allPages", allPages_},   {"pageRange", pageRange_},   {"pages", pages_},
            {"pagesPerSheet", perSheet_}, {"orientation", orientation_}};
}

printdialog::Json GeneralPage::stateJSON() const {
    printdialog::Json result = printdialog::Json::object();
    result["file"] = job_.file;
    result["copies"] = job_.standard.copies;
    result["collate"] = job_.standard.collate;
    result["pages"] = job_.standard.pageRanges.empty() ? "all" : job_.standard.pageRanges;
    result["pagesProblem"] = problem_;
    result["pagesPerSheet"] = job_.standard.pagesPerSheet;
    int index = std::clamp(orientationIndex(job_.standard.orientation), 0, kOrientationCount - 1);
    result["orientation"] = kOrientationNames[index];
    return result;
}

}  // namespace pdedialog
