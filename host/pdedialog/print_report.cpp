// The text of the Print result.
#include "print_report.h"

namespace pdedialog {

// Sections in the order a person checks them: the options, the lp line, what libcups objects
// to, and last the code itself.
std::string printReportText(const printdialog::PPDReport &report, const WindowText &text, const std::string &destination) {
    std::string out = std::string(text.jobOptions) + "\n";
    for (const auto &option : report.options) out += "  " + option.key + "=" + option.value + "\n";
    if (report.options.empty()) out += std::string("  ") + text.none + "\n";
    out += std::string(text.commandLine) + "\n  " + printdialog::lpCommandLine(report.options, destination) + "\n";
    out += std::string(text.unknownChoices) + (report.unknown.empty() ? std::string(" ") + text.none : "") + "\n";
    for (const auto &unknown : report.unknown)
        out += "  " + unknown.key + "=" + unknown.value + " (" + unknown.reason + ")\n";
    out += std::string(text.conflicts) + (report.conflicts.empty() ? std::string(" ") + text.none : "") + "\n";
    for (const auto &conflict : report.conflicts)
        out += "  " + conflict.option1 + "=" + conflict.choice1 + " " + text.conflictsWith + " " + conflict.option2 +
               "=" + conflict.choice2 + "\n";
    out += std::string(text.featureCode) + "\n";
    if (!report.error.empty()) out += "  " + report.error + "\n";
    else out += report.emitted.empty() ? std::string("  ") + text.none + "\n" : report.emitted;
    if (!out.empty() && out.back() != '\n') out += "\n";
    return out;
}

}  // namespace pdedialog
