// Walking a CFDictionary's entries from C++.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <vector>

namespace printdialog {

// Calls visit(key, value) for every entry of the dictionary, in the dictionary's order; nothing
// for NULL. The entries are borrowed.
template <typename Visit>
void forEachEntry(CFDictionaryRef dictionary, Visit &&visit) {
    if (dictionary == nullptr) return;
    CFIndex count = CFDictionaryGetCount(dictionary);
    std::vector<const void *> keys(static_cast<size_t>(count)), values(static_cast<size_t>(count));
    CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
    for (size_t index = 0; index < keys.size(); ++index)
        visit(static_cast<CFTypeRef>(keys[index]), static_cast<CFTypeRef>(values[index]));
}

// Sets every entry of from into into (over an entry of the same key, unless keepExisting: then
// only keys into lacks). Nothing for NULL.
inline void copyEntries(CFDictionaryRef from, CFMutableDictionaryRef into, bool keepExisting = false) {
    if (into == nullptr) return;
    forEachEntry(from, [into, keepExisting](CFTypeRef key, CFTypeRef value) {
        if (!keepExisting || !CFDictionaryContainsKey(into, key)) CFDictionarySetValue(into, key, value);
    });
}

}  // namespace printdialog
