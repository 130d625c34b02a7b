// The PPD library: the compiled PPD behind a printer-info ticket, its main keyword
// index and its invocation strings, handed out as Pascal strings.
#include "ppd_context.h"
#include "ticket.h"

#include "support/faults.h"

#include <PrintCore/PMPPDLibrary.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace printing {
namespace {

constexpr std::size_t kMaxPascalLength = 255;

// Writes text as a Pascal string into a buffer of capacity bytes, cut to fit.
void copy_pascal_string(std::string_view text, StringPtr buffer, std::size_t capacity) {
    const std::size_t length = std::min({text.size(), kMaxPascalLength, capacity - 1});
    buffer[0] = static_cast<unsigned char>(length);
    std::copy_n(text.begin(), length, buffer + 1);
}

// The classic file description of a path: no volume or folder, the base name as the name.
void describe_file(const std::string &path, FSSpec &file) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view base_name =
        slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
    file.vRefNum = 0;
    file.parID = 0;
    copy_pascal_string(base_name, file.name, sizeof file.name);
}

// The file name a path string stands for, bytes that are not UTF-8 included.
std::string file_system_path(CFStringRef path) {
    std::string bytes(static_cast<std::size_t>(CFStringGetMaximumSizeOfFileSystemRepresentation(path)), '\0');
    if (bytes.empty() || !CFStringGetFileSystemRepresentation(path, bytes.data(), static_cast<CFIndex>(bytes.size())))
        return {};
    bytes.resize(std::strlen(bytes.c_str()));
    return bytes;
}

std::string_view pascal_text(ConstStr255Param text) {
    return std::string_view(reinterpret_cast<const char *>(text + 1), text[0]);
}

}  // namespace
}  // namespace printing

using printing::PPDContext;

extern "C" {

// Opens the PPD file that a printer-info ticket names. A ticket without one, or a
// missing or unreadable file, gives fnfErr; a file that is no PPD gives kPMGeneralError.
// Partial: reads the PPD source through libcups (there is no compiled form); the FSSpec
// holds only the base name, with no volume or folder.
OSStatus ppdOpenCompiledPPDFromTicket(PMTicketRef printerInfoTicket, ppdContext *outContext, FSSpec *ppdFile) {
    if (auto fault = platform::faults::consume("ppdOpenCompiledPPDFromTicket")) return *fault;
    auto *ticket = printing::live_as<printing::Ticket>(printerInfoTicket);
    if (ticket == nullptr) return kPMInvalidTicket;
    if (outContext == nullptr || ppdFile == nullptr) return kPMInvalidParameter;
    if (ticket->ppd_path() == nullptr) return fnfErr;

    const std::string path = printing::file_system_path(ticket->ppd_path());
    printing::PPDOpenFailure failure = printing::PPDOpenFailure::malformed;
    PPDContext *context = PPDContext::open(path, failure);
    if (context == nullptr) {
        return failure == printing::PPDOpenFailure::unreadable ? OSStatus{fnfErr} : OSStatus{kPMGeneralError};
    }

    printing::describe_file(path, *ppdFile);
    *outContext = printing::reference_to<ppdContext>(context);
    return kPMNoError;
}

// The 1-based index of a main keyword, compared exactly; 0 when absent or unusable.
UInt32 ppdGetMainIndex(ppdContext context, ConstStr255Param mainKeyword) {
    auto *live = printing::live_as<PPDContext>(context);
    if (live == nullptr || mainKeyword == nullptr || mainKeyword[0] == 0) return 0;
    return live->main_index(printing::pascal_text(mainKeyword));
}

// Copies a keyword's value (option 0) or a choice's invocation (option n) as a Pascal
// string of at most min(255, bufferSize - 1) characters. On an error after the
// arguments are checked, the buffer holds the empty string.
OSStatus ppdGetInvocationString(ppdContext context, UInt32 mainIndex, UInt32 optionIndex, StringPtr outString,
                                UInt32 bufferSize) {
    if (auto fault = platform::faults::consume("ppdGetInvocationString")) return *fault;
    auto *live = printing::live_as<PPDContext>(context);
    if (live == nullptr || outString == nullptr || bufferSize == 0) return kPMInvalidParameter;
    auto text = live->invocation(mainIndex, optionIndex);
    printing::copy_pascal_string(text.value_or(std::string_view()), outString, bufferSize);
    return text ? kPMNoError : kPMKeyNotFound;
}

// Closes the PPD and frees the context. Even when a fault is injected the context is
// freed first, so a caller never has to (and never may) close it twice.
// Partial: ppdFile is ignored.
OSStatus ppdCloseCompiledPPDFromTicket(ppdContext context, FSSpec *) {
    auto fault = platform::faults::consume("ppdCloseCompiledPPDFromTicket");
    auto *live = printing::live_as<PPDContext>(context);
    if (live != nullptr) live->release();
    if (fault) return *fault;
    return live != nullptr ? kPMNoError : kPMInvalidParameter;
}

}  // extern "C"
