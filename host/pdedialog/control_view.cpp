// Building the widgets of a pane's control tree and showing the model's state in them.
#include "control_view.h"

#include "control_input.h"
#include "gtk_signal.h"
#include "label_pairing.h"
#include "text_offsets.h"

#include <printdialog/control_snapshot.h>

#include <platform/user_actions.h>

#include <algorithm>

namespace pdedialog {
namespace {

// Marks the time the view writes into its widgets, so that the signals it causes are not taken
// for a person's input.
class RenderScope {
public:
    explicit RenderScope(int &depth) : depth_(depth) { ++depth_; }
    RenderScope(const RenderScope &) = delete;
    RenderScope &operator=(const RenderScope &) = delete;
    ~RenderScope() { --depth_; }

private:
    int &depth_;
};

constexpr SInt32 kCheckBoxMixedValue = 2;

printdialog::ControlType controlKind(ControlRef control) {
    ControlKind kind{};
    GetControlKind(control, &kind);
    return printdialog::controlTypeOf(kind.kind);
}

std::string controlTitle(ControlRef control) {
    CFStringRef title = nullptr;
    if (CopyControlTitleAsCFString(control, &title) != noErr) return {};
    auto owned = cf::adopt(title);
    return printdialog::utf8(owned.get());
}

Rect controlBounds(ControlRef control) {
    Rect bounds{};
    GetControlBounds(control, &bounds);
    return bounds;
}

// The field's selection in UTF-16 units, as the platform keeps it.
std::pair<long, long> textSelection(ControlRef field) {
    ControlEditTextSelectionRec selection{0, 0};
    if (GetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection, &selection,
                       nullptr) != noErr) {
        return {0, 0};
    }
    return {selection.selStart, selection.selEnd};
}

// What the controls in a user pane cover (those in user panes inside it included, the user
// panes themselves not: they are unseen holders); the pane's own bounds when it holds none.
Rect contentBox(ControlRef userPane) {
    printdialog::ControlSnapshot pane = printdialog::snapshotControl(userPane);
    bool found = false;
    Rect box = pane.bounds;
    printdialog::forEachControl(pane, [&](const printdialog::ControlSnapshot &child) {
        if (child.type == printdialog::ControlType::UserPane) return;
        if (!found) box = child.bounds;
        found = true;
        box.left = std::min(box.left, child.bounds.left);
        box.top = std::min(box.top, child.bounds.top);
        box.right = std::max(box.right, child.bounds.right);
        box.bottom = std::max(box.bottom, child.bounds.bottom);
    });
    return box;
}

// Where a control's widget goes: a user pane shrinks to what it holds, so that the page of a
// pane is just as large as its visible content; any other control at its bounds.
Rect shownBounds(ControlRef control, printdialog::ControlType kind) {
    return kind == printdialog::ControlType::UserPane ? contentBox(control) : controlBounds(control);
}

LayoutItem layoutItemOf(const printdialog::ControlSnapshot &control) {
    return {LayoutItem::Role::Other, control.bounds.left, control.bounds.top, control.bounds.right, control.bounds.bottom};
}

// The static texts of a container that are its sliders' value fields (slider_look.h).
std::vector<ControlRef> valueFieldsIn(ControlRef container) {
    printdialog::ControlSnapshot snapshot = printdialog::snapshotControl(container);
    std::vector<LayoutItem> sliders;
    for (const auto &child : snapshot.children)
        if (child.type == printdialog::ControlType::Slider) sliders.push_back(layoutItemOf(child));
    std::vector<ControlRef> fields;
    for (const auto &child : snapshot.children)
        if (child.type == printdialog::ControlType::StaticText && child.id != 0 &&
            isSliderValueField(layoutItemOf(child), sliders))
            fields.push_back(child.control);
    return fields;
}

// The rows a combo box's model holds now: text and sensitivity.
std::vector<std::pair<std::string, bool>> comboRows(GtkWidget *combo) {
    std::vector<std::pair<std::string, bool>> rows;
    GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
    GtkTreeIter iter;
    for (gboolean more = gtk_tree_model_get_iter_first(model, &iter); more; more = gtk_tree_model_iter_next(model, &iter)) {
        gchar *text = nullptr;
        gboolean sensitive = FALSE;
        gtk_tree_model_get(model, &iter, 0, &text, 1, &sensitive, -1);
        rows.emplace_back(text != nullptr ? text : "", sensitive != FALSE);
        g_free(text);
    }
    return rows;
}

}  // namespace

ControlView::ControlView(printdialog::Dialog &dialog) : dialog_(dialog) {
    for (auto &pane : dialog_.panes()) {
        if (!pane->accepted() || pane->userPane == nullptr) continue;
        GtkWidget *page = gtk_fixed_new();
        g_object_ref_sink(page);
        gtk_widget_set_name(page, "pane-page");
        gtk_widget_set_halign(page, GTK_ALIGN_CENTER);
        gtk_widget_set_valign(page, GTK_ALIGN_START);
        gtk_widget_set_margin_start(page, kPageInset);
        gtk_widget_set_margin_end(page, kPageInset);
        gtk_widget_set_margin_top(page, kPageInset);
        gtk_widget_set_margin_bottom(page, kPageInset);
        gtk_widget_show(page);
        pages_.emplace_back(pane.get(), page);
        buildPage(*pane, page);
    }
    PlatformSetControlObserver(&ControlView::observe, this);
    attached_ = true;
}

ControlView::~ControlView() {
    detach();
    widgets_.clear();
    for (auto &[pane, page] : pages_) g_object_unref(page);
}

void ControlView::detach() {
    if (attached_) PlatformSetControlObserver(nullptr, nullptr);
    attached_ = false;
    if (rebuildSource_ != 0) g_source_remove(rebuildSource_);
    rebuildSource_ = 0;
    panesToRebuild_.clear();
}

GtkWidget *ControlView::page(const printdialog::Pane &pane) const {
    for (const auto &[owner, page] : pages_)
        if (owner == &pane) return page;
    return nullptr;
}

GtkWidget *ControlView::widget(ControlRef control) const {
    auto found = widgets_.find(control);
    return found == widgets_.end() ? nullptr : found->second.widget;
}

// The page stands for the dialog's user pane; the pane's controls go into it at their bounds,
// shifted together so that the page holds just what they cover.
void ControlView::buildPage(const printdialog::Pane &pane, GtkWidget *page) {
    ControlWidget &entry = widgets_[pane.userPane];
    entry = ControlWidget{};
    entry.widget = entry.outer = entry.holder = page;
    entry.kind = controlKind(pane.userPane);
    entry.pane = &pane;
    Rect content = contentBox(pane.userPane);
    gtk_widget_set_size_request(page, content.right - content.left, content.bottom - content.top);
    buildChildren(pane, pane.userPane, page);
    render(pane.userPane);
    std::vector<std::string> mnemonics;
    tieCaptions(printdialog::snapshotControl(pane.userPane), mnemonics);
}

// The ties of one container's controls, then those of the containers in it.
void ControlView::tieCaptions(const printdialog::ControlSnapshot &container, std::vector<std::string> &mnemonics) {
    using printdialog::ControlType;
    std::vector<LayoutItem> items;
    for (const auto &child : container.children) {
        LayoutItem item{LayoutItem::Role::Other, child.bounds.left, child.bounds.top, child.bounds.right,
                        child.bounds.bottom};
        if (child.type == ControlType::StaticText && child.id == 0 && !child.text.empty())
            item.role = LayoutItem::Role::Caption;
        else if (child.type == ControlType::Popup || child.type == ControlType::EditText ||
                 child.type == ControlType::Slider || (child.type == ControlType::CheckBox && child.title.empty()))
            item.role = LayoutItem::Role::Control;
        items.push_back(item);
    }
    std::vector<LabelTie> ties = tieLabels(items);
    for (size_t index = 0; index < ties.size(); ++index) {
        ControlRef control = container.children[index].control;
        if (ties[index].caption >= 0) {
            tieCaption(container.children[static_cast<size_t>(ties[index].caption)].control, control, mnemonics);
        } else if (ties[index].neighbour >= 0) {
            const std::string &words = container.children[static_cast<size_t>(ties[index].neighbour)].text;
            if (GtkWidget *shown = widget(control))
                atk_object_set_name(gtk_widget_get_accessible(shown), nameOfCaption(words).c_str());
        }
    }
    for (const auto &child : container.children)
        if (!child.children.empty()) tieCaptions(child, mnemonics);
}

// The caption's mnemonic takes the focus to the control, and the accessible relations (labelled
// by, label for) and the control's accessible name come from the caption.
void ControlView::tieCaption(ControlRef caption, ControlRef control, std::vector<std::string> &mnemonics) {
    auto captionEntry = widgets_.find(caption);
    auto controlEntry = widgets_.find(control);
    if (captionEntry == widgets_.end() || controlEntry == widgets_.end()) return;
    captionEntry->second.labels = control;
    controlEntry->second.caption = caption;
    std::string text = printdialog::snapshotControl(caption).text;
    captionEntry->second.mnemonicSource = text;
    captionEntry->second.mnemonicText = withMnemonic(text, mnemonics);
    GtkWidget *label = captionEntry->second.widget;
    GtkWidget *target = controlEntry->second.widget;
    gtk_label_set_mnemonic_widget(GTK_LABEL(label), target);
    AtkObject *labelObject = gtk_widget_get_accessible(label);
    AtkObject *targetObject = gtk_widget_get_accessible(target);
    atk_object_add_relationship(labelObject, ATK_RELATION_LABEL_FOR, targetObject);
    atk_object_add_relationship(targetObject, ATK_RELATION_LABELLED_BY, labelObject);
    {
        RenderScope scope(renderDepth_);
        renderCaption(caption, captionEntry->second);
    }
}

// A caption shows its mnemonic, is greyed with its control, and names it.
void ControlView::renderCaption(ControlRef caption, ControlWidget &entry) {
    std::string text = printdialog::snapshotControl(caption).text;
    if (text != entry.mnemonicSource) {
        std::vector<std::string> none;
        entry.mnemonicSource = text;
        entry.mnemonicText = withMnemonic(text, none);
    }
    if (text != gtk_label_get_text(GTK_LABEL(entry.widget)) ||
        gtk_label_get_mnemonic_keyval(GTK_LABEL(entry.widget)) == GDK_KEY_VoidSymbol)
        gtk_label_set_text_with_mnemonic(GTK_LABEL(entry.widget), entry.mnemonicText.c_str());
    bool enabled = IsControlEnabled(caption) && IsControlEnabled(entry.labels);
    gtk_widget_set_sensitive(entry.widget, enabled);
    if (GtkWidget *target = widget(entry.labels))
        atk_object_set_name(gtk_widget_get_accessible(target), nameOfCaption(text).c_str());
}

void ControlView::buildChildren(const printdialog::Pane &pane, ControlRef container, GtkWidget *holder) {
    std::vector<ControlRef> valueFields = valueFieldsIn(container);
    UInt16 count = 0;
    CountSubControls(container, &count);
    for (UInt16 index = 1; index <= count; ++index) {
        ControlRef child = nullptr;
        if (GetIndexedSubControl(container, index, &child) != noErr || child == nullptr) continue;
        ControlWidget entry;
        entry.kind = controlKind(child);
        entry.pane = &pane;
        GtkWidget *widget = createWidget(child, entry);
        if (std::find(valueFields.begin(), valueFields.end(), child) != valueFields.end())
            entry.outer = wrapValueField(widget, entry.sign);
        gtk_fixed_put(GTK_FIXED(holder), entry.outer, 0, 0);
        widgets_[child] = entry;
        place(child);
        connectInput(*this, child, entry.kind, widget);
        render(child);
        if (entry.holder != nullptr) buildChildren(pane, child, entry.holder);
    }
}

// One widget per kind; containers get a fixed holder, a group box also its frame.
GtkWidget *ControlView::createWidget(ControlRef control, ControlWidget &entry) {
    GtkWidget *widget = nullptr;
    Rect bounds = controlBounds(control);
    bool tall = bounds.bottom - bounds.top > bounds.right - bounds.left;
    if (entry.kind == printdialog::ControlType::Popup) {
        GtkListStore *rows = gtk_list_store_new(2, G_TYPE_STRING, G_TYPE_BOOLEAN);
        widget = gtk_combo_box_new_with_model(GTK_TREE_MODEL(rows));
        g_object_unref(rows);
        GtkCellRenderer *cell = gtk_cell_renderer_text_new();
        gtk_cell_layout_pack_start(GTK_CELL_LAYOUT(widget), cell, TRUE);
        gtk_cell_layout_set_attributes(GTK_CELL_LAYOUT(widget), cell, "text", 0, "sensitive", 1, nullptr);
        connectSignal(widget, "notify::popup-shown", &ControlView::onPopupShown, this);
    } else if (entry.kind == printdialog::ControlType::EditText) {
        widget = gtk_entry_new();
        gtk_entry_set_width_chars(GTK_ENTRY(widget), 1);
        gtk_entry_set_activates_default(GTK_ENTRY(widget), TRUE);
    } else if (entry.kind == printdialog::ControlType::StaticText) {
        widget = gtk_label_new("");
        gtk_label_set_xalign(GTK_LABEL(widget), 0);
    } else if (entry.kind == printdialog::ControlType::CheckBox) {
        widget = gtk_check_button_new_with_label("");
    } else if (entry.kind == printdialog::ControlType::Slider) {
        widget = gtk_scale_new(tall ? GTK_ORIENTATION_VERTICAL : GTK_ORIENTATION_HORIZONTAL, nullptr);
        gtk_scale_set_draw_value(GTK_SCALE(widget), FALSE);
        gtk_range_set_increments(GTK_RANGE(widget), 1, 1);
        gtk_range_set_round_digits(GTK_RANGE(widget), 0);
        gtk_range_set_inverted(GTK_RANGE(widget), tall);  // the platform's minimum is at the bottom
        entry.ends = wrapSlider(widget, tall);
    } else if (entry.kind == printdialog::ControlType::Separator) {
        widget = gtk_separator_new(tall ? GTK_ORIENTATION_VERTICAL : GTK_ORIENTATION_HORIZONTAL);
    } else {
        widget = gtk_fixed_new();
        entry.holder = widget;
        if (entry.kind == printdialog::ControlType::GroupBox) {
            entry.frame = gtk_frame_new(nullptr);
            gtk_fixed_put(GTK_FIXED(widget), entry.frame, 0, 0);
            gtk_widget_show(entry.frame);
        }
    }
    gtk_widget_set_name(widget, (std::string("control-") + printdialog::controlTypeName(entry.kind)).c_str());
    gtk_widget_show(widget);
    entry.widget = widget;
    entry.outer = entry.ends.box != nullptr ? entry.ends.box : widget;
    return widget;
}

// Bounds are in the window's coordinates; a widget sits in its container's holder.
void ControlView::place(ControlRef control) {
    auto found = widgets_.find(control);
    if (found == widgets_.end()) return;
    ControlWidget &entry = found->second;
    if (entry.pane != nullptr && entry.pane->userPane == control) return;  // a page: sized by its content
    Rect bounds = shownBounds(control, entry.kind);
    int width = std::max(0, bounds.right - bounds.left);
    int height = std::max(0, bounds.bottom - bounds.top);
    gtk_widget_set_size_request(entry.outer, width, height);
    if (entry.frame != nullptr) gtk_widget_set_size_request(entry.frame, width, height);
    ControlRef container = nullptr;
    if (GetSuperControl(control, &container) != noErr || container == nullptr) return;
    auto parent = widgets_.find(container);
    if (parent == widgets_.end() || parent->second.holder == nullptr) return;
    if (gtk_widget_get_parent(entry.outer) != parent->second.holder) return;
    auto [left, top] = holderOrigin(container, parent->second);
    gtk_fixed_move(GTK_FIXED(parent->second.holder), entry.outer, bounds.left - left, bounds.top - top);
}

std::pair<int, int> ControlView::holderOrigin(ControlRef container, const ControlWidget &entry) const {
    Rect bounds = shownBounds(container, entry.kind);
    return {bounds.left, bounds.top};
}

void ControlView::refitPage(const printdialog::Pane &pane) {
    GtkWidget *shown = page(pane);
    if (shown == nullptr) return;
    Rect content = contentBox(pane.userPane);
    gtk_widget_set_size_request(shown, content.right - content.left, content.bottom - content.top);
    printdialog::forEachControl(printdialog::snapshotControl(pane.userPane),
                                [this](const printdialog::ControlSnapshot &child) { place(child.control); });
}

void ControlView::render(ControlRef control) {
    auto found = widgets_.find(control);
    if (found == widgets_.end()) return;
    ControlWidget &entry = found->second;
    RenderScope scope(renderDepth_);
    gtk_widget_set_sensitive(entry.widget, IsControlEnabled(control));
    gtk_widget_set_visible(entry.widget, IsControlVisible(control));
    if (entry.outer != entry.widget) {
        gtk_widget_set_sensitive(entry.outer, IsControlEnabled(control));
        gtk_widget_set_visible(entry.outer, IsControlVisible(control));
    }
    if (entry.kind == printdialog::ControlType::Popup) {
        renderPopup(control, entry.widget);
    } else if (entry.kind == printdialog::ControlType::EditText) {
        renderEntry(control, entry.widget);
    } else if (entry.kind == printdialog::ControlType::StaticText && entry.labels != nullptr) {
        renderCaption(control, entry);
    } else if (entry.kind == printdialog::ControlType::StaticText) {
        std::string text = printdialog::snapshotControl(control).text;
        if (text != gtk_label_get_text(GTK_LABEL(entry.widget))) gtk_label_set_text(GTK_LABEL(entry.widget), text.c_str());
        if (entry.sign != nullptr) {
            showValueSign(entry.sign, text);
            atk_object_set_name(gtk_widget_get_accessible(entry.widget), (signShownBefore(text) + text).c_str());
        }
    } else if (entry.kind == printdialog::ControlType::CheckBox) {
        renderCheckBox(control, entry.widget);
    } else if (entry.kind == printdialog::ControlType::Slider) {
        renderSlider(control, entry);
    } else if (entry.frame != nullptr) {
        std::string title = controlTitle(control);
        gtk_frame_set_label(GTK_FRAME(entry.frame), title.empty() ? nullptr : title.c_str());
    }
    // The caption greys with its control.
    if (entry.caption != nullptr) {
        ControlRef caption = entry.caption;
        auto captionEntry = widgets_.find(caption);
        if (captionEntry != widgets_.end()) renderCaption(caption, captionEntry->second);
    }
}

void ControlView::renderAll() {
    for (const auto &entry : widgets_) render(entry.first);
}

// The rows follow the menu (texts and enabled items); the active row is the control's value.
void ControlView::renderPopup(ControlRef control, GtkWidget *widget) {
    printdialog::ControlSnapshot popup = printdialog::snapshotControl(control);
    std::vector<std::pair<std::string, bool>> wanted;
    for (const auto &item : popup.items) wanted.emplace_back(item.text, item.enabled);
    if (comboRows(widget) != wanted) {
        GtkListStore *rows = GTK_LIST_STORE(gtk_combo_box_get_model(GTK_COMBO_BOX(widget)));
        gtk_list_store_clear(rows);
        for (const auto &[text, enabled] : wanted)
            gtk_list_store_insert_with_values(rows, nullptr, -1, 0, text.c_str(), 1, enabled ? TRUE : FALSE, -1);
    }
    int active = popup.value >= 1 && static_cast<size_t>(popup.value) <= wanted.size() ? popup.value - 1 : -1;
    if (gtk_combo_box_get_active(GTK_COMBO_BOX(widget)) != active) gtk_combo_box_set_active(GTK_COMBO_BOX(widget), active);
}

// Text first (GTK moves its cursor when the text is replaced), then the model's selection.
void ControlView::renderEntry(ControlRef control, GtkWidget *widget) {
    std::string text = printdialog::snapshotControl(control).text;
    if (text != gtk_entry_get_text(GTK_ENTRY(widget))) gtk_entry_set_text(GTK_ENTRY(widget), text.c_str());
    auto [start, end] = textSelection(control);
    gint wantedStart = static_cast<gint>(characterOffsetOfUTF16(text, start));
    gint wantedEnd = static_cast<gint>(characterOffsetOfUTF16(text, end));
    gint shownStart = 0, shownEnd = 0;
    if (!gtk_editable_get_selection_bounds(GTK_EDITABLE(widget), &shownStart, &shownEnd))
        shownStart = shownEnd = gtk_editable_get_position(GTK_EDITABLE(widget));
    if (shownStart != wantedStart || shownEnd != wantedEnd)
        gtk_editable_select_region(GTK_EDITABLE(widget), wantedStart, wantedEnd);
}

void ControlView::renderCheckBox(ControlRef control, GtkWidget *widget) {
    printdialog::ControlSnapshot box = printdialog::snapshotControl(control);
    const gchar *label = gtk_button_get_label(GTK_BUTTON(widget));
    if (label == nullptr || box.title != label) gtk_button_set_label(GTK_BUTTON(widget), box.title.c_str());
    gtk_toggle_button_set_inconsistent(GTK_TOGGLE_BUTTON(widget), box.value == kCheckBoxMixedValue);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), box.value != 0);
}

void ControlView::renderSlider(ControlRef control, ControlWidget &entry) {
    GtkWidget *widget = entry.widget;
    printdialog::ControlSnapshot slider = printdialog::snapshotControl(control);
    showSliderRange(widget, entry.ends, slider.minimum, slider.maximum);
    GtkAdjustment *adjustment = gtk_range_get_adjustment(GTK_RANGE(widget));
    if (gtk_adjustment_get_lower(adjustment) != slider.minimum || gtk_adjustment_get_upper(adjustment) != slider.maximum)
        gtk_range_set_range(GTK_RANGE(widget), slider.minimum, slider.maximum);
    if (gtk_range_get_value(GTK_RANGE(widget)) != slider.value) gtk_range_set_value(GTK_RANGE(widget), slider.value);
}

// The model's keyboard focus moved to a field (a script, a pane's code): GTK's follows, and the
// field keeps the model's selection rather than the one GTK gives a newly focused entry.
void ControlView::showFocus(ControlRef control) {
    ControlRef focus = nullptr;
    if (GetKeyboardFocus(GetControlOwner(control), &focus) != noErr || focus != control) return;
    GtkWidget *shown = widget(control);
    if (shown == nullptr || !GTK_IS_ENTRY(shown) || gtk_widget_has_focus(shown) || !gtk_widget_get_mapped(shown)) return;
    RenderScope scope(renderDepth_);
    gtk_widget_grab_focus(shown);
    renderEntry(control, shown);
}

void ControlView::forget(ControlRef control) {
    auto found = widgets_.find(control);
    if (found == widgets_.end()) return;
    GtkWidget *shown = found->second.outer;
    for (auto &[other, entry] : widgets_) {
        if (entry.caption == control) entry.caption = nullptr;
        if (entry.labels == control) entry.labels = nullptr;
    }
    bool isPage = std::any_of(pages_.begin(), pages_.end(), [shown](const auto &page) { return page.second == shown; });
    widgets_.erase(found);
    if (!isPage) gtk_widget_destroy(shown);
}

void ControlView::forgetPane(const printdialog::Pane &pane) {
    std::erase_if(widgets_, [&pane](const auto &entry) { return entry.second.pane == &pane; });
}

const printdialog::Pane *ControlView::paneOwning(ControlRef control) const {
    WindowRef owner = GetControlOwner(control);
    for (const auto &[pane, page] : pages_)
        if (owner != nullptr && pane->window == owner) return pane;
    return nullptr;
}

// A control added or moved while the dialog runs: the pane's page is built again once the
// change is complete, on the next pass of the main loop.
void ControlView::scheduleRebuild(const printdialog::Pane &pane) {
    if (std::find(panesToRebuild_.begin(), panesToRebuild_.end(), &pane) == panesToRebuild_.end())
        panesToRebuild_.push_back(&pane);
    if (rebuildSource_ == 0) rebuildSource_ = g_idle_add_full(G_PRIORITY_HIGH_IDLE, &ControlView::rebuildPending, this, nullptr);
}

gboolean ControlView::rebuildPending(gpointer data) {
    auto *view = static_cast<ControlView *>(data);
    view->rebuildSource_ = 0;
    auto panes = std::exchange(view->panesToRebuild_, {});
    for (const printdialog::Pane *pane : panes) {
        GtkWidget *page = view->page(*pane);
        if (page == nullptr || pane->userPane == nullptr) continue;
        view->forgetPane(*pane);
        GList *children = gtk_container_get_children(GTK_CONTAINER(page));
        for (GList *child = children; child != nullptr; child = child->next) gtk_widget_destroy(GTK_WIDGET(child->data));
        g_list_free(children);
        view->buildPage(*pane, page);
    }
    if (view->changeListener_) view->changeListener_();
    return G_SOURCE_REMOVE;
}

// An open menu is no change of the model, but whoever watches the view may wait for it.
void ControlView::onPopupShown(GObject *, GParamSpec *, gpointer data) {
    auto *view = static_cast<ControlView *>(data);
    if (view->changeListener_) view->changeListener_();
}

void ControlView::observe(ControlRef control, PlatformControlChange change, void *context) {
    static_cast<ControlView *>(context)->changed(control, change);
}

void ControlView::changed(ControlRef control, PlatformControlChange change) {
    switch (change) {
    case kPlatformControlDisposed:
        forget(control);
        break;
    case kPlatformControlCreated:
    case kPlatformControlEmbedded:
        if (const printdialog::Pane *pane = paneOwning(control)) scheduleRebuild(*pane);
        break;
    case kPlatformControlBoundsChanged:
        if (const printdialog::Pane *pane = paneOwning(control)) refitPage(*pane);
        else place(control);
        break;
    case kPlatformControlFocusChanged:
        showFocus(control);
        break;
    case kPlatformControlDrawn:
        render(control);
        if (GtkWidget *shown = widget(control)) gtk_widget_queue_draw(shown);
        break;
    default:
        render(control);
        break;
    }
    if (changeListener_) changeListener_();
}

std::optional<WidgetState> ControlView::widgetState(ControlRef control) const {
    GtkWidget *shown = widget(control);
    if (shown == nullptr) return std::nullopt;
    WidgetState state;
    state.type = G_OBJECT_TYPE_NAME(shown);
    state.sensitive = gtk_widget_is_sensitive(shown);
    state.visible = gtk_widget_get_mapped(shown);
    state.focused = gtk_widget_has_focus(shown);
    if (GTK_IS_ENTRY(shown)) {
        state.text = gtk_entry_get_text(GTK_ENTRY(shown));
        gint start = 0, end = 0;
        if (!gtk_editable_get_selection_bounds(GTK_EDITABLE(shown), &start, &end))
            start = end = gtk_editable_get_position(GTK_EDITABLE(shown));
        state.selectionStart = start;
        state.selectionEnd = end;
    } else if (GTK_IS_LABEL(shown)) {
        state.text = gtk_label_get_text(GTK_LABEL(shown));
    } else if (GTK_IS_COMBO_BOX(shown)) {
        state.active = gtk_combo_box_get_active(GTK_COMBO_BOX(shown)) + 1;
        state.rows = comboRows(shown);
        gboolean popupShown = FALSE;
        g_object_get(shown, "popup-shown", &popupShown, nullptr);
        state.popupShown = popupShown != FALSE;
    } else if (GTK_IS_TOGGLE_BUTTON(shown)) {
        const gchar *label = gtk_button_get_label(GTK_BUTTON(shown));
        state.text = label != nullptr ? label : "";
        state.value = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(shown)) ? 1 : 0;
    } else if (GTK_IS_RANGE(shown)) {
        GtkAdjustment *adjustment = gtk_range_get_adjustment(GTK_RANGE(shown));
        state.value = gtk_adjustment_get_value(adjustment);
        state.minimum = gtk_adjustment_get_lower(adjustment);
        state.maximum = gtk_adjustment_get_upper(adjustment);
    }
    auto entry = widgets_.find(control);
    state.shownText = state.text;
    if (entry != widgets_.end()) {
        const ControlWidget &found = entry->second;
        if (found.sign != nullptr) state.shownText = gtk_label_get_text(GTK_LABEL(found.sign)) + state.text;
        if (found.ends.box != nullptr) {
            state.minimumText = gtk_label_get_text(GTK_LABEL(found.ends.minimum));
            state.maximumText = gtk_label_get_text(GTK_LABEL(found.ends.maximum));
            state.marks = found.ends.marks;
        }
    }
    if (entry != widgets_.end() && entry->second.frame != nullptr) {
        const gchar *label = gtk_frame_get_label(GTK_FRAME(entry->second.frame));
        state.text = label != nullptr ? label : "";
    }
    // A widget that GTK has not laid out yet has no place (its allocation is -1, -1, 1 x 1).
    GtkAllocation allocation;
    gtk_widget_get_allocation(shown, &allocation);
    state.placed = state.visible && allocation.x >= 0 && allocation.y >= 0;
    if (state.placed) {
        int x = 0, y = 0;
        state.placed = gtk_widget_translate_coordinates(shown, gtk_widget_get_toplevel(shown), 0, 0, &x, &y);
        state.area = {x, y, allocation.width, allocation.height};
        GtkWidget *outer = entry != widgets_.end() ? entry->second.outer : shown;
        gtk_widget_get_allocation(outer, &allocation);
        if (outer != shown && gtk_widget_translate_coordinates(outer, gtk_widget_get_toplevel(outer), 0, 0, &x, &y))
            state.placeArea = {x, y, allocation.width, allocation.height};
        else
            state.placeArea = state.area;
    }
    const gchar *name = atk_object_get_name(gtk_widget_get_accessible(shown));
    state.accessibleName = name != nullptr ? name : "";
    if (entry != widgets_.end() && entry->second.caption != nullptr) {
        if (GtkWidget *caption = widget(entry->second.caption)) {
            state.hasCaption = true;
            state.captionText = gtk_label_get_text(GTK_LABEL(caption));
            state.captionSensitive = gtk_widget_is_sensitive(caption);
            AtkRelationSet *relations = atk_object_ref_relation_set(gtk_widget_get_accessible(shown));
            AtkRelation *labelledBy = atk_relation_set_get_relation_by_type(relations, ATK_RELATION_LABELLED_BY);
            bool related = false;
            if (labelledBy != nullptr) {
                GPtrArray *targets = atk_relation_get_target(labelledBy);
                for (guint index = 0; index < targets->len; ++index)
                    related = related || g_ptr_array_index(targets, index) == gtk_widget_get_accessible(caption);
            }
            g_object_unref(relations);
            state.captionTied = related && gtk_label_get_mnemonic_widget(GTK_LABEL(caption)) == shown;
        }
    }
    return state;
}

}  // namespace pdedialog
