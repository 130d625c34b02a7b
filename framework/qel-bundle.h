/* The pane's own bundle and the texts of its strings tables. */
#ifndef QEL_BUNDLE_H
#define QEL_BUNDLE_H

#include <CoreFoundation/CoreFoundation.h>

CFBundleRef GetPaneBundle(void);
CFStringRef CopyLocalizedStringOrKey(CFBundleRef inBundle, CFStringRef inKey, CFStringRef inTableName);

#endif
