// The standard job options every print dialog offers (copies, collate, pages, pages per sheet,
// orientation), checked as the user types them and sent as the standard CUPS job options.
#pragma once

#include <printdialog/ppd_report.h>

#include <string>
#include <vector>

namespace printdialog {

inline constexpr int kFewestCopies = 1;
inline constexpr int kMostCopies = 999;

// The pages-per-sheet counts offered (number-up).
inline constexpr int kPagesPerSheet[] = {1, 2, 4, 6, 9, 16};

// The values of orientation-requested (IPP enum), portrait being what nothing asks for.
enum class Orientation { Portrait = 3, Landscape = 4, ReverseLandscape = 5, ReversePortrait = 6 };

struct PageRange {
    int first = 1;
    int last = 1;  // equal to first for a single page
};

struct StandardJobOptions {
    int copies = 1;
    bool collate = true;       // sent only with more than one copy
    std::string pageRanges;    // as typed ("1-3,5"); empty: all pages
    int pagesPerSheet = 1;
    Orientation orientation = Orientation::Portrait;
};

// Reads a page selection such as "1-3,5": comma-separated pages and ascending ranges of pages
// from 1 up, blanks around the parts allowed. false with a one-line reason naming the first
// wrong part ("0", "3-1", "a", an empty part, an empty text).
bool parsePageRanges(const std::string &text, std::vector<PageRange> &ranges, std::string &reason);

// The one-line reasons why the options cannot go into a job, one per field that is wrong, each
// starting with the field's name ("copies: ...", "pages: ...", ...); empty when all are right.
std::vector<std::string> checkStandardJobOptions(const StandardJobOptions &options);

// The job options these settings send: nothing for the defaults; copies and collate for more than
// one copy, page-ranges (normalized, without blanks), number-up, orientation-requested otherwise.
// The options must have passed checkStandardJobOptions.
std::vector<JobOption> standardJobOptions(const StandardJobOptions &options);

// The job's options: the ticket's with the standard ones added, a standard option replacing an
// entry of the same key (a "-o copies=2" preset yields to a copies count chosen in the dialog);
// sorted by key.
std::vector<JobOption> mergeJobOptions(std::vector<JobOption> ticketOptions, const std::vector<JobOption> &standard);

}  // namespace printdialog
