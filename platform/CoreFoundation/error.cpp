// CFError: a domain, a code and a private copy of the caller's user info.
#include "object.h"
#include "ref.h"
#include "string_internal.h"

#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFError.h>
#include <CoreFoundation/CFString.h>

#include <string>
#include <utility>

struct __CFError final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeError;

    __CFError(cf::Ref<CFStringRef> error_domain, CFIndex error_code, cf::Ref<CFDictionaryRef> info)
        : Object(kTypeID), domain(std::move(error_domain)), code(error_code), user_info(std::move(info)) {}

    // The text the user info gives, else the generic sentence naming domain and code.
    std::string reason() const;

    bool equals(const Object &other) const override {
        const auto &error = static_cast<const __CFError &>(other);
        return code == error.code && CFEqual(domain.get(), error.domain.get()) &&
               (user_info.get() == error.user_info.get() || CFEqual(user_info.get(), error.user_info.get()));
    }
    CFHashCode hash() const override { return static_cast<CFHashCode>(code) ^ CFHash(domain.get()); }
    std::string description() const override {
        return "Error Domain=" + cf::utf8_of(domain.get()) + " Code=" + std::to_string(code) + " \"" + reason() + "\"";
    }

    const cf::Ref<CFStringRef> domain;
    const CFIndex code;
    // NULL when the error was made without user info.
    const cf::Ref<CFDictionaryRef> user_info;
};

extern "C" {

const CFStringRef kCFErrorDomainPOSIX = CFSTR("NSPOSIXErrorDomain");
const CFStringRef kCFErrorDomainOSStatus = CFSTR("NSOSStatusErrorDomain");
const CFStringRef kCFErrorDomainCocoa = CFSTR("NSCocoaErrorDomain");
const CFStringRef kCFErrorDescriptionKey = CFSTR("NSDescription");
const CFStringRef kCFErrorLocalizedDescriptionKey = CFSTR("NSLocalizedDescription");
const CFStringRef kCFErrorDebugDescriptionKey = CFSTR("NSDebugDescription");

}  // extern "C"

namespace {

// The string user info holds for key, or NULL.
CFStringRef user_info_string(CFDictionaryRef user_info, CFStringRef key) {
    const void *value = user_info ? CFDictionaryGetValue(user_info, key) : nullptr;
    return CFGetTypeID(value) == cf::kTypeString ? static_cast<CFStringRef>(value) : nullptr;
}

}  // namespace

std::string __CFError::reason() const {
    for (CFStringRef key : {kCFErrorLocalizedDescriptionKey, kCFErrorDescriptionKey}) {
        if (CFStringRef text = user_info_string(user_info.get(), key)) return cf::utf8_of(text);
    }
    return "The operation couldn't be completed. (" + cf::utf8_of(domain.get()) + " error " + std::to_string(code) +
           ".)";
}

extern "C" {

CFTypeID CFErrorGetTypeID(void) { return cf::kTypeError; }

// Retains the domain and keeps an immutable copy of userInfo.
CFErrorRef CFErrorCreate(CFAllocatorRef, CFErrorDomain domain, CFIndex code, CFDictionaryRef userInfo) {
    if (CFGetTypeID(domain) != cf::kTypeString) return nullptr;
    cf::Ref<CFDictionaryRef> info;
    if (CFGetTypeID(userInfo) == cf::kTypeDictionary) info = cf::adopt(CFDictionaryCreateCopy(nullptr, userInfo));
    return new __CFError(cf::retain(domain), code, std::move(info));
}

CFErrorDomain CFErrorGetDomain(CFErrorRef err) {
    const auto *self = cf::as<__CFError>(err);
    return self ? self->domain.get() : nullptr;
}

CFIndex CFErrorGetCode(CFErrorRef err) {
    const auto *self = cf::as<__CFError>(err);
    return self ? self->code : 0;
}

// The user info (Create rule); an empty dictionary when the error has none.
CFDictionaryRef CFErrorCopyUserInfo(CFErrorRef err) {
    const auto *self = cf::as<__CFError>(err);
    if (self == nullptr) return nullptr;
    if (self->user_info) return static_cast<CFDictionaryRef>(CFRetain(self->user_info.get()));
    return CFDictionaryCreate(nullptr, nullptr, nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                              &kCFTypeDictionaryValueCallBacks);
}

// The localized description or description from the user info when present, else
// "The operation couldn't be completed. (<domain> error <code>.)".
CFStringRef CFErrorCopyDescription(CFErrorRef err) {
    const auto *self = cf::as<__CFError>(err);
    return self ? cf::create_string_from_utf8(self->reason()) : nullptr;
}

}  // extern "C"
