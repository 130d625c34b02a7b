// Choosing another printer in the window: the menu's entries, the settings that go over, and the
// panes reloaded in the host's order with nothing left alive after switching back and forth.
#include "desktop_support.h"

#include "printer_switch.h"
#include "screenshot.h"
#include "script_runner.h"

#include "live_objects.h"

#include <printdialog/printer_switch.h>
#include <printdialog/ticket_preset.h>
#include <platform/test_support.h>
#include <platform/user_actions.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

using namespace pdedialog_test;
using pdedialog::PrinterChoice;
using pdedialog::PrinterList;
using printdialog::Destination;
using printdialog::DestinationList;

namespace {

std::string valueOf(CFDictionaryRef dictionary, const char *key) {
    auto name = printdialog::createString(key);
    auto value = static_cast<CFStringRef>(CFDictionaryGetValue(dictionary, name.get()));
    return value != nullptr && CFGetTypeID(value) == CFStringGetTypeID() ? printdialog::utf8(value) : "(none)";
}

void setValue(CFMutableDictionaryRef dictionary, const char *key, const char *value) {
    CFDictionarySetValue(dictionary, printdialog::createString(key).get(), printdialog::createString(value).get());
}

std::vector<std::string> names(const PrinterList &list) {
    std::vector<std::string> result;
    for (const auto &choice : list.choices) result.push_back(choice.name + " | " + choice.label);
    return result;
}

// The entries as the menu lists them, with the line shown when there is nothing to choose.
TEST(PrinterMenuTest, ListsTheDestinationsDefaultFirstThenThePPDFilesInTheWindowsLanguage) {
    DestinationList listed{DestinationList::Status::Listed, "127.0.0.1:631",
                           {{"q8250", "", true}, {"q7140", "", false}, {"q7140", "draft", false}}, ""};
    DestinationList noServer{DestinationList::Status::NoServer, "127.0.0.1:1", {}, "no CUPS server"};
    DestinationList noQueues{DestinationList::Status::NoQueues, "127.0.0.1:631", {}, "no queues"};
    struct Case {
        const char *what;
        DestinationList destinations;
        std::vector<std::string> ppdFiles;
        const char *language;
        std::vector<std::string> expected;
        std::string notice;
    };
    const std::string missing = "/nonexistent/printer.ppd";
    const std::vector<Case> cases = {
        {"queues and an instance, the default marked, then a PPD file", listed, {sample_printers::kDX7140K}, "en",
         {"q8250 | q8250 (default)", "q7140 | q7140", "q7140/draft | q7140/draft",
          sample_printers::kDX7140K + " | QUORVEN v-DX7140KSeries — not a queue: cannot print"},
         ""},
        {"no server: the PPD files alone, an unreadable one left out, the line says so", noServer,
         {sample_printers::kDX7140K, missing, sample_printers::kDX8250K}, "en",
         {sample_printers::kDX7140K + " | QUORVEN v-DX7140KSeries — not a queue: cannot print",
          sample_printers::kDX8250K + " | QUORVEN v-DX8250KSeries — not a queue: cannot print"},
         "No CUPS server is running at 127.0.0.1:1. Only PPD files can be chosen, and they cannot print."},
        {"a server without queues, in German", noQueues, {sample_printers::kDX8250K}, "de",
         {sample_printers::kDX8250K + " | QUORVEN v-DX8250KSeries — keine Warteschlange: kann nicht drucken"},
         "Der CUPS-Server unter 127.0.0.1:631 hat keine Warteschlangen. Nur PPD-Dateien stehen zur Wahl, und sie "
         "können nicht drucken."},
        {"the same PPD file twice is one entry", listed, {sample_printers::kDX8250K, sample_printers::kDX8250K}, "de",
         {"q8250 | q8250 (Standard)", "q7140 | q7140", "q7140/draft | q7140/draft",
          sample_printers::kDX8250K + " | QUORVEN v-DX8250KSeries — keine Warteschlange: kann nicht drucken"},
         ""},
    };
    for (const auto &each : cases) {
        PrinterList list = pdedialog::printerList(each.destinations, each.ppdFiles, pdedialog::windowText(each.language));
        EXPECT_EQ(each.expected, names(list)) << each.what;
        EXPECT_EQ(each.notice, list.notice) << each.what;
    }
    PrinterList list = pdedialog::printerList(listed, {sample_printers::kDX7140K}, pdedialog::windowText("en"));
    ASSERT_NE(pdedialog::findPrinterChoice(list, "q7140/draft"), nullptr);
    EXPECT_EQ("q7140", pdedialog::findPrinterChoice(list, "q7140/draft")->queue) << "an instance prints to its queue";
    const PrinterChoice *file =
        pdedialog::findPrinterChoice(list, PDE_SOURCE_DIR "/printers/../printers/QUORVEN-v-DX7140K.ppd");
    ASSERT_NE(file, nullptr) << "a PPD file is found by the path it resolves to";
    EXPECT_FALSE(file->isQueue());
    EXPECT_EQ(nullptr, pdedialog::findPrinterChoice(list, "q9999"));
}

// What goes over from the 7140K to the 8250K: what both PPDs define with a choice the new one has,
// and the standard job options.
TEST(CarriedSettingsTest, KeepsOnlyWhatBothPrintersDefine) {
    auto ticket = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                      &kCFTypeDictionaryValueCallBacks));
    struct Case {
        const char *key;
        const char *value;
        const char *carried;  // "(none)" when left out
    };
    const std::vector<Case> cases = {
        {"Duplex", "DuplexNoTumble", "DuplexNoTumble"},  // both printers have it
        {"OutputBin", "Finisher", "Finisher"},
        {"PageSize", "Tabloid", "(none)"},               // a choice neither offers
        {"PrintMode", "Private", "(none)"},              // the 8250K has no job modes
        {"copies", "3", "3"},                            // a standard job option goes as it is
        {"NoSuchKeyword", "On", "(none)"},
    };
    for (const auto &each : cases) setValue(ticket.get(), each.key, each.value);
    int number = 7;
    auto nonString = cf::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberIntType, &number));
    CFDictionarySetValue(ticket.get(), printdialog::createString("InputSlot").get(), nonString.get());
    std::string error;
    auto carried = printdialog::carriedSettings(ticket.get(), sample_printers::kDX7140K, sample_printers::kDX8250K, error);
    ASSERT_TRUE(carried) << error;
    for (const auto &each : cases) EXPECT_EQ(each.carried, valueOf(carried.get(), each.key)) << each.key;
    EXPECT_EQ(static_cast<CFIndex>(3), CFDictionaryGetCount(carried.get())) << "a value that is not a string stays";

    EXPECT_FALSE(printdialog::carriedSettings(ticket.get(), sample_printers::kDX7140K, "/nonexistent.ppd", error));
    EXPECT_NE(error.find("/nonexistent.ppd"), std::string::npos) << error;
}

TEST(PrinterScriptTest, ThePrinterVerbNamesAnEntry) {
    pdedialog::ScriptLine line;
    std::string error;
    ASSERT_TRUE(pdedialog::parseScriptLine("printer  q7140/draft ", line, error)) << error;
    EXPECT_EQ(pdedialog::ScriptLine::Kind::Printer, line.kind);
    EXPECT_EQ("q7140/draft", line.file);
    EXPECT_FALSE(pdedialog::parseScriptLine("printer", line, error));
    EXPECT_EQ("printer needs a queue, queue/instance or PPD file", error);
}

// The window on the 7140K with the two sample PPD files in its menu, as pdedialog runs it.
class PrinterSwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gtkOnVirtualDisplay()) GTEST_SKIP() << "Xvfb is not installed or did not start";
        cfBefore_ = PlatformLiveCFObjectCount();
        std::string error;
        auto printer = printdialog::Printer::fromFile(sample_printers::kDX7140K, error);
        ASSERT_TRUE(printer) << error;
        printdialog::Dialog::Options options;
        options.ppdPath = printer->ppdPath();
        options.pluginDirectory = PDE_PLUGIN_DIR;
        auto dialog = printdialog::Dialog::open(options, error);
        ASSERT_TRUE(dialog) << error;
        loaded_ = std::make_unique<pdedialog::PrinterSwitch>(std::move(printer), std::move(dialog), PDE_PLUGIN_DIR);
        window_ = std::make_unique<pdedialog::DialogWindow>(loaded_->dialog(), loaded_->view(),
                                                            pdedialog::windowText("en"), loaded_->printer(),
                                                            printdialog::JobRequest{});
        DestinationList none{DestinationList::Status::NoServer, "127.0.0.1:1", {}, ""};
        window_->setPrinterChoices(pdedialog::printerList(
            none, {sample_printers::kDX7140K, sample_printers::kDX8250K}, pdedialog::windowText("en")));
        window_->setPrinterSwitcher([this](const PrinterChoice &choice, std::string &reason) {
            return loaded_->switchTo(*window_, choice, reason);
        });
        ASSERT_TRUE(window_->showPane(window_->firstPage(), error)) << error;
        window_->show();
        ASSERT_TRUE(runMainLoopUntil([this] { return window_->drawn(); }, std::chrono::seconds(10)));
    }
    void TearDown() override {
        if (loaded_) loaded_->finish();
        window_.reset();
        loaded_.reset();
        runMainLoopFor(std::chrono::milliseconds(0));
        if (!IsSkipped()) {
            EXPECT_EQ(PlatformLiveCFObjectCount(), cfBefore_) << "CF objects left alive";
        }
    }

    // The page chooser's entries, by id.
    std::vector<std::string> chooserEntries() const {
        std::vector<std::string> ids;
        GtkWidget *chooser = nullptr;
        for (const auto &[name, widget] : window_->namedWidgets())
            if (name == "chooser") chooser = widget;
        GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(chooser));
        GtkTreeIter iter;
        for (gboolean more = gtk_tree_model_get_iter_first(model, &iter); more;
             more = gtk_tree_model_iter_next(model, &iter)) {
            gchar *id = nullptr;
            gtk_tree_model_get(model, &iter, gtk_combo_box_get_id_column(GTK_COMBO_BOX(chooser)), &id, -1);
            ids.emplace_back(id != nullptr ? id : "");
            g_free(id);
        }
        return ids;
    }
    std::vector<std::string> acceptedPanes() const {
        std::vector<std::string> panes;
        for (auto &pane : loaded_->dialog().panes())
            if (pane->accepted()) panes.push_back(pane->shortName);
        return panes;
    }
    static bool contains(const std::vector<std::string> &list, const std::string &item) {
        return std::find(list.begin(), list.end(), item) != list.end();
    }

    std::unique_ptr<pdedialog::PrinterSwitch> loaded_;
    std::unique_ptr<pdedialog::DialogWindow> window_;
    long cfBefore_ = 0;
};

TEST_F(PrinterSwitchTest, SwitchingBackAndForthReloadsThePanesAndLeavesNothingAlive) {
    const test_support::LiveObjects before = test_support::LiveObjects::now();
    std::vector<std::string> panesBefore = acceptedPanes();
    std::vector<std::string> entriesBefore = chooserEntries();
    std::string error;
    ASSERT_TRUE(window_->showPane("jobmode", error)) << error;
    printdialog::Pane *jobmode = loaded_->dialog().findPane("jobmode");
    ASSERT_TRUE(jobmode != nullptr && jobmode->isOpen);

    ASSERT_TRUE(window_->choosePrinter(sample_printers::kDX8250K, error)) << error;
    EXPECT_EQ(sample_printers::kDX8250K, window_->printer().ppdPath());
    EXPECT_EQ(&loaded_->dialog(), &window_->dialog()) << "the window shows the dialog loaded for the 8250K";
    EXPECT_NE(panesBefore, acceptedPanes()) << "the 8250K's panes are not the 7140K's";
    EXPECT_FALSE(contains(chooserEntries(), "jobmode")) << "the 7140K's pages are gone";
    for (const auto &pane : acceptedPanes()) EXPECT_TRUE(contains(chooserEntries(), pane)) << pane;
    EXPECT_EQ(window_->firstPage(), window_->shownPane()) << "no job modes here: the first page is shown";
    ASSERT_TRUE(window_->showPane("imaging", error)) << error;
    EXPECT_TRUE(loaded_->dialog().findPane("imaging")->isOpen) << "Open for the page shown";
    auto menu = json::parse(printdialog::jsonText(window_->printerMenu().stateJSON()));
    EXPECT_EQ(sample_printers::kDX8250K, menu["chosen"]);
    EXPECT_EQ(2u, menu["choices"].size());
    EXPECT_EQ("QUORVEN v-DX8250KSeries", window_->printerName());

    ASSERT_TRUE(window_->choosePrinter(sample_printers::kDX7140K, error)) << error;
    EXPECT_FALSE(contains(chooserEntries(), "imaging"));
    EXPECT_EQ(window_->firstPage(), window_->shownPane());
    EXPECT_EQ(panesBefore, acceptedPanes());
    EXPECT_EQ(entriesBefore, chooserEntries()) << "the pages in the same order as at the start";
    runMainLoopFor(std::chrono::milliseconds(50));
    EXPECT_EQ(std::vector<std::string>{}, test_support::differences(before, test_support::LiveObjects::now()))
        << "switching back and forth leaves every count as it was";
}

TEST_F(PrinterSwitchTest, AValueBothPrintersDefineGoesOverAndOnlyThat) {
    setValue(loaded_->dialog().ppdDictionary(), "Duplex", "DuplexTumble");
    PlatformChoosePopupItem(loaded_->dialog().control(*loaded_->dialog().findPane("jobmode"), 5), 4);
    std::string error;
    ASSERT_TRUE(window_->choosePrinter(sample_printers::kDX8250K, error)) << error;
    EXPECT_EQ("DuplexTumble", valueOf(loaded_->dialog().ppdDictionary(), "Duplex")) << "the 8250K keeps the duplex";
    EXPECT_EQ("(none)", valueOf(loaded_->dialog().ppdDictionary(), "PrintMode")) << "the 8250K has no job modes";
    ASSERT_TRUE(window_->choosePrinter(sample_printers::kDX7140K, error)) << error;
    EXPECT_EQ("DuplexTumble", valueOf(loaded_->dialog().ppdDictionary(), "Duplex")) << "and back on the 7140K";
    EXPECT_NE("Private", valueOf(loaded_->dialog().ppdDictionary(), "PrintMode")) << "lost on the way";
}

TEST_F(PrinterSwitchTest, APrinterThatCannotBeOpenedLeavesThePrinterShownAndSaysSo) {
    std::string error;
    ASSERT_TRUE(window_->showPane("jobmode", error)) << error;
    printdialog::Dialog *shownDialog = &loaded_->dialog();
    EXPECT_FALSE(window_->choosePrinter("q-not-in-the-menu", error));
    EXPECT_EQ("no printer 'q-not-in-the-menu' in the printer menu", error);

    TemporaryFolder folder;
    std::string broken = folder.write("broken.ppd", "not a PPD\n");
    DestinationList none{DestinationList::Status::NoServer, "127.0.0.1:1", {}, ""};
    PrinterList list = pdedialog::printerList(none, {sample_printers::kDX7140K}, pdedialog::windowText("en"));
    list.choices.push_back({broken, "broken", "", broken, false});
    window_->setPrinterChoices(list);
    EXPECT_FALSE(window_->choosePrinter(broken, error));
    EXPECT_NE(error.find("cannot change to the printer '" + broken + "'"), std::string::npos) << error;
    EXPECT_EQ(shownDialog, &loaded_->dialog()) << "the panes shown were not touched";
    EXPECT_EQ("jobmode", window_->shownPane());
    const char *notice = gtk_label_get_text(GTK_LABEL(window_->printerMenu().noticeLabel()));
    EXPECT_EQ(0u, std::string(notice).rfind("Cannot change to broken: ", 0)) << notice;
    EXPECT_TRUE(gtk_widget_get_visible(window_->printerMenu().noticeLabel()));
}

// Through the menu as a person uses it: the item's activation, a script's printer line, and the
// menu's screenshot.
TEST_F(PrinterSwitchTest, TheMenuAndTheScriptChooseAPrinter) {
    GtkWidget *menu = window_->printerMenu().menu();
    GList *items = gtk_container_get_children(GTK_CONTAINER(menu));
    ASSERT_EQ(2u, g_list_length(items));
    GtkWidget *second = GTK_WIDGET(g_list_nth_data(items, 1));
    g_list_free(items);
    EXPECT_STREQ("QUORVEN v-DX8250KSeries — not a queue: cannot print", gtk_menu_item_get_label(GTK_MENU_ITEM(second)));
    gtk_menu_item_activate(GTK_MENU_ITEM(second));
    EXPECT_EQ(sample_printers::kDX8250K, window_->printer().ppdPath());
    EXPECT_STREQ("QUORVEN v-DX8250KSeries — not a queue: cannot print",
                 gtk_label_get_text(GTK_LABEL(window_->printerMenu().nameLabel())));

    std::ostringstream log;
    pdedialog::ScriptLine line;
    std::string error;
    ASSERT_TRUE(pdedialog::parseScriptLine("printer " + sample_printers::kDX7140K, line, error));
    pdedialog::ScriptRunner runner(*window_, {line}, log);
    EXPECT_EQ(pdedialog::ScriptRunner::Status::Running, runner.step());
    EXPECT_EQ("printer " + sample_printers::kDX7140K + ": chosen\n", log.str());
    EXPECT_EQ(sample_printers::kDX7140K, window_->printer().ppdPath());

    if (const char *folder = std::getenv("PDEDIALOG_SCREENSHOTS")) {
        gtk_menu_popup_at_widget(GTK_MENU(menu), window_->printerMenu().button(), GDK_GRAVITY_SOUTH_WEST,
                                 GDK_GRAVITY_NORTH_WEST, nullptr);
        runMainLoopFor(std::chrono::milliseconds(300));
        EXPECT_TRUE(pdedialog::saveScreenshot(gtk_widget_get_toplevel(menu), std::string(folder) + "/menu.png", error))
            << error;
        EXPECT_TRUE(pdedialog::saveScreenshot(window_->toplevel(), std::string(folder) + "/window.png", error)) << error;
        gtk_menu_popdown(GTK_MENU(menu));
    }
}

}  // namespace
