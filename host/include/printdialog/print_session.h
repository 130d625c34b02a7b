// The print session the host gives every pane: a printer-info ticket that leads to the printer's
// PPD, and a print-settings ticket whose PPD dictionary holds the job's option keywords.
#pragma once

#include <ApplicationServices/ApplicationServices.h>

#include <string>

namespace printdialog {

class PrintSession {
public:
    // Fails (with a message in error) when the session or a ticket cannot be made.
    static bool create(const std::string &ppdPath, PrintSession &session, std::string &error);

    PrintSession() = default;
    PrintSession(const PrintSession &) = delete;
    PrintSession &operator=(const PrintSession &) = delete;
    PrintSession(PrintSession &&other) noexcept;
    PrintSession &operator=(PrintSession &&other) noexcept;
    ~PrintSession();

    PMPrintSession session() const { return session_; }
    PMTicketRef printerInfoTicket() const { return printerInfo_; }
    PMTicketRef printSettingsTicket() const { return printSettings_; }
    // The print-settings ticket's PPD dictionary (borrowed; it belongs to the ticket).
    CFMutableDictionaryRef ppdDictionary() const;
    const std::string &ppdPath() const { return ppdPath_; }

private:
    void reset();

    PMPrintSession session_ = nullptr;
    PMTicketRef printerInfo_ = nullptr;
    PMTicketRef printSettings_ = nullptr;
    std::string ppdPath_;
};

}  // namespace printdialog
