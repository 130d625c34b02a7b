// What the framework tests share: the probe bundle, a dialog window with the host's user pane, a
// probe pane taken through Prologue and Initialize, and the calls that the program observes
// through the linker's --wrap.
#pragma once

#include "allocation_failure.h"
#include "apple-utilities.h"
#include "main.h"
#include "probe-hooks.h"
#include "qel-controlconstraints.h"
#include "qel-nib.h"
#include "qel-pane.h"
#include "qel-printer.h"
#include "toolbox_helpers.h"

#include <ApplicationServices/ApplicationServices.h>
#include <Carbon/Carbon.h>
#include <gtest/gtest.h>
#include <printdialog/print_session.h>
#include <platform/test_support.h>
#include <platform/user_actions.h>

#include <string>
#include <vector>

namespace probe_test {

using namespace test_helpers;

inline constexpr char kProbePaneKind[] = "com.quorven.test.pde.print-mode.probe";
inline constexpr char kProbeFactory[] = "F9252D34-F2B7-11F1-AA73-02FC00000001";

// Calls into the platform seen on their way out of the code under test.
struct ObservedCalls {
    std::vector<std::string> instancesAdded;    // factory UUIDs given to CFPlugInAddInstanceForFactory
    std::vector<std::string> instancesRemoved;  // ... and to CFPlugInRemoveInstanceForFactory
    int ppdOpens = 0;                           // ppdOpenCompiledPPDFromTicket calls
    int ppdCloses = 0;                          // ppdCloseCompiledPPDFromTicket calls
    std::vector<std::pair<int, std::string>> logLines;  // syslog priority and text
};
ObservedCalls &observed();

// Creates the built Probe.plugin bundle once, so that the framework's lookup of its own bundle
// identifier finds the nib and the strings.
void makeProbeBundleKnown();

// A window with the user pane that a print dialog hands to Initialize. The pane's bounds are in
// the window's coordinates.
class DialogWindow {
public:
    DialogWindow(const Rect &content, const Rect &paneBounds);
    ~DialogWindow();
    DialogWindow(const DialogWindow &) = delete;
    DialogWindow &operator=(const DialogWindow &) = delete;

    WindowRef window() const { return window_; }
    ControlRef userPane() const { return userPane_; }
    ControlRef control(SInt32 id) const;

private:
    WindowRef window_ = nullptr;
    ControlRef userPane_ = nullptr;
};

// The probe pane as a host makes it: Prologue, then Initialize into a dialog window, against a
// print session for the given PPD. Terminated on destruction unless a test did so.
class ProbePane {
public:
    explicit ProbePane(const std::string &ppdPath, bool initialize = true);
    ~ProbePane();
    ProbePane(const ProbePane &) = delete;
    ProbePane &operator=(const ProbePane &) = delete;

    OSStatus initialize();
    OSStatus terminate();

    PMPDEContext context() const { return context_; }
    QEL_PDEContextPtr record() const { return GetQELContext(context_); }
    PMPrintSession session() const { return session_.session(); }
    CFMutableDictionaryRef ppdDictionary() const { return session_.ppdDictionary(); }
    const DialogWindow &dialog() const { return dialog_; }
    PMPDEFlags flags() const { return flags_; }

private:
    printdialog::PrintSession session_;
    DialogWindow dialog_;
    PMPDEContext context_ = 0;
    PMPDEFlags flags_ = 0xA5A5A5A5;
    bool terminated_ = false;
};

// Clears injected faults, the allocator's failure and the observed calls around every test, and
// makes the probe bundle known.
class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace probe_test
