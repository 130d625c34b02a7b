/* Interface Builder nib loading. */
#ifndef __HITOOLBOX_IBCARBONRUNTIME__
#define __HITOOLBOX_IBCARBONRUNTIME__

#include <HIToolbox/HIToolboxTypes.h>

CF_EXTERN_C_BEGIN

/* The nib is the localized resource "<inNibName>.nib" of the bundle. */
CF_EXPORT OSStatus CreateNibReferenceWithCFBundle(CFBundleRef inBundle, CFStringRef inNibName, IBNibRef *outNibRef);
CF_EXPORT OSStatus CreateWindowFromNib(IBNibRef inNibRef, CFStringRef inName, WindowRef *outWindow);
CF_EXPORT void DisposeNibReference(IBNibRef inNibRef);

CF_EXTERN_C_END

#endif
