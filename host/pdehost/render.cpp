// Rendering panes, Summary, ticket and the PPD report.
#include "render.h"

#include <printdialog/control_snapshot.h>
#include <printdialog/extension.h>
#include <printdialog/ticket_preset.h>

#include <algorithm>

namespace pdehost {

using namespace printdialog;

namespace {

std::string quoted(const std::string &text) { return "\"" + text + "\""; }

// Whether the bundle loaded and its pane serves this printer (and is open, as the JSON document
// says too), with the status when not.
std::string statusWord(const Pane &pane) {
    if (!pane.extension) return "not loaded: " + pane.loadError;
    if (pane.prologueStatus != noErr) return "Prologue failed (status " + std::to_string(pane.prologueStatus) + ")";
    if (!pane.accepted())
        return "not for this printer (Initialize status " + std::to_string(pane.initializeStatus) + ")";
    return pane.isOpen ? "accepted, open" : "accepted";
}

// One line per control with an id (labels are shown with the control they name); popups
// add their items and the disabled ones.
void describeControl(const ControlSnapshot &control, std::string &out) {
    if (control.id == 0) return;
    out += "    " + control.kind + " " + std::to_string(control.id);
    if (!control.label.empty()) out += " " + quoted(control.label);
    if (control.kind == "popup") {
        out += " = " + control.selectedItemText() + " (item " + std::to_string(control.value) + " of " +
               std::to_string(control.items.size()) + ")";
    } else if (control.kind == "checkbox") {
        out += " " + quoted(control.title) + " = " + (control.value ? "on" : "off");
    } else if (control.kind == "slider") {
        out += " = " + std::to_string(control.value) + " (" + std::to_string(control.minimum) + ".." +
               std::to_string(control.maximum) + ")";
    } else if (control.kind == "edittext" || control.kind == "statictext") {
        out += " text " + quoted(control.text);
    }
    out += control.enabled ? ", enabled" : ", disabled";
    out += "\n";
    if (control.kind == "popup") {
        std::string disabled;
        for (size_t index = 0; index < control.items.size(); ++index)
            if (!control.items[index].enabled) disabled += (disabled.empty() ? "" : ", ") + control.items[index].text;
        std::string items;
        for (const auto &item : control.items) items += (items.empty() ? "" : ", ") + item.text;
        out += "        items: " + items + "\n";
        if (!disabled.empty()) out += "        disabled items: " + disabled + "\n";
    }
}

// The control as the JSON document shows it; a check box's title is its text.
json::Value controlJSON(const ControlSnapshot &control) {
    json::Value value = json::Value::object();
    value.set("id", json::Value::integer(control.id));
    value.set("kind", json::Value::string(control.kind));
    value.set("label", json::Value::string(control.label));
    value.set("value", json::Value::integer(control.value));
    value.set("minimum", json::Value::integer(control.minimum));
    value.set("maximum", json::Value::integer(control.maximum));
    value.set("enabled", json::Value::boolean(control.enabled));
    value.set("text", json::Value::string(control.kind == "checkbox" ? control.title : control.text));
    if (control.kind == "popup") value.set("selectedText", json::Value::string(control.selectedItemText()));
    json::Value items = json::Value::array();
    for (const auto &item : control.items) {
        items.push(json::Value::object()
                       .set("text", json::Value::string(item.text))
                       .set("enabled", json::Value::boolean(item.enabled))
                       .set("checked", json::Value::boolean(item.checked)));
    }
    value.set("items", std::move(items));
    return value;
}

// Summary rows as title/value pairs.
json::Value rowsJSON(const std::vector<SummaryRow> &rows) {
    json::Value result = json::Value::array();
    for (const auto &row : rows)
        result.push(json::Value::object()
                        .set("title", json::Value::string(row.title))
                        .set("value", json::Value::string(row.value)));
    return result;
}

}  // namespace

// A four-character code as its characters ('qel ').
std::string fourCharacters(OSType code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((code >> shift) & 0xFF);
    return text;
}

std::string renderPaneText(Dialog &dialog, Pane &pane) {
    std::string out = "== " + pane.shortName;
    if (pane.extension) out += " (" + pane.extension->bundleIdentifier() + ")";
    out += ": " + statusWord(pane) + "\n";
    if (!pane.accepted()) return out;
    out += "   title " + quoted(pane.title) + ", " + std::to_string(pane.width) + " x " + std::to_string(pane.height) +
           ", creator '" + fourCharacters(pane.creator) + "', kind " + pane.kind + "\n";
    out += "   controls:\n";
    ControlSnapshot root = snapshotControl(pane.userPane);
    forEachControl(root, [&](const ControlSnapshot &control) { describeControl(control, out); });
    std::vector<SummaryRow> rows;
    OSStatus status = dialog.summary(pane, rows);
    out += "   summary:";
    if (status != noErr) out += " (GetSummaryText status " + std::to_string(status) + ")";
    out += "\n";
    for (const auto &row : rows) out += "     " + row.title + ": " + row.value + "\n";
    return out;
}

// The Summary view: every shown pane's title and rows.
std::string renderSummaryText(Dialog &dialog) {
    std::string out = "Summary:\n";
    for (auto &pane : dialog.panes()) {
        if (!pane->accepted()) continue;
        std::vector<SummaryRow> rows;
        OSStatus status = dialog.summary(*pane, rows);
        out += "  " + pane->title + (status != noErr ? " (status " + std::to_string(status) + ")" : "") + "\n";
        for (const auto &row : rows) out += "    " + row.title + ": " + row.value + "\n";
    }
    return out;
}

// The PPD dictionary sorted by key; values that are not strings are marked.
std::string renderTicketText(Dialog &dialog) {
    std::string out = "Print settings ticket (PPD dictionary):\n";
    json::Value ticket = ticketJSON(dialog);
    if (ticket.asObject().empty()) out += "  (empty: the commit action writes the shown panes' settings here)\n";
    for (const auto &[key, value] : ticket.asObject()) {
        std::string text = value.type() == json::Value::Type::String ? value.asString() : json::write(value, 0) + " (not a string)";
        out.append("  ").append(key).append(" = ").append(text).append("\n");
    }
    return out;
}

// One bundle for the JSON document; a refused pane has no controls and no Summary.
json::Value paneJSON(Dialog &dialog, Pane &pane) {
    json::Value value = json::Value::object();
    value.set("name", json::Value::string(pane.shortName));
    value.set("bundlePath", json::Value::string(pane.bundlePath));
    value.set("bundleIdentifier", json::Value::string(pane.extension ? pane.extension->bundleIdentifier() : ""));
    value.set("factory", json::Value::string(pane.extension ? pane.extension->factory() : ""));
    value.set("loaded", json::Value::boolean(pane.extension != nullptr));
    value.set("loadError", json::Value::string(pane.loadError));
    value.set("accepted", json::Value::boolean(pane.accepted()));
    value.set("prologueStatus", json::Value::integer(pane.prologueStatus));
    value.set("initializeStatus", json::Value::integer(pane.initializeStatus));
    value.set("open", json::Value::boolean(pane.isOpen));
    value.set("creator", json::Value::string(pane.creator ? fourCharacters(pane.creator) : ""));
    value.set("kind", json::Value::string(pane.kind));
    value.set("title", json::Value::string(pane.title));
    value.set("size", json::Value::object()
                          .set("width", json::Value::integer(pane.width))
                          .set("height", json::Value::integer(pane.height)));
    json::Value controls = json::Value::array();
    json::Value summary = json::Value::array();
    if (pane.accepted()) {
        ControlSnapshot root = snapshotControl(pane.userPane);
        forEachControl(root, [&](const ControlSnapshot &control) {
            if (control.id != 0) controls.push(controlJSON(control));
        });
        std::vector<SummaryRow> rows;
        OSStatus status = dialog.summary(pane, rows);
        value.set("summaryStatus", json::Value::integer(status));
        summary = rowsJSON(rows);
    }
    value.set("controls", std::move(controls));
    value.set("summary", std::move(summary));
    return value;
}

// The Summary rows of every shown pane, keyed by the pane's short name.
json::Value summaryJSON(Dialog &dialog) {
    json::Value summary = json::Value::object();
    for (auto &pane : dialog.panes()) {
        if (!pane->accepted()) continue;
        std::vector<SummaryRow> rows;
        dialog.summary(*pane, rows);
        summary.set(pane->shortName, rowsJSON(rows));
    }
    return summary;
}

// The PPD dictionary as a JSON object sorted by key.
json::Value ticketJSON(Dialog &dialog) {
    json::Value ticket = jsonFromProperty(dialog.ppdDictionary());
    if (ticket.type() != json::Value::Type::Object) return json::Value::object();
    auto &members = ticket.asObject();
    std::sort(members.begin(), members.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    return ticket;
}

// Each line the plug-ins wrote, marked with where it went.
std::string renderDiagnosticsText(const std::string &standardError, const std::vector<std::string> &systemLog) {
    if (standardError.empty() && systemLog.empty()) return {};
    std::string out = "Diagnostics of the plug-ins:\n";
    size_t start = 0;
    while (start < standardError.size()) {
        size_t end = standardError.find('\n', start);
        if (end == std::string::npos) end = standardError.size();
        out += "  stderr: " + standardError.substr(start, end - start) + "\n";
        start = end + 1;
    }
    for (const auto &line : systemLog) out += "  syslog: " + line + "\n";
    return out;
}

// The same for the JSON document: the standard error text whole, the system log by line.
json::Value diagnosticsJSON(const std::string &standardError, const std::vector<std::string> &systemLog) {
    json::Value lines = json::Value::array();
    for (const auto &line : systemLog) lines.push(json::Value::string(line));
    return json::Value::object()
        .set("standardError", json::Value::string(standardError))
        .set("systemLog", std::move(lines));
}

}  // namespace pdehost
