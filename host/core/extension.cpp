// Loading an extension through CFPlugIn and the COM-style factory.
#include <printdialog/extension.h>

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

std::unique_ptr<Extension> Extension::load(const std::string &bundlePath, std::string &error) {
    std::unique_ptr<Extension> extension(new Extension());
    extension->bundlePath_ = bundlePath;

    auto path = cf::adopt(CFStringCreateWithCString(kCFAllocatorDefault, bundlePath.c_str(), kCFStringEncodingUTF8));
    auto url = cf::adopt(CFURLCreateWithFileSystemPath(kCFAllocatorDefault, path.get(), kCFURLPOSIXPathStyle, true));
    extension->plugIn_ = cf::adopt(CFPlugInCreate(kCFAllocatorDefault, url.get()));
    if (!extension->plugIn_) {
        error = "cannot load the bundle";
        return nullptr;
    }
    extension->bundleIdentifier_ = utf8(CFBundleGetIdentifier(CFPlugInGetBundle(extension->plugIn_.get())));

    auto type = cf::adopt(CFUUIDCreateFromString(kCFAllocatorDefault, CFSTR(kPrinterModuleTypeIDStr)));
    auto factories = cf::adopt(CFPlugInFindFactoriesForPlugInTypeInPlugIn(type.get(), extension->plugIn_.get()));
    if (!factories || CFArrayGetCount(factories.get()) < 1) {
        error = "the bundle registers no factory for the printer-module PDE type";
        return nullptr;
    }
    auto factory = static_cast<CFUUIDRef>(CFArrayGetValueAtIndex(factories.get(), 0));
    extension->factory_ = utf8(cf::adopt(CFUUIDCreateString(kCFAllocatorDefault, factory)).get());

    extension->instance_ = static_cast<IUnknownVTbl **>(CFPlugInInstanceCreate(kCFAllocatorDefault, factory, type.get()));
    if (extension->instance_ == nullptr) {
        error = "the factory made no instance for the printer-module PDE type";
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
        error = "unsupported PDE API version " + std::to_string(extension->apiVersion_.buildVersionMajor) + "." +
                std::to_string(extension->apiVersion_.buildVersionMinor);
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
