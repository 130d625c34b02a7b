// Starting a print dialog: checks, presets, printer, localization, then the panes.
#include <printdialog/extension.h>
#include <printdialog/cf_dictionary.h>
#include <printdialog/files.h>
#include <printdialog/saved_settings.h>
#include <printdialog/startup.h>
#include <printdialog/ticket_preset.h>

#include <platform/host_support.h>

#include <filesystem>
#include <set>
#include <unistd.h>

namespace printdialog {
namespace {

// The JSON ticket goes in first so that -o can override one of its entries.
cf::Ref<CFMutableDictionaryRef> createPresets(const CommonOptions &common, std::string &error) {
    auto presets = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks));
    if (!presets) {
        error = "out of memory";
        return {};
    }
    if (!common.ticketFile.empty()) {
        std::string text, reason;
        if (!readWholeFile(common.ticketFile, text, reason)) {
            error = "cannot read the ticket " + common.ticketFile + ": " + reason;
            return {};
        }
        if (!addTicketPresetsFromJSON(text, presets.get(), error)) {
            error = common.ticketFile + ": " + error;
            return {};
        }
    }
    for (const auto &pair : common.presets)
        if (!addTicketPreset(pair, presets.get(), error)) return {};
    return presets;
}

}  // namespace

cf::Ref<CFMutableDictionaryRef> withSavedSettings(const DestinationName &destination, const std::string &ppdPath,
                                                  CFDictionaryRef presets, std::string &error) {
    auto settings = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                        &kCFTypeDictionaryValueCallBacks));
    if (!settings) {
        error = "out of memory";
        return {};
    }
    if (!addQueueDefaults(ppdPath, settings.get(), error) || !addSavedSettings(destination, ppdPath, settings.get(), error))
        return {};
    copyEntries(presets, settings.get());
    return settings;
}

cf::Ref<CFMutableDictionaryRef> withSavedSettings(const Printer &printer, CFDictionaryRef presets, std::string &error) {
    return withSavedSettings({printer.queue(), printer.instance()}, printer.ppdPath(), presets, error);
}

namespace {

// The localizations the bundle has a folder for.
std::vector<std::string> localizationsOf(const Extension &extension) {
    std::vector<std::string> names;
    auto localizations = cf::adopt(CFBundleCopyBundleLocalizations(CFPlugInGetBundle(extension.plugIn())));
    CFIndex count = localizations ? CFArrayGetCount(localizations.get()) : 0;
    for (CFIndex index = 0; index < count; ++index)
        names.push_back(utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(localizations.get(), index))));
    return names;
}

}  // namespace

ProgramDefaults defaultsForProgram(const std::string &programPath, const std::string &builtFolder,
                                   const ProgramDefaults &built, const ProgramDefaults &installed) {
    if (programPath.empty()) return built;
    const std::filesystem::path folder = std::filesystem::path(programPath).parent_path();
    std::error_code error;
    if (std::filesystem::equivalent(folder, builtFolder, error)) return built;
    return {(folder / installed.printer).lexically_normal().string(), (folder / installed.plugins).lexically_normal().string()};
}

std::string runningProgramPath() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

bool prepareDialog(CommonOptions &common, const ProgramDefaults &defaults, DialogStart &start, int &status,
                   std::string &error) {
    status = kExitUsage;
    if (common.printer.empty() && common.queue.empty()) common.printer = defaults.printer;
    if (common.plugins.empty()) common.plugins = defaults.plugins;
    std::error_code fileError;
    if (!common.printer.empty() && !std::filesystem::is_regular_file(common.printer, fileError)) {
        error = "no printer PPD at " + common.printer;
        return false;
    }
    if (!std::filesystem::is_directory(common.plugins, fileError)) {
        error = "no plug-in folder at " + common.plugins;
        return false;
    }
    // A document that cannot be printed is known before the server is asked anything.
    if (!common.printFile.empty() && (!std::filesystem::is_regular_file(common.printFile, fileError) ||
                                      access(common.printFile.c_str(), R_OK) != 0)) {
        error = "cannot read the file to print: " + common.printFile;
        return false;
    }
    start.presets = createPresets(common, error);
    if (!start.presets) return false;
    if (Dialog::bundlesIn(common.plugins).empty()) {
        status = kExitFailed;
        error = "no plug-in bundles (*.plugin) in the folder " + common.plugins;
        return false;
    }
    start.pluginFolder = common.plugins;

    if (!common.queue.empty()) {
        start.printer = Printer::fromQueue(common.queue, error);
        if (!start.printer) {
            status = kExitFailed;
            return false;
        }
        start.presets = withSavedSettings(*start.printer, start.presets.get(), error);
        if (!start.presets) {
            status = kExitFailed;
            return false;
        }
    } else {
        start.printer = Printer::fromFile(common.printer, error);
        if (!start.printer) return false;
    }
    if (!common.language.empty()) PlatformSetPreferredLocalization(createString(common.language).get());
    status = kExitDone;
    return true;
}

std::unique_ptr<Dialog> openDialog(const DialogStart &start, std::string &error) {
    Dialog::Options options;
    options.ppdPath = start.printer->ppdPath();
    options.pluginDirectory = start.pluginFolder;
    options.presets = start.presets.get();
    return Dialog::open(options, error);
}

// A localization matches when it is the same or names the same language ("de" and "de_DE").
std::string localizationWarning(Dialog &dialog, const std::string &language) {
    if (language.empty()) return {};
    auto languageOf = [](const std::string &name) { return name.substr(0, name.find_first_of("_-")); };
    std::set<std::string> offered;
    for (auto &pane : dialog.panes()) {
        if (!pane->extension) continue;
        for (const auto &localization : localizationsOf(*pane->extension)) {
            if (localization == language || languageOf(localization) == languageOf(language)) return {};
            offered.insert(localization);
        }
    }
    std::string list;
    for (const auto &localization : offered) list += (list.empty() ? "" : ", ") + localization;
    return "warning: no plug-in has the localization '" + language + "'" +
           (list.empty() ? std::string() : " (they have " + list + ")") + "; the panes use their own";
}

}  // namespace printdialog
