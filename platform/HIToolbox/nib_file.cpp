// Reading nib files and keeping the documents of the most recent ones.
#include "nib_file.h"

#include "support/bounded_file.h"

#include <platform/test_support.h>

#include <algorithm>
#include <list>
#include <mutex>

namespace hitoolbox::nib {
namespace {

// Enough for every nib of the bundles a dialog holds at once.
constexpr std::size_t kDocumentsKept = 16;

// A document with the bytes it was parsed from: comparing bytes rather than file times means a
// file rewritten within the file system's timestamp granularity is never taken for the old one.
struct KeptDocument {
    std::string path;
    std::string bytes;
    std::shared_ptr<const NibDocument> document;
};

// Most recently used first.
class KeptDocuments {
public:
    std::shared_ptr<const NibDocument> find(const std::string &path, const std::string &bytes) {
        std::lock_guard lock(mutex_);
        auto found = std::find_if(kept_.begin(), kept_.end(),
                                  [&](const KeptDocument &kept) { return kept.path == path && kept.bytes == bytes; });
        if (found == kept_.end()) return nullptr;
        kept_.splice(kept_.begin(), kept_, found);
        return kept_.front().document;
    }

    void keep(const std::string &path, std::string bytes, std::shared_ptr<const NibDocument> document) {
        std::lock_guard lock(mutex_);
        kept_.remove_if([&](const KeptDocument &kept) { return kept.path == path; });
        kept_.push_front({path, std::move(bytes), std::move(document)});
        if (kept_.size() > kDocumentsKept) kept_.pop_back();
    }

    void clear() {
        std::lock_guard lock(mutex_);
        kept_.clear();
    }

private:
    std::mutex mutex_;
    std::list<KeptDocument> kept_;
};

KeptDocuments &kept_documents() {
    static KeptDocuments documents;
    return documents;
}

}  // namespace

LoadedNib load_nib_file(const std::string &path) {
    auto contents = platform::files::read_file_at_most(path, kLargestNib);
    if (contents.failure == platform::files::ReadFailure::too_large) return too_large_error(contents.size);
    if (!contents) return NibUnreadable{std::move(contents.reason)};
    if (auto document = kept_documents().find(path, contents.bytes)) return document;

    auto parsed = parse_nib(contents.bytes);
    if (auto *error = std::get_if<NibError>(&parsed)) return std::move(*error);
    auto document = std::make_shared<const NibDocument>(std::move(std::get<NibDocument>(parsed)));
    kept_documents().keep(path, std::move(contents.bytes), document);
    return document;
}

}  // namespace hitoolbox::nib

extern "C" {

// Test control: every later load parses its nib again.
void PlatformForgetLoadedNibs(void) { hitoolbox::nib::kept_documents().clear(); }

}  // extern "C"
