// Print sessions: the data a print dialog shares with its extensions, kept by key,
// and the retain/release pair that every printing object answers to.
#include "pm_object.h"

#include "CoreFoundation/ref.h"
#include "support/faults.h"
#include "support/live_count.h"

#include <CoreFoundation/CoreFoundation.h>
#include <PrintCore/PMCore.h>

namespace printing {
namespace {

inline constexpr char kPrintSessionKind[] = "print-session";

class PrintSession final : public PrintingObject, platform::live::Counted<kPrintSessionKind> {
public:
    static constexpr ObjectKind kKind = ObjectKind::session;

    PrintSession()
        : PrintingObject(kKind),
          data_(cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                    &kCFTypeDictionaryValueCallBacks))) {}

    bool is_usable() const { return static_cast<bool>(data_); }

    // The datum under key, borrowed; nullptr when there is none.
    CFTypeRef data(CFStringRef key) const { return CFDictionaryGetValue(data_.get(), key); }

    // Retains the new datum and lets go of the one it replaces.
    void set_data(CFStringRef key, CFTypeRef datum) { CFDictionarySetValue(data_.get(), key, datum); }

private:
    cf::Ref<CFMutableDictionaryRef> data_;
};

// Sessions and tickets are the printing objects whose lifetime callers share.
PrintingObject *live_shared_object(PMObject object) {
    PrintingObject *found = find_live(object);
    if (found == nullptr) return nullptr;
    if (found->kind() != ObjectKind::session && found->kind() != ObjectKind::ticket) return nullptr;
    return found;
}

}  // namespace
}  // namespace printing

using printing::PrintSession;

extern "C" {

// Makes a new, empty session; the caller owns its one reference.
OSStatus PMCreateSession(PMPrintSession *printSession) {
    if (auto fault = platform::faults::consume("PMCreateSession")) return *fault;
    if (printSession == nullptr) return kPMInvalidParameter;
    auto *session = new PrintSession();
    if (!session->is_usable()) {
        session->release();
        return memFullErr;
    }
    *printSession = printing::reference_to<PMPrintSession>(session);
    return kPMNoError;
}

// Adds a reference to a session or a ticket.
OSStatus PMRetain(PMObject object) {
    printing::PrintingObject *found = printing::live_shared_object(object);
    if (found == nullptr) return kPMInvalidParameter;
    found->retain();
    return kPMNoError;
}

// Drops a reference to a session or a ticket; the last one frees it with all it holds.
OSStatus PMRelease(PMObject object) {
    printing::PrintingObject *found = printing::live_shared_object(object);
    if (found == nullptr) return kPMInvalidParameter;
    found->release();
    return kPMNoError;
}

// Looks up the session's datum under key; the session keeps it (Get rule).
OSStatus PMSessionGetDataFromSession(PMPrintSession printSession, CFStringRef key, CFTypeRef *data) {
    if (auto fault = platform::faults::consume("PMSessionGetDataFromSession")) return *fault;
    auto *session = printing::live_as<PrintSession>(printSession);
    if (session == nullptr) return kPMInvalidPrintSession;
    if (!printing::is_string(key) || data == nullptr) return kPMInvalidParameter;
    CFTypeRef found = session->data(key);
    if (found == nullptr) return kPMKeyNotFound;
    *data = found;
    return kPMNoError;
}

// Stores data under key, replacing what was there; the session retains it.
OSStatus PMSessionSetDataInSession(PMPrintSession printSession, CFStringRef key, CFTypeRef data) {
    if (auto fault = platform::faults::consume("PMSessionSetDataInSession")) return *fault;
    auto *session = printing::live_as<PrintSession>(printSession);
    if (session == nullptr) return kPMInvalidPrintSession;
    if (!printing::is_string(key) || data == nullptr) return kPMInvalidParameter;
    session->set_data(key, data);
    return kPMNoError;
}

}  // extern "C"
