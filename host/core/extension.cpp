// Loading an extension through CFPlugIn and the COM-style factory.
#include <printdialog/extension.h>

#include <printdialog/cf_dictionary.h>
#include <printdialog/files.h>

#include <filesystem>
#include <vector>

namespace printdialog {

// All of the string's characters as UTF-8, NUL characters included (a C string would stop at
// the first); a surrogate without its partner (an emoji cut in two) becomes U+FFFD, so that such
// text is shown and reported rather than lost. Empty for NULL or a non-string.
std::string utf8(CFStringRef string) {
    if (string == nullptr || CFGetTypeID(string) != CFStringGetTypeID()) return {};
    auto bytes = cf::adopt(CFStringCreateExternalRepresentation(kCFAllocatorDefault, string, kCFStringEncodingUTF8, 0));
    if (!bytes) {
        // Only a lone surrogate stops the conversion: the same text with U+FFFD in its place.
        CFIndex length = CFStringGetLength(string);
        std::vector<UniChar> units(static_cast<size_t>(length));
        CFStringGetCharacters(string, CFRangeMake(0, length), units.data());
        auto isHigh = [](UniChar unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
        auto isLow = [](UniChar unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
        for (size_t index = 0; index < units.size(); ++index) {
            if (isHigh(units[index]) && index + 1 < units.size() && isLow(units[index + 1])) ++index;
            else if (isHigh(units[index]) || isLow(units[index])) units[index] = 0xFFFD;
        }
        auto repaired = cf::adopt(CFStringCreateWithCharacters(kCFAllocatorDefault, units.data(), length));
        bytes = cf::adopt(CFStringCreateExternalRepresentation(kCFAllocatorDefault, repaired.get(), kCFStringEncodingUTF8, 0));
        if (!bytes) return {};
    }
    return std::string(reinterpret_cast<const char *>(CFDataGetBytePtr(bytes.get())),
                       static_cast<size_t>(CFDataGetLength(bytes.get())));
}

namespace {

// The description of an error the platform handed back, with a fallback for none.
std::string describe(CFErrorRef error, const std::string &fallback) {
    if (error == nullptr) return fallback;
    std::string text = utf8(cf::adopt(CFErrorCopyDescription(error)).get());
    return text.empty() ? fallback : text;
}

// What a path that is not a plain file is, in words.
std::string fileKind(const std::filesystem::file_status &status) {
    namespace fs = std::filesystem;
    switch (status.type()) {
    case fs::file_type::directory: return "a folder";
    case fs::file_type::fifo: return "a FIFO";
    case fs::file_type::socket: return "a socket";
    case fs::file_type::character:
    case fs::file_type::block: return "a device";
    default: return "an unknown kind of file";
    }
}

// Why CFBundleCreate made no bundle of the folder: it is missing, it has no Contents/Info.plist,
// or that file is no property-list dictionary.
std::string whyNoBundle(const std::string &bundlePath) {
    namespace fs = std::filesystem;
    std::error_code failure;
    if (!fs::is_directory(bundlePath, failure)) return "no bundle folder at " + bundlePath;
    fs::path contents = fs::path(bundlePath) / "Contents";
    fs::path info = contents / "Info.plist";
    auto status = fs::status(info, failure);
    if (failure == std::errc::no_such_file_or_directory) return "no Info.plist in " + contents.string();
    if (failure) return "cannot read " + info.string() + ": " + failure.message();
    // Only a plain file is read: a FIFO would never end, /dev/zero never stop.
    if (!fs::is_regular_file(status)) return info.string() + " is " + fileKind(status) + ", not a plain file";

    std::string bytes, reason;
    if (!readWholeFile(info.string(), bytes, reason)) return "cannot read " + info.string() + ": " + reason;
    auto data = cf::adopt(CFDataCreate(kCFAllocatorDefault, reinterpret_cast<const UInt8 *>(bytes.data()),
                                       static_cast<CFIndex>(bytes.size())));
    CFErrorRef parseError = nullptr;
    auto list = cf::adopt(CFPropertyListCreateWithData(kCFAllocatorDefault, data.get(), kCFPropertyListImmutable,
                                                       nullptr, &parseError));
    auto ownedError = cf::adopt(parseError);
    if (!list) return "malformed Info.plist: " + describe(parseError, "it does not parse");
    if (CFGetTypeID(list.get()) != CFDictionaryGetTypeID())
        return "malformed Info.plist: the top level is not a dictionary";
    return "cannot load the bundle";
}

// A string value of Info.plist, or NULL when the key is absent or not a string.
CFStringRef infoString(CFBundleRef bundle, CFStringRef key) {
    CFTypeRef value = CFBundleGetValueForInfoDictionaryKey(bundle, key);
    return value != nullptr && CFGetTypeID(value) == CFStringGetTypeID() ? static_cast<CFStringRef>(value) : nullptr;
}

// " (its <kind> function <name> is missing from the executable)" when the loaded code lacks it.
std::string missingFunction(CFBundleRef bundle, const char *kind, CFStringRef name) {
    if (name == nullptr || CFBundleGetFunctionPointerForName(bundle, name) != nullptr) return {};
    return std::string(" (its ") + kind + " function " + utf8(name) + " is missing from the executable)";
}

// Why a bundle whose code loaded registered no factory: the registration function that
// Info.plist asks for is missing. Empty when that is not the cause.
std::string whyNoFactory(CFBundleRef bundle) {
    CFStringRef wanted = infoString(bundle, kCFPlugInDynamicRegistrationKey);
    if (wanted == nullptr || CFStringCompare(wanted, CFSTR("YES"), kCFCompareCaseInsensitive) != kCFCompareEqualTo)
        return {};
    CFStringRef name = infoString(bundle, kCFPlugInDynamicRegisterFunctionKey);
    if (name == nullptr || CFStringGetLength(name) == 0) name = CFSTR("CFPlugInDynamicRegister");
    return missingFunction(bundle, "registration", name);
}

// Why a factory made no instance: the function that CFPlugInFactories names for it is missing.
// Empty when that is not the cause.
std::string whyNoInstance(CFBundleRef bundle, CFUUIDRef factory) {
    CFTypeRef factories = CFBundleGetValueForInfoDictionaryKey(bundle, kCFPlugInFactoriesKey);
    if (factories == nullptr || CFGetTypeID(factories) != CFDictionaryGetTypeID()) return {};
    std::string reason;
    forEachEntry(static_cast<CFDictionaryRef>(factories), [&](CFTypeRef key, CFTypeRef function) {
        if (CFGetTypeID(key) != CFStringGetTypeID() || CFGetTypeID(function) != CFStringGetTypeID()) return;
        auto uuid = cf::adopt(CFUUIDCreateFromString(kCFAllocatorDefault, static_cast<CFStringRef>(key)));
        if (uuid && CFEqual(uuid.get(), factory) && reason.empty())
            reason = missingFunction(bundle, "factory", static_cast<CFStringRef>(function));
    });
    return reason;
}

// The bundle that already registered a factory this one names in CFPlugInFactories (a second
// copy of a bundle), as factoryOwner tells it; empty when there is none.
std::string duplicateOf(CFBundleRef bundle, const Extension::FactoryOwner &factoryOwner) {
    CFTypeRef factories = CFBundleGetValueForInfoDictionaryKey(bundle, kCFPlugInFactoriesKey);
    if (!factoryOwner || factories == nullptr || CFGetTypeID(factories) != CFDictionaryGetTypeID()) return {};
    std::string owner;
    forEachEntry(static_cast<CFDictionaryRef>(factories), [&](CFTypeRef key, CFTypeRef) {
        if (!owner.empty() || CFGetTypeID(key) != CFStringGetTypeID()) return;
        auto uuid = cf::adopt(CFUUIDCreateFromString(kCFAllocatorDefault, static_cast<CFStringRef>(key)));
        if (uuid) owner = factoryOwner(utf8(cf::adopt(CFUUIDCreateString(kCFAllocatorDefault, uuid.get())).get()));
    });
    return owner;
}

}  // namespace

std::unique_ptr<Extension> Extension::load(const std::string &bundlePath, std::string &error,
                                           const FactoryOwner &factoryOwner) {
    std::unique_ptr<Extension> extension(new Extension());
    extension->bundlePath_ = bundlePath;

    // The path's bytes as they are: a folder name need not be UTF-8.
    auto url = cf::adopt(CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8 *>(bundlePath.data()), static_cast<CFIndex>(bundlePath.size()), true));
    // The bundle and its code first, so that a bundle that does not load says why.
    auto bundle = cf::adopt(CFBundleCreate(kCFAllocatorDefault, url.get()));
    if (!bundle) {
        error = whyNoBundle(bundlePath);
        return nullptr;
    }
    CFErrorRef loadError = nullptr;
    if (!CFBundleLoadExecutableAndReturnError(bundle.get(), &loadError)) {
        auto ownedError = cf::adopt(loadError);
        error = describe(loadError, "cannot load the executable");
        return nullptr;
    }
    extension->plugIn_ = cf::adopt(CFPlugInCreate(kCFAllocatorDefault, url.get()));
    if (!extension->plugIn_) {
        error = "cannot load the bundle";
        return nullptr;
    }
    extension->bundleIdentifier_ = utf8(CFBundleGetIdentifier(CFPlugInGetBundle(extension->plugIn_.get())));

    auto type = cf::adopt(CFUUIDCreateFromString(kCFAllocatorDefault, CFSTR(kPrinterModuleTypeIDStr)));
    auto factories = cf::adopt(CFPlugInFindFactoriesForPlugInTypeInPlugIn(type.get(), extension->plugIn_.get()));
    if (!factories || CFArrayGetCount(factories.get()) < 1) {
        std::string original = duplicateOf(bundle.get(), factoryOwner);
        error = !original.empty()
                    ? "duplicate of " + original + " (its factory is already registered by that bundle)"
                    : "the bundle registers no factory for the printer-module PDE type" + whyNoFactory(bundle.get());
        return nullptr;
    }
    auto factory = static_cast<CFUUIDRef>(CFArrayGetValueAtIndex(factories.get(), 0));
    extension->factory_ = utf8(cf::adopt(CFUUIDCreateString(kCFAllocatorDefault, factory)).get());

    extension->instance_ = static_cast<IUnknownVTbl **>(CFPlugInInstanceCreate(kCFAllocatorDefault, factory, type.get()));
    if (extension->instance_ == nullptr) {
        error = "the factory made no instance for the printer-module PDE type" + whyNoInstance(bundle.get(), factory);
        return nullptr;
    }

    auto interfaceID = cf::adopt(CFUUIDCreateFromString(kCFAllocatorDefault, CFSTR(kDialogExtensionIntfIDStr)));
    void *interface = nullptr;
    HRESULT result = (*extension->instance_)->QueryInterface(extension->instance_,
                                                            CFUUIDGetUUIDBytes(interfaceID.get()), &interface);
    extension->interface_ = static_cast<PlugInIntf *>(interface);
    if (result != S_OK || extension->interface_ == nullptr) {
        error = "QueryInterface for the dialog-extension interface failed (" + std::to_string(result) + ")";
        return nullptr;
    }

    auto header = reinterpret_cast<PMPlugInHeaderInterface *>(extension->interface_);
    extension->interface_->vtable->plugInHeader.GetAPIVersion(header, &extension->apiVersion_);
    if (extension->apiVersion_.baseVersionMajor != kPDEBaseVersionMajor) {
        // The base version is the one the bundle is compatible with, and so the one refused.
        error = "unsupported PDE API base version " + std::to_string(extension->apiVersion_.baseVersionMajor) + "." +
                std::to_string(extension->apiVersion_.baseVersionMinor) + " (this host supports " +
                std::to_string(kPDEBaseVersionMajor) + ".x)";
        return nullptr;
    }
    return extension;
}

Extension::~Extension() {
    if (interface_ != nullptr) {
        auto header = reinterpret_cast<PMPlugInHeaderInterface *>(interface_);
        interface_->vtable->plugInHeader.Release(&header);
        interface_ = nullptr;
    }
    if (instance_ != nullptr) {
        (*instance_)->Release(instance_);
        instance_ = nullptr;
    }
}

}  // namespace printdialog
