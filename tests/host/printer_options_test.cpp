// The Printer Options model on the sample printers and the real panes: what is shown (the PPD's
// groups in order, without what a pane owns), in which words, with which value, and the conflicts
// of the current settings; and that a value set there is the job's.
#include "host_test_support.h"
#include "sample_printers.h"

#include <printdialog/cf_dictionary.h>
#include <printdialog/print_job.h>
#include <printdialog/printer_options.h>
#include <printdialog/ticket_preset.h>

#include <map>

namespace host_test {
namespace {

using printdialog::OptionGroup;
using printdialog::PrinterOption;

// A PPD dictionary preset from KEY=VALUE pairs, as -o presets it.
cf::Ref<CFMutableDictionaryRef> presetsOf(std::initializer_list<std::string> pairs) {
    auto presets = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks));
    std::string error;
    for (const auto &pair : pairs) EXPECT_TRUE(printdialog::addTicketPreset(pair, presets.get(), error)) << error;
    return presets;
}

// "Group: Option Option | Group: ..." with subgroups in brackets, for comparing layouts at a glance.
std::string layout(const std::vector<OptionGroup> &groups) {
    std::string out;
    for (const OptionGroup &group : groups) {
        if (!out.empty()) out += " | ";
        out += group.name + ":";
        for (const PrinterOption &option : group.options) out += " " + option.keyword;
        if (!group.subgroups.empty()) out += " [" + layout(group.subgroups) + "]";
    }
    return out;
}

std::vector<OptionGroup> readOptions(const std::string &ppd, CFDictionaryRef dictionary,
                                     const std::map<std::string, std::string> &owned = {},
                                     const std::string &language = "en") {
    std::vector<OptionGroup> groups;
    std::string error;
    EXPECT_TRUE(printdialog::readPrinterOptions(ppd, language, dictionary, owned, groups, error)) << error;
    return groups;
}

const PrinterOption &option(const std::vector<OptionGroup> &groups, const std::string &keyword) {
    const PrinterOption *found = printdialog::findPrinterOption(groups, keyword);
    if (found == nullptr) ADD_FAILURE() << keyword << " is not in the model";
    static const PrinterOption none;
    return found != nullptr ? *found : none;
}

std::string choiceKeywords(const PrinterOption &option) {
    std::string out;
    for (const auto &choice : option.choices) out += (out.empty() ? "" : " ") + choice.keyword;
    return out;
}

using PrinterOptions = HostTest;

TEST_F(PrinterOptions, GroupsAndOptionsFollowThePPDAndOwnedOptionsAreLeftOut) {
    struct Case {
        std::string ppd;
        std::map<std::string, std::string> owned;
        std::string layout;
    } cases[] = {
        {sample_printers::kDX8250K, {},
         "General: PageSize InputSlot Duplex | Imaging: ColorType Resolution Halftone DistinguishThinLines TonerSave "
         "ImageType BlackOverPrint PureBlackGray | Finishing: OutputBin"},
        // A group whose every option is owned is gone; the others keep their order.
        {sample_printers::kDX8250K,
         {{"ColorType", "imaging"}, {"Resolution", "imaging"}, {"Halftone", "imaging"}, {"DistinguishThinLines", "imaging"},
          {"TonerSave", "imaging"}, {"ImageType", "imaging"}, {"BlackOverPrint", "imaging"}, {"PureBlackGray", "imaging"},
          {"InputSlot", "x"}},
         "General: PageSize Duplex | Finishing: OutputBin"},
        {sample_printers::kDX5100K, {}, "General: PageSize"},
    };
    for (const auto &each : cases)
        EXPECT_EQ(each.layout, layout(readOptions(each.ppd, nullptr, each.owned))) << each.ppd;
}

TEST_F(PrinterOptions, KindsChoicesDefaultsAndTheTicketsValue) {
    auto presets = presetsOf({"OutputBin=FaceUp", "TonerSave=True"});
    auto groups = readOptions(sample_printers::kDX8250K, presets.get());
    struct Case {
        std::string keyword;
        PrinterOption::Kind kind;
        std::string choices, defaultChoice, value;
    } cases[] = {
        {"PageSize", PrinterOption::Kind::PickOne, "A4 Letter Legal A3 A5", "A4", "A4"},
        {"Duplex", PrinterOption::Kind::PickOne, "None DuplexNoTumble DuplexTumble", "None", "None"},
        {"InputSlot", PrinterOption::Kind::PickOne, "Auto Tray1 Tray2 Bypass", "Auto", "Auto"},
        {"OutputBin", PrinterOption::Kind::PickOne, "Standard FaceUp Finisher", "Standard", "FaceUp"},
        {"TonerSave", PrinterOption::Kind::Boolean, "False True", "False", "True"},
    };
    for (const auto &each : cases) {
        const PrinterOption &found = option(groups, each.keyword);
        EXPECT_EQ(each.kind, found.kind) << each.keyword;
        EXPECT_EQ(each.choices, choiceKeywords(found)) << each.keyword;
        EXPECT_EQ(each.defaultChoice, found.defaultChoice) << each.keyword;
        EXPECT_EQ(each.value, found.value) << each.keyword;
    }
}

TEST_F(PrinterOptions, TextsAreThePPDsTranslationsForTheLanguageElseItsOwn) {
    struct Case {
        std::string language;
        std::string group, pageSize, duplex, longEdge, letter;
    } cases[] = {
        {"en", "General", "Page Size", "Two-Sided", "Long-Edge Binding", "US Letter"},
        {"de", "Allgemein", "Papierformat", "Beidseitig", "Bindung an der langen Kante", "US Letter"},
        {"de_DE", "Allgemein", "Papierformat", "Beidseitig", "Bindung an der langen Kante", "US Letter"},
        {"fr", "General", "Page Size", "Two-Sided", "Long-Edge Binding", "US Letter"},
    };
    for (const auto &each : cases) {
        auto groups = readOptions(sample_printers::kDX7140K, nullptr, {}, each.language);
        ASSERT_FALSE(groups.empty());
        EXPECT_EQ(each.group, groups.front().text) << each.language;
        EXPECT_EQ(each.pageSize, option(groups, "PageSize").text) << each.language;
        const PrinterOption &duplex = option(groups, "Duplex");
        EXPECT_EQ(each.duplex, duplex.text) << each.language;
        ASSERT_EQ(3u, duplex.choices.size());
        EXPECT_EQ(each.longEdge, duplex.choices[1].text) << each.language;
        EXPECT_EQ(each.letter, option(groups, "PageSize").choices[1].text) << each.language;
    }
    // Umlauts arrive as UTF-8.
    auto german = readOptions(sample_printers::kDX8250K, nullptr, {}, "de");
    EXPECT_EQ("Auflösung", option(german, "Resolution").text);
}

TEST_F(PrinterOptions, SubgroupsPickManyAndCustomChoicesOfAnyPPD) {
    PPDFolder folder;
    std::string ppd = folder.write("subgroups.ppd",
                                   "*PPD-Adobe: \"4.3\"\n*ModelName: \"Subgroups\"\n*NickName: \"Subgroups\"\n"
                                   "*OpenGroup: Finishing/Finishing\n"
                                   "*OpenUI *Fold/Fold: PickOne\n*DefaultFold: None\n*Fold None/None: \"\"\n"
                                   "*Fold Half/Half: \"\"\n*Fold Custom/Custom: \"\"\n*CloseUI: *Fold\n"
                                   "*OpenSubGroup: Punch/Punching\n"
                                   "*OpenUI *Punch/Punch: PickMany\n*DefaultPunch: None\n*Punch None/None: \"\"\n"
                                   "*Punch Two/Two holes: \"\"\n*CloseUI: *Punch\n"
                                   "*CloseSubGroup: Punch\n*CloseGroup: Finishing\n"
                                   "*de.Translation Fold/Falzen: \"\"\n*de_AT.Translation Fold/Falzung: \"\"\n"
                                   "*de.Fold Half/H<C3A4>lfte: \"\"\n");
    auto groups = readOptions(ppd, nullptr);
    // libcups' parse puts a subgroup's options into its group, in PPD order.
    EXPECT_EQ("Finishing: Fold Punch", layout(groups));
    EXPECT_EQ(PrinterOption::Kind::PickMany, option(groups, "Punch").kind);
    EXPECT_EQ("None Half", choiceKeywords(option(groups, "Fold"))) << "a custom choice needs parameters";
    EXPECT_EQ("Finishing: Fold", layout(readOptions(ppd, nullptr, {{"Punch", "pane"}})));
    // A country's text wins over the language's; hexadecimal substrings are bytes.
    EXPECT_EQ("Falzen", option(readOptions(ppd, nullptr, {}, "de"), "Fold").text);
    EXPECT_EQ("Falzung", option(readOptions(ppd, nullptr, {}, "de_AT"), "Fold").text);
    EXPECT_EQ("Hälfte", option(readOptions(ppd, nullptr, {}, "de_AT"), "Fold").choices.at(1).text);

    std::vector<OptionGroup> none;
    std::string error;
    EXPECT_FALSE(printdialog::readPrinterOptions(folder.malformed(), "en", nullptr, {}, none, error));
    EXPECT_FALSE(error.empty());

    // What each kind takes, one write after the other into one dictionary. A job carries one
    // choice of an option: libcups looks "Two,None" up as one choice name, marks nothing, and the
    // printer would get the default.
    struct Write {
        std::string keyword;
        std::vector<std::string> choices;
        std::string entry;  // the keyword's entry after it, "-" for none
        std::string error;
    } writes[] = {
        {"Punch", {"Two"}, "Two", ""},
        {"Punch", {"Two", "None"}, "Two", "Punch takes one choice per job: the printing system marks one choice of an option"},
        {"Punch", {"Three"}, "Two", "'Three' is not a choice of Punch"},
        {"Punch", {}, "-", ""},  // none left: the PPD's default applies
        {"Fold", {"Half"}, "Half", ""},
        {"Fold", {}, "Half", "Fold takes exactly one choice"},
        {"Fold", {"Half", "None"}, "Half", "Fold takes exactly one choice"},
    };
    auto dictionary = presetsOf({});
    for (const Write &each : writes) {
        error.clear();
        EXPECT_EQ(each.error.empty(), printdialog::setPrinterOption(dictionary.get(), option(groups, each.keyword),
                                                                     each.choices, error));
        EXPECT_EQ(each.error, error) << each.keyword;
        std::string entry = "-";
        for (const auto &written : printdialog::jobOptionsFromTicket(dictionary.get()))
            if (written.key == each.keyword) entry = written.value;
        EXPECT_EQ(each.entry, entry) << each.keyword;
    }
    EXPECT_EQ((std::vector<std::string>{"Two", "None"}), printdialog::splitChoices(",Two,,None,"));
}

TEST_F(PrinterOptions, ThePanesOwnWhatTheirSyncWritesAndTheTicketStaysAsItWas) {
    struct Case {
        std::string ppd;
        std::map<std::string, std::string> owns;  // a sample of what the panes own
        std::vector<std::string> free;            // options no pane writes
        std::string layout;                       // what is left to show
    } cases[] = {
        {sample_printers::kDX7140K,
         {{"PrintMode", "jobmode"}, {"DINDigit1", "jobmode"}, {"DeptCode", "jobmode"}, {"DCDigit5", "jobmode"},
          {"BlankPage", "jobmode"}, {"ColorBalanceCyan", "coloradjust"}, {"BackgroundAdjustmentQRV", "coloradjust"}},
         {"PageSize", "PageRegion", "Duplex", "InputSlot", "OutputBin"},
         "General: PageSize InputSlot Duplex | Finishing: OutputBin"},
        {sample_printers::kDX8250K,
         {{"ColorType", "imaging"}, {"Resolution", "imaging"}, {"TonerSave", "imaging"}, {"PureBlackGray", "imaging"}},
         {"PageSize", "Duplex", "InputSlot", "OutputBin"},
         "General: PageSize InputSlot Duplex | Finishing: OutputBin"},
    };
    for (const auto &each : cases) {
        auto presets = presetsOf({"PrintMode=Hold", "Duplex=DuplexTumble"});
        auto dialog = openSampleDialog(each.ppd, presets.get());
        ASSERT_NE(nullptr, dialog);
        auto before = cf::adopt(CFDictionaryCreateCopy(kCFAllocatorDefault, dialog->ppdDictionary()));

        std::map<std::string, std::string> owned = printdialog::paneOwnedOptions(*dialog);
        for (const auto &[keyword, pane] : each.owns) {
            auto found = owned.find(keyword);
            ASSERT_NE(owned.end(), found) << keyword << " on " << each.ppd;
            EXPECT_EQ(pane, found->second) << keyword;
        }
        for (const auto &keyword : each.free) EXPECT_EQ(0u, owned.count(keyword)) << keyword << " on " << each.ppd;
        EXPECT_TRUE(CFEqual(before.get(), dialog->ppdDictionary())) << "the ticket is given back as it was";
        EXPECT_EQ(each.layout, layout(readOptions(each.ppd, dialog->ppdDictionary(), owned)));
    }
}

TEST_F(PrinterOptions, AValueSetThereIsTheJobsAndAChoiceTheOptionLacksIsRefused) {
    auto dialog = openSampleDialog(sample_printers::kDX8250K);
    ASSERT_NE(nullptr, dialog);
    auto groups = readOptions(sample_printers::kDX8250K, dialog->ppdDictionary(), printdialog::paneOwnedOptions(*dialog));
    std::string error;
    ASSERT_TRUE(printdialog::setPrinterOption(dialog->ppdDictionary(), option(groups, "PageSize"), {"A3"}, error)) << error;
    ASSERT_TRUE(printdialog::setPrinterOption(dialog->ppdDictionary(), option(groups, "Duplex"), {"DuplexTumble"}, error))
        << error;
    EXPECT_FALSE(printdialog::setPrinterOption(dialog->ppdDictionary(), option(groups, "Duplex"), {"Sideways"}, error));
    EXPECT_EQ("'Sideways' is not a choice of Duplex", error);

    auto options = printdialog::jobOptionsFromTicket(dialog->ppdDictionary());
    EXPECT_EQ(1, std::count_if(options.begin(), options.end(), [](const printdialog::JobOption &each) {
                  return each.key == "PageSize" && each.value == "A3";
              }));
    EXPECT_EQ(1, std::count_if(options.begin(), options.end(), [](const printdialog::JobOption &each) {
                  return each.key == "Duplex" && each.value == "DuplexTumble";
              })) << "the refused choice left the value before it";
    EXPECT_EQ("A3", option(readOptions(sample_printers::kDX8250K, dialog->ppdDictionary()), "PageSize").value);

    // The same state goes to the printer with the panes' settings, its feature code included.
    auto printer = printdialog::Printer::fromFile(sample_printers::kDX8250K, error);
    ASSERT_NE(nullptr, printer) << error;
    printdialog::PrintOutcome outcome = printdialog::printDialog(*dialog, *printer, {});
    EXPECT_NE(std::string::npos, outcome.report.emitted.find("<</Duplex true/Tumble true>>setpagedevice"));
    EXPECT_EQ(1, std::count_if(outcome.report.options.begin(), outcome.report.options.end(),
                               [](const printdialog::JobOption &each) { return each.key == "ColorType"; }));
}

TEST_F(PrinterOptions, AConflictIsListedUnderBothOptionsWithTheOtherSide) {
    auto presets = presetsOf({"InputSlot=Bypass", "Duplex=DuplexNoTumble", "OutputBin=FaceUp"});
    auto groups = readOptions(sample_printers::kDX7140K, presets.get());
    auto sides = [&groups](const std::string &keyword) {
        std::string out;
        for (const auto &conflict : option(groups, keyword).conflicts)
            out += (out.empty() ? "" : " ") + conflict.option + "=" + conflict.choice;
        return out;
    };
    EXPECT_EQ("InputSlot=Bypass", sides("Duplex"));
    EXPECT_EQ("Duplex=DuplexNoTumble", sides("InputSlot"));
    EXPECT_EQ("", sides("OutputBin"));
    EXPECT_EQ("", sides("PageSize"));

    // One-sided from the bypass tray conflicts with nothing.
    auto oneSided = presetsOf({"InputSlot=Bypass", "Duplex=None"});
    EXPECT_TRUE(option(readOptions(sample_printers::kDX7140K, oneSided.get()), "InputSlot").conflicts.empty());
}

}  // namespace
}  // namespace host_test
