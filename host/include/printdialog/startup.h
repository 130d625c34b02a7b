// Starting a print dialog from its command line, the same way in both programs: what the
// options name is checked before anything loads, the presets are read, the printer is opened
// (a queue's PPD fetched) and the panes' localization set; then the dialog opens.
#pragma once

#include <printdialog/command_line.h>
#include <printdialog/dialog.h>
#include <printdialog/printer.h>
#include <printdialog/saved_settings.h>

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_ref.h>

#include <memory>
#include <string>

namespace printdialog {

// Where a program looks when the command line names no printer or plug-in folder.
struct ProgramDefaults {
    std::string printer;
    std::string plugins;
};

// The defaults of the program at programPath, decided by where the executable lives (not by the
// environment): the build tree's (built) when it is the program built in builtFolder or nothing
// is known of it, else those installed beside it (installed holds paths relative to the
// program's folder, e.g. "../lib/quorven-pde/plugins").
ProgramDefaults defaultsForProgram(const std::string &programPath, const std::string &builtFolder,
                                   const ProgramDefaults &built, const ProgramDefaults &installed);

// The running executable's path (/proc/self/exe), empty when the system does not say.
std::string runningProgramPath();

#ifdef PDE_PROGRAM_BUILD_FOLDER
// In the sources of a program made with pde_add_dialog_program (host/CMakeLists.txt), which
// defines these: the running program's defaults.
inline ProgramDefaults thisProgramDefaults() {
    return defaultsForProgram(runningProgramPath(), PDE_PROGRAM_BUILD_FOLDER,
                              {PDE_PROGRAM_DEFAULT_PRINTER, PDE_PROGRAM_DEFAULT_PLUGINS},
                              {PDE_PROGRAM_INSTALLED_PRINTER, PDE_PROGRAM_INSTALLED_PLUGINS});
}
#endif

struct DialogStart {
    std::unique_ptr<Printer> printer;
    cf::Ref<CFMutableDictionaryRef> presets;  // a queue's saved settings, then --ticket, then every -o
    std::string pluginFolder;
};

// Fills in the defaults and checks, in this order: the PPD file and the plug-in folder exist
// and the folder holds bundles, the document is readable, the ticket and -o presets read; then
// opens the printer (a queue's saved settings go under the presets) and sets the localization.
// false with the exit status and a one-line message (usage or unreadable input: kExitUsage; a
// folder without bundles, no server, no such queue or preset: kExitFailed).
bool prepareDialog(CommonOptions &common, const ProgramDefaults &defaults, DialogStart &start, int &status,
                   std::string &error);

// The queue's settings as CUPS would apply them to a job: the server's defaults (addQueueDefaults),
// the user's saved options over them (or the preset's, for the options its PPD defines), and the
// presets' entries over those. Empty with a one-line reason when the server
// cannot be asked or has no such preset.
cf::Ref<CFMutableDictionaryRef> withSavedSettings(const DestinationName &destination, const std::string &ppdPath,
                                                  CFDictionaryRef presets, std::string &error);
// The same for the queue (or preset) the printer was opened as.
cf::Ref<CFMutableDictionaryRef> withSavedSettings(const Printer &printer, CFDictionaryRef presets, std::string &error);

// Loads the bundles and initialises the panes on the start's printer and presets.
std::unique_ptr<Dialog> openDialog(const DialogStart &start, std::string &error);

// One warning line when a localization was asked for that no loaded bundle has; else empty.
std::string localizationWarning(Dialog &dialog, const std::string &language);

}  // namespace printdialog
