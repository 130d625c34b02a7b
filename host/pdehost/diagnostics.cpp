// Capturing the plug-ins' diagnostics.
#include "diagnostics.h"

#include <cstdarg>
#include <cstdio>
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
    }
}

std::string DiagnosticsCapture::stop() {
    if (!active()) return {};
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
