// CFRetain, CFRelease and the other operations every CF object shares.
#include "object.h"
#include "string_internal.h"

#include <CoreFoundation/CoreFoundation.h>

#include <cstdio>

namespace cf {

namespace {
std::atomic<long> live_objects{0};
}

const char *type_name(CFTypeID type) {
    static const char *const names[kTypeCount] = {
        "<invalid>", "CFAllocator", "CFNull", "CFBoolean", "CFNumber", "CFString", "CFArray",
        "CFDictionary", "CFData", "CFUUID", "CFURL", "CFDate", "CFError", "CFBundle",
        "CFRunLoop", "CFRunLoopTimer"};
    return type < kTypeCount ? names[type] : "<unknown>";
}

Object::Object(CFTypeID type) : type_(type) { live_objects.fetch_add(1); }

Object::~Object() {
    if (!immortal_) live_objects.fetch_sub(1);
}

void Object::make_immortal() {
    if (!immortal_) {
        immortal_ = true;
        live_objects.fetch_sub(1);
    }
}

void Object::retain() {
    if (!immortal_) references_.fetch_add(1);
}

void Object::release() {
    if (immortal_) return;
    if (references_.fetch_sub(1) == 1) delete this;
}

CFIndex Object::retain_count() const {
    return immortal_ ? static_cast<CFIndex>(0x7fffffff) : references_.load();
}

CFHashCode Object::hash() const { return reinterpret_cast<uintptr_t>(this) >> 4; }

std::string Object::description() const {
    return std::string("<") + type_name(type_) + " " + address_text(this) + ">";
}

long live_object_count() { return live_objects.load(); }

std::string address_text(const void *pointer) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%p", pointer);
    return buffer;
}

namespace {

class Allocator final : public Object {
public:
    static constexpr CFTypeID kTypeID = kTypeAllocator;
    explicit Allocator(const char *name) : Object(kTypeID), name_(name) { make_immortal(); }
    std::string description() const override {
        return std::string("<CFAllocator ") + address_text(this) + ">{" + name_ + "}";
    }

private:
    const char *name_;
};

class Null final : public Object {
public:
    static constexpr CFTypeID kTypeID = kTypeNull;
    Null() : Object(kTypeID) { make_immortal(); }
    std::string description() const override { return "<CFNull " + address_text(this) + ">"; }
};

Allocator system_default_allocator("default");
Allocator malloc_allocator("malloc");
Allocator null_allocator("null");
Null null_object;

}  // namespace
}  // namespace cf

extern "C" {

const CFAllocatorRef kCFAllocatorSystemDefault =
    reinterpret_cast<CFAllocatorRef>(static_cast<cf::Object *>(&cf::system_default_allocator));
const CFAllocatorRef kCFAllocatorMalloc =
    reinterpret_cast<CFAllocatorRef>(static_cast<cf::Object *>(&cf::malloc_allocator));
const CFAllocatorRef kCFAllocatorNull =
    reinterpret_cast<CFAllocatorRef>(static_cast<cf::Object *>(&cf::null_allocator));
const CFNullRef kCFNull = reinterpret_cast<CFNullRef>(static_cast<cf::Object *>(&cf::null_object));

CFAllocatorRef CFAllocatorGetDefault(void) { return kCFAllocatorSystemDefault; }
CFTypeID CFAllocatorGetTypeID(void) { return cf::kTypeAllocator; }
CFTypeID CFNullGetTypeID(void) { return cf::kTypeNull; }

CFTypeRef CFRetain(CFTypeRef object) {
    if (object != nullptr) cf::object_from(object)->retain();
    return object;
}

void CFRelease(CFTypeRef object) {
    if (object != nullptr) cf::object_from(object)->release();
}

CFIndex CFGetRetainCount(CFTypeRef object) {
    return object == nullptr ? 0 : cf::object_from(object)->retain_count();
}

Boolean CFEqual(CFTypeRef first, CFTypeRef second) {
    if (first == second) return true;
    if (first == nullptr || second == nullptr) return false;
    const cf::Object *a = cf::object_from(first);
    const cf::Object *b = cf::object_from(second);
    if (a->type_id() != b->type_id()) return false;
    return a->equals(*b);
}

CFHashCode CFHash(CFTypeRef object) {
    return object == nullptr ? 0 : cf::object_from(object)->hash();
}

CFTypeID CFGetTypeID(CFTypeRef object) {
    return object == nullptr ? 0 : cf::object_from(object)->type_id();
}

CFStringRef CFCopyDescription(CFTypeRef object) {
    if (object == nullptr) return nullptr;
    return cf::create_string_from_utf8(cf::object_from(object)->description());
}

CFStringRef CFCopyTypeIDDescription(CFTypeID type) {
    return cf::create_string_from_utf8(cf::type_name(type));
}

CFAllocatorRef CFGetAllocator(CFTypeRef) { return kCFAllocatorSystemDefault; }

}  // extern "C"
