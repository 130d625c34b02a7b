// What the number, collection, UUID and URL tests share: a fixture that checks
// every CF object made in a test is gone at its end, and numbers to put in collections.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_text.h>
#include <platform/test_support.h>

#include "live_objects.h"

#include <gtest/gtest.h>

#include <string>

namespace collections_test {

using LiveObjectTest = test_support::LeakCheckedTest;

inline cf::Ref<CFNumberRef> make_number(SInt64 value) {
    return cf::adopt(CFNumberCreate(nullptr, kCFNumberSInt64Type, &value));
}

}  // namespace collections_test
