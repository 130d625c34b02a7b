// The shared pieces of the framework tests, and the wrapped platform calls.
#include "probe_test_support.h"

#include <platform/cf_ref.h>

#include <cstdarg>
#include <cstdio>

extern "C" {
void __real_CFPlugInAddInstanceForFactory(CFUUIDRef factoryID);
void __real_CFPlugInRemoveInstanceForFactory(CFUUIDRef factoryID);
OSStatus __real_ppdOpenCompiledPPDFromTicket(PMTicketRef printerInfoTicket, ppdContext *outContext, FSSpec *ppdFile);
OSStatus __real_ppdCloseCompiledPPDFromTicket(ppdContext context, FSSpec *ppdFile);
}

namespace probe_test {
namespace {

std::string uuidText(CFUUIDRef uuid) {
    if (uuid == nullptr) return "(null)";
    auto text = cf::adopt(CFUUIDCreateString(kCFAllocatorDefault, uuid));
    return utf8(text.get());
}

void recordLogLine(int priority, const char *format, va_list arguments) {
    char line[512];
    std::vsnprintf(line, sizeof line, format, arguments);
    observed().logLines.emplace_back(priority, line);
}

}  // namespace

ObservedCalls &observed() {
    static ObservedCalls calls;
    return calls;
}

}  // namespace probe_test

extern "C" {

void __wrap_CFPlugInAddInstanceForFactory(CFUUIDRef factoryID) {
    probe_test::observed().instancesAdded.push_back(probe_test::uuidText(factoryID));
    __real_CFPlugInAddInstanceForFactory(factoryID);
}

void __wrap_CFPlugInRemoveInstanceForFactory(CFUUIDRef factoryID) {
    probe_test::observed().instancesRemoved.push_back(probe_test::uuidText(factoryID));
    __real_CFPlugInRemoveInstanceForFactory(factoryID);
}

OSStatus __wrap_ppdOpenCompiledPPDFromTicket(PMTicketRef printerInfoTicket, ppdContext *outContext, FSSpec *ppdFile) {
    ++probe_test::observed().ppdOpens;
    return __real_ppdOpenCompiledPPDFromTicket(printerInfoTicket, outContext, ppdFile);
}

OSStatus __wrap_ppdCloseCompiledPPDFromTicket(ppdContext context, FSSpec *ppdFile) {
    ++probe_test::observed().ppdCloses;
    return __real_ppdCloseCompiledPPDFromTicket(context, ppdFile);
}

// The system log goes to the test's record instead, with or without the fortified entry.
void __wrap_syslog(int priority, const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    probe_test::recordLogLine(priority, format, arguments);
    va_end(arguments);
}

void __wrap___syslog_chk(int priority, int, const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    probe_test::recordLogLine(priority, format, arguments);
    va_end(arguments);
}

}  // extern "C"

namespace probe_test {

void makeProbeBundleKnown() {
    static CFBundleRef bundle = [] {
        auto path = cf::adopt(CFStringCreateWithCString(kCFAllocatorDefault, PDE_TEST_PLUGIN_DIR "/Probe.plugin",
                                                        kCFStringEncodingUTF8));
        auto url = cf::adopt(CFURLCreateWithFileSystemPath(kCFAllocatorDefault, path.get(), kCFURLPOSIXPathStyle, true));
        CFBundleRef created = CFBundleCreate(kCFAllocatorDefault, url.get());
        // The bundle keeps its strings table once read; reading it now keeps that out of the
        // live-object counts of the tests.
        if (created != nullptr) cf::adopt(CFBundleCopyLocalizedString(created, CFSTR("MODE"), nullptr, nullptr));
        return created;
    }();
    ASSERT_NE(bundle, nullptr) << "the probe bundle is built into " PDE_TEST_PLUGIN_DIR;
}

DialogWindow::DialogWindow(const Rect &content, const Rect &paneBounds) {
    EXPECT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowStandardHandlerAttribute, &content, &window_));
    EXPECT_EQ(noErr, CreateUserPaneControl(window_, &paneBounds, kControlSupportsEmbedding, &userPane_));
}

DialogWindow::~DialogWindow() {
    if (window_ != nullptr) DisposeWindow(window_);
}

ControlRef DialogWindow::control(SInt32 id) const { return GetControlFromWindow(window_, 'qel ', id); }

ProbePane::ProbePane(const std::string &ppdPath, bool initializeNow)
    : dialog_(makeRect(100, 100, 420, 520), makeRect(10, 10, 310, 410)) {
    std::string error;
    EXPECT_TRUE(printdialog::PrintSession::create(ppdPath, session_, error)) << error;
    OSType creator = 0;
    CFStringRef kind = nullptr;
    CFStringRef title = nullptr;
    UInt32 width = 0;
    UInt32 height = 0;
    EXPECT_EQ(noErr, Prologue(&context_, &creator, &kind, &title, &width, &height));
    if (title != nullptr) CFRelease(title);
    if (initializeNow) initialize();
}

ProbePane::~ProbePane() { terminate(); }

OSStatus ProbePane::initialize() { return Initialize(context_, &flags_, 0, dialog_.userPane(), session_.session()); }

OSStatus ProbePane::terminate() {
    if (terminated_) return noErr;
    terminated_ = true;
    return Terminate(context_, noErr);
}

void FrameworkTest::SetUp() {
    makeProbeBundleKnown();
    PlatformClearInjectedFaults();
    allocation_failure::failNth(0);
    observed() = ObservedCalls{};
}

void FrameworkTest::TearDown() {
    PlatformClearInjectedFaults();
    allocation_failure::failNth(0);
}

}  // namespace probe_test
