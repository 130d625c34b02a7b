// Presets for the print-settings ticket's PPD dictionary: from a JSON object (--ticket) or from
// KEY=VALUE pairs (-o). JSON strings become CFString, integers and reals CFNumber, booleans
// CFBoolean, null kCFNull, arrays and objects CFArray and CFDictionary, so that malformed
// tickets can be tried.
#pragma once

#include <printdialog/json.h>

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_ref.h>

#include <string>

namespace printdialog {

// The CF object for a JSON value (a new reference). An integer past SInt64 becomes a real.
cf::Ref<CFTypeRef> createPropertyFromJSON(const Json &value);

// Adds every member of the JSON object text to presets. false with "line N: ..." in error for
// text that is not one JSON object, and with a message naming the member for a key, or a string
// value, that holds a control character (a NUL would cut the option short, a line break split the
// lp command). Nothing is added then.
bool addTicketPresetsFromJSON(const std::string &text, CFMutableDictionaryRef presets, std::string &error);

// Adds "KEY=VALUE" as a string entry. false with a message for a pair without '=' or key, or
// whose key or value holds a control character.
bool addTicketPreset(const std::string &pair, CFMutableDictionaryRef presets, std::string &error);

// The JSON form of a ticket value (strings, numbers, booleans, null, arrays, dictionaries).
Json jsonFromProperty(CFTypeRef value);

cf::Ref<CFStringRef> createString(const std::string &utf8);

}  // namespace printdialog
