// libcups' parse of each PPD file, made once per process while the file stays the same and shared
// by every context the PPD library opens and by the host's own reading; and the bounds that refuse
// a file far beyond any real PPD before libcups, whose reader grows with the square of the option
// count, spends minutes on it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

struct ppd_file_s;

namespace printing {

// The largest real PPDs in Debian's driver packages (openprinting-ppds, hplip) have 636 KB,
// 85 options and 11,172 keyword lines; these bounds leave a wide margin over them.
inline constexpr std::size_t kLargestPPDBytes = std::size_t{16} * 1024 * 1024;
inline constexpr std::size_t kMostPPDOptions = 2000;
inline constexpr std::size_t kMostPPDKeywordLines = 200000;

enum class PPDOpenFailure {
    unreadable,  // missing, not a regular file, or cannot be read
    malformed,   // libcups cannot parse it, or it has no main keywords
    too_large    // beyond the bounds above: not parsed at all
};

struct PPDOpenProblem {
    PPDOpenFailure kind = PPDOpenFailure::unreadable;
    std::string reason;  // in words, for the host
};

using SharedPPD = std::shared_ptr<ppd_file_s>;

// The kept parse of the file while its identity (device, inode, size, modification and change
// times; while the file is less than two seconds old, its bytes as well) is what it was;
// otherwise a new parse, kept from then on. Readers only: nothing may mark its choices.
SharedPPD open_shared_ppd(const std::string &path, PPDOpenProblem &problem);

// For a caller that marks choices: the shared parse with every choice at its default and the marks
// the caller's until release_marking_lease, which also lets go of it; while another caller holds
// that lease, a parse of its own. Readers of the shared parse never look at marks. NULL with the
// problem when the file cannot be parsed.
ppd_file_s *open_ppd_for_marking(const std::string &path, PPDOpenProblem &problem);
void release_marking_lease(const ppd_file_s *ppd);

// How many parses libcups has made in this process (for tests).
std::size_t ppd_parse_count();

}  // namespace printing
