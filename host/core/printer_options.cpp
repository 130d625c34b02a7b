// The Printer Options model read from libcups' parse of the printer's PPD.
#include <printdialog/printer_options.h>

#include <printdialog/cf_dictionary.h>
#include <printdialog/extension.h>
#include <printdialog/files.h>
#include <printdialog/ticket_preset.h>

#include <platform/cf_ref.h>

// libcups marks its PPD API deprecated; it is still the way to read a PPD's groups and options.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <algorithm>
#include <cctype>
#include <sstream>

namespace printdialog {
namespace {

using Translations = OptionTranslations;

// A translation string with its hexadecimal substrings ("<C3B6>") decoded.
std::string decodedText(const std::string &text) {
    std::string out;
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] != '<') {
            out += text[index];
            continue;
        }
        std::size_t end = text.find('>', index);
        if (end == std::string::npos) return out + text.substr(index);
        std::string digits;
        for (std::size_t at = index + 1; at < end; ++at)
            if (std::isxdigit(static_cast<unsigned char>(text[at]))) digits += text[at];
        for (std::size_t at = 0; at + 1 < digits.size(); at += 2)
            out += static_cast<char>(std::stoi(digits.substr(at, 2), nullptr, 16));
        index = end;
    }
    return out;
}

}  // namespace

OptionTranslations readOptionTranslations(const std::string &ppdPath, const std::string &language) {
    Translations result;
    std::string base = language.substr(0, language.find('_'));
    if (base.empty()) return result;
    std::string content;
    std::string reason;
    if (!readWholeFile(ppdPath, content, reason)) return result;  // openPPD tells why
    std::istringstream file(content);
    std::string line;
    Translations specific;
    while (std::getline(file, line)) {
        if (line.size() < 2 || line[0] != '*') continue;
        std::size_t dot = line.find('.');
        std::size_t space = line.find(' ');
        std::size_t slash = line.find('/', space == std::string::npos ? 0 : space);
        std::size_t colon = line.find(':', slash == std::string::npos ? 0 : slash);
        if (dot == std::string::npos || space == std::string::npos || slash == std::string::npos ||
            colon == std::string::npos || dot > space)
            continue;
        std::string prefix = line.substr(1, dot - 1);
        if (prefix != base && prefix != language) continue;
        std::pair<std::string, std::string> key{line.substr(dot + 1, space - dot - 1), line.substr(space + 1, slash - space - 1)};
        std::string text = decodedText(line.substr(slash + 1, colon - slash - 1));
        (prefix == language ? specific : result)[key] = text;
    }
    for (auto &[key, text] : specific) result[key] = text;
    return result;
}

namespace {

// The translated text of a PPD line "*ll.KEYWORD OPTION/Text:" (keyword "Translation" for an
// option's or group's own name, the option's keyword for one of its choices), else the PPD's own text.
std::string translated(const Translations &translations, const std::string &keyword, const char *option,
                       const char *fallback) {
    auto found = translations.find({keyword, option});
    if (found != translations.end() && !found->second.empty()) return found->second;
    return fallback != nullptr ? fallback : "";
}

PrinterOption::Kind kindOf(const ppd_option_t &option) {
    switch (option.ui) {
    case PPD_UI_BOOLEAN: return PrinterOption::Kind::Boolean;
    case PPD_UI_PICKMANY: return PrinterOption::Kind::PickMany;
    default: return PrinterOption::Kind::PickOne;
    }
}

// The string entry of the dictionary under key, else fallback.
std::string entryOr(CFDictionaryRef dictionary, const std::string &key, const std::string &fallback) {
    if (dictionary == nullptr) return fallback;
    cf::Ref<CFStringRef> name = createString(key);
    CFTypeRef value = CFDictionaryGetValue(dictionary, name.get());
    if (value == nullptr || CFGetTypeID(value) != CFStringGetTypeID()) return fallback;
    return utf8(static_cast<CFStringRef>(value));
}

struct Reader {
    const Translations &translations;
    CFDictionaryRef dictionary;
    const std::map<std::string, std::string> &owned;
    const PPDReport &report;

    PrinterOption option(const ppd_option_t &source) const {
        PrinterOption result;
        result.keyword = source.keyword;
        result.text = translated(translations, "Translation", source.keyword, source.text);
        result.kind = kindOf(source);
        for (int index = 0; index < source.num_choices; ++index) {
            const ppd_choice_t &choice = source.choices[index];
            // A custom choice needs parameters this model does not offer; libcups renames one that
            // the PPD gives no parameters to "_Custom".
            std::string keyword = choice.choice;
            if (keyword == "Custom" || keyword == "_Custom") continue;
            result.choices.push_back({choice.choice, translated(translations, source.keyword, choice.choice, choice.text)});
        }
        result.defaultChoice = source.defchoice;
        result.value = entryOr(dictionary, result.keyword, result.defaultChoice);
        result.conflicts = conflictsOf(report, result.keyword);
        return result;
    }

    // The group without owned options; kept out: PageRegion follows PageSize (libcups marks the
    // two together, and its own interfaces do not show it).
    OptionGroup group(const ppd_group_t &source) const {
        OptionGroup result;
        result.name = source.name;
        result.text = translated(translations, "Translation", source.name, source.text);
        for (int index = 0; index < source.num_options; ++index) {
            const ppd_option_t &each = source.options[index];
            if (owned.count(each.keyword) != 0 || std::string(each.keyword) == "PageRegion") continue;
            result.options.push_back(option(each));
        }
        for (int index = 0; index < source.num_subgroups; ++index) {
            OptionGroup subgroup = group(source.subgroups[index]);
            if (!subgroup.options.empty() || !subgroup.subgroups.empty()) result.subgroups.push_back(std::move(subgroup));
        }
        return result;
    }
};

const PrinterOption *findIn(const std::vector<OptionGroup> &groups, const std::string &keyword) {
    for (const OptionGroup &group : groups) {
        for (const PrinterOption &option : group.options)
            if (option.keyword == keyword) return &option;
        if (const PrinterOption *found = findIn(group.subgroups, keyword)) return found;
    }
    return nullptr;
}

}  // namespace

std::map<std::string, std::string> paneOwnedOptions(Dialog &dialog) {
    std::map<std::string, std::string> owned;
    CFMutableDictionaryRef dictionary = dialog.ppdDictionary();
    if (dictionary == nullptr) return owned;
    auto saved = cf::adopt(CFDictionaryCreateCopy(kCFAllocatorDefault, dictionary));
    for (auto &pane : dialog.panes()) {
        if (!pane->accepted() || pane->terminated) continue;
        // Into an empty dictionary, so that a key written with the value it had is seen as well.
        CFDictionaryRemoveAllValues(dictionary);
        (void)dialog.sync(*pane, false);
        forEachEntry(dictionary, [&](CFTypeRef key, CFTypeRef) {
            if (CFGetTypeID(key) == CFStringGetTypeID()) owned.emplace(utf8(static_cast<CFStringRef>(key)), pane->shortName);
        });
    }
    CFDictionaryRemoveAllValues(dictionary);
    copyEntries(saved.get(), dictionary);
    return owned;
}

bool readPrinterOptions(const std::string &ppdPath, const OptionTranslations &translations,
                        CFDictionaryRef ppdDictionary, const std::map<std::string, std::string> &owned,
                        std::vector<OptionGroup> &groups, std::string &error) {
    groups.clear();
    // The conflicts come first: the pre-flight marks a parse of its own while it holds it.
    PPDReport report = checkAgainstPPD(ppdPath, ppdDictionary);
    PPDFile ppd = openPPD(ppdPath, error);
    if (!ppd) return false;
    Reader reader{translations, ppdDictionary, owned, report};
    for (int index = 0; index < ppd->num_groups; ++index) {
        OptionGroup group = reader.group(ppd->groups[index]);
        if (!group.options.empty() || !group.subgroups.empty()) groups.push_back(std::move(group));
    }
    return true;
}

bool readPrinterOptions(const std::string &ppdPath, const std::string &language, CFDictionaryRef ppdDictionary,
                        const std::map<std::string, std::string> &owned, std::vector<OptionGroup> &groups,
                        std::string &error) {
    return readPrinterOptions(ppdPath, readOptionTranslations(ppdPath, language), ppdDictionary, owned, groups, error);
}

const PrinterOption *findPrinterOption(const std::vector<OptionGroup> &groups, const std::string &keyword) {
    return findIn(groups, keyword);
}

std::vector<std::string> splitChoices(const std::string &value) {
    std::vector<std::string> choices;
    for (size_t start = 0; start <= value.size();) {
        size_t end = std::min(value.find(',', start), value.size());
        if (end > start) choices.push_back(value.substr(start, end - start));
        start = end + 1;
    }
    return choices;
}

bool setPrinterOption(CFMutableDictionaryRef ppdDictionary, const PrinterOption &option,
                      const std::vector<std::string> &choices, std::string &error) {
    for (const std::string &choice : choices) {
        bool known = std::any_of(option.choices.begin(), option.choices.end(),
                                 [&choice](const OptionChoice &each) { return each.keyword == choice; });
        if (!known) {
            error = "'" + choice + "' is not a choice of " + option.keyword;
            return false;
        }
    }
    if (option.kind != PrinterOption::Kind::PickMany && choices.size() != 1) {
        error = option.keyword + " takes exactly one choice";
        return false;
    }
    if (choices.size() > 1) {
        error = option.keyword + " takes one choice per job: the printing system marks one choice of an option";
        return false;
    }
    if (ppdDictionary == nullptr) {
        error = "there is no print-settings ticket to write " + option.keyword + " into";
        return false;
    }
    cf::Ref<CFStringRef> key = createString(option.keyword);
    if (choices.empty()) CFDictionaryRemoveValue(ppdDictionary, key.get());
    else CFDictionarySetValue(ppdDictionary, key.get(), createString(choices.front()).get());
    return true;
}

std::vector<OptionConflict> conflictsOf(const PPDReport &report, const std::string &keyword) {
    std::vector<OptionConflict> result;
    for (const Conflict &conflict : report.conflicts) {
        if (conflict.option1 == keyword) result.push_back({conflict.option2, conflict.choice2});
        if (conflict.option2 == keyword) result.push_back({conflict.option1, conflict.choice1});
    }
    return result;
}

}  // namespace printdialog
