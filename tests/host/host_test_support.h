// What the host tests share: a dialog on the real Probe bundle for a PPD, and the probe's rule
// counter read from its loaded code.
#pragma once

#include "toolbox_helpers.h"

#include <printdialog/dialog.h>

#include <gtest/gtest.h>
#include <platform/cf_ref.h>
#include <platform/test_support.h>
#include <platform/user_actions.h>

#include <memory>
#include <string>

namespace host_test {

using namespace test_helpers;

inline constexpr char kProbeBundle[] = PDE_TEST_PLUGIN_DIR "/Probe.plugin";
inline constexpr char kProbeIdentifier[] = "com.quorven.test.pde.probe";
inline constexpr SInt32 kModeID = 5;
inline constexpr SInt32 kNumberID = 6;

// The dialog with the probe pane only, for a PPD file and optional ticket presets.
std::unique_ptr<printdialog::Dialog> openProbeDialog(const std::string &ppdPath, CFDictionaryRef presets = nullptr);

// The dialog with every real bundle of the build's plug-in folder (the shipped panes), for a PPD file.
std::unique_ptr<printdialog::Dialog> openSampleDialog(const std::string &ppdPath, CFDictionaryRef presets = nullptr);

// The probe's code while a dialog has it loaded: its rule counter, and a hold on its bundle so
// that the code stays loaded after the dialog lets go of it.
class ProbeCode {
public:
    ProbeCode();
    int ruleRuns() const { return ruleRuns_ != nullptr ? ruleRuns_() : -1; }
    bool found() const { return ruleRuns_ != nullptr; }

private:
    cf::Ref<CFBundleRef> bundle_;
    int (*ruleRuns_)() = nullptr;
};

// Runs every test on the manual clock, so that timers fire only when the run loop turns, and
// clears injected faults around it.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static void turnRunLoop() { printdialog::Dialog::turnRunLoop(0); }
};

}  // namespace host_test
