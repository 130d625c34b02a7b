// CFPlugIn: bundles that register factories for plug-in types, the instances
// those factories make, and keeping the code loaded while any instance lives.
#include "bundle_internal.h"
#include "string_internal.h"

#include "support/log.h"

#include <CoreFoundation/CoreFoundation.h>

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <set>

namespace cf::plugin {
namespace {

using UUIDKey = std::array<UInt8, 16>;

struct Factory {
    __CFBundle *plugin = nullptr;  // the owner, not retained; NULL for a registered function
    CFPlugInFactoryFunction function = nullptr;
    std::string function_name;     // resolved in the plug-in's code when an instance is made
};

// Code whose bundle is gone while instances of its factories were still alive.
struct LingeringCode {
    void *handle;
    std::set<UUIDKey> factories;
};

struct Registry {
    std::mutex mutex;
    std::map<UUIDKey, Factory> factories;
    std::map<UUIDKey, std::vector<UUIDKey>> types;  // type -> factories, in registration order
    std::map<UUIDKey, long> instances;              // factory -> live instances
    std::map<const __CFBundle *, std::set<UUIDKey>> factories_ever_owned;
    std::vector<LingeringCode> lingering;
};

Registry &registry() {
    static Registry instance;
    return instance;
}

bool is_uuid(CFTypeRef value) { return CFGetTypeID(value) == CFUUIDGetTypeID(); }

UUIDKey key_of(CFUUIDRef uuid) {
    CFUUIDBytes bytes = CFUUIDGetUUIDBytes(uuid);
    UUIDKey key;
    static_assert(sizeof bytes == sizeof key);
    std::memcpy(key.data(), &bytes, sizeof key);
    return key;
}

Ref<CFUUIDRef> uuid_of(const UUIDKey &key) {
    CFUUIDBytes bytes;
    std::memcpy(&bytes, key.data(), sizeof bytes);
    return adopt(CFUUIDCreateFromUUIDBytes(nullptr, bytes));
}

bool any_instance_alive(const Registry &plugins, const std::set<UUIDKey> &factories) {
    return std::any_of(factories.begin(), factories.end(),
                       [&](const UUIDKey &factory) { return plugins.instances.contains(factory); });
}

void remove_factory_from_types(Registry &plugins, const UUIDKey &factory) {
    for (auto type = plugins.types.begin(); type != plugins.types.end();) {
        std::erase(type->second, factory);
        type = type->second.empty() ? plugins.types.erase(type) : std::next(type);
    }
}

// Closes lingering code whose instances are all gone. Called only from host-level
// entry points, never from Add/Remove, which run inside the plug-in's own code.
void close_idle_lingering_code() {
    std::vector<void *> idle;
    {
        Registry &plugins = registry();
        std::lock_guard lock(plugins.mutex);
        std::erase_if(plugins.lingering, [&](const LingeringCode &code) {
            if (any_instance_alive(plugins, code.factories)) return false;
            idle.push_back(code.handle);
            return true;
        });
    }
    for (void *handle : idle) dlclose(handle);
}

bool register_factory(CFUUIDRef factoryUUID, Factory factory) {
    if (!is_uuid(factoryUUID)) return false;
    Registry &plugins = registry();
    std::lock_guard lock(plugins.mutex);
    UUIDKey key = key_of(factoryUUID);
    if (plugins.factories.contains(key)) return false;
    if (factory.plugin != nullptr) plugins.factories_ever_owned[factory.plugin].insert(key);
    plugins.factories.emplace(key, std::move(factory));
    return true;
}

// Applies the CFPlugInFactories and CFPlugInTypes tables of Info.plist.
void register_from_info(__CFBundle &bundle) {
    auto factories = static_cast<CFDictionaryRef>(CFDictionaryGetValue(bundle.info.get(), kCFPlugInFactoriesKey));
    if (CFGetTypeID(factories) == CFDictionaryGetTypeID()) {
        CFIndex count = CFDictionaryGetCount(factories);
        std::vector<const void *> keys(count), values(count);
        CFDictionaryGetKeysAndValues(factories, keys.data(), values.data());
        for (CFIndex index = 0; index < count; ++index) {
            if (CFGetTypeID(keys[index]) != CFStringGetTypeID()) continue;
            if (CFGetTypeID(values[index]) != CFStringGetTypeID()) continue;
            auto factory = adopt(CFUUIDCreateFromString(nullptr, static_cast<CFStringRef>(keys[index])));
            if (factory)
                CFPlugInRegisterFactoryFunctionByName(factory.get(), &bundle,
                                                      static_cast<CFStringRef>(values[index]));
        }
    }
    auto types = static_cast<CFDictionaryRef>(CFDictionaryGetValue(bundle.info.get(), kCFPlugInTypesKey));
    if (CFGetTypeID(types) != CFDictionaryGetTypeID()) return;
    CFIndex count = CFDictionaryGetCount(types);
    std::vector<const void *> keys(count), values(count);
    CFDictionaryGetKeysAndValues(types, keys.data(), values.data());
    for (CFIndex index = 0; index < count; ++index) {
        if (CFGetTypeID(keys[index]) != CFStringGetTypeID()) continue;
        if (CFGetTypeID(values[index]) != CFArrayGetTypeID()) continue;
        auto type = adopt(CFUUIDCreateFromString(nullptr, static_cast<CFStringRef>(keys[index])));
        if (!type) continue;
        auto factory_list = static_cast<CFArrayRef>(values[index]);
        for (CFIndex item = 0; item < CFArrayGetCount(factory_list); ++item) {
            CFTypeRef text = CFArrayGetValueAtIndex(factory_list, item);
            if (CFGetTypeID(text) != CFStringGetTypeID()) continue;
            auto factory = adopt(CFUUIDCreateFromString(nullptr, static_cast<CFStringRef>(text)));
            if (factory) CFPlugInRegisterPlugInType(factory.get(), type.get());
        }
    }
}

// Calls the plug-in's own registration function when Info.plist asks for it.
void register_dynamically(__CFBundle &bundle) {
    CFStringRef wanted = bundle.info_string(kCFPlugInDynamicRegistrationKey);
    if (wanted == nullptr || CFStringCompare(wanted, CFSTR("YES"), kCFCompareCaseInsensitive) != kCFCompareEqualTo)
        return;
    CFStringRef name = bundle.info_string(kCFPlugInDynamicRegisterFunctionKey);
    if (name == nullptr || CFStringGetLength(name) == 0) name = CFSTR("CFPlugInDynamicRegister");
    auto function = reinterpret_cast<CFPlugInDynamicRegisterFunction>(CFBundleGetFunctionPointerForName(&bundle, name));
    if (function == nullptr) {
        platform::log::write(platform::log::Channel::plugin, platform::log::Level::report,
                             "CFPlugIn: %s has no registration function %s", bundle.folder.c_str(), utf8_of(name).c_str());
        return;
    }
    function(&bundle);
}

// What CFPlugInInstanceCreate needs of a factory, copied out of the registry.
struct FactoryCall {
    Ref<CFBundleRef> plugin;
    CFPlugInFactoryFunction function = nullptr;
    std::string function_name;
};

std::optional<FactoryCall> factory_for(CFUUIDRef factoryUUID, CFUUIDRef typeUUID) {
    Registry &plugins = registry();
    std::lock_guard lock(plugins.mutex);
    UUIDKey factory_key = key_of(factoryUUID);
    auto factory = plugins.factories.find(factory_key);
    if (factory == plugins.factories.end()) return std::nullopt;
    auto type = plugins.types.find(key_of(typeUUID));
    if (type == plugins.types.end()) return std::nullopt;
    if (std::find(type->second.begin(), type->second.end(), factory_key) == type->second.end()) return std::nullopt;
    return FactoryCall{retain(static_cast<CFBundleRef>(factory->second.plugin)), factory->second.function,
                       factory->second.function_name};
}

// The factories registered for a type in plug-in (any plug-in when NULL).
CFArrayRef copy_factories(CFUUIDRef typeUUID, const __CFBundle *only_plugin) {
    if (!is_uuid(typeUUID)) return nullptr;
    std::vector<UUIDKey> found;
    {
        Registry &plugins = registry();
        std::lock_guard lock(plugins.mutex);
        auto type = plugins.types.find(key_of(typeUUID));
        if (type == plugins.types.end()) return nullptr;
        for (const UUIDKey &factory : type->second) {
            auto registered = plugins.factories.find(factory);
            if (registered == plugins.factories.end()) continue;
            if (only_plugin == nullptr || registered->second.plugin == only_plugin) found.push_back(factory);
        }
    }
    if (found.empty()) return nullptr;
    auto list = adopt(CFArrayCreateMutable(nullptr, static_cast<CFIndex>(found.size()), &kCFTypeArrayCallBacks));
    for (const UUIDKey &factory : found) CFArrayAppendValue(list.get(), uuid_of(factory).get());
    return list.leak();
}

}  // namespace

void forget_bundle(__CFBundle &bundle) {
    void *handle = std::exchange(bundle.code, nullptr);
    {
        Registry &plugins = registry();
        std::lock_guard lock(plugins.mutex);
        std::set<UUIDKey> owned;
        if (auto found = plugins.factories_ever_owned.find(&bundle); found != plugins.factories_ever_owned.end()) {
            owned = std::move(found->second);
            plugins.factories_ever_owned.erase(found);
        }
        for (const UUIDKey &factory : owned) {
            auto registered = plugins.factories.find(factory);
            if (registered == plugins.factories.end() || registered->second.plugin != &bundle) continue;
            plugins.factories.erase(registered);
            remove_factory_from_types(plugins, factory);
        }
        if (handle != nullptr && any_instance_alive(plugins, owned)) {
            plugins.lingering.push_back({handle, std::move(owned)});
            handle = nullptr;
        }
    }
    if (handle != nullptr) dlclose(handle);
}

}  // namespace cf::plugin

using namespace cf::plugin;

extern "C" {

const CFStringRef kCFPlugInDynamicRegistrationKey = CFSTR("CFPlugInDynamicRegistration");
const CFStringRef kCFPlugInDynamicRegisterFunctionKey = CFSTR("CFPlugInDynamicRegisterFunction");
const CFStringRef kCFPlugInUnloadFunctionKey = CFSTR("CFPlugInUnloadFunction");
const CFStringRef kCFPlugInFactoriesKey = CFSTR("CFPlugInFactories");
const CFStringRef kCFPlugInTypesKey = CFSTR("CFPlugInTypes");

// A plug-in is its bundle, so both share one type.
CFTypeID CFPlugInGetTypeID(void) { return CFBundleGetTypeID(); }

// Creates (or finds) the bundle, loads its executable and registers its factories
// and types; NULL, with nothing registered, when the code cannot be loaded.
CFPlugInRef CFPlugInCreate(CFAllocatorRef allocator, CFURLRef plugInURL) {
    close_idle_lingering_code();
    auto bundle = cf::adopt(CFBundleCreate(allocator, plugInURL));
    auto *self = cf::as<__CFBundle>(bundle.get());
    if (self == nullptr) return nullptr;
    if (!CFBundleLoadExecutable(bundle.get())) return nullptr;
    if (!self->plugin_registered) {
        self->plugin_registered = true;
        register_from_info(*self);
        register_dynamically(*self);
    }
    return bundle.leak();
}

// The bundle of a plug-in: the same object.
CFBundleRef CFPlugInGetBundle(CFPlugInRef plugIn) { return cf::as<__CFBundle>(plugIn); }

// A new array of the factory UUIDs that serve the type, or NULL when none does.
CFArrayRef CFPlugInFindFactoriesForPlugInType(CFUUIDRef typeUUID) { return copy_factories(typeUUID, nullptr); }

// The same, restricted to the factories one plug-in registered.
CFArrayRef CFPlugInFindFactoriesForPlugInTypeInPlugIn(CFUUIDRef typeUUID, CFPlugInRef plugIn) {
    auto *self = cf::as<__CFBundle>(plugIn);
    return self ? copy_factories(typeUUID, self) : nullptr;
}

// Calls the factory registered for the type and returns what it made; NULL when
// the factory is unknown, not registered for the type, or cannot be resolved.
void *CFPlugInInstanceCreate(CFAllocatorRef allocator, CFUUIDRef factoryUUID, CFUUIDRef typeUUID) {
    if (!is_uuid(factoryUUID) || !is_uuid(typeUUID)) return nullptr;
    auto call = factory_for(factoryUUID, typeUUID);
    if (!call) return nullptr;
    CFPlugInFactoryFunction function = call->function;
    if (function == nullptr && call->plugin && CFBundleLoadExecutable(call->plugin.get())) {
        auto name = cf::adopt(cf::create_string_from_utf8(call->function_name));
        function = reinterpret_cast<CFPlugInFactoryFunction>(
            CFBundleGetFunctionPointerForName(call->plugin.get(), name.get()));
    }
    if (function == nullptr) {
        platform::log::write(platform::log::Channel::plugin, platform::log::Level::report,
                             "CFPlugIn: factory function %s cannot be found", call->function_name.c_str());
        return nullptr;
    }
    return function(allocator, typeUUID);
}

// Registers a factory that is a function of the caller; false when the UUID is taken.
Boolean CFPlugInRegisterFactoryFunction(CFUUIDRef factoryUUID, CFPlugInFactoryFunction func) {
    if (func == nullptr) return false;
    return register_factory(factoryUUID, Factory{nullptr, func, {}});
}

// Registers a factory that the plug-in's code exports under the name; it belongs
// to the plug-in and goes when the plug-in is freed.
Boolean CFPlugInRegisterFactoryFunctionByName(CFUUIDRef factoryUUID, CFPlugInRef plugIn, CFStringRef functionName) {
    auto *self = cf::as<__CFBundle>(plugIn);
    if (self == nullptr || CFGetTypeID(functionName) != CFStringGetTypeID() || CFStringGetLength(functionName) == 0)
        return false;
    return register_factory(factoryUUID, Factory{self, nullptr, cf::utf8_of(functionName)});
}

// Removes the factory and its type registrations; false when it was not registered.
Boolean CFPlugInUnregisterFactory(CFUUIDRef factoryUUID) {
    if (!is_uuid(factoryUUID)) return false;
    Registry &plugins = registry();
    std::lock_guard lock(plugins.mutex);
    UUIDKey factory = key_of(factoryUUID);
    if (plugins.factories.erase(factory) == 0) return false;
    remove_factory_from_types(plugins, factory);
    return true;
}

// Declares that a registered factory can make the type.
Boolean CFPlugInRegisterPlugInType(CFUUIDRef factoryUUID, CFUUIDRef typeUUID) {
    if (!is_uuid(factoryUUID) || !is_uuid(typeUUID)) return false;
    Registry &plugins = registry();
    std::lock_guard lock(plugins.mutex);
    UUIDKey factory = key_of(factoryUUID);
    if (!plugins.factories.contains(factory)) return false;
    auto &factories = plugins.types[key_of(typeUUID)];
    if (std::find(factories.begin(), factories.end(), factory) == factories.end()) factories.push_back(factory);
    return true;
}

// Withdraws one factory from a type; false when it was not registered for it.
Boolean CFPlugInUnregisterPlugInType(CFUUIDRef factoryUUID, CFUUIDRef typeUUID) {
    if (!is_uuid(factoryUUID) || !is_uuid(typeUUID)) return false;
    Registry &plugins = registry();
    std::lock_guard lock(plugins.mutex);
    auto type = plugins.types.find(key_of(typeUUID));
    if (type == plugins.types.end() || std::erase(type->second, key_of(factoryUUID)) == 0) return false;
    if (type->second.empty()) plugins.types.erase(type);
    return true;
}

// Counts an instance a factory made; its plug-in's code stays loaded meanwhile.
void CFPlugInAddInstanceForFactory(CFUUIDRef factoryID) {
    if (!is_uuid(factoryID)) return;
    Registry &plugins = registry();
    std::lock_guard lock(plugins.mutex);
    ++plugins.instances[key_of(factoryID)];
}

// Uncounts an instance. Never closes code: the caller is that code.
// Partial: code is never unloaded, so a CFPlugInUnloadFunction is never called.
void CFPlugInRemoveInstanceForFactory(CFUUIDRef factoryID) {
    if (!is_uuid(factoryID)) return;
    Registry &plugins = registry();
    std::lock_guard lock(plugins.mutex);
    auto count = plugins.instances.find(key_of(factoryID));
    if (count != plugins.instances.end() && --count->second <= 0) plugins.instances.erase(count);
}

}  // extern "C"
