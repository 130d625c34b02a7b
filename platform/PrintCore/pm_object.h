// The common base of the printing objects (sessions, tickets, PPD contexts) and
// the registry of live ones, so that a stale or foreign reference handed to the
// printing API is recognised rather than dereferenced.
#pragma once

#include <CoreFoundation/CFString.h>

#include <atomic>

namespace printing {

enum class ObjectKind { session, ticket, ppd_context };

class PrintingObject {
public:
    explicit PrintingObject(ObjectKind kind);
    PrintingObject(const PrintingObject &) = delete;
    PrintingObject &operator=(const PrintingObject &) = delete;
    virtual ~PrintingObject();

    ObjectKind kind() const { return kind_; }

    void retain();
    // Drops one reference; the last one frees the object.
    void release();

private:
    ObjectKind kind_;
    std::atomic<long> references_{1};
};

// The live printing object at this address, or nullptr when none lives there.
PrintingObject *find_live(const void *reference);

// The live object of type T (by its kKind) behind a reference, else nullptr.
template <typename T>
T *live_as(const void *reference) {
    PrintingObject *object = find_live(reference);
    if (object == nullptr || object->kind() != T::kKind) return nullptr;
    return static_cast<T *>(object);
}

// The opaque C reference of an object: always the address of its PrintingObject part,
// which is what find_live looks for.
template <typename Reference>
Reference reference_to(PrintingObject *object) {
    return reinterpret_cast<Reference>(object);
}

// Keys and type names of the printing API are CFStrings.
inline bool is_string(CFTypeRef value) { return value != nullptr && CFGetTypeID(value) == CFStringGetTypeID(); }

}  // namespace printing
