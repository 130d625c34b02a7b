// Rendering panes, Summary, ticket and the PPD report.
#include "render.h"

#include <printdialog/control_snapshot.h>
#include <printdialog/extension.h>
#include <printdialog/ticket_preset.h>

#include <algorithm>
#include <utility>

namespace pdehost {

using namespace printdialog;

namespace {

std::string inQuotes(const std::string &text) { return "\"" + text + "\""; }

// Whether the bundle loaded and its pane serves this printer (and is open, as the JSON document
// says too), with the status when not.
std::string statusWord(const Pane &pane) {
    if (!pane.extension) return "not loaded: " + pane.loadError;
    if (pane.prologueStatus != noErr) return "Prologue failed (status " + std::to_string(pane.prologueStatus) + ")";
    if (!pane.hostRefusal.empty()) return "not shown: " + pane.hostRefusal;
    if (!pane.accepted() && pane.initializeNote.starts_with(kPrinterAcceptedNote))
        return "Initialize failed (status " + std::to_string(pane.initializeStatus) + "): " + pane.initializeNote;
    if (!pane.accepted())
        return "not for this printer (Initialize status " + std::to_string(pane.initializeStatus) + ")";
    return pane.isOpen ? "accepted, open" : "accepted";
}

// One line per control with an id (labels are shown with the control they name); popups
// add their items and the disabled ones.
void describeControl(const ControlSnapshot &control, std::string &out) {
    if (control.id == 0) return;
    out += "    " + std::string(controlTypeName(control.type)) + " " + std::to_string(control.id);
    if (!control.label.empty()) out += " " + inQuotes(control.label);
    if (control.type == ControlType::Popup) {
        out += " = " + control.selectedItemText() + " (item " + std::to_string(control.value) + " of " +
               std::to_string(control.items.size()) + ")";
    } else if (control.type == ControlType::CheckBox) {
        out += " " + inQuotes(control.title) + " = " + (control.value ? "on" : "off");
    } else if (control.type == ControlType::Slider) {
        out += " = " + std::to_string(control.value) + " (" + std::to_string(control.minimum) + ".." +
               std::to_string(control.maximum) + ")";
    } else if (control.type == ControlType::EditText || control.type == ControlType::StaticText) {
        out += " text " + inQuotes(control.text);
    }
    out += control.enabled ? ", enabled" : ", disabled";
    out += "\n";
    if (control.type == ControlType::Popup) {
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
Json controlJSON(const ControlSnapshot &control) {
    Json value = Json::object();
    value["id"] = control.id;
    value["kind"] = controlTypeName(control.type);
    value["label"] = control.label;
    value["value"] = control.value;
    value["minimum"] = control.minimum;
    value["maximum"] = control.maximum;
    value["enabled"] = control.enabled;
    value["text"] = control.type == ControlType::CheckBox ? control.title : control.text;
    if (control.type == ControlType::Popup) value["selectedText"] = control.selectedItemText();
    Json items = Json::array();
    for (const auto &item : control.items)
        items.push_back(Json{{"text", item.text}, {"enabled", item.enabled}, {"checked", item.checked}});
    value["items"] = std::move(items);
    return value;
}

// Summary rows as title/value pairs.
Json rowsJSON(const std::vector<SummaryRow> &rows) {
    Json result = Json::array();
    for (const auto &row : rows) result.push_back(Json{{"title", row.title}, {"value", row.value}});
    return result;
}

}  // namespace


std::string renderPaneText(Dialog &dialog, Pane &pane) {
    std::string out = "== " + pane.shortName;
    if (pane.extension) out += " (" + pane.extension->bundleIdentifier() + ")";
    out += ": " + statusWord(pane) + "\n";
    if (!pane.accepted()) return out;
    out += "   title " + inQuotes(pane.title) + ", " + std::to_string(pane.width) + " x " +
           std::to_string(pane.height) + ", creator '" + fourCharacters(pane.creator) + "', kind " + pane.kind + "\n";
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
    Json ticket = ticketJSON(dialog);
    if (ticket.empty()) out += "  (empty: the commit action writes the shown panes' settings here)\n";
    for (const auto &[key, value] : ticket.items()) {
        std::string text = value.is_string() ? value.get<std::string>() : jsonText(value, 0) + " (not a string)";
        out.append("  ").append(key).append(" = ").append(text).append("\n");
    }
    return out;
}

// One bundle for the JSON document; a refused pane has no controls and no Summary.
Json paneJSON(Dialog &dialog, Pane &pane) {
    Json value = Json::object();
    value["name"] = pane.shortName;
    value["bundlePath"] = pane.bundlePath;
    value["bundleIdentifier"] = pane.extension ? pane.extension->bundleIdentifier() : "";
    value["factory"] = pane.extension ? pane.extension->factory() : "";
    value["loaded"] = pane.extension != nullptr;
    value["loadError"] = pane.loadError;
    value["accepted"] = pane.accepted();
    value["prologueStatus"] = pane.prologueStatus;
    value["initializeStatus"] = pane.initializeStatus;
    value["initializeNote"] = pane.initializeNote;
    value["hostRefusal"] = pane.hostRefusal;
    value["open"] = pane.isOpen;
    value["creator"] = pane.creator ? fourCharacters(pane.creator) : "";
    value["kind"] = pane.kind;
    value["title"] = pane.title;
    Json size = Json::object();
    size["width"] = pane.width;
    size["height"] = pane.height;
    value["size"] = std::move(size);
    Json controls = Json::array();
    Json summary = Json::array();
    if (pane.accepted()) {
        ControlSnapshot root = snapshotControl(pane.userPane);
        forEachControl(root, [&](const ControlSnapshot &control) {
            if (control.id != 0) controls.push_back(controlJSON(control));
        });
        std::vector<SummaryRow> rows;
        OSStatus status = dialog.summary(pane, rows);
        value["summaryStatus"] = status;
        summary = rowsJSON(rows);
    }
    value["controls"] = std::move(controls);
    value["summary"] = std::move(summary);
    return value;
}

// The Summary rows of every shown pane, keyed by the pane's short name.
Json summaryJSON(Dialog &dialog) {
    Json summary = Json::object();
    for (auto &pane : dialog.panes()) {
        if (!pane->accepted()) continue;
        std::vector<SummaryRow> rows;
        dialog.summary(*pane, rows);
        summary[pane->shortName] = rowsJSON(rows);
    }
    return summary;
}

// The PPD dictionary as a JSON object sorted by key.
Json ticketJSON(Dialog &dialog) {
    Json ticket = jsonFromProperty(dialog.ppdDictionary());
    if (!ticket.is_object()) return Json::object();
    std::vector<std::pair<std::string, Json>> members;
    for (auto &[key, value] : ticket.items()) members.emplace_back(key, std::move(value));
    std::sort(members.begin(), members.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    Json sorted = Json::object();
    for (auto &[key, value] : members) sorted[key] = std::move(value);
    return sorted;
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
Json diagnosticsJSON(const std::string &standardError, const std::vector<std::string> &systemLog) {
    Json diagnostics = Json::object();
    diagnostics["standardError"] = standardError;
    diagnostics["systemLog"] = systemLog;
    return diagnostics;
}

}  // namespace pdehost
