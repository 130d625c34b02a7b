// The localization bundles prefer: set by the host, or read from the locale
// variables of the environment.
#include "bundle_internal.h"
#include "string_internal.h"

#include <platform/host_support.h>

#include <cstdlib>
#include <mutex>

namespace platform::localization {
namespace {

std::mutex &override_mutex() {
    static std::mutex mutex;
    return mutex;
}

// The host's choice; nullopt means "use the environment".
std::optional<std::string> &host_choice() {
    static std::optional<std::string> choice;
    return choice;
}

// "de_DE.UTF-8@euro" -> "de_DE"; "C" and "POSIX" name no localization.
std::optional<std::string> localization_from_locale(std::string locale) {
    if (const auto end = locale.find_first_of(".@"); end != std::string::npos) locale.resize(end);
    if (locale.empty() || locale == "C" || locale == "POSIX") return std::nullopt;
    for (char &character : locale)
        if (character == '-') character = '_';
    return locale;
}

// The first non-empty of LC_ALL, LC_MESSAGES and LANG decides, as for gettext.
std::optional<std::string> environment_localization() {
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') return localization_from_locale(value);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> preferred() {
    {
        std::lock_guard lock(override_mutex());
        if (host_choice()) return host_choice();
    }
    return environment_localization();
}

}  // namespace platform::localization

extern "C" {

// Sets the localization that later lookups prefer; NULL or "" returns to the environment.
void PlatformSetPreferredLocalization(CFStringRef localization) {
    std::optional<std::string> choice;
    if (CFGetTypeID(localization) == CFStringGetTypeID() && CFStringGetLength(localization) > 0)
        choice = platform::localization::localization_from_locale(cf::utf8_of(localization));
    std::lock_guard lock(platform::localization::override_mutex());
    platform::localization::host_choice() = std::move(choice);
}

// The preferred localization as a new string, or NULL when none is set.
CFStringRef PlatformCopyPreferredLocalization(void) {
    auto preferred = platform::localization::preferred();
    return preferred ? cf::create_string_from_utf8(*preferred) : nullptr;
}

}  // extern "C"
