// CFPropertyListCreateWithData and CFPropertyListCreateFromXMLData: format
// detection, dispatch to the XML or old-style reader, and the error report.
#include "property_list_internal.h"
#include "string_encoding.h"
#include "string_internal.h"

#include <CoreFoundation/CFError.h>
#include <CoreFoundation/CFString.h>

#include <cstdio>
#include <new>
#include <optional>
#include <string>

namespace cf::plist {

ValueFactory::ValueFactory(CFOptionFlags options)
    : mutable_containers_((options & 3) != kCFPropertyListImmutable),
      mutable_leaves_((options & 3) == kCFPropertyListMutableContainersAndLeaves) {}

Value ValueFactory::key(std::u16string_view characters) const {
    Value key = Value::adopt(CFStringCreateWithCharacters(
        nullptr, reinterpret_cast<const UniChar *>(characters.data()), static_cast<CFIndex>(characters.size())));
    if (!key) throw std::bad_alloc();
    return key;
}

// Not CFStringCreateWithBytes, which would take a leading U+FEFF of the text for a byte-order mark.
Value ValueFactory::key_from_utf8(std::string_view utf8) const {
    Value key = Value::adopt(create_string_from_utf8(utf8));
    if (!key) throw std::bad_alloc();
    return key;
}

Value ValueFactory::string(std::u16string_view characters) const {
    Value text = key(characters);
    if (!mutable_leaves_) return text;
    return Value::adopt(CFStringCreateMutableCopy(nullptr, 0, static_cast<CFStringRef>(text.get())));
}

Value ValueFactory::string_from_utf8(std::string_view utf8) const {
    Value text = key_from_utf8(utf8);
    if (!mutable_leaves_) return text;
    return Value::adopt(CFStringCreateMutableCopy(nullptr, 0, static_cast<CFStringRef>(text.get())));
}

Value ValueFactory::data(std::span<const UInt8> bytes) const {
    if (!mutable_leaves_) return Value::adopt(CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size())));
    Ref<CFMutableDataRef> data = adopt(CFDataCreateMutable(nullptr, 0));
    CFDataAppendBytes(data.get(), bytes.data(), static_cast<CFIndex>(bytes.size()));
    return Value::adopt(data.leak());
}

Ref<CFMutableDictionaryRef> ValueFactory::new_dictionary() const {
    return adopt(CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                           &kCFTypeDictionaryValueCallBacks));
}

Ref<CFMutableArrayRef> ValueFactory::new_array() const {
    return adopt(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
}

Value ValueFactory::finish(Ref<CFMutableDictionaryRef> dictionary) const {
    if (mutable_containers_) return Value::adopt(dictionary.leak());
    return Value::adopt(CFDictionaryCreateCopy(nullptr, dictionary.get()));
}

Value ValueFactory::finish(Ref<CFMutableArrayRef> array) const {
    if (mutable_containers_) return Value::adopt(array.leak());
    return Value::adopt(CFArrayCreateCopy(nullptr, array.get()));
}

namespace {

bool starts_with(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// XML when the first non-blank characters open an XML declaration, doctype, comment or <plist>.
bool looks_like_xml(std::u16string_view text) {
    const size_t first = text.find_first_not_of(u" \t\r\n\v\f");
    if (first == std::u16string_view::npos) return false;
    text.remove_prefix(first);
    return starts_with(text, u"<?xml") || starts_with(text, u"<!DOCTYPE") || starts_with(text, u"<!--") ||
           starts_with(text, u"<plist");
}

struct Outcome {
    Value value;
    CFPropertyListFormat format = kCFPropertyListOpenStepFormat;
    std::string error;
};

// Parses the bytes in whichever format they are; never throws.
Outcome parse(CFDataRef data, CFOptionFlags options) {
    Outcome outcome;
    if (data == nullptr || CFGetTypeID(data) != CFDataGetTypeID()) {
        outcome.error = "No data to parse on line 1";
        return outcome;
    }
    const UInt8 *bytes = CFDataGetBytePtr(data);
    const CFIndex length = CFDataGetLength(data);
    if (length < 0 || (length > 0 && bytes == nullptr)) {
        outcome.error = "No data to parse on line 1";
        return outcome;
    }
    const std::span<const UInt8> input(bytes, static_cast<size_t>(length));
    try {
        const ValueFactory factory(options);
        static constexpr std::string_view kBinaryMagic = "bplist";
        if (input.size() >= kBinaryMagic.size() &&
            std::string_view(reinterpret_cast<const char *>(input.data()), kBinaryMagic.size()) == kBinaryMagic) {
            outcome.format = kCFPropertyListBinaryFormat_v1_0;
            throw ParseError("Binary property lists are not supported", 1);
        }
        const std::u16string text = decode_text(input);
        if (looks_like_xml(text)) {
            outcome.format = kCFPropertyListXMLFormat_v1_0;
            outcome.value = parse_xml(input, factory);
        } else {
            outcome.value = parse_text(text, factory);
        }
        if (!outcome.value) outcome.error = "Out of memory on line 1";
    } catch (const ParseError &error) {
        outcome.value.reset();
        outcome.error = error.what();
    } catch (const std::bad_alloc &) {
        outcome.value.reset();
        outcome.error = "Out of memory on line 1";
    }
    return outcome;
}

// The message as a CFString. libxml2 quotes input bytes in its messages, so a byte that is not
// part of well-formed UTF-8 is written as \xNN rather than losing the whole description.
CFStringRef create_description(const std::string &message) {
    std::u16string text;
    for (size_t position = 0; position < message.size();) {
        const size_t start = position;
        if (const std::optional<char32_t> code_point = next_utf8(message, position)) {
            append_code_point(text, *code_point);
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(static_cast<UInt8>(message[start])));
        for (const char *c = escaped; *c != '\0'; ++c) text.push_back(static_cast<char16_t>(*c));
    }
    return CFStringCreateWithCharacters(nullptr, reinterpret_cast<const UniChar *>(text.data()),
                                        static_cast<CFIndex>(text.size()));
}

// The Cocoa-domain "corrupt" error carrying the description.
CFErrorRef create_error(const std::string &message) {
    Ref<CFStringRef> description = adopt(create_description(message));
    const void *keys[] = {kCFErrorDescriptionKey};
    const void *values[] = {description.get()};
    Ref<CFDictionaryRef> user_info = adopt(CFDictionaryCreate(nullptr, keys, values, description ? 1 : 0,
                                                              &kCFTypeDictionaryKeyCallBacks,
                                                              &kCFTypeDictionaryValueCallBacks));
    return CFErrorCreate(nullptr, kCFErrorDomainCocoa, kCFPropertyListReadCorruptError, user_info.get());
}

}  // namespace
}  // namespace cf::plist

extern "C" {

// Partial: XML and old-style text only; a binary property list is refused with an error.
CFPropertyListRef CFPropertyListCreateWithData(CFAllocatorRef, CFDataRef data, CFOptionFlags options,
                                               CFPropertyListFormat *format, CFErrorRef *error) {
    if (error) *error = nullptr;
    cf::plist::Outcome outcome = cf::plist::parse(data, options);
    if (!outcome.value) {
        if (error) *error = cf::plist::create_error(outcome.error);
        return nullptr;
    }
    if (format) *format = outcome.format;
    return outcome.value.leak();
}

// Partial: XML and old-style text only; a binary property list is refused with an error.
CFPropertyListRef CFPropertyListCreateFromXMLData(CFAllocatorRef, CFDataRef xmlData, CFOptionFlags mutabilityOption,
                                                  CFStringRef *errorString) {
    if (errorString) *errorString = nullptr;
    cf::plist::Outcome outcome = cf::plist::parse(xmlData, mutabilityOption);
    if (!outcome.value) {
        if (errorString) *errorString = cf::plist::create_description(outcome.error);
        return nullptr;
    }
    return outcome.value.leak();
}

}  // extern "C"
