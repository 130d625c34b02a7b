// Job tickets: a type, the ticket's own PPD dictionary (main keyword to option
// keyword) and, for a printer-info ticket, the path of the printer's PPD file.
#pragma once

#include "pm_object.h"

#include "CoreFoundation/ref.h"
#include "support/live_count.h"

#include <CoreFoundation/CoreFoundation.h>

namespace printing {

inline constexpr char kTicketKind[] = "ticket";

class Ticket final : public PrintingObject, platform::live::Counted<kTicketKind> {
public:
    static constexpr ObjectKind kKind = ObjectKind::ticket;

    // Keeps its own copy of the type.
    explicit Ticket(CFStringRef type);

    bool is_usable() const { return type_ && ppd_dictionary_; }

    CFStringRef type() const { return type_.get(); }
    // Lives as long as the ticket; callers borrow it.
    CFMutableDictionaryRef ppd_dictionary() const { return ppd_dictionary_.get(); }

    // nullptr until a path is set.
    CFStringRef ppd_path() const { return ppd_path_.get(); }
    // Keeps its own copy of the path.
    void set_ppd_path(CFStringRef path);

private:
    cf::Ref<CFStringRef> type_;
    cf::Ref<CFMutableDictionaryRef> ppd_dictionary_;
    cf::Ref<CFStringRef> ppd_path_;
};

}  // namespace printing
