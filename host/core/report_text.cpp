// Rendering the report and the outcome.
#include <printdialog/print_job.h>
#include <printdialog/report_text.h>

namespace printdialog {

const ReportWords &reportWords(const std::string &localization) {
    static const ReportWords english{
        "Job options:", "none", "Command line:", "Choices the PPD does not define:",
        "Conflicts with the PPD's constraints:", "conflicts with", "is not a choice of", "the PPD has no option",
        "is not a string but", "unknown keyword", "unknown choice", "not a string",
        "Feature code the printer receives:", "The printer's PPD could not be read:", "Job:", "queue", "on", "id",
        "title", "not printed:", "not sent: no queue chosen", "the printer's PPD does not allow these settings",
        "sent although the printer's PPD does not allow these settings (forced)",
        "Cancelled: nothing was committed and nothing would be sent.",
        "the panes could not write the ticket (status"};
    static const ReportWords german{
        "Auftragsoptionen:", "keine", "Befehlszeile:", "Auswahlen, die die PPD nicht kennt:",
        "Konflikte mit den Einschränkungen der PPD:", "steht im Konflikt mit", "ist keine Auswahl von",
        "die PPD hat keine Option", "ist keine Zeichenkette, sondern", "unbekanntes Schlüsselwort",
        "unbekannte Auswahl", "keine Zeichenkette", "Steuercode, den der Drucker erhält:",
        "Die PPD des Druckers ist nicht lesbar:", "Auftrag:", "Warteschlange", "auf", "Nummer", "Titel",
        "nicht gedruckt:", "nicht gesendet: keine Warteschlange gewählt",
        "die PPD des Druckers erlaubt diese Einstellungen nicht",
        "gesendet, obwohl die PPD des Druckers diese Einstellungen nicht erlaubt (erzwungen)",
        "Abgebrochen: nichts wurde übernommen, nichts würde gesendet.",
        "die Bereiche konnten das Ticket nicht schreiben (Status"};
    return localization.rfind("de", 0) == 0 ? german : english;
}

namespace {

const char *reasonText(const std::string &reason, const ReportWords &words) {
    if (reason == "unknown keyword") return words.unknownKeyword;
    if (reason == "unknown choice") return words.unknownChoice;
    return words.notAString;
}

std::string quoted(const std::string &text) { return "\"" + text + "\""; }

}  // namespace

std::vector<std::string> preflightProblems(const PPDReport &report, const ReportWords &words) {
    std::vector<std::string> problems;
    if (!report.opened) {
        problems.push_back(std::string(words.ppdUnreadable) + " " + report.error);
        return problems;
    }
    for (const auto &conflict : report.conflicts)
        problems.push_back(conflict.option1 + "=" + conflict.choice1 + " " + words.conflictsWith + " " +
                           conflict.option2 + "=" + conflict.choice2);
    for (const auto &unknown : report.unknown) {
        if (unknown.reason == "unknown choice")
            problems.push_back(unknown.key + "=" + unknown.value + " " + words.isNotAChoiceOf + " " + unknown.key);
        else if (unknown.reason == "unknown keyword")
            problems.push_back(unknown.key + "=" + unknown.value + ": " + words.hasNoOption + " " + unknown.key);
        else
            problems.push_back(unknown.key + " " + words.isNotAString + " " + unknown.value);
    }
    return problems;
}

std::string renderReportText(const PPDReport &report, const ReportWords &words, const std::string &destination,
                             const std::string &file) {
    std::string out = std::string(words.jobOptions) + (report.options.empty() ? std::string(" ") + words.none : "") + "\n";
    for (const auto &option : report.options) out += "  " + option.key + "=" + option.value + "\n";
    out += std::string(words.commandLine) + "\n  " + lpCommandLine(report.options, destination, file) + "\n";
    if (!report.opened) return out + words.ppdUnreadable + " " + report.error + "\n";
    out += std::string(words.unknownChoices) + (report.unknown.empty() ? std::string(" ") + words.none : "") + "\n";
    for (const auto &unknown : report.unknown)
        out += "  " + unknown.key + "=" + unknown.value + " (" + reasonText(unknown.reason, words) + ")\n";
    out += std::string(words.conflicts) + (report.conflicts.empty() ? std::string(" ") + words.none : "") + "\n";
    for (const auto &conflict : report.conflicts)
        out += "  " + conflict.option1 + "=" + conflict.choice1 + " " + words.conflictsWith + " " + conflict.option2 +
               "=" + conflict.choice2 + "\n";
    out += std::string(words.featureCode) + "\n" + report.emitted;
    if (!report.emitted.empty() && report.emitted.back() != '\n') out += "\n";
    return out;
}

Json reportJSON(const PPDReport &report, const std::string &destination, const std::string &file) {
    Json result = Json::object();
    Json options = Json::array();
    for (const auto &option : report.options) options.push_back(option.key + "=" + option.value);
    result["options"] = std::move(options);
    result["lpCommand"] = lpCommandLine(report.options, destination, file);
    Json unknown = Json::array();
    for (const auto &each : report.unknown)
        unknown.push_back(Json{{"key", each.key}, {"value", each.value}, {"reason", each.reason}});
    result["unknown"] = std::move(unknown);
    Json conflicts = Json::array();
    for (const auto &conflict : report.conflicts)
        conflicts.push_back(Json{{"option1", conflict.option1}, {"choice1", conflict.choice1},
                                 {"option2", conflict.option2}, {"choice2", conflict.choice2}});
    result["conflicts"] = std::move(conflicts);
    result["emitted"] = report.emitted;
    result["ppdError"] = report.error;
    return result;
}

std::string renderOutcomeText(const PrintOutcome &outcome, const ReportWords &words) {
    using Result = PrintOutcome::Result;
    const SubmittedJob &job = outcome.job;
    switch (outcome.result) {
    case Result::Preview:
        return {};
    case Result::Cancelled:
        return std::string(words.cancelled) + "\n";
    case Result::Sent: {
        std::string out = std::string(words.job) + " " + job.queue + "-" + std::to_string(job.id) + " (" + words.queue +
                          " " + job.queue + " " + words.on + " " + job.server + ", " + words.id + " " +
                          std::to_string(job.id) + ", " + words.title + " " + quoted(job.title) + ")\n";
        if (outcome.forced) {
            out += std::string("  ") + words.forced + ":\n";
            for (const auto &problem : preflightProblems(outcome.report, words)) out += "    " + problem + "\n";
        }
        return out;
    }
    case Result::Refused: {
        std::string out = std::string(words.job) + " " + words.notPrinted + " " + words.notAllowed + ":\n";
        for (const auto &problem : preflightProblems(outcome.report, words)) out += "  " + problem + "\n";
        return out;
    }
    case Result::NoQueue:
        return std::string(words.job) + " " + words.notSentNoQueue + "\n";
    case Result::NotSent:
        if (outcome.commitStatus != noErr)
            return std::string(words.job) + " " + words.notPrinted + " " + words.commitFailed + " " +
                   std::to_string(outcome.commitStatus) + ")\n";
        return std::string(words.job) + " " + words.notPrinted + " " + outcome.error + "\n";
    case Result::Failed:
        return std::string(words.job) + " " + words.notPrinted + " " + outcome.error + "\n";
    }
    return {};
}

}  // namespace printdialog
