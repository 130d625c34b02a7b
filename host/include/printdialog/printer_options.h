// The Printer Options model: every option of the printer's PPD that no pane owns, grouped and
// ordered as the PPD groups them, with the texts of the UI language where the PPD translates them,
// the current value from the print-settings ticket's PPD dictionary (the state the panes share),
// and the UIConstraints conflicts of the current settings, named per option.
#pragma once

#include <printdialog/dialog.h>
#include <printdialog/ppd_report.h>

#include <CoreFoundation/CoreFoundation.h>

#include <map>
#include <utility>
#include <string>
#include <vector>

namespace printdialog {

struct OptionChoice {
    std::string keyword;  // "A4"
    std::string text;     // "A4", translated where the PPD has it
};

// The side of a conflict seen from one option: the other option and its choice.
struct OptionConflict {
    std::string option;  // keyword of the other option
    std::string choice;  // its marked choice
};

struct PrinterOption {
    enum class Kind { PickOne, Boolean, PickMany };
    std::string keyword;  // "PageSize"
    std::string text;     // "Page Size", translated where the PPD has it
    Kind kind = Kind::PickOne;
    std::vector<OptionChoice> choices;  // in PPD order
    std::string defaultChoice;          // the PPD's default
    std::string value;                  // the ticket's entry, else the PPD's default
    std::vector<OptionConflict> conflicts;  // what the current value conflicts with
};

struct OptionGroup {
    std::string name;  // the PPD's group keyword ("General")
    std::string text;  // translated where the PPD has it
    std::vector<PrinterOption> options;  // in PPD order, owned options left out
    std::vector<OptionGroup> subgroups;  // likewise; none without an option left
};

// The options each pane owns: keyword → the pane's short name. An option is owned when the pane's
// Sync (reinitializePlugin false) writes its keyword. Each accepted pane commits once into an
// empty dictionary; the PPD dictionary is then given back exactly its entries before, so nothing
// changes for the job.
std::map<std::string, std::string> paneOwnedOptions(Dialog &dialog);

// The PPD's texts for one UI language: (main keyword, option keyword) → text.
using OptionTranslations = std::map<std::pair<std::string, std::string>, std::string>;

// The translations of the PPD at ppdPath for the language ("de" or "de_DE": its "*de.Translation"
// lines for options and groups, "*de.<Option>" for choices; those of "ll_CC" win over "ll").
// Read from the file itself: libcups' parse keeps the translations of the process's locale only.
// Empty when the file has none or cannot be read.
OptionTranslations readOptionTranslations(const std::string &ppdPath, const std::string &language);

// The model for the PPD at ppdPath with those translations (else the PPD's own texts), without
// the owned options (and PageRegion, which follows PageSize) and without groups left empty, the
// values and conflicts read from the dictionary. Reads the PPD only: no mark is set on the shared
// parse. false with the reason when the PPD cannot be read.
bool readPrinterOptions(const std::string &ppdPath, const OptionTranslations &translations,
                        CFDictionaryRef ppdDictionary, const std::map<std::string, std::string> &owned,
                        std::vector<OptionGroup> &groups, std::string &error);

// The same, reading the translations for the language first: for a model read once. A window
// that reads the model after every change keeps the translations and calls the overload above.
bool readPrinterOptions(const std::string &ppdPath, const std::string &language, CFDictionaryRef ppdDictionary,
                        const std::map<std::string, std::string> &owned, std::vector<OptionGroup> &groups,
                        std::string &error);

// The option of that keyword in the model (subgroups included), or nullptr.
const PrinterOption *findPrinterOption(const std::vector<OptionGroup> &groups, const std::string &keyword);

// The choices of a value as the dictionary holds them: comma-separated, empty parts left out.
std::vector<std::string> splitChoices(const std::string &value);

// Sets the option to the choices in the PPD dictionary, where the panes, the pre-flight and the
// job read it: PickOne and Boolean take exactly one. A PickMany option takes one, or none, which
// removes the entry so that the PPD's default applies: libcups marks a job's value of an option
// as one choice (its cupsMarkOptions looks "A,B" up as a single choice name and marks nothing),
// so a second choice would go out as the default without a word. false with a one-line reason
// for a choice the option does not have or a count it cannot take; the dictionary is then
// unchanged.
bool setPrinterOption(CFMutableDictionaryRef ppdDictionary, const PrinterOption &option,
                      const std::vector<std::string> &choices, std::string &error);

// The conflicts of a pre-flight report seen from one option: for every pair that names it, the
// other side. A pair is listed under both of its options.
std::vector<OptionConflict> conflictsOf(const PPDReport &report, const std::string &keyword);

}  // namespace printdialog
