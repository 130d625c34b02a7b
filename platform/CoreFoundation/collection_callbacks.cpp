// Callbacks and description text shared by the collection types.
#include "collection_callbacks.h"

#include "object.h"
#include "ref.h"
#include "string_internal.h"

namespace cf {

// Retains a CF value on its way into a collection.
const void *retain_object_value(CFAllocatorRef, const void *value) { return CFRetain(value); }

// Releases a CF value on its way out of a collection.
void release_object_value(CFAllocatorRef, const void *value) { CFRelease(value); }

// Describes one element, owning the callback's string for just this call.
std::string element_description(CFStringRef (*copy_description)(const void *), const void *value) {
    if (copy_description != nullptr) {
        Ref<CFStringRef> text = adopt(copy_description(value));
        if (text) return utf8_of(text.get());
    }
    return "<" + address_text(value) + ">";
}

}  // namespace cf
