// CFDate: one absolute time, equal to any date of the same time.
#include "object.h"

#include <CoreFoundation/CFDate.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>

namespace {

// "2001-01-01 00:00:00 +0000" in GMT.
std::string gmt_text(CFAbsoluteTime at) {
    const double unix_seconds = std::floor(at + kCFAbsoluteTimeIntervalSince1970);
    const auto whole = static_cast<std::time_t>(unix_seconds);
    std::tm parts{};
    if (gmtime_r(&whole, &parts) == nullptr) return std::to_string(at);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &parts);
    return text;
}

}  // namespace

struct __CFDate final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeDate;

    explicit __CFDate(CFAbsoluteTime at) : Object(kTypeID), time(at) {}

    bool equals(const Object &other) const override { return time == static_cast<const __CFDate &>(other).time; }
    CFHashCode hash() const override { return std::hash<double>{}(time); }
    std::string description() const override { return gmt_text(time); }

    const CFAbsoluteTime time;
};

extern "C" {

CFTypeID CFDateGetTypeID(void) { return cf::kTypeDate; }

CFDateRef CFDateCreate(CFAllocatorRef, CFAbsoluteTime at) { return new __CFDate(at); }

CFAbsoluteTime CFDateGetAbsoluteTime(CFDateRef theDate) {
    const auto *self = cf::as<__CFDate>(theDate);
    return self ? self->time : 0;
}

}  // extern "C"
