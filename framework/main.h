/* The bundle's front door: the factory, its IUnknown instance and the PDE interface object. */
#ifndef QEL_MAIN_H
#define QEL_MAIN_H

#include <CoreFoundation/CFPlugInCOM.h>
#include <PrintCore/PMPrintingDialogExtensions.h>

/* One per factory call; registered with CFPlugIn while alive. */
typedef struct IUnknownInstance {
    const IUnknownVTbl *vtable;
    IUnknownVTbl vtableStorage;
    CFUUIDRef factoryID;
    ULONG refCount;
} IUnknownInstance;

/* What QueryInterface hands out for the dialog-extension interface. The host sees only the table
   pointer (PMPlugInHeaderInterface); the count is the plug-in's own word after it. */
typedef struct PDEInterfaceObject {
    PlugInIntfVTable *vtable;
    SInt32 refCount;
} PDEInterfaceObject;

#ifdef __cplusplus
extern "C" {
#endif
__attribute__((visibility("default"))) void *CreatePDEFactory(CFAllocatorRef allocator, CFUUIDRef reqTypeID);
#ifdef __cplusplus
}
#endif

HRESULT QueryInterface(void *obj, REFIID iID, LPVOID *intfPtr);
ULONG IUnknownAddRef(void *obj);
ULONG IUnknownRelease(void *obj);

OSStatus Retain(PMPlugInHeaderInterface *obj);
OSStatus Release(PMPlugInHeaderInterface **objPtr);
OSStatus GetAPIVersion(PMPlugInHeaderInterface *obj, PMPlugInAPIVersion *versionPtr);

#endif
