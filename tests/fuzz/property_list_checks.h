// Checks on a parsed property list that hold for every input: only property list types, string
// keys, and an error that names its line whenever there is no result.
#pragma once

#include "fuzz_support.h"

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_ref.h>

#include <vector>

namespace fuzzing {

enum class PropertyListTypes { xml, text };

// Every object is one the format can hold; the text format has only strings, data, arrays and
// dictionaries. Keys are strings, and no container holds NULL.
inline void check_property_list(CFTypeRef value, PropertyListTypes types, int depth = 0) {
    check(value != nullptr, "a container holds NULL");
    check(depth <= 1024, "a property list nested deeper than the readers allow");
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFStringGetTypeID() || type == CFDataGetTypeID()) return;
    if (type == CFArrayGetTypeID()) {
        auto array = static_cast<CFArrayRef>(value);
        for (CFIndex index = 0; index < CFArrayGetCount(array); ++index)
            check_property_list(CFArrayGetValueAtIndex(array, index), types, depth + 1);
        return;
    }
    if (type == CFDictionaryGetTypeID()) {
        auto dictionary = static_cast<CFDictionaryRef>(value);
        const CFIndex count = CFDictionaryGetCount(dictionary);
        std::vector<const void *> keys(static_cast<size_t>(count)), values(static_cast<size_t>(count));
        CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
        for (CFIndex index = 0; index < count; ++index) {
            check(keys[static_cast<size_t>(index)] != nullptr &&
                      CFGetTypeID(keys[static_cast<size_t>(index)]) == CFStringGetTypeID(),
                  "a dictionary key that is not a string");
            check_property_list(values[static_cast<size_t>(index)], types, depth + 1);
        }
        return;
    }
    check(types == PropertyListTypes::xml, "the text format produced a number, boolean or date");
    check(type == CFNumberGetTypeID() || type == CFBooleanGetTypeID() || type == CFDateGetTypeID(),
          "an object that is no property list type");
}

// True when the text's last "line " is followed by a number from 1 up (the reader's " on line N"
// ends the message; the input it quotes may hold the word too).
inline bool names_a_line(CFStringRef text) {
    if (text == nullptr || CFGetTypeID(text) != CFStringGetTypeID()) return false;
    const CFRange found = CFStringFind(text, CFSTR("line "), kCFCompareBackwards);
    if (found.location == kCFNotFound) return false;
    const CFIndex digit = found.location + found.length;
    if (digit >= CFStringGetLength(text)) return false;
    const UniChar first = CFStringGetCharacterAtIndex(text, digit);
    return first >= '1' && first <= '9';
}

// The outcome of one reading: a property list, or the error's description.
struct Reading {
    cf::Ref<CFPropertyListRef> list;
    cf::Ref<CFStringRef> problem;
    CFPropertyListFormat format = 0;
};

// Reads the bytes the two ways the platform offers, with every mutability option, and checks
// that they agree: the same success, equal objects, the same error text.
inline Reading read_property_list(CFDataRef bytes, PropertyListTypes types) {
    Reading reading;
    CFErrorRef error = nullptr;
    CFPropertyListFormat format = 0;
    reading.list = cf::adopt(CFPropertyListCreateWithData(nullptr, bytes, kCFPropertyListImmutable, &format, &error));
    auto error_holder = cf::adopt(error);
    check(!reading.list != !error, "a result and an error together, or neither");
    if (reading.list) {
        check(format == kCFPropertyListXMLFormat_v1_0 || format == kCFPropertyListOpenStepFormat,
              "a result in an unknown format");
        reading.format = format;
        check_property_list(reading.list.get(), format == kCFPropertyListXMLFormat_v1_0 ? PropertyListTypes::xml : types);
    } else {
        check(CFGetTypeID(error) == CFErrorGetTypeID(), "the error is no CFError");
        check(CFEqual(CFErrorGetDomain(error), kCFErrorDomainCocoa) && CFErrorGetCode(error) == kCFPropertyListReadCorruptError,
              "the error is not the Cocoa corrupt-data error");
        auto user_info = cf::adopt(CFErrorCopyUserInfo(error));
        check(user_info && CFGetTypeID(user_info.get()) == CFDictionaryGetTypeID(), "an error without user info");
        reading.problem = cf::retain(static_cast<CFStringRef>(CFDictionaryGetValue(user_info.get(), kCFErrorDescriptionKey)));
        check(names_a_line(reading.problem.get()), "the error does not name a line");
    }

    for (CFOptionFlags option : {kCFPropertyListMutableContainers, kCFPropertyListMutableContainersAndLeaves}) {
        CFStringRef error_string = nullptr;
        auto list = cf::adopt(CFPropertyListCreateFromXMLData(nullptr, bytes, option, &error_string));
        auto problem = cf::adopt(error_string);
        check(!list == !reading.list, "the mutability option changed whether the document reads");
        if (list) {
            check(!problem, "an error string beside a result");
            check(CFEqual(list.get(), reading.list.get()), "the mutability option changed the content");
        } else {
            check(problem && CFEqual(problem.get(), reading.problem.get()),
                  "the two reading functions describe the same error differently");
        }
    }
    return reading;
}

}  // namespace fuzzing
