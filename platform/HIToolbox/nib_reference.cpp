// Interface Builder Services: IBNibRef and its C interface. The nib is read and checked when the
// reference is made, so a broken nib shows at once; windows are built from the checked copy.
#include "nib_builder.h"
#include "nib_document.h"
#include "nib_file.h"

#include "CoreFoundation/ref.h"
#include "CoreFoundation/string_internal.h"
#include "support/faults.h"
#include "support/live_count.h"
#include "support/log.h"

#include <HIToolbox/IBCarbonRuntime.h>

#include <climits>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <variant>

namespace hitoolbox::nib {
inline constexpr char kNibKind[] = "nib";
}  // namespace hitoolbox::nib

// One nib read from its file. The path stays for the messages about it; the document may be
// shared with other references to the same file.
struct OpaqueIBNibRef : platform::live::Counted<hitoolbox::nib::kNibKind> {
    OpaqueIBNibRef(std::string file_path, std::shared_ptr<const hitoolbox::nib::NibDocument> nib_document)
        : path(std::move(file_path)), document(std::move(nib_document)) {}

    const std::string path;
    const std::shared_ptr<const hitoolbox::nib::NibDocument> document;
};

namespace {

using Nib = std::shared_ptr<const OpaqueIBNibRef>;

// Every live reference, owned here, so that a disposed IBNibRef is recognised instead of used.
// A window being built holds its own share of the nib, so disposal meanwhile is harmless.
class NibRegistry {
public:
    IBNibRef add(Nib nib) {
        auto ref = const_cast<IBNibRef>(nib.get());
        std::lock_guard lock(mutex_);
        nibs_.emplace(ref, std::move(nib));
        return ref;
    }

    Nib find(IBNibRef ref) {
        std::lock_guard lock(mutex_);
        auto found = nibs_.find(ref);
        return found != nibs_.end() ? found->second : nullptr;
    }

    void remove(IBNibRef ref) {
        Nib removed;
        std::lock_guard lock(mutex_);
        auto found = nibs_.find(ref);
        if (found == nibs_.end()) return;
        removed = std::move(found->second);
        nibs_.erase(found);
    }

private:
    std::mutex mutex_;
    std::unordered_map<IBNibRef, Nib> nibs_;
};

NibRegistry &registry() {
    static NibRegistry nibs;
    return nibs;
}

bool is_string(CFTypeRef object) { return object != nullptr && CFGetTypeID(object) == CFStringGetTypeID(); }

std::string path_of(CFURLRef url) {
    char path[PATH_MAX];
    if (url == nullptr || !CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8 *>(path), sizeof path))
        return {};
    return path;
}

}  // namespace

extern "C" {

// Finds "<name>.nib" among the bundle's localized resources and reads it. A missing or
// unreadable nib (a folder, a FIFO) is kIBCarbonRuntimeCantFindNibFile; a nib that is there
// but broken or too large is kIBCarbonRuntimeObjectNotOfRequestedType, with "file:line: what"
// on stderr.
// Partial: reads this layer's XML nib format (docs/nib-format.md), not Interface Builder's archives.
OSStatus CreateNibReferenceWithCFBundle(CFBundleRef inBundle, CFStringRef inNibName, IBNibRef *outNibRef) {
    if (auto fault = platform::faults::consume("CreateNibReferenceWithCFBundle")) return *fault;
    if (outNibRef == nullptr) return paramErr;
    *outNibRef = nullptr;
    if (inBundle == nullptr || CFGetTypeID(inBundle) != CFBundleGetTypeID() || !is_string(inNibName)) return paramErr;

    std::string name = cf::utf8_of(inNibName);
    auto url = cf::adopt(CFBundleCopyResourceURL(inBundle, inNibName, CFSTR("nib"), nullptr));
    if (!url) {
        std::string bundle_path = path_of(cf::adopt(CFBundleCopyBundleURL(inBundle)).get());
        platform::log::write(platform::log::Channel::nib, platform::log::Level::report,
                             "CreateNibReferenceWithCFBundle: no nib named '%s' in the bundle %s", name.c_str(),
                             bundle_path.c_str());
        return kIBCarbonRuntimeCantFindNibFile;
    }
    std::string path = path_of(url.get());
    auto loaded = hitoolbox::nib::load_nib_file(path);
    if (auto *unreadable = std::get_if<hitoolbox::nib::NibUnreadable>(&loaded)) {
        platform::log::write(platform::log::Channel::nib, platform::log::Level::report, "%s: cannot read the nib '%s': it %s",
                             path.c_str(), name.c_str(), unreadable->reason.c_str());
        return kIBCarbonRuntimeCantFindNibFile;
    }
    if (auto *error = std::get_if<hitoolbox::nib::NibError>(&loaded)) {
        platform::log::write(platform::log::Channel::nib, platform::log::Level::report, "%s:%ld: %s", path.c_str(),
                             error->line, error->message.c_str());
        return kIBCarbonRuntimeObjectNotOfRequestedType;
    }
    auto nib = std::make_shared<const OpaqueIBNibRef>(
        std::move(path), std::move(std::get<std::shared_ptr<const hitoolbox::nib::NibDocument>>(loaded)));
    *outNibRef = registry().add(std::move(nib));
    return noErr;
}

// A new hidden window from the nib's window of that name.
OSStatus CreateWindowFromNib(IBNibRef inNibRef, CFStringRef inName, WindowRef *outWindow) {
    if (auto fault = platform::faults::consume("CreateWindowFromNib")) return *fault;
    if (outWindow == nullptr) return paramErr;
    *outWindow = nullptr;
    Nib nib = registry().find(inNibRef);
    if (nib == nullptr || !is_string(inName)) return paramErr;
    std::string name = cf::utf8_of(inName);
    const hitoolbox::nib::WindowDescription *window = nib->document->find_window(name);
    if (window == nullptr) {
        platform::log::write(platform::log::Channel::nib, platform::log::Level::report, "%s: no window named '%s'",
                             nib->path.c_str(), name.c_str());
        return kIBCarbonRuntimeCantFindObject;
    }
    return hitoolbox::nib::build_window(*window, outWindow);
}

// Windows made from the nib stay; a NULL or disposed reference is ignored.
void DisposeNibReference(IBNibRef inNibRef) { registry().remove(inNibRef); }

}  // extern "C"
