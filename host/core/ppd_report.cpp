// Checking the ticket against the PPD with libcups' PPD functions.
#include <printdialog/ppd_report.h>
#include <printdialog/cf_dictionary.h>
#include <printdialog/extension.h>
#include <printdialog/ticket_preset.h>

#include <platform/host_support.h>

// libcups marks its PPD API deprecated; it is still the way to mark choices and emit their code.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/cups.h>
#include <cups/ppd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <set>

namespace printdialog {
namespace {

std::string shellQuoted(const std::string &text) {
    bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' || c == '=' ||
               c == '/' || c == ':' || c == ',';
    });
    if (plain) return text;
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

// Whether the constraint's side holds: a named choice is marked, or for an option without a
// choice anything but "None", "False" or "Off" is marked.
bool sideHolds(ppd_file_t *ppd, const char *option, const char *choice, std::string &marked) {
    ppd_choice_t *markedChoice = ppdFindMarkedChoice(ppd, option);
    if (markedChoice == nullptr) return false;
    marked = markedChoice->choice;
    if (choice != nullptr && choice[0] != '\0') return marked == choice;
    return marked != "None" && marked != "False" && marked != "Off";
}

}  // namespace

void PPDFileRelease::operator()(ppd_file_s *ppd) const { PlatformPPDClose(ppd); }

PPDFile openPPD(const std::string &path, std::string &error) {
    CFStringRef reason = nullptr;
    PPDFile ppd(PlatformPPDOpen(path.c_str(), &reason));
    if (!ppd) error = utf8(cf::adopt(reason).get());
    return ppd;
}

// libcups keeps its table of job attributes private, so these are the job options lp(1) and
// lpoptions(1) document and the IPP job template attributes CUPS takes; none of them is a PPD
// main keyword (those start with an upper-case letter).
bool isStandardJobAttribute(const std::string &key) {
    static const std::set<std::string> attributes = {
        "collate", "copies", "cpi", "document-format", "finishings", "fit-to-page", "fitplot", "job-account-id",
        "job-accounting-user-id", "job-cancel-after", "job-hold-until", "job-name", "job-priority",
        "job-sheets", "landscape", "lpi", "media", "media-col", "media-source", "media-type", "mirror",
        "multiple-document-handling", "natural-scaling", "number-up", "number-up-layout",
        "orientation-requested", "output-bin", "output-order", "outputorder", "page-border", "page-bottom",
        "page-left", "page-ranges", "page-right", "page-set", "page-top", "position", "ppi", "prettyprint",
        "print-color-mode", "print-quality", "printer-resolution", "raw", "scaling", "sides", "columns"};
    return attributes.count(key) != 0;
}

std::vector<JobOption> jobOptionsFromTicket(CFDictionaryRef ppdDictionary) {
    std::vector<JobOption> options;
    forEachEntry(ppdDictionary, [&options](CFTypeRef key, CFTypeRef value) {
        if (CFGetTypeID(key) == CFStringGetTypeID() && CFGetTypeID(value) == CFStringGetTypeID())
            options.push_back({utf8(static_cast<CFStringRef>(key)), utf8(static_cast<CFStringRef>(value))});
    });
    std::sort(options.begin(), options.end(), [](const JobOption &a, const JobOption &b) { return a.key < b.key; });
    return options;
}

PPDReport checkAgainstPPD(const std::string &ppdPath, CFDictionaryRef ppdDictionary) {
    PPDReport report;
    report.options = jobOptionsFromTicket(ppdDictionary);

    PPDFile ppd = openPPD(ppdPath, report.error);
    if (!ppd) return report;
    report.opened = true;
    if (ppd->modelname) report.modelName = ppd->modelname;

    // Everything markable goes to libcups in one list, as the printing system marks a job's
    // options: each single mark would run libcups' whole conflict check again.
    cups_option_t *marks = nullptr;
    int markCount = 0;
    forEachEntry(ppdDictionary, [&](CFTypeRef keyRef, CFTypeRef valueRef) {
        std::string key = utf8(static_cast<CFStringRef>(keyRef));
        if (CFGetTypeID(valueRef) != CFStringGetTypeID()) {
            // Shown as JSON so that the user sees what is there instead of a keyword.
            report.unknown.push_back({key, jsonText(jsonFromProperty(valueRef), 0), "not a string"});
            return;
        }
        std::string value = utf8(static_cast<CFStringRef>(valueRef));
        ppd_option_t *option = ppdFindOption(ppd.get(), key.c_str());
        // A choice the PPD defines is marked; so is a standard job option, for the ones that stand
        // for PPD options (media, sides, ...) mark them as libcups would for the job, so that
        // their conflicts are seen.
        bool markable = option != nullptr ? ppdFindChoice(option, value.c_str()) != nullptr : isStandardJobAttribute(key);
        if (markable) markCount = cupsAddOption(key.c_str(), value.c_str(), markCount, &marks);
        else report.unknown.push_back({key, value, option == nullptr ? "unknown keyword" : "unknown choice"});
    });
    // libcups counts the conflicts; the pairs are looked for only when there are some.
    // (cupsMarkOptions looks at nothing when it is given nothing, defaults may conflict too.)
    bool anyConflict = markCount > 0 ? cupsMarkOptions(ppd.get(), markCount, marks) != 0 : ppdConflicts(ppd.get()) > 0;
    cupsFreeOptions(markCount, marks);
    std::sort(report.unknown.begin(), report.unknown.end(),
              [](const UnknownChoice &a, const UnknownChoice &b) { return a.key < b.key; });

    for (int index = 0; anyConflict && index < ppd->num_consts; ++index) {
        const ppd_const_t &constraint = ppd->consts[index];
        std::string choice1, choice2;
        if (sideHolds(ppd.get(), constraint.option1, constraint.choice1, choice1) &&
            sideHolds(ppd.get(), constraint.option2, constraint.choice2, choice2)) {
            Conflict conflict{constraint.option1, choice1, constraint.option2, choice2};
            // A PPD usually states each constraint both ways; report each pair once.
            bool seen = std::any_of(report.conflicts.begin(), report.conflicts.end(), [&](const Conflict &other) {
                return other.option1 == conflict.option2 && other.choice1 == conflict.choice2 &&
                       other.option2 == conflict.option1 && other.choice2 == conflict.choice1;
            });
            if (!seen) report.conflicts.push_back(conflict);
        }
    }

    static const ppd_section_t sections[] = {PPD_ORDER_EXIT, PPD_ORDER_JCL, PPD_ORDER_PROLOG,
                                             PPD_ORDER_DOCUMENT, PPD_ORDER_ANY, PPD_ORDER_PAGE};
    for (ppd_section_t section : sections) {
        char *code = ppdEmitString(ppd.get(), section, 0.0f);
        if (code != nullptr) {
            report.emitted += code;
            std::free(code);
        }
    }
    return report;
}

std::string lpCommandLine(const std::vector<JobOption> &options, const std::string &destination,
                          const std::string &file) {
    std::string line = "lp";
    if (!destination.empty()) line += " -d " + shellQuoted(destination);
    for (const auto &option : options) line += " -o " + shellQuoted(option.key + "=" + option.value);
    return line + " " + (file.empty() ? std::string("FILE") : shellQuoted(file));
}

}  // namespace printdialog
