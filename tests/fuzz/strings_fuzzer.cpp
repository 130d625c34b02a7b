// Feeds arbitrary bytes to the reader of .strings files and old-style text property lists, the
// way CFBundleCopyLocalizedString reads a table. A table in UTF-8 must read exactly as the same
// table in UTF-16 with a byte-order mark, errors and their lines included.
#include "property_list_checks.h"

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_ref.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

// What the readers take for XML: these openings after blanks. Their bytes go to the XML parser,
// which reads encodings on its own terms, so the UTF-16 comparison leaves them out.
bool opens_like_xml(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string_view::npos) return false;
    text.remove_prefix(first);
    for (std::string_view opening : {"<?xml", "<!DOCTYPE", "<!--", "<plist"})
        if (text.substr(0, opening.size()) == opening) return true;
    return false;
}

// The input as UTF-16 little-endian with a byte-order mark, when it is UTF-8 that the readers
// take as such: no UTF-16 mark and no NUL byte in the first two (those select UTF-16).
cf::Ref<CFDataRef> as_utf16(std::string_view text) {
    if (text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF') ||
                             (text[0] == '\0') != (text[1] == '\0')))
        return {};
    std::string_view body = text;
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    // CFStringCreateWithBytes takes a leading mark for one, as the reader does not after the first.
    if (body.substr(0, 3) == "\xEF\xBB\xBF") return {};
    auto string = cf::adopt(CFStringCreateWithBytes(nullptr, reinterpret_cast<const UInt8 *>(body.data()),
                                                    static_cast<CFIndex>(body.size()), kCFStringEncodingUTF8, false));
    if (!string) return {};
    const CFIndex length = CFStringGetLength(string.get());
    std::vector<UInt8> bytes = {0xFF, 0xFE};
    for (CFIndex index = 0; index < length; ++index) {
        const UniChar unit = CFStringGetCharacterAtIndex(string.get(), index);
        bytes.push_back(static_cast<UInt8>(unit & 0xFF));
        bytes.push_back(static_cast<UInt8>(unit >> 8));
    }
    return cf::adopt(CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size())));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzing::LiveObjectBalance balance;
    {
        const std::string_view text = fuzzing::as_text(data, size);
        auto bytes = cf::adopt(CFDataCreate(nullptr, data, static_cast<CFIndex>(size)));
        fuzzing::check(bytes.get() != nullptr, "CFDataCreate failed");
        const fuzzing::Reading reading = fuzzing::read_property_list(bytes.get(), fuzzing::PropertyListTypes::text);
        // An empty file is an empty table, as an empty .strings file must be.
        if (size == 0)
            fuzzing::check(reading.list && CFGetTypeID(reading.list.get()) == CFDictionaryGetTypeID() &&
                               CFDictionaryGetCount(static_cast<CFDictionaryRef>(reading.list.get())) == 0,
                           "an empty file is not an empty table");
        // XML and binary property lists are no text, whatever their encoding.
        if (opens_like_xml(text.substr(text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0)) || text.substr(0, 6) == "bplist")
            return 0;
        auto wide = as_utf16(text);
        if (!wide) return 0;
        const fuzzing::Reading wide_reading = fuzzing::read_property_list(wide.get(), fuzzing::PropertyListTypes::text);
        fuzzing::check(!wide_reading.list == !reading.list, "UTF-16 and UTF-8 differ in whether the text reads");
        if (reading.list) {
            fuzzing::check(reading.format == kCFPropertyListOpenStepFormat && wide_reading.format == reading.format,
                           "text read in another format");
            fuzzing::check(CFEqual(reading.list.get(), wide_reading.list.get()), "UTF-16 and UTF-8 read differently");
        } else {
            fuzzing::check(CFEqual(reading.problem.get(), wide_reading.problem.get()),
                           "UTF-16 and UTF-8 report different errors");
        }
    }
    return 0;
}
