// CFBoolean: the two immortal constants kCFBooleanTrue and kCFBooleanFalse.
#include "object.h"

#include <CoreFoundation/CFNumber.h>

struct __CFBoolean final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeBoolean;

    explicit __CFBoolean(bool boolean_value) : Object(kTypeID), value(boolean_value) { make_immortal(); }

    CFHashCode hash() const override { return value ? 1 : 0; }
    std::string description() const override { return value ? "true" : "false"; }

    const bool value;
};

namespace {

// Built on first use, so that other files' constants may use them while starting up;
// never destroyed, so that they outlive every static destructor too.
const __CFBoolean *boolean_constant(bool value) {
    static const auto *const true_value = new __CFBoolean(true);
    static const auto *const false_value = new __CFBoolean(false);
    return value ? true_value : false_value;
}

}  // namespace

extern "C" {

const CFBooleanRef kCFBooleanTrue = boolean_constant(true);
const CFBooleanRef kCFBooleanFalse = boolean_constant(false);

CFTypeID CFBooleanGetTypeID(void) { return cf::kTypeBoolean; }

// The truth of a boolean; false for NULL or anything else.
Boolean CFBooleanGetValue(CFBooleanRef boolean) {
    const auto *self = cf::as<__CFBoolean>(boolean);
    return self != nullptr && self->value;
}

}  // extern "C"
