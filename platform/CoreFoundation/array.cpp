// CFArray and CFMutableArray: ordered values kept through the caller's callbacks.
#include "collection_callbacks.h"
#include "object.h"

#include <CoreFoundation/CFArray.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

struct __CFArray final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeArray;

    __CFArray(const CFArrayCallBacks *callback_table, bool mutable_array)
        : Object(kTypeID), callbacks(callback_table ? *callback_table : CFArrayCallBacks{}),
          is_mutable(mutable_array) {}

    ~__CFArray() override {
        for (const void *value : values) release(value);
    }

    // The value to store for one the caller gives: retained (or copied) by the callbacks.
    const void *retain(const void *value) const {
        return callbacks.retain ? callbacks.retain(kCFAllocatorSystemDefault, value) : value;
    }
    void release(const void *value) const {
        if (callbacks.release) callbacks.release(kCFAllocatorSystemDefault, value);
    }
    // Identity always matches; the equal callback decides the rest.
    bool same(const void *stored, const void *value) const {
        return stored == value || (callbacks.equal != nullptr && callbacks.equal(stored, value));
    }

    CFIndex count() const { return static_cast<CFIndex>(values.size()); }
    bool holds(CFRange range) const {
        return range.location >= 0 && range.length >= 0 && range.location <= count() &&
               range.length <= count() - range.location;
    }
    auto begin_of(CFRange range) const { return values.begin() + range.location; }
    auto end_of(CFRange range) const { return values.begin() + range.location + range.length; }

    bool equals(const Object &other) const override {
        const auto &array = static_cast<const __CFArray &>(other);
        if (array.count() != count()) return false;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (!same(values[i], array.values[i])) return false;
        }
        return true;
    }
    CFHashCode hash() const override { return static_cast<CFHashCode>(values.size()); }

    std::string description() const override {
        std::string text = "<CFArray " + cf::address_text(this) + ">{count = " + std::to_string(values.size()) +
                           ", values = (\n";
        for (std::size_t i = 0; i < values.size(); ++i) {
            text += "\t" + std::to_string(i) + " : " + cf::element_description(callbacks.copyDescription, values[i]) +
                    "\n";
        }
        return text + ")}";
    }

    const CFArrayCallBacks callbacks;
    const bool is_mutable;
    std::vector<const void *> values;
};

namespace {

__CFArray *mutable_array(CFMutableArrayRef array) {
    auto *self = cf::as<__CFArray>(array);
    return self != nullptr && self->is_mutable ? self : nullptr;
}

// A new array with the given callbacks holding values[0 ..< count], each retained.
__CFArray *make_array(const CFArrayCallBacks *callbacks, bool is_mutable, const void *const *values, CFIndex count) {
    auto *array = new __CFArray(callbacks, is_mutable);
    array->values.reserve(static_cast<std::size_t>(count));
    for (CFIndex i = 0; i < count; ++i) array->values.push_back(array->retain(values[i]));
    return array;
}

}  // namespace

extern "C" {

const CFArrayCallBacks kCFTypeArrayCallBacks = {
    0, cf::retain_object_value, cf::release_object_value, CFCopyDescription, CFEqual};

CFTypeID CFArrayGetTypeID(void) { return cf::kTypeArray; }

// NULL callbacks keep raw pointers compared by identity.
CFArrayRef CFArrayCreate(CFAllocatorRef, const void **values, CFIndex numValues, const CFArrayCallBacks *callBacks) {
    if (numValues < 0 || (values == nullptr && numValues > 0)) return nullptr;
    return make_array(callBacks, false, values, numValues);
}

// The copy keeps the source's callbacks.
CFArrayRef CFArrayCreateCopy(CFAllocatorRef, CFArrayRef theArray) {
    const auto *source = cf::as<__CFArray>(theArray);
    if (source == nullptr) return nullptr;
    return make_array(&source->callbacks, false, source->values.data(), source->count());
}

// The capacity is only a hint: the array grows as needed.
CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex capacity, const CFArrayCallBacks *callBacks) {
    if (capacity < 0) return nullptr;
    return make_array(callBacks, true, nullptr, 0);
}

CFMutableArrayRef CFArrayCreateMutableCopy(CFAllocatorRef, CFIndex capacity, CFArrayRef theArray) {
    const auto *source = cf::as<__CFArray>(theArray);
    if (source == nullptr || capacity < 0) return nullptr;
    return make_array(&source->callbacks, true, source->values.data(), source->count());
}

CFIndex CFArrayGetCount(CFArrayRef theArray) {
    const auto *self = cf::as<__CFArray>(theArray);
    return self ? self->count() : 0;
}

// The value at idx (Get rule); NULL when idx is out of range.
const void *CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx) {
    const auto *self = cf::as<__CFArray>(theArray);
    if (self == nullptr || idx < 0 || idx >= self->count()) return nullptr;
    return self->values[static_cast<std::size_t>(idx)];
}

void CFArrayGetValues(CFArrayRef theArray, CFRange range, const void **values) {
    const auto *self = cf::as<__CFArray>(theArray);
    if (self == nullptr || values == nullptr || !self->holds(range)) return;
    std::copy(self->begin_of(range), self->end_of(range), values);
}

CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef theArray, CFRange range, const void *value) {
    const auto *self = cf::as<__CFArray>(theArray);
    if (self == nullptr || !self->holds(range)) return kCFNotFound;
    const auto found = std::find_if(self->begin_of(range), self->end_of(range),
                                    [&](const void *stored) { return self->same(stored, value); });
    if (found == self->end_of(range)) return kCFNotFound;
    return static_cast<CFIndex>(found - self->values.begin());
}

Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range, const void *value) {
    return CFArrayGetFirstIndexOfValue(theArray, range, value) != kCFNotFound;
}

CFIndex CFArrayGetCountOfValue(CFArrayRef theArray, CFRange range, const void *value) {
    const auto *self = cf::as<__CFArray>(theArray);
    if (self == nullptr || !self->holds(range)) return 0;
    return std::count_if(self->begin_of(range), self->end_of(range),
                         [&](const void *stored) { return self->same(stored, value); });
}

// Calls applier for each value of range, over a snapshot so the applier cannot
// invalidate the walk.
void CFArrayApplyFunction(CFArrayRef theArray, CFRange range, CFArrayApplierFunction applier, void *context) {
    const auto *self = cf::as<__CFArray>(theArray);
    if (self == nullptr || applier == nullptr || !self->holds(range)) return;
    const std::vector<const void *> snapshot(self->begin_of(range), self->end_of(range));
    for (const void *value : snapshot) applier(value, context);
}

void CFArrayAppendValue(CFMutableArrayRef theArray, const void *value) {
    auto *self = mutable_array(theArray);
    if (self == nullptr) return;
    self->values.push_back(self->retain(value));
}

// idx may be the count, which appends.
void CFArrayInsertValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void *value) {
    auto *self = mutable_array(theArray);
    if (self == nullptr || idx < 0 || idx > self->count()) return;
    self->values.insert(self->values.begin() + idx, self->retain(value));
}

// Replaces the value at idx (or appends at the count); the new value is retained
// before the old one is released, so setting a value over itself is safe.
void CFArraySetValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void *value) {
    auto *self = mutable_array(theArray);
    if (self == nullptr || idx < 0 || idx > self->count()) return;
    const void *stored = self->retain(value);
    if (idx == self->count()) {
        self->values.push_back(stored);
        return;
    }
    const void *old = std::exchange(self->values[static_cast<std::size_t>(idx)], stored);
    self->release(old);
}

// The value leaves the array before it is released, so a release callback sees a consistent array.
void CFArrayRemoveValueAtIndex(CFMutableArrayRef theArray, CFIndex idx) {
    auto *self = mutable_array(theArray);
    if (self == nullptr || idx < 0 || idx >= self->count()) return;
    const void *removed = self->values[static_cast<std::size_t>(idx)];
    self->values.erase(self->values.begin() + idx);
    self->release(removed);
}

void CFArrayRemoveAllValues(CFMutableArrayRef theArray) {
    auto *self = mutable_array(theArray);
    if (self == nullptr) return;
    const std::vector<const void *> removed = std::exchange(self->values, {});
    for (const void *value : removed) self->release(value);
}

// Appends otherRange of otherArray through this array's callbacks; otherArray may be theArray.
void CFArrayAppendArray(CFMutableArrayRef theArray, CFArrayRef otherArray, CFRange otherRange) {
    auto *self = mutable_array(theArray);
    const auto *other = cf::as<__CFArray>(otherArray);
    if (self == nullptr || other == nullptr || !other->holds(otherRange)) return;
    const std::vector<const void *> appended(other->begin_of(otherRange), other->end_of(otherRange));
    for (const void *value : appended) self->values.push_back(self->retain(value));
}

}  // extern "C"
