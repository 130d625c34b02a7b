// CFSTR: one immortal string per distinct literal text, made on first use.
#include "string_object.h"
#include "string_encoding.h"
#include "string_internal.h"

#include <mutex>
#include <string>
#include <unordered_map>

namespace {

// The interned constants by literal text. Built on first use and never torn
// down, so constants stay valid while other files' statics are destroyed.
class ConstantTable {
public:
    static ConstantTable &shared() {
        static ConstantTable *const table = new ConstantTable;
        return *table;
    }

    CFStringRef intern(const char *literal) {
        std::lock_guard lock(mutex_);
        auto [entry, inserted] = strings_.try_emplace(literal, nullptr);
        if (inserted) entry->second = make_constant(entry->first);
        return entry->second;
    }

private:
    // Literals are UTF-8; other bytes are read as Mac OS Roman, the old source encoding.
    static CFStringRef make_constant(const std::string &literal) {
        auto text = cf::decode_utf8(literal);
        if (!text) text = cf::decode_bytes(literal, kCFStringEncodingMacRoman);
        auto *string = new __CFString(text.value_or(std::u16string()), false);
        string->make_immortal();
        return string;
    }

    std::mutex mutex_;
    std::unordered_map<std::string, CFStringRef> strings_;
};

}  // namespace

extern "C" CFStringRef __CFStringMakeConstantString(const char *cStr) {
    if (cStr == nullptr) return nullptr;
    return ConstantTable::shared().intern(cStr);
}
