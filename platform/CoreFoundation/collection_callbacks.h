// Pieces shared by CFArray and CFDictionary: the CF-object callbacks and the
// text of one element in a collection's description.
#pragma once

#include <CoreFoundation/CFBase.h>

#include <string>

namespace cf {

// CFRetain and CFRelease in the shape of a collection's retain and release callbacks.
const void *retain_object_value(CFAllocatorRef allocator, const void *value);
void release_object_value(CFAllocatorRef allocator, const void *value);

// One element as a description shows it: the copyDescription callback's text, or
// the bare pointer when there is no callback (or it gives nothing).
std::string element_description(CFStringRef (*copy_description)(const void *), const void *value);

}  // namespace cf
