// The base of every CF object: a reference count, a type identifier and the
// per-type behaviour (equality, hash, description) behind CFEqual and friends.
#pragma once

#include <CoreFoundation/CFBase.h>

#include <atomic>
#include <string>

namespace cf {

// Type identifiers handed out by the ...GetTypeID functions.
enum TypeID : CFTypeID {
    kTypeAllocator = 1,
    kTypeNull,
    kTypeBoolean,
    kTypeNumber,
    kTypeString,
    kTypeArray,
    kTypeDictionary,
    kTypeData,
    kTypeUUID,
    kTypeURL,
    kTypeDate,
    kTypeError,
    kTypeBundle,
    kTypeRunLoop,
    kTypeRunLoopTimer,
    kTypeCount
};

const char *type_name(CFTypeID type);

class Object {
public:
    explicit Object(CFTypeID type);
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;
    virtual ~Object();

    CFTypeID type_id() const { return type_; }

    // Immortal objects (constants) ignore retain and release and are not counted as live.
    void make_immortal();
    bool is_immortal() const { return immortal_; }

    void retain();
    // Frees the object when the last reference goes.
    void release();
    CFIndex retain_count() const;

    virtual bool equals(const Object &other) const { return this == &other; }
    virtual CFHashCode hash() const;
    // UTF-8 text for CFCopyDescription and %@ of non-strings.
    virtual std::string description() const;

private:
    CFTypeID type_;
    std::atomic<long> references_{1};
    bool immortal_ = false;
};

inline Object *object_from(CFTypeRef ref) {
    return static_cast<Object *>(const_cast<void *>(ref));
}

// The object behind ref when it is of type T (by type identifier), else nullptr.
template <typename T>
T *as(CFTypeRef ref) {
    if (ref == nullptr) return nullptr;
    Object *object = object_from(ref);
    if (object->type_id() != T::kTypeID) return nullptr;
    return static_cast<T *>(object);
}

// Number of counted (non-immortal) CF objects alive now.
long live_object_count();

// Hex address text used in descriptions.
std::string address_text(const void *pointer);

}  // namespace cf
