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

using printdialog::json::Value;

Value areaJSON(const GdkRectangle &area) {
    return Value::object()
        .set("x", Value::integer(area.x))
        .set("y", Value::integer(area.y))
        .set("width", Value::integer(area.width))
        .set("height", Value::integer(area.height));
}

Value widgetJSON(const WidgetState &widget) {
    Value result = Value::object();
    result.set("type", Value::string(widget.type))
        .set("sensitive", Value::boolean(widget.sensitive))
        .set("visible", Value::boolean(widget.visible))
        .set("focused", Value::boolean(widget.focused))
        .set("text", Value::string(widget.text));
    if (widget.type == "GtkEntry")
        result.set("selection", Value::array({Value::integer(widget.selectionStart), Value::integer(widget.selectionEnd)}));
    if (widget.type == "GtkComboBox") {
        result.set("active", Value::integer(widget.active)).set("popupShown", Value::boolean(widget.popupShown));
        Value rows = Value::array();
        for (const auto &[text, sensitive] : widget.rows)
            rows.push(Value::object().set("text", Value::string(text)).set("sensitive", Value::boolean(sensitive)));
        result.set("rows", std::move(rows));
    }
    if (widget.type == "GtkCheckButton" || widget.type == "GtkScale") result.set("value", Value::real(widget.value));
    if (widget.type == "GtkScale")
        result.set("minimum", Value::real(widget.minimum)).set("maximum", Value::real(widget.maximum));
    if (widget.placed) result.set("area", areaJSON(widget.area));
    return result;
}

Value controlJSON(const printdialog::ControlSnapshot &control, const printdialog::Pane &pane, const ControlView &view) {
    Value result = Value::object();
    result.set("id", Value::integer(control.id))
        .set("kind", Value::string(control.kind))
        .set("label", Value::string(control.label))
        .set("title", Value::string(control.title))
        .set("value", Value::integer(control.value))
        .set("minimum", Value::integer(control.minimum))
        .set("maximum", Value::integer(control.maximum))
        .set("enabled", Value::boolean(control.enabled))
        .set("text", Value::string(control.text));
    if (control.kind == "edittext") {
        ControlEditTextSelectionRec selection{0, 0};
        GetControlData(control.control, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection,
                       &selection, nullptr);
        ControlRef focus = nullptr;
        GetKeyboardFocus(pane.window, &focus);
        result.set("selection", Value::array({Value::integer(selection.selStart), Value::integer(selection.selEnd)}))
            .set("focused", Value::boolean(focus == control.control));
    }
    if (!control.items.empty()) {
        Value items = Value::array();
        for (const auto &item : control.items)
            items.push(Value::object().set("text", Value::string(item.text)).set("enabled", Value::boolean(item.enabled)));
        result.set("items", std::move(items));
    }
    if (auto widget = view.widgetState(control.control)) result.set("widget", widgetJSON(*widget));
    return result;
}

// Controls with an id only, in nib order, as pdehost lists them.
Value paneJSON(printdialog::Dialog &dialog, printdialog::Pane &pane, const ControlView &view) {
    Value result = Value::object();
    result.set("name", Value::string(pane.shortName))
        .set("title", Value::string(pane.title))
        .set("accepted", Value::boolean(pane.accepted()))
        .set("open", Value::boolean(pane.isOpen))
        .set("initializeStatus", Value::integer(pane.initializeStatus));
    if (!pane.accepted() || pane.terminated || pane.userPane == nullptr) return result;
    Value controls = Value::array();
    printdialog::ControlSnapshot root = printdialog::snapshotControl(pane.userPane);
    printdialog::forEachControl(root, [&](const printdialog::ControlSnapshot &control) {
        if (control.id != 0) controls.push(controlJSON(control, pane, view));
    });
    result.set("controls", std::move(controls));
    Value summary = Value::array();
    std::vector<printdialog::SummaryRow> rows;
    if (dialog.summary(pane, rows) == noErr)
        for (const auto &row : rows)
            summary.push(Value::object().set("title", Value::string(row.title)).set("value", Value::string(row.value)));
    result.set("summary", std::move(summary));
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

Value windowJSON(const DialogWindow &window) {
    GtkWidget *toplevel = window.toplevel();
    Value widgets = Value::object();
    for (const auto &[name, widget] : window.namedWidgets()) {
        Value entry = Value::object()
                          .set("sensitive", Value::boolean(gtk_widget_is_sensitive(widget)))
                          .set("visible", Value::boolean(gtk_widget_get_mapped(widget)));
        int x = 0, y = 0;
        GtkAllocation allocation;
        gtk_widget_get_allocation(widget, &allocation);
        if (gtk_widget_get_mapped(widget) && allocation.x >= 0 && gtk_widget_get_toplevel(widget) == toplevel &&
            gtk_widget_translate_coordinates(widget, toplevel, 0, 0, &x, &y)) {
            entry.set("area", areaJSON({x, y, allocation.width, allocation.height}));
        }
        if (GTK_IS_LABEL(widget)) {
            std::unique_ptr<gchar, decltype(&g_free)> tooltip(gtk_widget_get_tooltip_text(widget), &g_free);
            entry.set("text", Value::string(gtk_label_get_text(GTK_LABEL(widget))));
            entry.set("tooltip", Value::string(tooltip ? tooltip.get() : ""));
        }
        if (GTK_IS_COMBO_BOX(widget)) {
            gboolean popupShown = FALSE;
            g_object_get(widget, "popup-shown", &popupShown, nullptr);
            entry.set("popupShown", Value::boolean(popupShown != FALSE));
        }
        widgets.set(name, std::move(entry));
    }
    return Value::object()
        .set("xid", Value::integer(windowID(toplevel)))
        .set("width", Value::integer(gtk_widget_get_allocated_width(toplevel)))
        .set("height", Value::integer(gtk_widget_get_allocated_height(toplevel)))
        .set("widgets", std::move(widgets));
}

Value printerJSON(const DialogWindow &window) {
    const printdialog::Printer &printer = window.printer();
    Value result = Value::object()
                       .set("ppd", Value::string(printer.ppdPath()))
                       .set("modelName", Value::string(window.printerName()));
    if (printer.isQueue()) {
        result.set("queue", Value::string(printer.queue())).set("server", Value::string(printer.server()));
        result.set("printFile", Value::string(window.job().file));
    }
    return result;
}

}  // namespace

Value dialogStateJSON(printdialog::Dialog &dialog, const ControlView &view, const DialogWindow &window) {
    Value document = Value::object();
    document.set("printer", printerJSON(window));
    document.set("shownPane", Value::string(window.shownPane()));
    Value panes = Value::array();
    for (auto &pane : dialog.panes()) panes.push(paneJSON(dialog, *pane, view));
    document.set("panes", std::move(panes));
    document.set("summaryText", Value::string(window.shownPane() == kSummaryPage ? window.summary().shownText() : ""));
    Value ticket = printdialog::jsonFromProperty(dialog.ppdDictionary());
    document.set("ticket", ticket.type() == Value::Type::Object ? std::move(ticket) : Value::object());
    Value options = Value::array();
    for (const auto &option : printdialog::jobOptionsFromTicket(dialog.ppdDictionary()))
        options.push(Value::string(option.key + "=" + option.value));
    document.set("options", std::move(options));
    document.set("printed", Value::boolean(window.printed()));
    if (const auto &outcome = window.outcome()) {
        document.set("report", printdialog::reportJSON(outcome->report, window.printer().queue(), window.job().file));
        document.set("job", printdialog::outcomeJSON(*outcome));
    }
    document.set("window", windowJSON(window));
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
    Value document = Value::object();
    document.set("phase", Value::string(phase)).set("sequence", Value::integer(++sequence_));
    Value state = snapshot_();
    for (auto &[key, value] : state.asObject()) document.set(key, std::move(value));
    std::string temporary = path_ + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << printdialog::json::write(document) << "\n";
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
