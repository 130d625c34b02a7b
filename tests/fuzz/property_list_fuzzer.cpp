// Feeds arbitrary bytes to the property list readers (CFPropertyListCreateWithData and
// CFPropertyListCreateFromXMLData): Info.plist files and any other XML property list.
#include "property_list_checks.h"

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_ref.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzing::LiveObjectBalance balance;
    {
        auto bytes = cf::adopt(CFDataCreate(nullptr, data, static_cast<CFIndex>(size)));
        fuzzing::check(bytes.get() != nullptr, "CFDataCreate failed");
        fuzzing::Reading reading = fuzzing::read_property_list(bytes.get(), fuzzing::PropertyListTypes::text);
        if (reading.list) {
            // Describing the result walks every object once more.
            auto description = cf::adopt(CFCopyDescription(reading.list.get()));
            fuzzing::check(description.get() != nullptr, "a result without a description");
        }
    }
    return 0;
}
