// One print dialog extension loaded from a bundle: the CFPlugIn, the factory's IUnknown instance
// and the PDE interface object. Releases them in the host's order when destroyed.
#pragma once

#include <ApplicationServices/ApplicationServices.h>
#include <platform/cf_ref.h>

#include <functional>
#include <memory>
#include <string>

namespace printdialog {

class Extension {
public:
    // Names the loaded bundle that registered a factory UUID (canonical text); empty for none.
    using FactoryOwner = std::function<std::string(const std::string &factory)>;

    // Loads the bundle and asks its factory for the printer-module PDE type. Returns nullptr with
    // a one-line reason in error when the bundle offers no usable extension; factoryOwner, when
    // given, lets the reason name the bundle a second copy duplicates.
    static std::unique_ptr<Extension> load(const std::string &bundlePath, std::string &error,
                                           const FactoryOwner &factoryOwner = {});

    Extension(const Extension &) = delete;
    Extension &operator=(const Extension &) = delete;
    // The header's Release on the interface object, the instance's Release, then the bundle.
    ~Extension();

    const PlugInIntfVTable &table() const { return *interface_->vtable; }
    const std::string &bundlePath() const { return bundlePath_; }
    const std::string &bundleIdentifier() const { return bundleIdentifier_; }
    const std::string &factory() const { return factory_; }
    const PMPlugInAPIVersion &apiVersion() const { return apiVersion_; }
    // The bundle behind the extension (borrowed).
    CFPlugInRef plugIn() const { return plugIn_.get(); }

private:
    Extension() = default;

    std::string bundlePath_;
    std::string bundleIdentifier_;
    std::string factory_;
    PMPlugInAPIVersion apiVersion_{};
    cf::Ref<CFPlugInRef> plugIn_;
    IUnknownVTbl **instance_ = nullptr;
    PlugInIntf *interface_ = nullptr;
};

std::string utf8(CFStringRef string);

}  // namespace printdialog
