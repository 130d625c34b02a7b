// Making the print session and its two tickets.
#include <printdialog/print_session.h>

#include <platform/cf_ref.h>
#include <platform/host_support.h>

#include <cstdint>
#include <utility>

namespace printdialog {
namespace {

// Session data hold a ticket reference as a pointer-sized integer, so a 64-bit address survives.
OSStatus storeTicket(PMPrintSession session, CFStringRef key, PMTicketRef ticket) {
    long address = static_cast<long>(reinterpret_cast<intptr_t>(ticket));
    static_assert(sizeof(long) == sizeof(intptr_t), "a ticket reference must fit a long");
    auto number = cf::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberLongType, &address));
    if (!number) return memFullErr;
    return PMSessionSetDataInSession(session, key, number.get());
}

}  // namespace

bool PrintSession::create(const std::string &ppdPath, PrintSession &session, std::string &error) {
    session.reset();
    session.ppdPath_ = ppdPath;
    OSStatus status = PMCreateSession(&session.session_);
    if (status == noErr) status = PMTicketCreate(kCFAllocatorDefault, kPMPrinterInfoTicket, &session.printerInfo_);
    if (status == noErr) status = PMTicketCreate(kCFAllocatorDefault, kPMPrintSettingsTicket, &session.printSettings_);
    if (status == noErr) {
        // A file name is bytes: one that is not UTF-8 still names the file libcups would open.
        auto path = cf::adopt(CFStringCreateWithFileSystemRepresentation(kCFAllocatorDefault, ppdPath.c_str()));
        status = path ? PlatformPrinterInfoTicketSetPPDPath(session.printerInfo_, path.get()) : paramErr;
    }
    if (status == noErr) status = storeTicket(session.session_, CFSTR("PMPrinterInfoTicket"), session.printerInfo_);
    if (status == noErr) status = storeTicket(session.session_, CFSTR("PMPrintSettingsTicket"), session.printSettings_);
    if (status != noErr) {
        error = "cannot create the print session (status " + std::to_string(status) + ")";
        session.reset();
        return false;
    }
    return true;
}

PrintSession::PrintSession(PrintSession &&other) noexcept { *this = std::move(other); }

PrintSession &PrintSession::operator=(PrintSession &&other) noexcept {
    if (this != &other) {
        reset();
        session_ = std::exchange(other.session_, nullptr);
        printerInfo_ = std::exchange(other.printerInfo_, nullptr);
        printSettings_ = std::exchange(other.printSettings_, nullptr);
        ppdPath_ = std::move(other.ppdPath_);
    }
    return *this;
}

PrintSession::~PrintSession() { reset(); }

void PrintSession::reset() {
    if (session_) PMRelease(std::exchange(session_, nullptr));
    if (printerInfo_) PMTicketRelease(std::exchange(printerInfo_, nullptr));
    if (printSettings_) PMTicketRelease(std::exchange(printSettings_, nullptr));
}

CFMutableDictionaryRef PrintSession::ppdDictionary() const {
    CFMutableDictionaryRef dictionary = nullptr;
    if (printSettings_ == nullptr ||
        PMTicketGetPPDDict(printSettings_, kPMTopLevel, kPMTopLevel, &dictionary) != noErr)
        return nullptr;
    return dictionary;
}

}  // namespace printdialog
