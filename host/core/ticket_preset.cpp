// Building ticket presets, and turning ticket values back into JSON.
#include <printdialog/ticket_preset.h>
#include <printdialog/cf_dictionary.h>
#include <printdialog/extension.h>

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

cf::Ref<CFTypeRef> createPropertyFromJSON(const json::Value &value) {
    using Type = json::Value::Type;
    switch (value.type()) {
    case Type::Null: return cf::retain<CFTypeRef>(kCFNull);
    case Type::Boolean: return cf::retain<CFTypeRef>(value.asBoolean() ? kCFBooleanTrue : kCFBooleanFalse);
    case Type::Integer: {
        int64_t integer = value.asInteger();
        return cf::adopt<CFTypeRef>(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &integer));
    }
    case Type::Real: {
        double real = value.asReal();
        return cf::adopt<CFTypeRef>(CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &real));
    }
    case Type::String: {
        auto string = createString(value.asString());
        return cf::retain<CFTypeRef>(string.get());
    }
    case Type::Array: {
        auto array = cf::adopt(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
        for (const auto &element : value.asArray()) {
            auto property = createPropertyFromJSON(element);
            if (property) CFArrayAppendValue(array.get(), property.get());
        }
        return cf::retain<CFTypeRef>(array.get());
    }
    case Type::Object: {
        auto dictionary = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                              &kCFTypeDictionaryValueCallBacks));
        for (const auto &[key, member] : value.asObject()) {
            auto cfKey = createString(key);
            auto property = createPropertyFromJSON(member);
            if (cfKey && property) CFDictionarySetValue(dictionary.get(), cfKey.get(), property.get());
        }
        return cf::retain<CFTypeRef>(dictionary.get());
    }
    }
    return {};
}

bool addTicketPresetsFromJSON(const std::string &text, CFMutableDictionaryRef presets, std::string &error) {
    json::Value document;
    if (!json::parse(text, document, error)) return false;
    if (document.type() != json::Value::Type::Object) {
        error = "line 1: the ticket must be a JSON object";
        return false;
    }
    for (const auto &[key, member] : document.asObject()) {
        auto cfKey = createString(key);
        auto property = createPropertyFromJSON(member);
        if (!cfKey || !property) {
            error = "the key or value of \"" + key + "\" is not valid text";
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
    auto key = createString(pair.substr(0, equals));
    auto value = createString(pair.substr(equals + 1));
    if (!key || !value) {
        error = "-o " + pair + ": not valid UTF-8";
        return false;
    }
    CFDictionarySetValue(presets, key.get(), value.get());
    return true;
}

json::Value jsonFromProperty(CFTypeRef value) {
    if (value == nullptr || CFGetTypeID(value) == CFNullGetTypeID()) return json::Value();
    CFTypeID type = CFGetTypeID(value);
    if (type == CFStringGetTypeID()) return json::Value::string(utf8(static_cast<CFStringRef>(value)));
    if (type == CFBooleanGetTypeID()) return json::Value::boolean(CFBooleanGetValue(static_cast<CFBooleanRef>(value)));
    if (type == CFNumberGetTypeID()) {
        auto number = static_cast<CFNumberRef>(value);
        if (CFNumberIsFloatType(number)) {
            double real = 0;
            CFNumberGetValue(number, kCFNumberDoubleType, &real);
            return json::Value::real(real);
        }
        int64_t integer = 0;
        CFNumberGetValue(number, kCFNumberSInt64Type, &integer);
        return json::Value::integer(integer);
    }
    if (type == CFArrayGetTypeID()) {
        auto array = static_cast<CFArrayRef>(value);
        json::Value result = json::Value::array();
        for (CFIndex index = 0; index < CFArrayGetCount(array); ++index)
            result.push(jsonFromProperty(CFArrayGetValueAtIndex(array, index)));
        return result;
    }
    if (type == CFDictionaryGetTypeID()) {
        json::Value result = json::Value::object();
        forEachEntry(static_cast<CFDictionaryRef>(value), [&result](CFTypeRef key, CFTypeRef member) {
            result.set(utf8(static_cast<CFStringRef>(key)), jsonFromProperty(member));
        });
        return result;
    }
    auto description = cf::adopt(CFCopyDescription(value));
    return json::Value::string(utf8(description.get()));
}

}  // namespace printdialog
