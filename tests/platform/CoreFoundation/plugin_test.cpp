// CFPlugIn with the probe plug-in: registration from Info.plist and in code,
// instances, code kept loaded while instances live, and refused executables.
#include "bundle_test_support.h"

#include "loader_message.h"
#include "probe_plugin.h"

#include <CoreFoundation/CFPlugInCOM.h>

#include <gmock/gmock.h>

#include <dlfcn.h>
#include <elf.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>

using namespace bundle_test;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

// True while the file is mapped into the process (without loading it).
bool is_loaded(const fs::path &file) {
    void *handle = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

// Runs the closing of idle plug-in code that CFPlugInCreate does first.
void let_idle_code_close() {
    auto nowhere = url_for("/nonexistent/Nowhere.plugin");
    EXPECT_FALSE(cf::adopt(CFPlugInCreate(nullptr, nowhere.get())));
}

cf::Ref<CFPlugInRef> create_plugin(const fs::path &folder) {
    return cf::adopt(CFPlugInCreate(nullptr, url_for(folder).get()));
}

std::vector<std::string> uuid_texts(CFArrayRef uuids) {
    std::vector<std::string> texts;
    for (CFIndex index = 0; index < CFArrayGetCount(uuids); ++index)
        texts.push_back(cf::adopt_utf8(CFUUIDCreateString(nullptr, static_cast<CFUUIDRef>(CFArrayGetValueAtIndex(uuids, index)))));
    std::sort(texts.begin(), texts.end());
    return texts;
}

std::string text_of(CFUUIDRef uuid) { return cf::adopt_utf8(CFUUIDCreateString(nullptr, uuid)); }

ProbeInterface **create_probe(CFUUIDRef factory = kProbeFactoryID, CFUUIDRef type = kProbeTypeID) {
    return static_cast<ProbeInterface **>(CFPlugInInstanceCreate(nullptr, factory, type));
}

std::string greeting_of(ProbeInterface **probe) { return cf::adopt_utf8((*probe)->CopyGreeting(probe)); }

const CFUUIDRef kOtherTypeID = CFUUIDGetConstantUUIDWithBytes(nullptr, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                                              0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00);
const CFUUIDRef kLocalFactoryID = CFUUIDGetConstantUUIDWithBytes(nullptr, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
                                                                 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0);

// --- the probe plug-in ---

using PlugInTest = BundleTest;

TEST_F(PlugInTest, CreatesTheBundleAndLoadsItsCode) {
    auto plugin = create_plugin(probe_bundle_path());
    ASSERT_TRUE(plugin);
    EXPECT_EQ(CFPlugInGetTypeID(), CFBundleGetTypeID());
    EXPECT_EQ(CFGetTypeID(plugin.get()), CFPlugInGetTypeID());
    EXPECT_EQ(CFPlugInGetBundle(plugin.get()), plugin.get());
    // This layer's choice: the code is loaded at once; the system loads it lazily for static registration.
    EXPECT_TRUE(CFBundleIsExecutableLoaded(plugin.get()));
    EXPECT_TRUE(is_loaded(probe_executable_path()));
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR(kProbeBundleIdentifier)), plugin.get());
}

TEST_F(PlugInTest, FindsTheFactoriesInfoPlistRegisters) {
    auto plugin = create_plugin(probe_bundle_path());
    auto everywhere = cf::adopt(CFPlugInFindFactoriesForPlugInType(kProbeTypeID));
    auto in_plugin = cf::adopt(CFPlugInFindFactoriesForPlugInTypeInPlugIn(kProbeTypeID, plugin.get()));
    ASSERT_TRUE(everywhere);
    ASSERT_TRUE(in_plugin);
    EXPECT_THAT(uuid_texts(everywhere.get()), ::testing::ElementsAre(text_of(kProbeFactoryID)));
    EXPECT_THAT(uuid_texts(in_plugin.get()), ::testing::ElementsAre(text_of(kProbeFactoryID)));
    EXPECT_FALSE(cf::adopt(CFPlugInFindFactoriesForPlugInType(kOtherTypeID)));
}

TEST_F(PlugInTest, ASecondCreateGivesTheSamePlugInRegisteredOnce) {
    auto plugin = create_plugin(probe_bundle_path());
    auto again = create_plugin(probe_bundle_path());
    EXPECT_EQ(again.get(), plugin.get());
    auto factories = cf::adopt(CFPlugInFindFactoriesForPlugInType(kProbeTypeID));
    ASSERT_TRUE(factories);
    EXPECT_EQ(1, CFArrayGetCount(factories.get()));
}

TEST_F(PlugInTest, AFreedPlugInLeavesNoFactoryAndNoCode) {
    create_plugin(probe_bundle_path()).reset();
    EXPECT_FALSE(cf::adopt(CFPlugInFindFactoriesForPlugInType(kProbeTypeID)));
    EXPECT_EQ(nullptr, create_probe());
    EXPECT_FALSE(is_loaded(probe_executable_path()));
}

TEST_F(PlugInTest, MakesAnInstanceThatAnswersItsInterfaces) {
    auto plugin = create_plugin(probe_bundle_path());
    ProbeInterface **probe = create_probe();
    ASSERT_NE(probe, nullptr);

    void *unknown = nullptr;
    EXPECT_EQ(S_OK, (*probe)->QueryInterface(probe, CFUUIDGetUUIDBytes(IUnknownUUID), &unknown));
    EXPECT_EQ(unknown, probe);
    void *other = &other;
    EXPECT_EQ(E_NOINTERFACE, (*probe)->QueryInterface(probe, CFUUIDGetUUIDBytes(kOtherTypeID), &other));
    EXPECT_EQ(nullptr, other);
    EXPECT_EQ(1u, (*probe)->Release(probe));

    // The plug-in finds its own bundle by identifier and reads its strings.
    EXPECT_EQ("Hello", greeting_of(probe));
    prefer("de");
    EXPECT_EQ("Grüß dich", greeting_of(probe));
    EXPECT_EQ(0u, (*probe)->Release(probe));
}

TEST_F(PlugInTest, RefusesATypeTheFactoryIsNotRegisteredFor) {
    auto plugin = create_plugin(probe_bundle_path());
    EXPECT_EQ(nullptr, create_probe(kProbeFactoryID, kOtherTypeID));
    EXPECT_EQ(nullptr, create_probe(kOtherTypeID, kProbeTypeID));  // an unknown factory
    EXPECT_EQ(nullptr, create_probe(nullptr, kProbeTypeID));
    EXPECT_EQ(nullptr, create_probe(kProbeFactoryID, nullptr));
}

TEST_F(PlugInTest, AnInstanceKeepsTheCodeLoadedAfterThePlugInIsFreed) {
    auto plugin = create_plugin(probe_bundle_path());
    ProbeInterface **probe = create_probe();
    ASSERT_NE(probe, nullptr);
    plugin.reset();

    EXPECT_EQ(nullptr, CFBundleGetBundleWithIdentifier(CFSTR(kProbeBundleIdentifier)));
    EXPECT_FALSE(cf::adopt(CFPlugInFindFactoriesForPlugInType(kProbeTypeID)));
    let_idle_code_close();
    ASSERT_TRUE(is_loaded(probe_executable_path()));
    EXPECT_EQ("Greeting", greeting_of(probe));  // the code runs; its bundle is gone
    EXPECT_EQ(0u, (*probe)->Release(probe));

    let_idle_code_close();
    EXPECT_FALSE(is_loaded(probe_executable_path()));
}

TEST_F(PlugInTest, CountsInstancesPerFactory) {
    auto plugin = create_plugin(probe_bundle_path());
    CFPlugInAddInstanceForFactory(kProbeFactoryID);
    CFPlugInAddInstanceForFactory(kProbeFactoryID);
    plugin.reset();
    CFPlugInRemoveInstanceForFactory(kProbeFactoryID);
    let_idle_code_close();
    EXPECT_TRUE(is_loaded(probe_executable_path()));
    CFPlugInRemoveInstanceForFactory(kProbeFactoryID);
    CFPlugInRemoveInstanceForFactory(kProbeFactoryID);  // one too many changes nothing
    let_idle_code_close();
    EXPECT_FALSE(is_loaded(probe_executable_path()));
}

TEST_F(PlugInTest, ResolvesOnlyExportedFunctionsOfLoadedCode) {
    auto bundle = create_bundle(probe_bundle_path());
    EXPECT_EQ(nullptr, CFBundleGetFunctionPointerForName(bundle.get(), CFSTR("CreateProbeFactory")));
    ASSERT_TRUE(CFBundleLoadExecutable(bundle.get()));
    EXPECT_TRUE(CFBundleLoadExecutable(bundle.get()));
    EXPECT_NE(CFBundleGetFunctionPointerForName(bundle.get(), CFSTR("CreateProbeFactory")), nullptr);
    EXPECT_NE(CFBundleGetFunctionPointerForName(bundle.get(), CFSTR("ProbeDynamicRegister")), nullptr);
    EXPECT_EQ(nullptr, CFBundleGetFunctionPointerForName(bundle.get(), CFSTR("probe_release")));
    EXPECT_EQ(nullptr, CFBundleGetFunctionPointerForName(bundle.get(), CFSTR("NoSuchFunction")));
    // Loading the code alone registers no factory.
    EXPECT_FALSE(cf::adopt(CFPlugInFindFactoriesForPlugInType(kProbeTypeID)));
}

// --- registration in code ---

int local_factory_calls = 0;
CFUUIDRef local_factory_type = nullptr;

void *local_factory(CFAllocatorRef, CFUUIDRef typeUUID) {
    ++local_factory_calls;
    local_factory_type = typeUUID;
    return &local_factory_calls;
}

class PlugInRegistrationTest : public BundleTest {
protected:
    void SetUp() override {
        BundleTest::SetUp();
        local_factory_calls = 0;
        local_factory_type = nullptr;
    }
    void TearDown() override {
        CFPlugInUnregisterFactory(kLocalFactoryID);
        BundleTest::TearDown();
    }
};

TEST_F(PlugInRegistrationTest, AFunctionFactoryServesTheTypesItIsRegisteredFor) {
    ASSERT_TRUE(CFPlugInRegisterFactoryFunction(kLocalFactoryID, local_factory));
    EXPECT_EQ(nullptr, CFPlugInInstanceCreate(nullptr, kLocalFactoryID, kOtherTypeID));
    ASSERT_TRUE(CFPlugInRegisterPlugInType(kLocalFactoryID, kOtherTypeID));

    auto factories = cf::adopt(CFPlugInFindFactoriesForPlugInType(kOtherTypeID));
    ASSERT_TRUE(factories);
    EXPECT_THAT(uuid_texts(factories.get()), ::testing::ElementsAre(text_of(kLocalFactoryID)));
    EXPECT_EQ(CFPlugInInstanceCreate(nullptr, kLocalFactoryID, kOtherTypeID), &local_factory_calls);
    EXPECT_EQ(1, local_factory_calls);
    EXPECT_TRUE(CFEqual(local_factory_type, kOtherTypeID));
}

TEST_F(PlugInRegistrationTest, RefusesDuplicatesAndTypesOfUnknownFactories) {
    ASSERT_TRUE(CFPlugInRegisterFactoryFunction(kLocalFactoryID, local_factory));
    EXPECT_FALSE(CFPlugInRegisterFactoryFunction(kLocalFactoryID, local_factory));
    EXPECT_FALSE(CFPlugInRegisterFactoryFunction(nullptr, local_factory));
    EXPECT_FALSE(CFPlugInRegisterPlugInType(kProbeDynamicFactoryID, kOtherTypeID));
    EXPECT_FALSE(cf::adopt(CFPlugInFindFactoriesForPlugInType(kOtherTypeID)));
}

TEST_F(PlugInRegistrationTest, UnregisteringEndsInstanceCreation) {
    ASSERT_TRUE(CFPlugInRegisterFactoryFunction(kLocalFactoryID, local_factory));
    ASSERT_TRUE(CFPlugInRegisterPlugInType(kLocalFactoryID, kOtherTypeID));
    EXPECT_TRUE(CFPlugInUnregisterPlugInType(kLocalFactoryID, kOtherTypeID));
    EXPECT_FALSE(CFPlugInUnregisterPlugInType(kLocalFactoryID, kOtherTypeID));
    EXPECT_FALSE(cf::adopt(CFPlugInFindFactoriesForPlugInType(kOtherTypeID)));
    EXPECT_EQ(nullptr, CFPlugInInstanceCreate(nullptr, kLocalFactoryID, kOtherTypeID));

    ASSERT_TRUE(CFPlugInRegisterPlugInType(kLocalFactoryID, kOtherTypeID));
    EXPECT_TRUE(CFPlugInUnregisterFactory(kLocalFactoryID));
    EXPECT_FALSE(CFPlugInUnregisterFactory(kLocalFactoryID));
    EXPECT_FALSE(cf::adopt(CFPlugInFindFactoriesForPlugInType(kOtherTypeID)));
    EXPECT_EQ(nullptr, CFPlugInInstanceCreate(nullptr, kLocalFactoryID, kOtherTypeID));
    EXPECT_EQ(0, local_factory_calls);
}

TEST_F(PlugInRegistrationTest, ANamedFactoryResolvesInThePlugInsCode) {
    auto plugin = create_plugin(probe_bundle_path());
    ASSERT_TRUE(CFPlugInRegisterFactoryFunctionByName(kLocalFactoryID, plugin.get(), CFSTR("CreateProbeFactory")));
    ASSERT_TRUE(CFPlugInRegisterPlugInType(kLocalFactoryID, kProbeTypeID));
    auto in_plugin = cf::adopt(CFPlugInFindFactoriesForPlugInTypeInPlugIn(kProbeTypeID, plugin.get()));
    EXPECT_THAT(uuid_texts(in_plugin.get()), ::testing::ElementsAre(text_of(kLocalFactoryID), text_of(kProbeFactoryID)));
    ProbeInterface **probe = create_probe(kLocalFactoryID, kProbeTypeID);
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(0u, (*probe)->Release(probe));

    ASSERT_TRUE(CFPlugInRegisterFactoryFunctionByName(kProbeDynamicFactoryID, plugin.get(), CFSTR("Missing")));
    ASSERT_TRUE(CFPlugInRegisterPlugInType(kProbeDynamicFactoryID, kProbeTypeID));
    testing::internal::CaptureStderr();
    EXPECT_EQ(nullptr, create_probe(kProbeDynamicFactoryID, kProbeTypeID));
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("Missing"));
    CFPlugInUnregisterFactory(kProbeDynamicFactoryID);
}

// --- copies of the probe plug-in built at test time ---

class PlugInCopyTest : public BundleTest {
protected:
    // A copy of the probe plug-in whose Info.plist names the given executable and factory function.
    fs::path make_copy(const std::string &executable, const std::string &extra_xml = "",
                       const std::string &factory_function = "CreateProbeFactory") {
        std::string types = "<key>CFPlugInFactories</key><dict><key>" + text_of(kProbeFactoryID) +
                            "</key><string>" + factory_function + "</string></dict>"
                            "<key>CFPlugInTypes</key><dict><key>" + text_of(kProbeTypeID) +
                            "</key><array><string>" + text_of(kProbeFactoryID) + "</string></array></dict>\n";
        fs::path folder = make_bundle("Copy", info_plist({{"CFBundleIdentifier", "com.quorven.test.copy"},
                                                          {"CFBundleExecutable", executable}},
                                                         types + extra_xml));
        fs::create_directories(macos(folder));
        return folder;
    }

    static fs::path macos(const fs::path &folder) { return folder / "Contents" / "MacOS"; }

    static void copy_code_to(const fs::path &file) {
        fs::create_directories(file.parent_path());
        fs::copy_file(probe_executable_path(), file, fs::copy_options::overwrite_existing);
    }

    // CFPlugInCreate must refuse the folder, say why on one line, and register nothing.
    void expect_refused(const fs::path &folder, const std::string &reason) {
        testing::internal::CaptureStderr();
        auto plugin = create_plugin(folder);
        std::string message = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(plugin);
        EXPECT_THAT(message, HasSubstr(folder.string()));
        EXPECT_THAT(message, HasSubstr(reason));
        EXPECT_EQ(1, std::count(message.begin(), message.end(), '\n')) << message;
        EXPECT_FALSE(cf::adopt(CFPlugInFindFactoriesForPlugInType(kProbeTypeID)));
        EXPECT_EQ(nullptr, CFBundleGetBundleWithIdentifier(CFSTR("com.quorven.test.copy")));
    }
};

TEST_F(PlugInCopyTest, AnExactCopyLoads) {
    fs::path folder = make_copy("ProbePlugin");
    copy_code_to(macos(folder) / "ProbePlugin");
    auto plugin = create_plugin(folder);
    ASSERT_TRUE(plugin);
    ProbeInterface **probe = create_probe();
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(0u, (*probe)->Release(probe));
}

TEST_F(PlugInCopyTest, RefusesAnExecutableNameWithAParentStep) {
    fs::path folder = make_copy("../x");
    copy_code_to(folder / "Contents" / "x");
    expect_refused(folder, "path separator");
    EXPECT_FALSE(is_loaded(folder / "Contents" / "x"));
}

TEST_F(PlugInCopyTest, RefusesAnExecutableNameWithASubfolder) {
    fs::path folder = make_copy("sub/x");
    copy_code_to(macos(folder) / "sub" / "x");
    expect_refused(folder, "path separator");
    EXPECT_FALSE(is_loaded(macos(folder) / "sub" / "x"));
}

TEST_F(PlugInCopyTest, RefusesALinkThatLeadsOutOfTheBundle) {
    fs::path outside = temporary_ / "outside" / "ProbePlugin";
    copy_code_to(outside);
    fs::path folder = make_copy("ProbePlugin");
    fs::create_symlink(outside, macos(folder) / "ProbePlugin");
    expect_refused(folder, "outside Contents/MacOS");
    EXPECT_FALSE(is_loaded(outside));
}

TEST_F(PlugInCopyTest, RefusesNamesThatAreNoFileNames) {
    for (const char *name : {"", ".", ".."}) {
        SCOPED_TRACE(name);
        fs::path folder = make_copy(name);
        expect_refused(folder, "executable name");
        fs::remove_all(folder);
    }
}

TEST_F(PlugInCopyTest, RefusesAMissingOrUnloadableExecutable) {
    fs::path folder = make_copy("ProbePlugin");
    expect_refused(folder, "does not exist");
    writeFile(macos(folder) / "ProbePlugin", "not a shared object");
    expect_refused(folder, "cannot load");
}

TEST_F(PlugInCopyTest, AcceptsALinkToAnotherFileInsideMacOS) {
    fs::path folder = make_copy("ProbePlugin");
    copy_code_to(macos(folder) / "ProbePlugin-1.0");
    fs::create_symlink("ProbePlugin-1.0", macos(folder) / "ProbePlugin");
    auto plugin = create_plugin(folder);
    ASSERT_TRUE(plugin);
    EXPECT_TRUE(is_loaded(macos(folder) / "ProbePlugin-1.0"));
}

TEST_F(PlugInCopyTest, ARefusedBundleLoadsNothingThroughCFBundleEither) {
    fs::path folder = make_copy("../x");
    copy_code_to(folder / "Contents" / "x");
    auto bundle = create_bundle(folder);
    ASSERT_TRUE(bundle);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CFBundleLoadExecutable(bundle.get()));
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(folder.string()));
    EXPECT_FALSE(CFBundleIsExecutableLoaded(bundle.get()));
    EXPECT_FALSE(cf::adopt(CFBundleCopyExecutableURL(bundle.get())));
    EXPECT_EQ(nullptr, CFBundleGetFunctionPointerForName(bundle.get(), CFSTR("CreateProbeFactory")));
    // A plug-in made of the same bundle is refused too, and the bundle itself lives on.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(create_plugin(folder));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.quorven.test.copy")), bundle.get());
}

TEST_F(PlugInCopyTest, DynamicRegistrationCallsTheNamedFunction) {
    fs::path folder = make_copy("ProbePlugin",
                                "<key>CFPlugInDynamicRegistration</key><string>YES</string>"
                                "<key>CFPlugInDynamicRegisterFunction</key><string>ProbeDynamicRegister</string>\n");
    copy_code_to(macos(folder) / "ProbePlugin");
    auto plugin = create_plugin(folder);
    ASSERT_TRUE(plugin);
    auto factories = cf::adopt(CFPlugInFindFactoriesForPlugInTypeInPlugIn(kProbeTypeID, plugin.get()));
    EXPECT_THAT(uuid_texts(factories.get()),
                ::testing::ElementsAre(text_of(kProbeDynamicFactoryID), text_of(kProbeFactoryID)));
    ProbeInterface **probe = create_probe(kProbeDynamicFactoryID, kProbeTypeID);
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(0u, (*probe)->Release(probe));
    plugin.reset();
    EXPECT_FALSE(cf::adopt(CFPlugInFindFactoriesForPlugInType(kProbeTypeID)));
}

TEST_F(PlugInCopyTest, AMissingDefaultRegistrationFunctionIsReported) {
    fs::path folder = make_copy("ProbePlugin", "<key>CFPlugInDynamicRegistration</key><string>YES</string>\n");
    copy_code_to(macos(folder) / "ProbePlugin");
    testing::internal::CaptureStderr();
    auto plugin = create_plugin(folder);
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("CFPlugInDynamicRegister"));
    ASSERT_TRUE(plugin);
    auto factories = cf::adopt(CFPlugInFindFactoriesForPlugInType(kProbeTypeID));
    EXPECT_THAT(uuid_texts(factories.get()), ::testing::ElementsAre(text_of(kProbeFactoryID)));
}

// Symbols of the libraries the executable uses (the C library, the platform itself) are not the
// bundle's: named as a factory function they are missing, and never called.
const char *const kForeignSymbols[] = {"abort", "exit", "malloc", "dlopen", "CFBundleCreate", "CFPlugInCreate"};

TEST_F(PlugInTest, GivesOnlySymbolsTheExecutableDefinesItself) {
    auto bundle = create_bundle(probe_bundle_path());
    ASSERT_TRUE(CFBundleLoadExecutable(bundle.get()));
    EXPECT_NE(CFBundleGetFunctionPointerForName(bundle.get(), CFSTR("CreateProbeFactory")), nullptr);
    for (const char *name : kForeignSymbols) {
        SCOPED_TRACE(name);
        ASSERT_NE(dlsym(RTLD_DEFAULT, name), nullptr) << "the symbol exists in the process";
        EXPECT_EQ(nullptr, CFBundleGetFunctionPointerForName(bundle.get(), cf::string(name).get()));
    }
}

TEST_F(PlugInCopyTest, AForeignSymbolNamedAsFactoryIsMissingAndNeverCalled) {
    for (const char *name : kForeignSymbols) {
        SCOPED_TRACE(name);
        fs::path folder = make_copy("ProbePlugin", "", name);
        copy_code_to(macos(folder) / "ProbePlugin");
        auto plugin = create_plugin(folder);
        ASSERT_TRUE(plugin);
        testing::internal::CaptureStderr();
        EXPECT_EQ(nullptr, create_probe());
        EXPECT_THAT(testing::internal::GetCapturedStderr(),
                    HasSubstr(std::string("factory function ") + name + " cannot be found"));
        plugin.reset();
        fs::remove_all(folder);
    }
}

// --- the reason an executable does not load ---

struct ErrorSeen {
    CFIndex code = 0;
    std::string description = "<no error>";
};

// What one call gave: its result and its error, which the caller must release.
template <typename Call>
std::pair<bool, ErrorSeen> call_with_error(Call call, CFBundleRef bundle) {
    CFErrorRef error = nullptr;
    bool result = call(bundle, &error);
    ErrorSeen seen;
    if (error != nullptr) {
        auto owned = cf::adopt(error);
        EXPECT_EQ(1, CFGetRetainCount(error)) << "a new reference for the caller";
        EXPECT_TRUE(CFEqual(CFErrorGetDomain(error), kCFErrorDomainCocoa));
        seen = {CFErrorGetCode(error), cf::adopt_utf8(CFErrorCopyDescription(error))};
    }
    return {result, seen};
}

TEST_F(PlugInCopyTest, AnExactCopyPreflightsAndLoadsWithoutError) {
    fs::path folder = make_copy("ProbePlugin");
    copy_code_to(macos(folder) / "ProbePlugin");
    auto bundle = create_bundle(folder);
    auto [preflight, preflight_error] = call_with_error(CFBundlePreflightExecutable, bundle.get());
    EXPECT_TRUE(preflight);
    EXPECT_EQ("<no error>", preflight_error.description);
    EXPECT_FALSE(CFBundleIsExecutableLoaded(bundle.get())) << "a preflight loads nothing";

    auto [loaded, load_error] = call_with_error(CFBundleLoadExecutableAndReturnError, bundle.get());
    EXPECT_TRUE(loaded);
    EXPECT_EQ("<no error>", load_error.description);
    EXPECT_TRUE(CFBundleIsExecutableLoaded(bundle.get()));
    EXPECT_NE(CFBundleGetFunctionPointerForName(bundle.get(), CFSTR("CreateProbeFactory")), nullptr);
    EXPECT_TRUE(CFBundleLoadExecutableAndReturnError(bundle.get(), nullptr));
    EXPECT_TRUE(CFBundlePreflightExecutable(bundle.get(), nullptr));
}

TEST_F(PlugInCopyTest, TheErrorSaysWhyAnExecutableDoesNotLoad) {
    const std::string loader_text = "<dlerror>";  // stands for the loader's own message
    struct Case {
        const char *name;
        std::function<void(const fs::path &folder)> prepare;
        CFIndex preflight_code;
        std::string preflight_description;
        CFIndex load_code;
        std::string load_description;  // the preflight's when empty
    };
    const Case cases[] = {
        {"missing", [](const fs::path &) {}, 4,
         "refused the executable: the executable \"ProbePlugin\" does not exist in Contents/MacOS", 4, ""},
        {"link outside",
         [&](const fs::path &folder) {
             copy_code_to(temporary_ / "outside" / "ProbePlugin");
             fs::create_symlink(temporary_ / "outside" / "ProbePlugin", macos(folder) / "ProbePlugin");
         },
         3584, "refused the executable: the executable \"ProbePlugin\" leads outside Contents/MacOS", 3584, ""},
        {"garbage", [](const fs::path &folder) { writeFile(macos(folder) / "ProbePlugin", std::string(300, 'G')); },
         3584, "cannot load the executable: the executable \"ProbePlugin\" is not an ELF file", 3587, loader_text},
        {"another machine",
         [](const fs::path &folder) {
             copy_code_to(macos(folder) / "ProbePlugin");
             std::fstream file(macos(folder) / "ProbePlugin", std::ios::binary | std::ios::in | std::ios::out);
             file.seekp(18).put('\x7F');  // e_machine
         },
         3585, "cannot load the executable: the executable \"ProbePlugin\" is built for another machine", 3587,
         loader_text},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        fs::path folder = make_copy("ProbePlugin");
        test.prepare(folder);
        std::string load_description = test.load_description.empty() ? test.preflight_description
                                                                      : test.load_description;
        if (load_description == loader_text)
            load_description = "cannot load the executable: " + test_support::loaderMessage(macos(folder) / "ProbePlugin");

        auto bundle = create_bundle(folder);
        testing::internal::CaptureStderr();
        auto [preflight, preflight_error] = call_with_error(CFBundlePreflightExecutable, bundle.get());
        auto [loaded, load_error] = call_with_error(CFBundleLoadExecutableAndReturnError, bundle.get());
        EXPECT_FALSE(CFBundlePreflightExecutable(bundle.get(), nullptr));
        EXPECT_FALSE(CFBundleLoadExecutableAndReturnError(bundle.get(), nullptr));
        EXPECT_EQ("", testing::internal::GetCapturedStderr()) << "the error is the report";

        EXPECT_FALSE(preflight);
        EXPECT_EQ(preflight_error.code, test.preflight_code);
        EXPECT_THAT(preflight_error.description, StartsWith(test.preflight_description));
        EXPECT_FALSE(loaded);
        EXPECT_EQ(load_error.code, test.load_code);
        EXPECT_THAT(load_error.description, StartsWith(load_description));
        EXPECT_FALSE(CFBundleIsExecutableLoaded(bundle.get()));
        bundle.reset();
        fs::remove_all(folder);
    }
}

// --- executables cut off or with headers that reach past their end ---

// Writes value at offset as width bytes in the given byte order, growing bytes as needed.
void put(std::string &bytes, std::size_t offset, std::uint64_t value, std::size_t width, bool big_endian) {
    if (bytes.size() < offset + width) bytes.resize(offset + width, '\0');
    for (std::size_t index = 0; index < width; ++index) {
        std::size_t shift = 8 * (big_endian ? width - 1 - index : index);
        bytes[offset + index] = static_cast<char>((value >> shift) & 0xFF);
    }
}

// A shared object of the given class and byte order made by hand: the header and one loadable
// segment of 4096 bytes that the file, header and program header only, does not hold.
std::string hand_made_elf(bool is_64, bool big_endian) {
    std::string bytes = "\x7F" "ELF";
    bytes += static_cast<char>(is_64 ? ELFCLASS64 : ELFCLASS32);
    bytes += static_cast<char>(big_endian ? ELFDATA2MSB : ELFDATA2LSB);
    bytes += static_cast<char>(EV_CURRENT);
    bytes.resize(EI_NIDENT, '\0');
    const std::size_t header = is_64 ? 64 : 52, entry = is_64 ? 56 : 32, word = is_64 ? 8 : 4;
    put(bytes, 16, ET_DYN, 2, big_endian);
    put(bytes, 18, is_64 ? EM_X86_64 : EM_386, 2, big_endian);
    put(bytes, 20, EV_CURRENT, 4, big_endian);
    put(bytes, 24 + word, header, word, big_endian);  // e_phoff: right after the header
    put(bytes, header - 12, header, 2, big_endian);   // e_ehsize
    put(bytes, header - 10, entry, 2, big_endian);    // e_phentsize
    put(bytes, header - 8, 1, 2, big_endian);         // e_phnum
    put(bytes, header, PT_LOAD, 4, big_endian);       // p_type
    // p_offset 0; p_filesz and p_memsz 4096.
    put(bytes, header + (is_64 ? 32 : 16), 4096, word, big_endian);
    put(bytes, header + (is_64 ? 40 : 20), 4096, word, big_endian);
    bytes.resize(header + entry, '\0');
    return bytes;
}

std::string file_bytes(const fs::path &file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// The loader would map bytes these files do not have, and the process would die of SIGBUS on
// touching them: each is refused before dlopen sees it, by the load and by the preflight alike.
TEST_F(PlugInCopyTest, AnExecutableThatDoesNotHoldWhatItsHeadersDescribeIsRefused) {
    const std::string whole = file_bytes(probe_executable_path());
    const std::string size = std::to_string(whole.size());
    struct Case {
        const char *what;
        std::function<std::string()> bytes;
        std::string reason;  // a POSIX extended regular expression
        bool this_machine;   // else the preflight finds the machine first
    };
    auto patched = [&whole](std::size_t offset, std::uint64_t value) {
        std::string bytes = whole;
        put(bytes, offset, value, 8, false);
        return bytes;
    };
    const Case cases[] = {
        {"cut inside a segment", [&] { return whole.substr(0, 4096); },
         "its segments need [0-9]+ bytes, the file has 4096", true},
        {"cut inside the header", [&] { return whole.substr(0, 40); }, "its header needs 64 bytes, the file has 40",
         true},
        {"cut inside the program headers", [&] { return whole.substr(0, 100); },
         "its program headers need [0-9]+ bytes, the file has 100", true},
        {"section headers past the end", [&] { return patched(offsetof(Elf64_Ehdr, e_shoff), whole.size() - 8); },
         "its section headers need [0-9]+ bytes, the file has " + size, true},
        {"program headers beyond any size", [&] { return patched(offsetof(Elf64_Ehdr, e_phoff), ~std::uint64_t{0} - 7); },
         "its program headers need 18446744073709551615 bytes, the file has " + size, true},
        {"32-bit little-endian", [] { return hand_made_elf(false, false); },
         "its segments need 4096 bytes, the file has 84", false},
        {"32-bit big-endian", [] { return hand_made_elf(false, true); },
         "its segments need 4096 bytes, the file has 84", false},
        {"64-bit big-endian", [] { return hand_made_elf(true, true); },
         "its segments need 4096 bytes, the file has 120", false},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.what);
        fs::path folder = make_copy("ProbePlugin");
        writeFile(macos(folder) / "ProbePlugin", test.bytes());
        const auto expected = ::testing::MatchesRegex(
            "cannot load the executable: the executable \"ProbePlugin\" is truncated \\(" + test.reason + "\\)");
        auto bundle = create_bundle(folder);
        auto [loaded, load_error] = call_with_error(CFBundleLoadExecutableAndReturnError, bundle.get());
        EXPECT_FALSE(loaded);
        EXPECT_EQ(3584, load_error.code);
        EXPECT_THAT(load_error.description, expected);
        EXPECT_FALSE(is_loaded(macos(folder) / "ProbePlugin"));
        if (test.this_machine) {
            auto [preflight, preflight_error] = call_with_error(CFBundlePreflightExecutable, bundle.get());
            EXPECT_FALSE(preflight);
            EXPECT_EQ(3584, preflight_error.code);
            EXPECT_THAT(preflight_error.description, expected);
        }
        bundle.reset();
        fs::remove_all(folder);
    }
}

}  // namespace
