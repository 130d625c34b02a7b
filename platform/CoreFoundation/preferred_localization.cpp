// The localization bundles prefer: set by the host, or read from the locale
// variables of the environment.
#include "bundle_internal.h"
#include "string_internal.h"

#include <platform/host_support.h>

#include <cstdlib>
#include <mutex>
#include <utility>

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

// What a locale names: no localization ("C", "POSIX"), one ("de_DE.UTF-8@euro" -> "de_DE"),
// or nothing usable (a path, say), which is treated as if the locale were not given.
struct LocaleMeaning {
    bool usable = false;
    std::optional<std::string> localization;
};

LocaleMeaning meaning_of_locale(std::string locale) {
    if (const auto end = locale.find_first_of(".@"); end != std::string::npos) locale.resize(end);
    if (locale == "C" || locale == "POSIX") return {true, std::nullopt};
    if (!is_localization_name(locale)) return {};
    for (char &character : locale)
        if (character == '-') character = '_';
    return {true, std::move(locale)};
}

// The first of LC_ALL, LC_MESSAGES and LANG that names a locale decides, as for gettext; an
// empty variable, or one whose value is no locale name, counts as unset.
std::optional<std::string> environment_localization() {
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(name);
        if (value == nullptr) continue;
        if (auto meaning = meaning_of_locale(value); meaning.usable) return meaning.localization;
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

// Sets the localization that later lookups prefer; NULL, "" or a value that is no localization
// name (a path, say) returns to the environment.
void PlatformSetPreferredLocalization(CFStringRef localization) {
    std::optional<std::string> choice;
    if (CFGetTypeID(localization) == CFStringGetTypeID())
        choice = platform::localization::meaning_of_locale(cf::utf8_of(localization)).localization;
    std::lock_guard lock(platform::localization::override_mutex());
    platform::localization::host_choice() = std::move(choice);
}

// The preferred localization as a new string, or NULL when none is set.
CFStringRef PlatformCopyPreferredLocalization(void) {
    auto preferred = platform::localization::preferred();
    return preferred ? cf::create_string_from_utf8(*preferred) : nullptr;
}

}  // extern "C"
