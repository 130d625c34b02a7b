// Platform settings a test changes for as long as a scope lives: the manual clock and the
// localization bundles prefer.
#pragma once

#include <platform/cf_text.h>
#include <platform/host_support.h>
#include <platform/test_support.h>

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// The manual clock while it lives (timers fire only when a test moves the clock), the real one after.
class ManualClockScope {
public:
    ManualClockScope() { PlatformUseManualClock(true); }
    ~ManualClockScope() { PlatformUseManualClock(false); }
    ManualClockScope(const ManualClockScope &) = delete;
    ManualClockScope &operator=(const ManualClockScope &) = delete;
};

// The localization bundles prefer while it lives; the environment's after.
class LocalizationScope {
public:
    explicit LocalizationScope(const char *localization) {
        PlatformSetPreferredLocalization(cf::string(localization).get());
    }
    ~LocalizationScope() { PlatformSetPreferredLocalization(nullptr); }
    LocalizationScope(const LocalizationScope &) = delete;
    LocalizationScope &operator=(const LocalizationScope &) = delete;
};

// Environment variables set (a value) or unset (nullptr) while it lives, as they were after.
class EnvironmentScope {
public:
    EnvironmentScope(std::initializer_list<std::pair<const char *, const char *>> settings) {
        for (const auto &[name, value] : settings) {
            const char *current = std::getenv(name);
            saved_.emplace_back(name, current ? std::optional<std::string>(current) : std::nullopt);
            if (value) setenv(name, value, 1);
            else unsetenv(name);
        }
    }
    ~EnvironmentScope() {
        for (const auto &[name, value] : saved_) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }
    EnvironmentScope(const EnvironmentScope &) = delete;
    EnvironmentScope &operator=(const EnvironmentScope &) = delete;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace test_support
