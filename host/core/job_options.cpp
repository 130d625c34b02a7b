// Checking the standard job options and turning them into CUPS job options.
#include <printdialog/job_options.h>

#include <printdialog/utf8_text.h>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace printdialog {
namespace {

// A page number: digits only, 1 and up, within int. false with the reason for the part.
bool parsePage(const std::string &digits, const std::string &part, int &page, std::string &reason) {
    bool allDigits = !digits.empty() &&
                     std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    if (!allDigits) {
        reason = "'" + part + "' is not a page number or a range such as 1-3";
        return false;
    }
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), page);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        reason = "page " + digits + " is too large";
        return false;
    }
    if (page < 1) {
        reason = "pages are counted from 1: '" + part + "'";
        return false;
    }
    return true;
}

}  // namespace

bool parsePageRanges(const std::string &text, std::vector<PageRange> &ranges, std::string &reason) {
    ranges.clear();
    if (trimmed(text).empty()) {
        reason = "no pages given (for example 1-3,5)";
        return false;
    }
    std::size_t start = 0;
    while (true) {
        std::size_t comma = text.find(',', start);
        std::string part = trimmed(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (part.empty()) {
            reason = "an empty part between commas";
            return false;
        }
        PageRange range;
        std::size_t dash = part.find('-');
        if (dash == std::string::npos) {
            if (!parsePage(part, part, range.first, reason)) return false;
            range.last = range.first;
        } else {
            if (!parsePage(trimmed(part.substr(0, dash)), part, range.first, reason) ||
                !parsePage(trimmed(part.substr(dash + 1)), part, range.last, reason))
                return false;
            if (range.last < range.first) {
                reason = "the range " + part + " runs backwards";
                return false;
            }
        }
        ranges.push_back(range);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

std::vector<std::string> checkStandardJobOptions(const StandardJobOptions &options) {
    std::vector<std::string> reasons;
    if (options.copies < kFewestCopies || options.copies > kMostCopies)
        reasons.push_back("copies: " + std::to_string(options.copies) + " is not between " +
                          std::to_string(kFewestCopies) + " and " + std::to_string(kMostCopies));
    std::vector<PageRange> ranges;
    std::string reason;
    if (!options.pageRanges.empty() && !parsePageRanges(options.pageRanges, ranges, reason))
        reasons.push_back("pages: " + reason);
    if (std::find(std::begin(kPagesPerSheet), std::end(kPagesPerSheet), options.pagesPerSheet) == std::end(kPagesPerSheet))
        reasons.push_back("pages per sheet: " + std::to_string(options.pagesPerSheet) +
                          " is not one of 1, 2, 4, 6, 9, 16");
    int orientation = static_cast<int>(options.orientation);
    if (orientation < static_cast<int>(Orientation::Portrait) || orientation > static_cast<int>(Orientation::ReversePortrait))
        reasons.push_back("orientation: " + std::to_string(orientation) + " is not an orientation");
    return reasons;
}

std::vector<JobOption> standardJobOptions(const StandardJobOptions &options) {
    std::vector<JobOption> result;
    if (options.copies != 1) {
        result.push_back({"copies", std::to_string(options.copies)});
        result.push_back({"collate", options.collate ? "true" : "false"});
    }
    std::vector<PageRange> ranges;
    std::string reason;
    if (!options.pageRanges.empty() && parsePageRanges(options.pageRanges, ranges, reason)) {
        std::string value;
        for (const PageRange &range : ranges) {
            if (!value.empty()) value += ",";
            value += std::to_string(range.first);
            if (range.last != range.first) value += "-" + std::to_string(range.last);
        }
        result.push_back({"page-ranges", value});
    }
    if (options.pagesPerSheet != 1) result.push_back({"number-up", std::to_string(options.pagesPerSheet)});
    if (options.orientation != Orientation::Portrait)
        result.push_back({"orientation-requested", std::to_string(static_cast<int>(options.orientation))});
    return result;
}

std::vector<JobOption> mergeJobOptions(std::vector<JobOption> ticketOptions, const std::vector<JobOption> &standard) {
    for (const JobOption &option : standard) {
        auto same = std::find_if(ticketOptions.begin(), ticketOptions.end(),
                                 [&option](const JobOption &other) { return other.key == option.key; });
        if (same != ticketOptions.end()) same->value = option.value;
        else ticketOptions.push_back(option);
    }
    std::sort(ticketOptions.begin(), ticketOptions.end(),
              [](const JobOption &a, const JobOption &b) { return a.key < b.key; });
    return ticketOptions;
}

}  // namespace printdialog
