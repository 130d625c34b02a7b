// SetEventParameter and GetEventParameter: typed, sized copies in and out of an event.
#include "event.h"

#include <algorithm>
#include <cstring>

using hitoolbox::Event;

extern "C" {

// Stores a copy of the data under the name; setting a name again replaces the old value.
OSStatus SetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inType, UInt32 inSize,
                           const void *inDataPtr) {
    Event *event = Event::from_ref(inEvent);
    if (event == nullptr) return paramErr;
    if (inSize > 0 && inDataPtr == nullptr) return paramErr;
    event->set_parameter(inName, inType, inDataPtr, inSize);
    return noErr;
}

// Copies a parameter out. The desired type must be the stored one or typeWildCard; a buffer
// smaller than the data receives only its first inBufferSize bytes, and outActualSize tells
// the full size (as AEGetParamPtr does). outData NULL asks only for the type and size.
OSStatus GetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inDesiredType,
                           EventParamType *outActualType, UInt32 inBufferSize, UInt32 *outActualSize,
                           void *outData) {
    const Event *event = Event::from_ref(inEvent);
    if (event == nullptr) return paramErr;
    const Event::Parameter *parameter = event->find_parameter(inName);
    if (parameter == nullptr) return eventParameterNotFoundErr;
    if (inDesiredType != typeWildCard && inDesiredType != parameter->type)
        return hitoolbox::kParameterTypeMismatchErr;

    const auto stored_size = static_cast<UInt32>(parameter->bytes.size());
    if (outData != nullptr) {
        const UInt32 copied = std::min(inBufferSize, stored_size);
        if (copied > 0) std::memcpy(outData, parameter->bytes.data(), copied);
    }
    if (outActualType != nullptr) *outActualType = parameter->type;
    if (outActualSize != nullptr) *outActualSize = stored_size;
    return noErr;
}

}  // extern "C"
