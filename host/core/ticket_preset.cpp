// Building ticket presets, and turning ticket values back into JSON.
#include <printdialog/ticket_preset.h>
#include <printdialog/cf_dictionary.h>
#include <printdialog/extension.h>

#include <cstdint>
#include <limits>
#include <string_view>

namespace printdialog {

cf::Ref<CFStringRef> createString(const std::string &utf8) {
    // CFStringCreateWithBytes reads a leading U+FEFF as a byte-order mark and drops it. In a ticket
    // value or a typed text it is a character, so it gets a mark of its own in front to drop.
    static constexpr std::string_view kMark = "\xEF\xBB\xBF";
    const std::string marked = utf8.starts_with(kMark) ? std::string(kMark) + utf8 : std::string();
    const std::string &bytes = marked.empty() ? utf8 : marked;
    return cf::adopt(CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8 *>(bytes.data()),
                                             static_cast<CFIndex>(bytes.size()), kCFStringEncodingUTF8, false));
}

namespace {

// What in the text would not reach the printing system as it is: a NUL ends the text libcups
// sees, a line break or another control character breaks the "lp -o KEY=VALUE" line. Empty when
// the text is fine.
std::string controlCharacterIn(std::string_view text) {
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte == 0) return "a NUL character";
        if (byte < 0x20 || byte == 0x7F) {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            return std::string("a control character (U+00") + kDigits[byte >> 4] + kDigits[byte & 0xF] + ")";
        }
    }
    return {};
}

// The key as the messages show it: quoted, its control characters escaped as in JSON.
std::string shownKey(const std::string &key) { return jsonText(Json(key), 0); }

// Why the entry cannot be preset: its key or its string value holds a control character. Empty
// when it can.
std::string entryProblem(const std::string &key, std::string_view stringValue) {
    if (std::string found = controlCharacterIn(key); !found.empty())
        return "the key " + shownKey(key) + " contains " + found;
    if (std::string found = controlCharacterIn(stringValue); !found.empty())
        return "the value of " + shownKey(key) + " contains " + found;
    return {};
}

}  // namespace

cf::Ref<CFTypeRef> createPropertyFromJSON(const Json &value) {
    using Type = Json::value_t;
    switch (value.type()) {
    case Type::null: return cf::retain<CFTypeRef>(kCFNull);
    case Type::boolean: return cf::retain<CFTypeRef>(value.get<bool>() ? kCFBooleanTrue : kCFBooleanFalse);
    case Type::number_integer: {
        auto integer = value.get<int64_t>();
        return cf::adopt<CFTypeRef>(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &integer));
    }
    case Type::number_unsigned: {
        auto unsignedInteger = value.get<uint64_t>();
        if (unsignedInteger <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            auto integer = static_cast<int64_t>(unsignedInteger);
            return cf::adopt<CFTypeRef>(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &integer));
        }
        auto real = static_cast<double>(unsignedInteger);
        return cf::adopt<CFTypeRef>(CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &real));
    }
    case Type::number_float: {
        auto real = value.get<double>();
        return cf::adopt<CFTypeRef>(CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &real));
    }
    case Type::string: {
        auto string = createString(value.get_ref<const std::string &>());
        return cf::retain<CFTypeRef>(string.get());
    }
    case Type::array: {
        auto array = cf::adopt(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
        for (const auto &element : value) {
            auto property = createPropertyFromJSON(element);
            if (property) CFArrayAppendValue(array.get(), property.get());
        }
        return cf::retain<CFTypeRef>(array.get());
    }
    case Type::object: {
        auto dictionary = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                              &kCFTypeDictionaryValueCallBacks));
        for (const auto &[key, member] : value.items()) {
            auto cfKey = createString(key);
            auto property = createPropertyFromJSON(member);
            if (cfKey && property) CFDictionarySetValue(dictionary.get(), cfKey.get(), property.get());
        }
        return cf::retain<CFTypeRef>(dictionary.get());
    }
    case Type::binary:     // the reader never makes these
    case Type::discarded: return {};
    }
    return {};
}

bool addTicketPresetsFromJSON(const std::string &text, CFMutableDictionaryRef presets, std::string &error) {
    Json document;
    if (!parseJson(text, document, error)) return false;
    if (!document.is_object()) {
        error = "line 1: the ticket must be a JSON object";
        return false;
    }
    // Checked first, so that a refused ticket presets nothing.
    for (const auto &[key, member] : document.items()) {
        error = entryProblem(key, member.is_string() ? std::string_view(member.get_ref<const std::string &>())
                                                     : std::string_view());
        if (!error.empty()) return false;
    }
    for (const auto &[key, member] : document.items()) {
        auto cfKey = createString(key);
        auto property = createPropertyFromJSON(member);
        if (!cfKey || !property) {
            error = "the key or value of " + shownKey(key) + " is not valid text";
            return false;
        }
        CFDictionarySetValue(presets, cfKey.get(), property.get());
    }
    return true;
}

bool addTicketPreset(const std::string &pair, CFMutableDictionaryRef presets, std::string &error) {
    auto equals = pair.find('=');
    if (equals == std::string::npos || equals == 0) {
        error = "-o takes KEY=VALUE, not '" + pair + "'";
        return false;
    }
    const std::string keyText = pair.substr(0, equals), valueText = pair.substr(equals + 1);
    if (std::string problem = entryProblem(keyText, valueText); !problem.empty()) {
        error = "-o: " + problem;
        return false;
    }
    auto key = createString(keyText);
    auto value = createString(valueText);
    if (!key || !value) {
        error = "-o " + pair + ": not valid UTF-8";
        return false;
    }
    CFDictionarySetValue(presets, key.get(), value.get());
    return true;
}

Json jsonFromProperty(CFTypeRef value) {
    if (value == nullptr || CFGetTypeID(value) == CFNullGetTypeID()) return nullptr;
    CFTypeID type = CFGetTypeID(value);
    if (type == CFStringGetTypeID()) return utf8(static_cast<CFStringRef>(value));
    if (type == CFBooleanGetTypeID()) return CFBooleanGetValue(static_cast<CFBooleanRef>(value)) != false;
    if (type == CFNumberGetTypeID()) {
        auto number = static_cast<CFNumberRef>(value);
        if (CFNumberIsFloatType(number)) {
            double real = 0;
            CFNumberGetValue(number, kCFNumberDoubleType, &real);
            return real;
        }
        int64_t integer = 0;
        CFNumberGetValue(number, kCFNumberSInt64Type, &integer);
        return integer;
    }
    if (type == CFArrayGetTypeID()) {
        auto array = static_cast<CFArrayRef>(value);
        Json result = Json::array();
        for (CFIndex index = 0; index < CFArrayGetCount(array); ++index)
            result.push_back(jsonFromProperty(CFArrayGetValueAtIndex(array, index)));
        return result;
    }
    if (type == CFDictionaryGetTypeID()) {
        Json result = Json::object();
        forEachEntry(static_cast<CFDictionaryRef>(value), [&result](CFTypeRef key, CFTypeRef member) {
            result[utf8(static_cast<CFStringRef>(key))] = jsonFromProperty(member);
        });
        return result;
    }
    auto description = cf::adopt(CFCopyDescription(value));
    return utf8(description.get());
}

}  // namespace printdialog
