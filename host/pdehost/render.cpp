// Rendering panes, Summary, ticket and the PPD report.
#include "render.h"

#include <pdehost/control_snapshot.h>
#include <pdehost/ticket_preset.h>

#include <algorithm>

namespace pdehost {
namespace {

std::string quoted(const std::string &text) { return "\"" + text + "\""; }

std::string statusWord(const Pane &pane) {
    if (!pane.extension) return "not loaded: " + pane.loadError;
    if (pane.prologueStatus != noErr) return "Prologue failed (status " + std::to_string(pane.prologueStatus) + ")";
    if (!pane.accepted())
        return "not for this printer (Initialize status " + std::to_string(pane.initializeStatus) + ")";
    return pane.isOpen ? "shown (open)" : "shown";
}

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

}  // namespace

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

std::string renderTicketText(Dialog &dialog) {
    std::string out = "Print settings ticket (PPD dictionary):\n";
    json::Value ticket = ticketJSON(dialog);
    if (ticket.asObject().empty()) out += "  (empty)\n";
    for (const auto &[key, value] : ticket.asObject()) {
        std::string text = value.type() == json::Value::Type::String ? value.asString() : json::write(value, 0) + " (not a string)";
        out += "  " + key + " = " + text + "\n";
    }
    return out;
}

std::string renderReportText(const PPDReport &report) {
    std::string out = "Job options:\n";
    for (const auto &option : report.options) out += "  " + option.key + "=" + option.value + "\n";
    out += "Command line:\n  " + lpCommandLine(report.options) + "\n";
    if (!report.opened) return out + "The printer's PPD could not be read: " + report.error + "\n";
    out += "Choices the PPD does not define:" + std::string(report.unknown.empty() ? " none\n" : "\n");
    for (const auto &unknown : report.unknown)
        out += "  " + unknown.key + "=" + unknown.value + " (" + unknown.reason + ")\n";
    out += "Conflicts with the PPD's constraints:" + std::string(report.conflicts.empty() ? " none\n" : "\n");
    for (const auto &conflict : report.conflicts)
        out += "  " + conflict.option1 + "=" + conflict.choice1 + " conflicts with " + conflict.option2 + "=" +
               conflict.choice2 + "\n";
    out += "Feature code the printer receives:\n" + report.emitted;
    if (!report.emitted.empty() && report.emitted.back() != '\n') out += "\n";
    return out;
}

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
        for (const auto &row : rows)
            summary.push(json::Value::object()
                             .set("title", json::Value::string(row.title))
                             .set("value", json::Value::string(row.value)));
    }
    value.set("controls", std::move(controls));
    value.set("summary", std::move(summary));
    return value;
}

json::Value ticketJSON(Dialog &dialog) {
    json::Value ticket = jsonFromProperty(dialog.ppdDictionary());
    if (ticket.type() != json::Value::Type::Object) return json::Value::object();
    auto &members = ticket.asObject();
    std::sort(members.begin(), members.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    return ticket;
}

json::Value reportJSON(const PPDReport &report) {
    json::Value result = json::Value::object();
    json::Value options = json::Value::array();
    for (const auto &option : report.options) options.push(json::Value::string(option.key + "=" + option.value));
    result.set("options", std::move(options));
    result.set("lpCommand", json::Value::string(lpCommandLine(report.options)));
    json::Value unknown = json::Value::array();
    for (const auto &each : report.unknown)
        unknown.push(json::Value::object()
                         .set("key", json::Value::string(each.key))
                         .set("value", json::Value::string(each.value))
                         .set("reason", json::Value::string(each.reason)));
    result.set("unknown", std::move(unknown));
    json::Value conflicts = json::Value::array();
    for (const auto &conflict : report.conflicts)
        conflicts.push(json::Value::object()
                           .set("option1", json::Value::string(conflict.option1))
                           .set("choice1", json::Value::string(conflict.choice1))
                           .set("option2", json::Value::string(conflict.option2))
                           .set("choice2", json::Value::string(conflict.choice2)));
    result.set("conflicts", std::move(conflicts));
    result.set("emitted", json::Value::string(report.emitted));
    result.set("ppdError", json::Value::string(report.error));
    return result;
}

}  // namespace pdehost
