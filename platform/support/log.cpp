// The diagnostics line writer and its PDE_DEBUG switch.
#include "log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace platform::log {
namespace {

std::string_view name_of(Channel channel) {
    switch (channel) {
    case Channel::bundle: return "bundle";
    case Channel::plugin: return "plugin";
    case Channel::strings: return "strings";
    case Channel::nib: return "nib";
    case Channel::controls: return "controls";
    case Channel::windows: return "windows";
    }
    return "?";
}

}  // namespace

bool tracing(Channel channel) {
    const char *setting = std::getenv("PDE_DEBUG");
    if (setting == nullptr) return false;
    std::string_view names = setting;
    while (!names.empty()) {
        std::size_t comma = names.find(',');
        std::string_view name = names.substr(0, comma);
        if (name == "all" || name == name_of(channel)) return true;
        if (comma == std::string_view::npos) break;
        names.remove_prefix(comma + 1);
    }
    return false;
}

// printf-style so that each call site reads as the line it writes; the format attribute in log.h
// has the compiler check every call's arguments.
// NOLINTNEXTLINE(cert-dcl50-cpp)
void write(Channel channel, Level level, const char *format, ...) {
    if (level == Level::trace && !tracing(channel)) return;
    std::va_list arguments;
    va_start(arguments, format);
    char stack_buffer[512];
    std::va_list copy;
    va_copy(copy, arguments);
    int length = std::vsnprintf(stack_buffer, sizeof stack_buffer, format, copy);
    va_end(copy);
    std::string text;
    if (length >= 0 && static_cast<std::size_t>(length) >= sizeof stack_buffer) {
        text.resize(static_cast<std::size_t>(length) + 1);
        (void)std::vsnprintf(text.data(), text.size(), format, arguments);
        text.resize(static_cast<std::size_t>(length));
    } else if (length >= 0) {
        text.assign(stack_buffer, static_cast<std::size_t>(length));
    }
    va_end(arguments);
    std::string line = level == Level::trace ? "pde[" + std::string(name_of(channel)) + "]: " + text + "\n" : text + "\n";
    // One write of the whole line, so that lines of several threads do not mix.
    (void)std::fputs(line.c_str(), stderr);
}

}  // namespace platform::log
