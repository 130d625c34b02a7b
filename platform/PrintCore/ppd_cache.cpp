// Parsing each PPD file once per process: the file is read whole (bounded), counted against the
// bounds, and handed to libcups from memory, so that what was counted is what is parsed.
#include "ppd_cache.h"

#include "support/bounded_file.h"

// libcups marks its PPD API deprecated, yet it is the parser this library is built on.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include <cups/cups.h>
#include <cups/ppd.h>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <list>
#include <map>
#include <mutex>
#include <string_view>

namespace printing {
namespace {

// How many parses the cache keeps beyond those in use: a dialog has one printer, a test a few.
constexpr std::size_t kKeptParses = 8;
// Far longer than any file system's timestamp tick.
constexpr std::int64_t kDoubtNanoseconds = 2'000'000'000;

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified = 0;  // nanoseconds
    std::int64_t changed = 0;

    bool operator==(const FileIdentity &) const = default;
};

std::int64_t nanoseconds(const timespec &time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

std::int64_t now_nanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool identity_of(const std::string &path, FileIdentity &identity) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return false;
    identity = {status.st_dev, status.st_ino, status.st_size, nanoseconds(status.st_mtim), nanoseconds(status.st_ctim)};
    return true;
}

struct KeptParse {
    FileIdentity identity;
    // Written shortly before it was parsed: Linux stamps files with a clock that ticks every few
    // milliseconds (whole seconds on some file systems), so a rewrite of the same size within the
    // tick keeps the identity. Until the file is old enough its bytes are compared as well.
    std::string doubted_bytes;
    SharedPPD ppd;
    bool leased = false;          // a marking caller holds it
};

struct Cache {
    std::mutex mutex;
    std::list<std::pair<std::string, KeptParse>> kept;  // most recently used first
    // What callers hold for marking, and whether it is the kept parse or one of their own.
    struct Lease {
        SharedPPD ppd;
        bool shared = false;
    };
    std::map<const ppd_file_s *, Lease> marking;
    std::size_t parses = 0;
};

Cache &cache() {
    static Cache instance;
    return instance;
}

// A descriptor of an anonymous file holding the bytes, at its start; -1 on failure.
int memory_file(std::string_view bytes) {
    int descriptor = memfd_create("ppd", MFD_CLOEXEC);
    if (descriptor < 0) return -1;
    for (std::size_t written = 0; written < bytes.size();) {
        ssize_t step = write(descriptor, bytes.data() + written, bytes.size() - written);
        if (step <= 0) {
            close(descriptor);
            return -1;
        }
        written += static_cast<std::size_t>(step);
    }
    if (lseek(descriptor, 0, SEEK_SET) != 0) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

bool fail(PPDOpenProblem &problem, PPDOpenFailure kind, std::string reason) {
    problem = {kind, std::move(reason)};
    return false;
}

// The text of a gzip-compressed PPD (libcups reads those too), read no further than the bound.
bool decompressed(std::string &bytes, PPDOpenProblem &problem) {
    int descriptor = memory_file(bytes);
    cups_file_t *file = descriptor >= 0 ? cupsFileOpenFd(descriptor, "r") : nullptr;
    if (file == nullptr) {
        if (descriptor >= 0) close(descriptor);
        return fail(problem, PPDOpenFailure::unreadable, "cannot read the compressed PPD");
    }
    std::string text;
    char piece[65536];
    ssize_t count = 0;
    while ((count = cupsFileRead(file, piece, sizeof piece)) > 0 && text.size() <= kLargestPPDBytes)
        text.append(piece, static_cast<std::size_t>(count));
    cupsFileClose(file);
    if (text.size() > kLargestPPDBytes)
        return fail(problem, PPDOpenFailure::too_large,
                    "the PPD is larger than " + std::to_string(kLargestPPDBytes) + " bytes uncompressed");
    bytes = std::move(text);
    return true;
}

// Refuses, before libcups sees it, a file far beyond any real PPD.
bool within_bounds(std::string_view bytes, PPDOpenProblem &problem) {
    std::size_t options = 0, keyword_lines = 0;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (line.starts_with('*') && !line.starts_with("*%")) ++keyword_lines;
        if (line.starts_with("*OpenUI") || line.starts_with("*JCLOpenUI")) ++options;
        start = end + 1;
    }
    if (options > kMostPPDOptions)
        return fail(problem, PPDOpenFailure::too_large,
                    "the PPD has " + std::to_string(options) + " options; a PPD may have at most " +
                        std::to_string(kMostPPDOptions));
    if (keyword_lines > kMostPPDKeywordLines)
        return fail(problem, PPDOpenFailure::too_large,
                    "the PPD has " + std::to_string(keyword_lines) + " keyword lines; a PPD may have at most " +
                        std::to_string(kMostPPDKeywordLines));
    return true;
}

std::string libcups_error() {
    int line = 0;
    ppd_status_t status = ppdLastError(&line);
    return std::string(ppdErrorString(status)) + " (line " + std::to_string(line) + ")";
}

// Reads, checks and parses the file; the cache's lock is held (libcups' PPD reader keeps its last
// error in a per-thread variable, so parsing under the lock costs nothing in correctness).
SharedPPD parse(const std::string &path, std::string &bytes, PPDOpenProblem &problem) {
    auto contents = platform::files::read_file_at_most(path, kLargestPPDBytes);
    if (!contents) {
        fail(problem,
             contents.failure == platform::files::ReadFailure::too_large ? PPDOpenFailure::too_large
                                                                          : PPDOpenFailure::unreadable,
             "the PPD " + contents.reason);
        return nullptr;
    }
    bytes = std::move(contents.bytes);  // the file's own bytes, for the caller to compare later
    std::string inflated;
    bool compressed = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
                      static_cast<unsigned char>(bytes[1]) == 0x8B;
    if (compressed) {
        inflated = bytes;
        if (!decompressed(inflated, problem)) return nullptr;
    }
    const std::string &text = compressed ? inflated : bytes;
    if (!within_bounds(text, problem)) return nullptr;
    int descriptor = memory_file(text);
    if (descriptor < 0) {
        fail(problem, PPDOpenFailure::unreadable, "cannot hold the PPD in memory");
        return nullptr;
    }
    ppd_file_t *file = ppdOpenFd(descriptor);  // closes the descriptor
    ++cache().parses;
    if (file == nullptr) {
        fail(problem, PPDOpenFailure::malformed, libcups_error());
        return nullptr;
    }
    return SharedPPD(file, [](ppd_file_t *parsed) { ppdClose(parsed); });
}

// The kept parse of the file, found or made; the lock is held.
KeptParse *kept_parse(Cache &parses, const std::string &path, PPDOpenProblem &problem) {
    FileIdentity identity;
    if (!identity_of(path, identity)) {
        fail(problem, PPDOpenFailure::unreadable, "no PPD file at " + path);
        return nullptr;
    }
    auto found = std::find_if(parses.kept.begin(), parses.kept.end(),
                              [&](const auto &entry) { return entry.first == path; });
    if (found != parses.kept.end()) {
        KeptParse &entry = found->second;
        bool same = entry.identity == identity;
        if (same && !entry.doubted_bytes.empty()) {
            // Read before the clock: a rewrite after this read has a later stamp.
            auto contents = platform::files::read_file_at_most(path, kLargestPPDBytes);
            same = contents && contents.bytes == entry.doubted_bytes;
            if (same && now_nanoseconds() - identity.modified >= kDoubtNanoseconds) {
                entry.doubted_bytes.clear();
                entry.doubted_bytes.shrink_to_fit();
            }
        }
        if (same) {
            parses.kept.splice(parses.kept.begin(), parses.kept, found);
            return &parses.kept.front().second;
        }
        parses.kept.erase(found);  // holders keep the old parse alive until they close it
    }
    std::string bytes;
    SharedPPD ppd = parse(path, bytes, problem);
    if (!ppd) return nullptr;
    KeptParse entry;
    entry.identity = identity;
    if (now_nanoseconds() - identity.modified < kDoubtNanoseconds) entry.doubted_bytes = std::move(bytes);
    entry.ppd = std::move(ppd);
    parses.kept.emplace_front(path, std::move(entry));
    if (parses.kept.size() > kKeptParses) parses.kept.pop_back();
    return &parses.kept.front().second;
}

}  // namespace

SharedPPD open_shared_ppd(const std::string &path, PPDOpenProblem &problem) {
    Cache &parses = cache();
    std::lock_guard lock(parses.mutex);
    KeptParse *entry = kept_parse(parses, path, problem);
    return entry != nullptr ? entry->ppd : nullptr;
}

ppd_file_s *open_ppd_for_marking(const std::string &path, PPDOpenProblem &problem) {
    Cache &parses = cache();
    std::lock_guard lock(parses.mutex);
    KeptParse *entry = kept_parse(parses, path, problem);
    if (entry == nullptr) return nullptr;
    SharedPPD ppd = entry->ppd;
    bool shared = !entry->leased;
    if (shared) {
        entry->leased = true;
    } else {
        std::string bytes;
        ppd = parse(path, bytes, problem);
        if (!ppd) return nullptr;
    }
    ppdMarkDefaults(ppd.get());
    ppd_file_s *held = ppd.get();
    parses.marking[held] = {std::move(ppd), shared};
    return held;
}

void release_marking_lease(const ppd_file_s *ppd) {
    Cache &parses = cache();
    SharedPPD last;  // dropped after the lock, so that ppdClose never runs under it
    std::lock_guard lock(parses.mutex);
    auto found = parses.marking.find(ppd);
    if (found == parses.marking.end()) return;
    if (found->second.shared) {
        for (auto &[path, entry] : parses.kept)
            if (entry.ppd.get() == ppd) entry.leased = false;
    }
    last = std::move(found->second.ppd);
    parses.marking.erase(found);
}

std::size_t ppd_parse_count() {
    std::lock_guard lock(cache().mutex);
    return cache().parses;
}

}  // namespace printing
