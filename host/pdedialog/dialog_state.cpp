// Writing the dialog's state.
#include "dialog_state.h"

#include <printdialog/control_snapshot.h>
#include <printdialog/ppd_report.h>
#include <printdialog/report_text.h>
#include <printdialog/ticket_preset.h>

#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

#include <cstdio>
#include <fstream>
#include <memory>

namespace pdedialog {
namespace {

using printdialog::Json;

Json areaJSON(const GdkRectangle &area) {
    return Json{{"x", area.x}, {"y", area.y}, {"width", area.width}, {"height", area.height}};
}

Json widgetJSON(const WidgetState &widget) {
    Json result = Json::object();
    result["type"] = widget.type;
    result["sensitive"] = widget.sensitive;
    result["visible"] = widget.visible;
    result["focused"] = widget.focused;
    result["text"] = widget.text;
    // What a person reads when the view presents the text (a value field's sign); "text" stays
    // the pane's own.
    if (widget.shownText != widget.text) result["shownText"] = widget.shownText;
    if (widget.type == "GtkEntry") result["selection"] = Json::array({widget.selectionStart, widget.selectionEnd});
    if (widget.type == "GtkComboBox") {
        result["active"] = widget.active;
        result["popupShown"] = widget.popupShown;
        Json rows = Json::array();
        for (const auto &[text, sensitive] : widget.rows) rows.push_back(Json{{"text", text}, {"sensitive", sensitive}});
        result["rows"] = std::move(rows);
    }
    if (widget.type == "GtkCheckButton" || widget.type == "GtkScale") result["value"] = widget.value;
    if (widget.type == "GtkScale") {
        result["minimum"] = widget.minimum;
        result["maximum"] = widget.maximum;
    }
    if (widget.placed) result["area"] = areaJSON(widget.area);
    result["accessibleName"] = widget.accessibleName;
    if (widget.hasCaption) {
        result["caption"] = Json{{"text", widget.captionText}, {"sensitive", widget.captionSensitive},
                                 {"tied", widget.captionTied}};
    }
    return result;
}

Json controlJSON(const printdialog::ControlSnapshot &control, const printdialog::Pane &pane, const ControlView &view) {
    Json result = Json::object();
    result["id"] = control.id;
    result["kind"] = printdialog::controlTypeName(control.type);
    result["label"] = control.label;
    result["title"] = control.title;
    result["value"] = control.value;
    result["minimum"] = control.minimum;
    result["maximum"] = control.maximum;
    result["enabled"] = control.enabled;
    result["text"] = control.text;
    if (control.type == printdialog::ControlType::EditText) {
        ControlEditTextSelectionRec selection{0, 0};
        GetControlData(control.control, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection,
                       &selection, nullptr);
        ControlRef focus = nullptr;
        GetKeyboardFocus(pane.window, &focus);
        result["selection"] = Json::array({selection.selStart, selection.selEnd});
        result["focused"] = focus == control.control;
    }
    if (!control.items.empty()) {
        Json items = Json::array();
        for (const auto &item : control.items) items.push_back(Json{{"text", item.text}, {"enabled", item.enabled}});
        result["items"] = std::move(items);
    }
    if (auto widget = view.widgetState(control.control)) result["widget"] = widgetJSON(*widget);
    return result;
}

// Controls with an id only, in nib order, as pdehost lists them.
Json paneJSON(printdialog::Dialog &dialog, printdialog::Pane &pane, const ControlView &view) {
    Json result = Json::object();
    result["name"] = pane.shortName;
    result["title"] = pane.title;
    result["accepted"] = pane.accepted();
    result["open"] = pane.isOpen;
    result["initializeStatus"] = pane.initializeStatus;
    if (!pane.accepted() || pane.terminated || pane.userPane == nullptr) return result;
    Json controls = Json::array();
    printdialog::ControlSnapshot root = printdialog::snapshotControl(pane.userPane);
    printdialog::forEachControl(root, [&](const printdialog::ControlSnapshot &control) {
        if (control.id != 0) controls.push_back(controlJSON(control, pane, view));
    });
    result["controls"] = std::move(controls);
    Json summary = Json::array();
    std::vector<printdialog::SummaryRow> rows;
    if (dialog.summary(pane, rows) == noErr) {
        for (const auto &row : rows) summary.push_back(Json{{"title", row.title}, {"value", row.value}});
    }
    result["summary"] = std::move(summary);
    return result;
}

// The X window's id, so that a test can aim real X input at it; 0 on another backend.
int64_t windowID(GtkWidget *toplevel) {
#ifdef GDK_WINDOWING_X11
    GdkWindow *window = gtk_widget_get_window(toplevel);
    if (window != nullptr && GDK_IS_X11_WINDOW(window)) return static_cast<int64_t>(gdk_x11_window_get_xid(window));
#endif
    (void)toplevel;
    return 0;
}

Json windowJSON(const DialogWindow &window) {
    GtkWidget *toplevel = window.toplevel();
    Json widgets = Json::object();
    for (const auto &[name, widget] : window.namedWidgets()) {
        Json entry = Json::object();
        entry["sensitive"] = gtk_widget_is_sensitive(widget) != FALSE;
        entry["visible"] = gtk_widget_get_mapped(widget) != FALSE;
        int x = 0, y = 0;
        GtkAllocation allocation;
        gtk_widget_get_allocation(widget, &allocation);
        if (gtk_widget_get_mapped(widget) && allocation.x >= 0 && gtk_widget_get_toplevel(widget) == toplevel &&
            gtk_widget_translate_coordinates(widget, toplevel, 0, 0, &x, &y)) {
            entry["area"] = areaJSON({x, y, allocation.width, allocation.height});
        }
        if (GTK_IS_LABEL(widget)) {
            std::unique_ptr<gchar, decltype(&g_free)> tooltip(gtk_widget_get_tooltip_text(widget), &g_free);
            entry["text"] = gtk_label_get_text(GTK_LABEL(widget));
            entry["tooltip"] = tooltip ? tooltip.get() : "";
        }
        if (GTK_IS_COMBO_BOX(widget)) {
            gboolean popupShown = FALSE;
            g_object_get(widget, "popup-shown", &popupShown, nullptr);
            entry["popupShown"] = popupShown != FALSE;
        }
        widgets[name] = std::move(entry);
    }
    Json result = Json::object();
    result["xid"] = windowID(toplevel);
    result["width"] = gtk_widget_get_allocated_width(toplevel);
    result["height"] = gtk_widget_get_allocated_height(toplevel);
    result["widgets"] = std::move(widgets);
    return result;
}

Json printerJSON(const DialogWindow &window) {
    const printdialog::Printer &printer = window.printer();
    Json result = printdialog::printerJSON(printer);
    result["modelName"] = window.printerName();  // the PPD's path when it names no model
    if (printer.isQueue()) result["printFile"] = window.job().file;
    return result;
}

}  // namespace

Json dialogStateJSON(printdialog::Dialog &dialog, const ControlView &view, const DialogWindow &window) {
    Json document = Json::object();
    document["printer"] = printerJSON(window);
    document["printerMenu"] = window.printerMenu().stateJSON();  // the entries and the one chosen
    document["presets"] = window.presetMenu().stateJSON();
    document["presets"]["savedLine"] = window.savedLine();
    document["presets"]["neverSavedMark"] = window.neverSavedField() != nullptr;
    document["shownPane"] = window.shownPane();
    Json panes = Json::array();
    for (auto &pane : dialog.panes()) panes.push_back(paneJSON(dialog, *pane, view));
    document["panes"] = std::move(panes);
    document["summaryText"] = window.summary().shownText();  // kept current whatever page is shown
    document["general"] = window.general().stateJSON();
    document["printerOptions"] = window.printerOptions().stateJSON();
    Json ticket = printdialog::jsonFromProperty(dialog.ppdDictionary());
    document["ticket"] = ticket.is_object() ? std::move(ticket) : Json::object();
    Json options = Json::array();
    for (const auto &option : printdialog::jobOptionsFromTicket(dialog.ppdDictionary()))
        options.push_back(option.key + "=" + option.value);
    document["options"] = std::move(options);
    document["printed"] = window.printed();
    document["ended"] = window.ended() ? (*window.ended() == Outcome::Cancelled ? "cancelled" : "printed") : "";
    if (const auto &outcome = window.outcome()) {
        document["report"] = printdialog::reportJSON(outcome->report, window.printer().queue(), window.job().file);
        document["job"] = printdialog::outcomeJSON(*outcome);
    }
    document["window"] = windowJSON(window);
    return document;
}

StateFile::StateFile(std::string path, Snapshot snapshot) : path_(std::move(path)), snapshot_(std::move(snapshot)) {}

StateFile::~StateFile() {
    if (pending_ != 0) g_source_remove(pending_);
}

// Low priority: GTK lays out and draws first, so that the widgets' places are current.
void StateFile::requestWrite() {
    if (pending_ == 0) pending_ = g_idle_add_full(G_PRIORITY_LOW, &StateFile::onIdle, this, nullptr);
}

gboolean StateFile::onIdle(gpointer data) {
    auto *file = static_cast<StateFile *>(data);
    file->pending_ = 0;
    std::string error;
    file->write("running", error);
    return G_SOURCE_REMOVE;
}

// Through a temporary file and a rename, so that a reader never sees half a document.
bool StateFile::write(const std::string &phase, std::string &error) {
    Json document = Json::object();
    document["phase"] = phase;
    document["sequence"] = ++sequence_;
    document.update(snapshot_());
    std::string temporary = path_ + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << printdialog::jsonText(document) << "\n";
        if (!out) {
            error = "cannot write " + temporary;
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
        error = "cannot replace " + path_;
        return false;
    }
    return true;
}

}  // namespace pdedialog
