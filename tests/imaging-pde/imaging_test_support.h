// Shared pieces of the imaging pane's tests: the built bundle, the dialog that loads the real
// Imaging.plugin, a window of controls and the PPD's own option lists.
#pragma once

#include "live_objects.h"
#include "platform_scopes.h"
#include "sample_printers.h"

#include <printdialog/dialog.h>
#include <printdialog/extension.h>
#include <platform/cf_text.h>
#include <platform/host_support.h>
#include <platform/test_support.h>

#include <Carbon/Carbon.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace imaging_test {

inline const std::string kImagingBundlePath = PDE_PLUGIN_DIR "/Imaging.plugin";

// ControlIDs of the pane.
enum PaneControl : SInt32 {
    kContainer = 1,
    kColorType = 5,
    kHalftone = 6,
    kDistinguishThinLines = 7,
    kTonerSave = 8,
    kImageType = 9,
    kBlackOverPrint = 10,
    kPureBlackGray = 11,
    kResolution = 20
};

// The built bundle, created once and kept for the whole program, so that the pane code compiled
// into the test program finds its nib and strings tables by the bundle identifier.
CFBundleRef imagingBundle();

// The text of a menu item of a pop-up ("" when it cannot be read).
std::string itemText(ControlRef popup, MenuItemIndex item);

// A window with pop-ups and check boxes made in code, disposed of with the holder.
class ControlWindow {
public:
    ControlWindow();
    ~ControlWindow();
    ControlWindow(const ControlWindow &) = delete;
    ControlWindow &operator=(const ControlWindow &) = delete;

    ControlRef popup(const std::vector<std::string> &items, SInt32 value = 1);
    ControlRef checkBox(SInt32 value);
    WindowRef window() const { return window_; }

private:
    WindowRef window_ = nullptr;
    MenuID nextMenuID_ = 1;
};

// The manual clock for as long as it lives; injected faults are cleared on the way out.
struct ManualClock : test_support::ManualClockScope {
    ~ManualClock() { PlatformClearInjectedFaults(); }
};

// Reads every table of both localizations once, so that the bundle's table cache does not show
// up as live objects inside a test that counts them.
void warmStringTables();

// A print dialog with only the real Imaging.plugin, on the given printer, with the given
// ticket entries copied into the print-settings ticket first.
std::unique_ptr<printdialog::Dialog> openDialog(const std::string &ppdPath = sample_printers::kDX8250K,
                                            const std::map<std::string, std::string> &ticket = {});

// The string value of a PPD dictionary key ("" when absent or not a string), and whether it is there.
std::string ticketValue(CFDictionaryRef ppdDict, const char *key);
bool ticketHas(CFDictionaryRef ppdDict, const char *key);

// An option of the PPD: its keywords in file order and its default keyword.
struct PPDOption {
    std::vector<std::string> keywords;
    std::string defaultKeyword;
};
// Reads "*Default<Key>:" and "*<Key> <keyword>/<text>:" lines of a PPD file.
std::map<std::string, PPDOption> readPPDOptions(const std::string &ppdPath);

}  // namespace imaging_test
