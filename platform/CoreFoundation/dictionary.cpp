// CFDictionary and CFMutableDictionary: a hash table driven by the caller's key
// callbacks, walked in insertion order.
#include "collection_callbacks.h"
#include "object.h"

#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFString.h>

#include <functional>
#include <list>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct __CFDictionary final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeDictionary;

    struct Entry {
        const void *key;
        const void *value;
    };
    using Entries = std::list<Entry>;

    // Hashing and equality of keys through the key callbacks; without them, identity.
    // Neither is noexcept, so the table keeps each key's hash instead of asking again.
    struct KeyHash {
        const CFDictionaryKeyCallBacks *callbacks;
        std::size_t operator()(const void *key) const {
            return callbacks->hash ? callbacks->hash(key) : std::hash<const void *>{}(key);
        }
    };
    struct KeyEqual {
        const CFDictionaryKeyCallBacks *callbacks;
        bool operator()(const void *first, const void *second) const {
            return first == second || (callbacks->equal != nullptr && callbacks->equal(first, second));
        }
    };

    __CFDictionary(const CFDictionaryKeyCallBacks *key_table, const CFDictionaryValueCallBacks *value_table,
                   bool mutable_dictionary)
        : Object(kTypeID), key_callbacks(key_table ? *key_table : CFDictionaryKeyCallBacks{}),
          value_callbacks(value_table ? *value_table : CFDictionaryValueCallBacks{}), is_mutable(mutable_dictionary),
          index(0, KeyHash{&key_callbacks}, KeyEqual{&key_callbacks}) {}

    ~__CFDictionary() override {
        for (const Entry &entry : entries) release(entry);
    }

    const void *retain_key(const void *key) const {
        return key_callbacks.retain ? key_callbacks.retain(kCFAllocatorSystemDefault, key) : key;
    }
    const void *retain_value(const void *value) const {
        return value_callbacks.retain ? value_callbacks.retain(kCFAllocatorSystemDefault, value) : value;
    }
    void release_value(const void *value) const {
        if (value_callbacks.release) value_callbacks.release(kCFAllocatorSystemDefault, value);
    }
    void release(const Entry &entry) const {
        if (key_callbacks.release) key_callbacks.release(kCFAllocatorSystemDefault, entry.key);
        release_value(entry.value);
    }
    bool same_value(const void *stored, const void *value) const {
        return stored == value || (value_callbacks.equal != nullptr && value_callbacks.equal(stored, value));
    }

    // The entry for key, or nullptr.
    const Entry *find(const void *key) const {
        const auto found = index.find(key);
        return found == index.end() ? nullptr : &*found->second;
    }
    Entry *find(const void *key) {
        const auto found = index.find(key);
        return found == index.end() ? nullptr : &*found->second;
    }

    // Adds a pair known to be absent, retaining (or copying) both.
    void add(const void *key, const void *value) {
        const void *stored_key = retain_key(key);
        entries.push_back(Entry{stored_key, retain_value(value)});
        index.emplace(stored_key, std::prev(entries.end()));
    }

    // Keeps the stored key; the new value is retained before the old one goes.
    void replace(Entry &entry, const void *value) {
        const void *old = std::exchange(entry.value, retain_value(value));
        release_value(old);
    }

    // The pair leaves the table before its key and value are released.
    void remove(const void *key) {
        const auto found = index.find(key);
        if (found == index.end()) return;
        const Entry removed = *found->second;
        entries.erase(found->second);
        index.erase(found);
        release(removed);
    }

    void remove_all() {
        Entries removed = std::exchange(entries, {});
        index.clear();
        for (const Entry &entry : removed) release(entry);
    }

    bool equals(const Object &other) const override {
        const auto &dictionary = static_cast<const __CFDictionary &>(other);
        if (dictionary.entries.size() != entries.size()) return false;
        for (const Entry &entry : entries) {
            const Entry *match = dictionary.find(entry.key);
            if (match == nullptr || !same_value(entry.value, match->value)) return false;
        }
        return true;
    }
    CFHashCode hash() const override { return static_cast<CFHashCode>(entries.size()); }

    std::string description() const override {
        std::string text = "<CFDictionary " + cf::address_text(this) + ">{count = " +
                           std::to_string(entries.size()) + ", entries =>\n";
        for (const Entry &entry : entries) {
            text += "\t" + cf::element_description(key_callbacks.copyDescription, entry.key) + " = " +
                    cf::element_description(value_callbacks.copyDescription, entry.value) + "\n";
        }
        return text + "}";
    }

    const CFDictionaryKeyCallBacks key_callbacks;
    const CFDictionaryValueCallBacks value_callbacks;
    const bool is_mutable;
    Entries entries;
    std::unordered_map<const void *, Entries::iterator, KeyHash, KeyEqual> index;
};

namespace {

__CFDictionary *mutable_dictionary(CFMutableDictionaryRef dictionary) {
    auto *self = cf::as<__CFDictionary>(dictionary);
    return self != nullptr && self->is_mutable ? self : nullptr;
}

// A new dictionary with the source's callbacks and pairs, in the source's order.
__CFDictionary *copy_of(const __CFDictionary &source, bool is_mutable) {
    auto *copy = new __CFDictionary(&source.key_callbacks, &source.value_callbacks, is_mutable);
    for (const auto &entry : source.entries) copy->add(entry.key, entry.value);
    return copy;
}

// Stores CFStrings as immutable copies, so that later changes to a mutable key
// cannot move it in the table; any other key is retained.
const void *copy_string_key(CFAllocatorRef, const void *key) {
    if (CFGetTypeID(key) == cf::kTypeString) return CFStringCreateCopy(nullptr, static_cast<CFStringRef>(key));
    return CFRetain(key);
}

CFHashCode hash_object(const void *value) { return CFHash(value); }

}  // namespace

extern "C" {

const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {
    0, cf::retain_object_value, cf::release_object_value, CFCopyDescription, CFEqual, hash_object};
const CFDictionaryKeyCallBacks kCFCopyStringDictionaryKeyCallBacks = {
    0, copy_string_key, cf::release_object_value, CFCopyDescription, CFEqual, hash_object};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {
    0, cf::retain_object_value, cf::release_object_value, CFCopyDescription, CFEqual};

CFTypeID CFDictionaryGetTypeID(void) { return cf::kTypeDictionary; }

// A repeated key keeps its first key object and takes the last value.
CFDictionaryRef CFDictionaryCreate(CFAllocatorRef, const void **keys, const void **values, CFIndex numValues,
                                   const CFDictionaryKeyCallBacks *keyCallBacks,
                                   const CFDictionaryValueCallBacks *valueCallBacks) {
    if (numValues < 0 || (numValues > 0 && (keys == nullptr || values == nullptr))) return nullptr;
    auto *dictionary = new __CFDictionary(keyCallBacks, valueCallBacks, false);
    for (CFIndex i = 0; i < numValues; ++i) {
        if (auto *entry = dictionary->find(keys[i])) {
            dictionary->replace(*entry, values[i]);
        } else {
            dictionary->add(keys[i], values[i]);
        }
    }
    return dictionary;
}

CFDictionaryRef CFDictionaryCreateCopy(CFAllocatorRef, CFDictionaryRef theDict) {
    const auto *source = cf::as<__CFDictionary>(theDict);
    return source ? copy_of(*source, false) : nullptr;
}

// The capacity is only a hint: the dictionary grows as needed.
CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks *keyCallBacks,
                                                 const CFDictionaryValueCallBacks *valueCallBacks) {
    if (capacity < 0) return nullptr;
    return new __CFDictionary(keyCallBacks, valueCallBacks, true);
}

CFMutableDictionaryRef CFDictionaryCreateMutableCopy(CFAllocatorRef, CFIndex capacity, CFDictionaryRef theDict) {
    const auto *source = cf::as<__CFDictionary>(theDict);
    if (source == nullptr || capacity < 0) return nullptr;
    return copy_of(*source, true);
}

CFIndex CFDictionaryGetCount(CFDictionaryRef theDict) {
    const auto *self = cf::as<__CFDictionary>(theDict);
    return self ? static_cast<CFIndex>(self->entries.size()) : 0;
}

// The value for key (Get rule), or NULL when the key is absent.
const void *CFDictionaryGetValue(CFDictionaryRef theDict, const void *key) {
    const auto *self = cf::as<__CFDictionary>(theDict);
    const auto *entry = self ? self->find(key) : nullptr;
    return entry ? entry->value : nullptr;
}

// Tells a present NULL value from an absent key.
Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void *key, const void **value) {
    const auto *self = cf::as<__CFDictionary>(theDict);
    const auto *entry = self ? self->find(key) : nullptr;
    if (entry == nullptr) return false;
    if (value != nullptr) *value = entry->value;
    return true;
}

Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void *key) {
    const auto *self = cf::as<__CFDictionary>(theDict);
    return self != nullptr && self->find(key) != nullptr;
}

Boolean CFDictionaryContainsValue(CFDictionaryRef theDict, const void *value) {
    const auto *self = cf::as<__CFDictionary>(theDict);
    if (self == nullptr) return false;
    for (const auto &entry : self->entries) {
        if (self->same_value(entry.value, value)) return true;
    }
    return false;
}

// Fills either array (or both) in insertion order.
void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void **keys, const void **values) {
    const auto *self = cf::as<__CFDictionary>(theDict);
    if (self == nullptr) return;
    std::size_t i = 0;
    for (const auto &entry : self->entries) {
        if (keys != nullptr) keys[i] = entry.key;
        if (values != nullptr) values[i] = entry.value;
        ++i;
    }
}

// Calls applier for each pair in insertion order, over a snapshot so the applier cannot
// invalidate the walk.
void CFDictionaryApplyFunction(CFDictionaryRef theDict, CFDictionaryApplierFunction applier, void *context) {
    const auto *self = cf::as<__CFDictionary>(theDict);
    if (self == nullptr || applier == nullptr) return;
    const std::vector<__CFDictionary::Entry> snapshot(self->entries.begin(), self->entries.end());
    for (const auto &entry : snapshot) applier(entry.key, entry.value, context);
}

// Adds the pair only when the key is absent.
void CFDictionaryAddValue(CFMutableDictionaryRef theDict, const void *key, const void *value) {
    auto *self = mutable_dictionary(theDict);
    if (self != nullptr && self->find(key) == nullptr) self->add(key, value);
}

// Adds the pair, or replaces the value while keeping the original key object.
void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void *key, const void *value) {
    auto *self = mutable_dictionary(theDict);
    if (self == nullptr) return;
    if (auto *entry = self->find(key)) {
        self->replace(*entry, value);
    } else {
        self->add(key, value);
    }
}

// Replaces the value only when the key is present.
void CFDictionaryReplaceValue(CFMutableDictionaryRef theDict, const void *key, const void *value) {
    auto *self = mutable_dictionary(theDict);
    if (self == nullptr) return;
    if (auto *entry = self->find(key)) self->replace(*entry, value);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void *key) {
    if (auto *self = mutable_dictionary(theDict)) self->remove(key);
}

void CFDictionaryRemoveAllValues(CFMutableDictionaryRef theDict) {
    if (auto *self = mutable_dictionary(theDict)) self->remove_all();
}

}  // extern "C"
