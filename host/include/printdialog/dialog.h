// The print dialog: loads every extension in a plug-in folder and drives its pane through the PDE
// function table in the order the panes rely on: Prologue, Initialize, then Open/Close, Sync and
// GetSummaryText as needed, and Terminate last, followed by the two Releases.
#pragma once

#include <printdialog/extension.h>
#include <printdialog/print_session.h>

#include <Carbon/Carbon.h>

#include <memory>
#include <string>
#include <vector>

namespace printdialog {

struct SummaryRow {
    std::string title;
    std::string value;
};

// One extension's pane in the dialog. A pane whose bundle failed to load has no extension; a pane
// whose Initialize failed is not shown (accepted() is false).
// A four-character code as its characters ('qel ').
std::string fourCharacters(OSType code);

// How Pane::initializeNote begins when the pane's printer test accepted the printer and
// Initialize failed after it (a control missing from the nib, say).
inline constexpr char kPrinterAcceptedNote[] = "the pane's printer test accepted this printer";

// The widest and tallest pane the host lays out: far beyond any real pane, within any screen.
inline constexpr UInt32 kLargestPaneSide = 8192;

struct Pane {
    std::string bundlePath;
    std::string shortName;  // the last component of the bundle identifier ("jobmode")
    std::string loadError;
    std::unique_ptr<Extension> extension;

    OSStatus prologueStatus = noErr;
    OSStatus initializeStatus = noErr;
    // When Initialize failed: what the host saw of why (the printer test's verdict, the control
    // the pane could not find), for diagnostics only; the status above stays the pane's answer.
    std::string initializeNote;
    bool initialized = false;
    PMPDEContext context = 0;
    OSType creator = 0;
    std::string kind;
    std::string title;
    UInt32 width = 0;
    UInt32 height = 0;

    WindowRef window = nullptr;      // the pane's dialog window
    ControlRef userPane = nullptr;   // where the pane embeds its container
    bool isOpen = false;
    bool terminated = false;

    // Set when the host would not initialize a pane that Prologue described (a size no screen has).
    std::string hostRefusal;

    bool accepted() const {
        return initialized && prologueStatus == noErr && initializeStatus == noErr && hostRefusal.empty();
    }
};

class Dialog {
public:
    struct Options {
        std::string ppdPath;
        std::string pluginDirectory;          // every *.plugin folder in it, in name order
        std::vector<std::string> bundlePaths;  // or these bundles
        CFDictionaryRef presets = nullptr;    // copied into the PPD dictionary before the panes load
    };

    // Creates the session, loads the extensions and initialises every pane. nullptr with a
    // message when the dialog itself cannot be made; a bundle that fails is kept as a pane with
    // its loadError and the others still run.
    static std::unique_ptr<Dialog> open(const Options &options, std::string &error);

    Dialog(const Dialog &) = delete;
    Dialog &operator=(const Dialog &) = delete;
    ~Dialog();

    std::vector<std::unique_ptr<Pane>> &panes() { return panes_; }
    Pane *findPane(const std::string &shortName);
    const PrintSession &session() const { return session_; }
    CFMutableDictionaryRef ppdDictionary() const { return session_.ppdDictionary(); }

    // Open and Close alternate: opening an open pane or closing a closed one does nothing.
    OSStatus openPane(Pane &pane);
    OSStatus closePane(Pane &pane);
    OSStatus sync(Pane &pane, bool reinitializePlugin);
    // Sync every accepted pane; the first failure is returned, the others still run.
    OSStatus syncAll(bool reinitializePlugin);
    OSStatus summary(Pane &pane, std::vector<SummaryRow> &rows);
    // The pane's control with ControlID 'qel ' / id in the pane's window, or nullptr.
    ControlRef control(const Pane &pane, SInt32 id) const;

    // Terminate every pane in load order (also after a failed Initialize), dispose of the windows,
    // then release every extension. Called by the destructor when not done before.
    void terminate();

    // Every *.plugin folder in the directory, in name order.
    static std::vector<std::string> bundlesIn(const std::string &directory);

    // One pass of the run loop (seconds 0) or a run of the given length on the current clock.
    static CFRunLoopRunResult turnRunLoop(double seconds = 0);

private:
    Dialog() = default;
    void loadPane(const std::string &bundlePath);
    void initializePane(Pane &pane);

    PrintSession session_;
    std::vector<std::unique_ptr<Pane>> panes_;
    bool terminated_ = false;
};

}  // namespace printdialog
