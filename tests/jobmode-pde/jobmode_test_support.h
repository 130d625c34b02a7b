// What the job-mode tests share: field and ticket helpers, and a fixture that sets the pane up on the
// nib window of the built bundle the way Initialize would, with a print session beside it.
#pragma once

#include "qel-globals.h"

#include <printdialog/print_session.h>
#include <platform/cf_text.h>

#include "live_objects.h"
#include "sample_printers.h"
#include "temporary_folder.h"

#include <Carbon/Carbon.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace jobmode_test {

inline const std::string kBuiltBundle = PDE_PLUGIN_DIR "/JobMode.plugin";

// The edit-text field's text, or "<unreadable>".
std::string fieldText(ControlRef field);
void setFieldText(ControlRef field, const std::string &text);

// The dictionary's value for key: its text, "<missing>", or "<not a string>".
std::string entry(CFDictionaryRef dictionary, const std::string &key);
void setEntry(CFMutableDictionaryRef dictionary, const std::string &key, const std::string &value);
// Any CF object, for tickets that hold something other than a string.
void setObject(CFMutableDictionaryRef dictionary, const std::string &key, CFTypeRef value);

// A copy of the built bundle in a fresh temporary folder, for tests that change its resources.
class BundleCopy {
public:
    BundleCopy();
    std::filesystem::path path() const { return std::filesystem::path(folder_.path()) / "JobMode.plugin"; }
    std::filesystem::path resources() const { return path() / "Contents" / "Resources"; }

private:
    test_support::TemporaryFolder folder_{"jobmode-bundle"};
};

// The pane's record filled from the nib window of the bundle (registered first, as the host's
// loading would), a session on the 7140K sample printer, and a check that no object outlives the
// test.
class PaneTest : public test_support::LeakCheckedTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // What a derived fixture may change before the pane is set up.
    virtual std::string bundlePath() const { return kBuiltBundle; }
    virtual const char *localization() const { return "en"; }

    PMPDEContext context() const { return reinterpret_cast<PMPDEContext>(record_); }
    PMPrintSession session() const { return session_->session(); }
    CFMutableDictionaryRef ppd() const { return session_->ppdDictionary(); }

    QEL_PDEContextPtr record_ = nullptr;
    WindowRef window_ = nullptr;

private:
    cf::Ref<CFBundleRef> bundle_;
    std::unique_ptr<printdialog::PrintSession> session_;
};

}  // namespace jobmode_test
