// Capturing the plug-ins' diagnostics.
#include "diagnostics.h"

#include <atomic>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <mutex>
#include <syslog.h>
#include <unistd.h>

namespace pdehost {
namespace {

std::mutex logMutex;
std::vector<std::string> &logLines() {
    static std::vector<std::string> lines;
    return lines;
}

const char *priorityName(int priority) {
    static const char *const names[] = {"LOG_EMERG", "LOG_ALERT", "LOG_CRIT",   "LOG_ERR",
                                        "LOG_WARNING", "LOG_NOTICE", "LOG_INFO", "LOG_DEBUG"};
    return names[LOG_PRI(priority)];
}

// While a capture runs: the real standard error stream and the capture file, for a process that
// dies before stop() could hand the text on.
std::atomic<int> realStandardError{-1};
std::atomic<int> captureDescriptor{-1};

// Copies the captured text to the real standard error stream and points the stream back there,
// so that the text and whatever the dying process writes after it are seen. Only calls that are
// safe in a signal handler; does nothing when no capture runs.
void passCaptureOn() {
    int real = realStandardError.exchange(-1);
    if (real < 0) return;
    int captured = captureDescriptor.load();
    char buffer[4096];
    off_t offset = 0;
    ssize_t count = 0;
    while ((count = pread(captured, buffer, sizeof buffer, offset)) > 0) {
        offset += count;
        for (ssize_t written = 0; written < count;) {
            ssize_t step = write(real, buffer + written, static_cast<size_t>(count - written));
            if (step <= 0) break;
            written += step;
        }
    }
    dup2(real, STDERR_FILENO);
}

void onFatalSignal(int signalNumber) {
    passCaptureOn();
    (void)raise(signalNumber);  // the handler was reset: the signal now ends the process as it would have
}

}  // namespace
}  // namespace pdehost

// Present only when a sanitizer runtime is linked in; it then reports faults itself and calls
// the death callback before the process ends.
extern "C" void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));

namespace pdehost {
namespace {

// GCC links each sanitizer as a library of its own (ASan and UBSan), each with its own death
// callback: every loaded runtime gets ours.
void setDeathCallbackOfEverySanitizer() {
    if (__sanitizer_set_death_callback != nullptr) __sanitizer_set_death_callback(passCaptureOn);
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *) -> int {
            if (info->dlpi_name == nullptr || std::strstr(info->dlpi_name, "san") == nullptr) return 0;
            void *library = dlopen(info->dlpi_name, RTLD_NOLOAD | RTLD_LAZY);
            if (library == nullptr) return 0;
            using Setter = void (*)(void (*)());
            if (auto set = reinterpret_cast<Setter>(dlsym(library, "__sanitizer_set_death_callback"))) set(passCaptureOn);
            dlclose(library);
            return 0;
        },
        nullptr);
}

// Once per process. A sanitizer keeps its own fault handlers (its report is the point), so only
// abort, which it leaves alone, gets ours then.
void installCrashHandlers() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        bool sanitized = __sanitizer_set_death_callback != nullptr;
        if (sanitized) setDeathCallbackOfEverySanitizer();
        for (int signalNumber : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGSYS}) {
            if (sanitized && signalNumber != SIGABRT) continue;
            struct sigaction handler{};
            handler.sa_handler = onFatalSignal;
            handler.sa_flags = SA_RESETHAND | SA_NODEFER;
            sigemptyset(&handler.sa_mask);
            sigaction(signalNumber, &handler, nullptr);
        }
    });
}

}  // namespace

void DiagnosticsCapture::start() {
    if (active()) return;
    std::fflush(stderr);
    capture_ = std::tmpfile();
    if (capture_ == nullptr) return;
    savedStandardError_ = dup(STDERR_FILENO);
    if (savedStandardError_ < 0 || dup2(fileno(capture_), STDERR_FILENO) < 0) {
        if (savedStandardError_ >= 0) close(savedStandardError_);
        savedStandardError_ = -1;
        std::fclose(capture_);
        capture_ = nullptr;
        return;
    }
    installCrashHandlers();
    captureDescriptor.store(fileno(capture_));
    realStandardError.store(savedStandardError_);
}

std::string DiagnosticsCapture::stop() {
    if (!active()) return {};
    realStandardError.store(-1);
    std::fflush(stderr);
    dup2(savedStandardError_, STDERR_FILENO);
    close(savedStandardError_);
    savedStandardError_ = -1;
    std::string text;
    std::rewind(capture_);
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, capture_)) > 0) text.append(buffer, count);
    std::fclose(capture_);
    capture_ = nullptr;
    return text;
}

std::vector<std::string> takeSystemLogLines() {
    std::lock_guard lock(logMutex);
    std::vector<std::string> lines;
    lines.swap(logLines());
    return lines;
}

}  // namespace pdehost

// The program's own syslog: the plug-ins' messages are part of what pdehost reports.
extern "C" __attribute__((visibility("default"))) void vsyslog(int priority, const char *format, va_list arguments) {
    char buffer[1024];
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    std::lock_guard lock(pdehost::logMutex);
    pdehost::logLines().push_back(std::string(pdehost::priorityName(priority)) + ": " + buffer);
}

extern "C" __attribute__((visibility("default"))) void syslog(int priority, const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    vsyslog(priority, format, arguments);
    va_end(arguments);
}

// The fortified forms, for code built with _FORTIFY_SOURCE.
extern "C" __attribute__((visibility("default"))) void __vsyslog_chk(int priority, int, const char *format, va_list arguments) {
    vsyslog(priority, format, arguments);
}

extern "C" __attribute__((visibility("default"))) void __syslog_chk(int priority, int, const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    vsyslog(priority, format, arguments);
    va_end(arguments);
}
