// Helpers shared by the CFString tests: the UTF-16 text of a string.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_text.h>
#include <platform/test_support.h>

#include "live_objects.h"

#include <gtest/gtest.h>

#include <string>

namespace string_test {

using cf::utf8;

inline std::u16string characters(CFStringRef string) {
    std::u16string text(static_cast<std::size_t>(CFStringGetLength(string)), u'\0');
    CFStringGetCharacters(string, CFRangeMake(0, CFStringGetLength(string)), reinterpret_cast<UniChar *>(text.data()));
    return text;
}

using LeakChecked = test_support::LeakCheckedTest;

}  // namespace string_test
