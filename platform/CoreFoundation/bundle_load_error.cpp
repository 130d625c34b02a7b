// The executable checks of CFBundle that say why: CFBundlePreflightExecutable
// and CFBundleLoadExecutableAndReturnError, each with a Cocoa-domain CFError.
#include "bundle_internal.h"
#include "string_internal.h"

#include <CoreFoundation/CFError.h>

namespace {

// A new error of the Cocoa domain whose description is the problem's.
CFErrorRef create_error(const cf::bundle::ExecutableProblem &problem) {
    auto description = cf::adopt(cf::create_string_from_utf8(problem.description()));
    const void *keys[] = {kCFErrorDescriptionKey};
    const void *values[] = {description.get()};
    auto user_info = cf::adopt(CFDictionaryCreate(nullptr, keys, values, description ? 1 : 0,
                                                  &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    return CFErrorCreate(nullptr, kCFErrorDomainCocoa, problem.code, user_info.get());
}

// Hands the problem to the caller as an error, when there is one and the caller wants it.
Boolean report(const std::optional<cf::bundle::ExecutableProblem> &problem, CFErrorRef *error) {
    if (!problem) return true;
    if (error) *error = create_error(*problem);
    return false;
}

const cf::bundle::ExecutableProblem kNotABundle{cf::bundle::kExecutableNotLoadableError, false, "the object is not a bundle"};

}  // namespace

extern "C" {

// True when the executable is loaded or passes the path check and looks loadable.
Boolean CFBundlePreflightExecutable(CFBundleRef bundle, CFErrorRef *error) {
    if (error) *error = nullptr;
    auto *self = cf::as<__CFBundle>(bundle);
    if (self == nullptr) return report(kNotABundle, error);
    if (self->code != nullptr) return true;
    cf::bundle::ExecutableProblem problem;
    auto executable = cf::bundle::checked_executable(*self, problem);
    if (!executable) return report(problem, error);
    return report(cf::bundle::header_problem(*executable), error);
}

// Loads the executable once, as CFBundleLoadExecutable does, but silently: the
// reason it was refused or failed to load goes to *error.
Boolean CFBundleLoadExecutableAndReturnError(CFBundleRef bundle, CFErrorRef *error) {
    if (error) *error = nullptr;
    auto *self = cf::as<__CFBundle>(bundle);
    if (self == nullptr) return report(kNotABundle, error);
    if (self->code != nullptr) return true;
    return report(cf::bundle::load_executable(*self), error);
}

}  // extern "C"
