/* The print dialog extension (PDE) plug-in interface. */
#ifndef __PRINTCORE_PMPRINTINGDIALOGEXTENSIONS__
#define __PRINTCORE_PMPRINTINGDIALOGEXTENSIONS__

#include <CoreFoundation/CoreFoundation.h>
#include <CoreFoundation/CFPlugInCOM.h>
#include <HIToolbox/HIToolboxTypes.h>
#include <PrintCore/PMDefinitions.h>

CF_EXTERN_C_BEGIN

/* Plug-in type of printer-module dialog extensions, and the dialog-extension interface. */
#define kPrinterModuleTypeIDStr "BDB091F4-E57F-11D3-B5CC-0050E4603277"
#define kDialogExtensionIntfIDStr "A996FD7E-B738-11D3-8519-0050E4603277"
#define kGeneralPageSetupDialogTypeIDStr "6E6ED964-B738-11D3-952F-0050E4603277"
#define kGeneralPrintDialogTypeIDStr "C1BF838E-B72A-11D3-9644-0050E4603277"
#define kAppPageSetupDialogTypeIDStr "B9A0DA98-E57F-11D3-9E83-0050E4603277"
#define kAppPrintDialogTypeIDStr "BCB07250-E57F-11D3-8CA6-0050E4603277"

#define kPDE_PMPrintSettingsRef CFSTR("PMPrintSettingsTicket")
#define kPDE_PMPageFormatRef CFSTR("PMPageFormatTicket")
#define kPDE_PMJobTemplateRef CFSTR("PMJobTemplateTicket")
#define kPDE_PMPrinterInfoRef CFSTR("PMPrinterInfoTicket")

typedef SRefCon PMPDERef;
/* Pointer-sized: a plug-in keeps the address of its own record here. */
typedef URefCon PMPDEContext;
typedef UInt32 PMPDEFlags;
enum {
    kPMPDENoFlags = 0x00000000,
    kPMPDENoSummary = 0x00000001,
    kPMPDEAllFlags = 0xFFFFFFFF
};

enum {
    kPMSyncTicketFromPane = false,
    kPMSyncPaneFromTicket = true
};

enum {
    kPDEBuildVersionMajor = 1,
    kPDEBuildVersionMinor = 0,
    kPDEBaseVersionMajor = 1,
    kPDEBaseVersionMinor = 0
};

typedef struct PMPlugInAPIVersion {
    UInt32 buildVersionMajor;
    UInt32 buildVersionMinor;
    UInt32 baseVersionMajor;
    UInt32 baseVersionMinor;
} PMPlugInAPIVersion;

struct PMPlugInHeader;
typedef struct PMPlugInHeaderInterface {
    const struct PMPlugInHeader *vtable;
} PMPlugInHeaderInterface;

typedef struct PMPlugInHeader {
    OSStatus (*Retain)(PMPlugInHeaderInterface *obj);
    OSStatus (*Release)(PMPlugInHeaderInterface **objPtr);
    OSStatus (*GetAPIVersion)(PMPlugInHeaderInterface *obj, PMPlugInAPIVersion *versionPtr);
} PMPlugInHeader;

typedef OSStatus (*PMPDEPrologueProcPtr)(PMPDEContext *context, OSType *creator, CFStringRef *userOptionKind, CFStringRef *title, UInt32 *maxH, UInt32 *maxV);
typedef OSStatus (*PMPDEInitializeProcPtr)(PMPDEContext context, PMPDEFlags *flags, PMPDERef ref, ControlRef parentUserPane, PMPrintSession printSession);
typedef OSStatus (*PMPDESyncProcPtr)(PMPDEContext context, PMPrintSession printSession, Boolean reinitializePlugIn);
typedef OSStatus (*PMPDEGetSummaryTextProcPtr)(PMPDEContext context, CFArrayRef *titleArray, CFArrayRef *summaryArray);
typedef OSStatus (*PMPDEOpenProcPtr)(PMPDEContext context);
typedef OSStatus (*PMPDECloseProcPtr)(PMPDEContext context);
typedef OSStatus (*PMPDETerminateProcPtr)(PMPDEContext context, OSStatus status);

typedef PMPDEPrologueProcPtr PrologueProcPtr;
typedef PMPDEInitializeProcPtr InitializeProcPtr;
typedef PMPDESyncProcPtr SyncProcPtr;
typedef PMPDEGetSummaryTextProcPtr GetSummaryTextProcPtr;
typedef PMPDEOpenProcPtr OpenProcPtr;
typedef PMPDECloseProcPtr CloseProcPtr;
typedef PMPDETerminateProcPtr TerminateProcPtr;

/* The PDE function table: the plug-in header, then the seven pane entry points. */
typedef struct PlugInIntfVTable {
    PMPlugInHeader plugInHeader;
    PrologueProcPtr Prologue;
    InitializeProcPtr Initialize;
    SyncProcPtr Sync;
    GetSummaryTextProcPtr GetSummaryText;
    OpenProcPtr Open;
    CloseProcPtr Close;
    TerminateProcPtr Terminate;
} PlugInIntfVTable;

typedef struct PlugInIntf {
    PlugInIntfVTable *vtable;
} PlugInIntf;

CF_EXTERN_C_END

#endif
