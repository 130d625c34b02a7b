// The factory, QueryInterface, and the reference counting of the instance and the PDE interface
// object.
#include "probe_test_support.h"

#include <platform/cf_ref.h>

namespace probe_test {
namespace {

cf::Ref<CFUUIDRef> uuid(const char *text) {
    auto string = cf::adopt(CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8));
    return cf::adopt(CFUUIDCreateFromString(kCFAllocatorDefault, string.get()));
}

CFUUIDBytes bytesOf(const char *text) { return CFUUIDGetUUIDBytes(uuid(text).get()); }

class FactoryTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        printerModuleType = uuid(kPrinterModuleTypeIDStr);
    }

    // A new instance for the printer-module type; the test releases it.
    IUnknownInstance *createInstance() {
        auto *instance = static_cast<IUnknownInstance *>(CreatePDEFactory(kCFAllocatorDefault, printerModuleType.get()));
        EXPECT_NE(instance, nullptr);
        return instance;
    }

    PDEInterfaceObject *queryPDEInterface(IUnknownInstance *instance) {
        void *object = nullptr;
        EXPECT_EQ(S_OK, QueryInterface(instance, bytesOf(kDialogExtensionIntfIDStr), &object));
        return static_cast<PDEInterfaceObject *>(object);
    }

    cf::Ref<CFUUIDRef> printerModuleType;
};

TEST_F(FactoryTest, OtherTypeGivesNullAndRegistersNothing) {
    auto otherType = uuid(kGeneralPrintDialogTypeIDStr);
    long cfObjectsBefore = PlatformLiveCFObjectCount();

    EXPECT_EQ(nullptr, CreatePDEFactory(kCFAllocatorDefault, otherType.get()));
    EXPECT_EQ(nullptr, CreatePDEFactory(kCFAllocatorDefault, nullptr));

    EXPECT_TRUE(observed().instancesAdded.empty());
    EXPECT_EQ(PlatformLiveCFObjectCount(), cfObjectsBefore) << "the factory UUID made for the test is released";
}

TEST_F(FactoryTest, InstanceIsRegisteredUnderTheFactoryAndFreedAtZero) {
    long cfObjectsBefore = PlatformLiveCFObjectCount();
    IUnknownInstance *instance = createInstance();
    ASSERT_NE(instance, nullptr);

    EXPECT_EQ(instance->vtable, &instance->vtableStorage);
    EXPECT_EQ(nullptr, instance->vtable->_reserved);
    EXPECT_EQ(instance->vtable->QueryInterface, &QueryInterface);
    EXPECT_EQ(instance->vtable->AddRef, &IUnknownAddRef);
    EXPECT_EQ(instance->vtable->Release, &IUnknownRelease);
    EXPECT_EQ(1u, instance->refCount);
    EXPECT_TRUE(CFEqual(instance->factoryID, uuid(kProbeFactory).get()));
    EXPECT_EQ(std::vector<std::string>{kProbeFactory}, observed().instancesAdded);

    EXPECT_EQ(2u, instance->vtable->AddRef(instance));
    EXPECT_EQ(1u, instance->vtable->Release(instance));
    EXPECT_TRUE(observed().instancesRemoved.empty()) << "still alive at a count of 1";
    EXPECT_EQ(0u, instance->vtable->Release(instance));

    EXPECT_EQ(std::vector<std::string>{kProbeFactory}, observed().instancesRemoved);
    EXPECT_EQ(PlatformLiveCFObjectCount(), cfObjectsBefore) << "the instance's factory UUID is released";
}

TEST_F(FactoryTest, InstanceAllocationFailureGivesNullAndRegistersNothing) {
    long cfObjectsBefore = PlatformLiveCFObjectCount();

    allocation_failure::failNth(1);
    void *instance = CreatePDEFactory(kCFAllocatorDefault, printerModuleType.get());
    int allocations = allocation_failure::callsSinceArmed();
    allocation_failure::failNth(0);

    EXPECT_EQ(nullptr, instance);
    EXPECT_EQ(1, allocations);
    EXPECT_TRUE(observed().instancesAdded.empty());
    EXPECT_EQ(PlatformLiveCFObjectCount(), cfObjectsBefore);
}

TEST_F(FactoryTest, QueryForIUnknownRaisesTheCountAndReturnsTheInstance) {
    IUnknownInstance *instance = createInstance();
    void *result = nullptr;

    EXPECT_EQ(S_OK, QueryInterface(instance, CFUUIDGetUUIDBytes(IUnknownUUID), &result));

    EXPECT_EQ(result, instance);
    EXPECT_EQ(2u, instance->refCount);
    EXPECT_EQ(1u, IUnknownRelease(instance));
    EXPECT_EQ(0u, IUnknownRelease(instance));
}

TEST_F(FactoryTest, QueryForThePDEInterfaceMakesAFreshObjectEachTime) {
    IUnknownInstance *instance = createInstance();

    PDEInterfaceObject *first = queryPDEInterface(instance);
    PDEInterfaceObject *second = queryPDEInterface(instance);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    EXPECT_NE(first, second);
    EXPECT_NE(first->vtable, second->vtable) << "every object owns its table";
    EXPECT_EQ(1, first->refCount);
    EXPECT_EQ(1, second->refCount);
    EXPECT_EQ(1u, instance->refCount) << "handing out an interface object does not retain the instance";

    const PlugInIntfVTable *table = first->vtable;
    EXPECT_EQ(table->plugInHeader.Retain, &Retain);
    EXPECT_EQ(table->plugInHeader.Release, &Release);
    EXPECT_EQ(table->plugInHeader.GetAPIVersion, &GetAPIVersion);
    EXPECT_EQ(table->Prologue, &Prologue);
    EXPECT_EQ(table->Initialize, &Initialize);
    EXPECT_EQ(table->Sync, &Sync);
    EXPECT_EQ(table->GetSummaryText, &GetSummaryText);
    EXPECT_EQ(table->Open, &Open);
    EXPECT_EQ(table->Close, &Close);
    EXPECT_EQ(table->Terminate, &Terminate);

    auto *firstHeader = reinterpret_cast<PMPlugInHeaderInterface *>(first);
    auto *secondHeader = reinterpret_cast<PMPlugInHeaderInterface *>(second);
    Release(&firstHeader);
    Release(&secondHeader);
    IUnknownRelease(instance);
}

TEST_F(FactoryTest, UnknownInterfaceGivesNoInterfaceAndNull) {
    IUnknownInstance *instance = createInstance();
    void *result = instance;  // anything but NULL, to see that NULL is stored

    EXPECT_EQ(E_NOINTERFACE, QueryInterface(instance, bytesOf(kGeneralPrintDialogTypeIDStr), &result));

    EXPECT_EQ(nullptr, result);
    EXPECT_EQ(1u, instance->refCount);
    IUnknownRelease(instance);
}

TEST_F(FactoryTest, QueryLeavesNoUUIDBehind) {
    IUnknownInstance *instance = createInstance();
    CFUUIDBytes pdeInterface = bytesOf(kDialogExtensionIntfIDStr);
    CFUUIDBytes unknownInterface = bytesOf(kAppPrintDialogTypeIDStr);
    long cfObjectsBefore = PlatformLiveCFObjectCount();
    void *result = nullptr;

    QueryInterface(instance, unknownInterface, &result);
    QueryInterface(instance, CFUUIDGetUUIDBytes(IUnknownUUID), &result);
    IUnknownRelease(instance);
    QueryInterface(instance, pdeInterface, &result);
    auto *header = static_cast<PMPlugInHeaderInterface *>(result);
    Release(&header);

    EXPECT_EQ(PlatformLiveCFObjectCount(), cfObjectsBefore);
    IUnknownRelease(instance);
}

TEST_F(FactoryTest, InterfaceObjectAllocationFailureGivesOutOfMemoryAndNull) {
    IUnknownInstance *instance = createInstance();
    CFUUIDBytes pdeInterface = bytesOf(kDialogExtensionIntfIDStr);

    for (int failingAllocation : {1, 2}) {  // the object, then its table
        SCOPED_TRACE(failingAllocation == 1 ? "object" : "table");
        void *result = instance;
        allocation_failure::failNth(failingAllocation);
        HRESULT status = QueryInterface(instance, pdeInterface, &result);
        int allocations = allocation_failure::callsSinceArmed();
        allocation_failure::failNth(0);

        EXPECT_EQ(E_OUTOFMEMORY, status);
        EXPECT_EQ(nullptr, result) << "an object without a table is never handed out";
        EXPECT_EQ(allocations, failingAllocation);
    }
    EXPECT_EQ(1u, instance->refCount);
    IUnknownRelease(instance);
}

TEST_F(FactoryTest, InstanceReleaseAtZeroOrNullChangesNothing) {
    auto factoryID = uuid(kProbeFactory);
    CFIndex retainsBefore = CFGetRetainCount(factoryID.get());
    // Not from malloc: freeing it, or releasing its UUID, would be a fault that the sanitizers and
    // the retain count show.
    IUnknownInstance spent{};
    spent.vtable = &spent.vtableStorage;
    spent.factoryID = factoryID.get();
    spent.refCount = 0;

    EXPECT_EQ(0u, IUnknownRelease(&spent));
    EXPECT_EQ(0u, IUnknownRelease(&spent));
    EXPECT_EQ(0u, IUnknownRelease(nullptr));
    EXPECT_EQ(0u, IUnknownAddRef(nullptr));

    EXPECT_EQ(0u, spent.refCount);
    EXPECT_EQ(spent.factoryID, factoryID.get());
    EXPECT_EQ(CFGetRetainCount(factoryID.get()), retainsBefore);
    EXPECT_TRUE(observed().instancesRemoved.empty());
}

TEST_F(FactoryTest, HeaderReleaseClearsThePointerEvenWhenTheObjectSurvives) {
    IUnknownInstance *instance = createInstance();
    PDEInterfaceObject *object = queryPDEInterface(instance);
    ASSERT_NE(object, nullptr);
    auto *header = reinterpret_cast<PMPlugInHeaderInterface *>(object);
    const PMPlugInHeader &slots = object->vtable->plugInHeader;

    EXPECT_EQ(noErr, slots.Retain(header));
    EXPECT_EQ(2, object->refCount);
    PMPlugInHeaderInterface *firstHolder = header;
    EXPECT_EQ(noErr, slots.Release(&firstHolder));
    EXPECT_EQ(nullptr, firstHolder);
    EXPECT_EQ(1, object->refCount) << "still alive for the second holder";

    PMPlugInHeaderInterface *secondHolder = header;
    EXPECT_EQ(noErr, Release(&secondHolder));  // frees object and table; the sanitizers see a leak otherwise
    EXPECT_EQ(nullptr, secondHolder);

    PMPlugInHeaderInterface *none = nullptr;
    EXPECT_EQ(noErr, Release(&none));
    EXPECT_EQ(noErr, Release(nullptr));
    EXPECT_EQ(noErr, Retain(nullptr));
    IUnknownRelease(instance);
}

TEST_F(FactoryTest, APIVersionIsOneZeroOneZero) {
    IUnknownInstance *instance = createInstance();
    PDEInterfaceObject *object = queryPDEInterface(instance);
    ASSERT_NE(object, nullptr);
    auto *header = reinterpret_cast<PMPlugInHeaderInterface *>(object);
    PMPlugInAPIVersion version = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};

    EXPECT_EQ(noErr, object->vtable->plugInHeader.GetAPIVersion(header, &version));

    EXPECT_EQ(1u, version.buildVersionMajor);
    EXPECT_EQ(0u, version.buildVersionMinor);
    EXPECT_EQ(1u, version.baseVersionMajor);
    EXPECT_EQ(0u, version.baseVersionMinor);
    Release(&header);
    IUnknownRelease(instance);
}

}  // namespace
}  // namespace probe_test
