// Feeds arbitrary bytes to the printing layer's PPD path as the PPD that a printer-info ticket
// names: ppdOpenCompiledPPDFromTicket, ppdGetMainIndex for the keywords the bytes mention, and
// ppdGetInvocationString for every main keyword and choice, into buffers large and small.
#include "fuzz_support.h"

#include <ApplicationServices/ApplicationServices.h>
#include <platform/cf_ref.h>
#include <platform/host_support.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr UInt8 kUntouched = 0xA5;
// Past these the probing stops: enough for any real PPD, bounded for any input.
constexpr UInt32 kMostMainKeywords = 4000;
constexpr UInt32 kMostChoices = 200;

// A printer-info ticket that names a PPD in a scratch folder, made once; each input becomes the PPD.
class PPDTicket {
public:
    PPDTicket() : folder_("ppd-fuzzer"), file_(folder_.path() / "fuzz.ppd") {
        fuzzing::check(PMTicketCreate(nullptr, kPMPrinterInfoTicket, &ticket_) == kPMNoError, "no ticket");
        const std::string &path = file_.native();
        auto string = cf::adopt(CFStringCreateWithBytes(nullptr, reinterpret_cast<const UInt8 *>(path.data()),
                                                        static_cast<CFIndex>(path.size()), kCFStringEncodingUTF8, false));
        fuzzing::check(PlatformPrinterInfoTicketSetPPDPath(ticket_, string.get()) == kPMNoError, "no PPD path");
    }
    PPDTicket(const PPDTicket &) = delete;
    PPDTicket &operator=(const PPDTicket &) = delete;
    ~PPDTicket() { PMTicketRelease(ticket_); }

    PMTicketRef ticket() const { return ticket_; }
    void write_ppd(std::string_view bytes) const { fuzzing::write_file(file_, bytes); }

private:
    fuzzing::ScratchFolder folder_;
    std::filesystem::path file_;
    PMTicketRef ticket_ = nullptr;
};

// The main keywords the bytes name: "*Keyword" at the start of a line, up to a blank, ':' or '/'.
std::vector<std::string> mentioned_keywords(std::string_view text) {
    constexpr std::size_t kMostKeywords = 64;
    std::set<std::string> keywords;
    for (std::size_t start = 0; start < text.size() && keywords.size() < kMostKeywords;) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (line.size() > 1 && line[0] == '*' && line[1] != '%') {
            line.remove_prefix(1);
            keywords.emplace(line.substr(0, std::min<std::size_t>(255, line.find_first_of(" \t:/"))));
        }
        start = end + 1;
    }
    return {keywords.begin(), keywords.end()};
}

// One invocation into a buffer of bufferSize bytes inside a larger one: the result is a Pascal
// string that fits, and nothing after it is written.
std::string invocation(ppdContext context, UInt32 main_index, UInt32 option, UInt32 buffer_size, OSStatus &status) {
    std::array<UInt8, 300> buffer;
    buffer.fill(kUntouched);
    status = ppdGetInvocationString(context, main_index, option, buffer.data(), buffer_size);
    fuzzing::check(status == kPMNoError || status == kPMKeyNotFound, "an unexpected invocation status");
    const std::size_t length = buffer[0];
    fuzzing::check(length <= 255 && length + 1 <= buffer_size, "an invocation longer than its buffer");
    if (status == kPMKeyNotFound) fuzzing::check(length == 0, "text beside kPMKeyNotFound");
    for (std::size_t index = length + 1; index < buffer.size(); ++index)
        fuzzing::check(buffer[index] == kUntouched, "ppdGetInvocationString wrote past its string");
    return std::string(reinterpret_cast<const char *>(buffer.data() + 1), length);
}

// Every choice of one main keyword, each also cut to small buffers.
void check_main_keyword(ppdContext context, UInt32 main_index) {
    for (UInt32 option = 0; option < kMostChoices; ++option) {
        OSStatus status = kPMNoError;
        const std::string full = invocation(context, main_index, option, 256, status);
        if (option == 0) fuzzing::check(status == kPMNoError, "a main keyword without its own value");
        if (status == kPMKeyNotFound) return;
        for (UInt32 size : {1u, 2u, 9u}) {
            OSStatus cut_status = kPMNoError;
            const std::string cut = invocation(context, main_index, option, size, cut_status);
            fuzzing::check(cut_status == status && full.compare(0, cut.size(), cut) == 0 &&
                               cut.size() == std::min<std::size_t>(full.size(), size - 1),
                           "a cut invocation is not the start of the whole one");
        }
    }
}

void check_context(ppdContext context, const std::vector<std::string> &keywords) {
    // Main keywords are numbered densely from 1: option 0 answers for each, and none past them.
    UInt32 count = 0;
    while (count < kMostMainKeywords) {
        OSStatus status = kPMNoError;
        invocation(context, count + 1, 0, 256, status);
        if (status != kPMNoError) break;
        check_main_keyword(context, ++count);
    }
    OSStatus status = kPMNoError;
    invocation(context, 0, 0, 256, status);
    fuzzing::check(status == kPMKeyNotFound, "main index 0 answers");

    std::map<UInt32, std::string> named;
    for (const std::string &keyword : keywords) {
        Str255 pascal{};
        pascal[0] = static_cast<UInt8>(keyword.size());
        std::memcpy(pascal + 1, keyword.data(), keyword.size());
        const UInt32 index = ppdGetMainIndex(context, pascal);
        fuzzing::check(index == ppdGetMainIndex(context, pascal), "ppdGetMainIndex changes its mind");
        if (index == 0) continue;
        fuzzing::check(index <= count, "a main index past the last main keyword");
        auto [found, added] = named.emplace(index, keyword);
        fuzzing::check(added || found->second == keyword, "two keywords share a main index");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const PPDTicket ppd_ticket;
    const std::string_view text = fuzzing::as_text(data, size);
    ppd_ticket.write_ppd(text);

    fuzzing::LiveObjectBalance balance;
    ppdContext context = nullptr;
    FSSpec file{};
    const OSStatus status = ppdOpenCompiledPPDFromTicket(ppd_ticket.ticket(), &context, &file);
    if (status != kPMNoError) {
        fuzzing::check(status == kPMGeneralError, "a PPD refused with an unexpected status");
        return 0;
    }
    fuzzing::check(context != nullptr, "no context for an opened PPD");
    fuzzing::check(std::string_view(reinterpret_cast<const char *>(file.name + 1), file.name[0]) == "fuzz.ppd",
                   "the file description names another file");
    check_context(context, mentioned_keywords(text));
    fuzzing::check(ppdCloseCompiledPPDFromTicket(context, &file) == kPMNoError, "the PPD does not close");
    return 0;
}
