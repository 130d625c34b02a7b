/* The factory that the print dialog calls by name, QueryInterface, and the reference counting of
   the IUnknown instance and of the PDE interface objects. */
#include "main.h"
#include "qel-identity.h"
#include "qel-pane.h"

#include <stdlib.h>
#include <string.h>

/* A new IUnknown instance for the printer-module PDE type; NULL for any other type or when
   memory runs out. The allocator is not used. */
void *CreatePDEFactory(CFAllocatorRef allocator, CFUUIDRef reqTypeID)
{
    (void)allocator;
    CFUUIDRef myInstID = CFUUIDCreateFromString(kCFAllocatorDefault, CFSTR(kPrinterModuleTypeIDStr));
    CFUUIDRef myFactoryID = CFUUIDCreateFromString(kCFAllocatorDefault, CFSTR(QEL_FACTORY_ID));
    IUnknownInstance *instance = NULL;

    if (reqTypeID != NULL && myInstID != NULL && CFEqual(reqTypeID, myInstID)) {
        instance = (IUnknownInstance *)malloc(sizeof(IUnknownInstance));
        if (instance != NULL) {
            memset(instance, 0, sizeof(IUnknownInstance));
            instance->vtable = &instance->vtableStorage;
            instance->vtableStorage._reserved = NULL;
            instance->vtableStorage.QueryInterface = QueryInterface;
            instance->vtableStorage.AddRef = IUnknownAddRef;
            instance->vtableStorage.Release = IUnknownRelease;
            instance->factoryID = myFactoryID;
            instance->refCount = 1;
            CFPlugInAddInstanceForFactory(myFactoryID);
        }
    }

    if (myInstID != NULL)
        CFRelease(myInstID);
    if (instance == NULL && myFactoryID != NULL)
        CFRelease(myFactoryID);
    return instance;
}

/* A fresh PDE interface object with its own table and a count of 1, or NULL when either
   allocation fails; an object without a table is never handed out. */
static PDEInterfaceObject *CreatePDEInterfaceObject(void)
{
    PDEInterfaceObject *object = (PDEInterfaceObject *)malloc(sizeof(PDEInterfaceObject));
    if (object == NULL)
        return NULL;
    memset(object, 0, sizeof(PDEInterfaceObject));
    object->refCount = 1;

    PlugInIntfVTable *table = (PlugInIntfVTable *)malloc(sizeof(PlugInIntfVTable));
    if (table == NULL) {
        free(object);
        return NULL;
    }
    memset(table, 0, sizeof(PlugInIntfVTable));
    table->plugInHeader.Retain = Retain;
    table->plugInHeader.Release = Release;
    table->plugInHeader.GetAPIVersion = GetAPIVersion;
    table->Prologue = Prologue;
    table->Initialize = Initialize;
    table->Sync = Sync;
    table->GetSummaryText = GetSummaryText;
    table->Open = Open;
    table->Close = Close;
    table->Terminate = Terminate;
    object->vtable = table;
    return object;
}

/* IUnknown yields the instance itself (one more reference); the dialog-extension interface
   yields a new PDE interface object; anything else E_NOINTERFACE. When the object cannot be
   allocated the result is E_OUTOFMEMORY with NULL stored, never success without an object. */
HRESULT QueryInterface(void *obj, REFIID iID, LPVOID *intfPtr)
{
    if (intfPtr == NULL)
        return E_POINTER;

    CFUUIDRef reqIntfID = CFUUIDCreateFromUUIDBytes(kCFAllocatorDefault, iID);
    CFUUIDRef myIntfID = CFUUIDCreateFromString(kCFAllocatorDefault, CFSTR(kDialogExtensionIntfIDStr));
    HRESULT result;

    if (reqIntfID != NULL && CFEqual(reqIntfID, IUnknownUUID)) {
        IUnknownInstance *instance = (IUnknownInstance *)obj;
        if (instance != NULL)
            instance->vtable->AddRef(instance);
        *intfPtr = obj;
        result = S_OK;
    } else if (reqIntfID != NULL && myIntfID != NULL && CFEqual(reqIntfID, myIntfID)) {
        PDEInterfaceObject *object = CreatePDEInterfaceObject();
        *intfPtr = object;
        result = object != NULL ? S_OK : E_OUTOFMEMORY;
    } else {
        *intfPtr = NULL;
        result = E_NOINTERFACE;
    }

    if (reqIntfID != NULL)
        CFRelease(reqIntfID);
    if (myIntfID != NULL)
        CFRelease(myIntfID);
    return result;
}

ULONG IUnknownAddRef(void *obj)
{
    IUnknownInstance *instance = (IUnknownInstance *)obj;
    if (instance == NULL)
        return 0;
    return ++instance->refCount;
}

/* At a count of 0 the instance leaves CFPlugIn's books and is freed. A count already at 0 is left
   alone, and nothing raised on the way out escapes. */
ULONG IUnknownRelease(void *obj)
{
    IUnknownInstance *instance = (IUnknownInstance *)obj;
    if (instance == NULL || instance->refCount == 0)
        return 0;

    instance->refCount--;
    if (instance->refCount != 0)
        return instance->refCount;

    /* kept on purpose: the code's one exception handler, so that nothing raised leaves the release */
    try {
        CFPlugInRemoveInstanceForFactory(instance->factoryID);
        CFRelease(instance->factoryID);
        instance->factoryID = NULL;
        free(instance);
    } catch (...) {
        if (instance->factoryID != NULL)
            CFRelease(instance->factoryID);
        free(instance);
    }
    return 0;
}

OSStatus Retain(PMPlugInHeaderInterface *obj)
{
    PDEInterfaceObject *object = (PDEInterfaceObject *)obj;
    if (object != NULL)
        object->refCount++;
    return noErr;
}

/* Clears the caller's pointer first, then frees table and object at a count of 0. */
OSStatus Release(PMPlugInHeaderInterface **objPtr)
{
    if (objPtr == NULL || *objPtr == NULL)
        return noErr;
    PDEInterfaceObject *object = (PDEInterfaceObject *)*objPtr;
    *objPtr = NULL;
    object->refCount--;
    if (object->refCount == 0) {
        free(object->vtable);
        free(object);
    }
    return noErr;
}

/* Build version 1.0, base version 1.0. */
OSStatus GetAPIVersion(PMPlugInHeaderInterface *obj, PMPlugInAPIVersion *versionPtr)
{
    (void)obj;
    if (versionPtr == NULL)
        return paramErr;
    versionPtr->buildVersionMajor = kPDEBuildVersionMajor;
    versionPtr->buildVersionMinor = kPDEBuildVersionMinor;
    versionPtr->baseVersionMajor = kPDEBaseVersionMajor;
    versionPtr->baseVersionMinor = kPDEBaseVersionMinor;
    return noErr;
}
