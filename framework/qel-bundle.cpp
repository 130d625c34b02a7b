/* Finding the deliverable's bundle by its own identifier, and looking texts up in its tables. */
#include "qel-bundle.h"
#include "qel-identity.h"

/* The deliverable's bundle (borrowed), or NULL. Looked up afresh on every call: callers that
   need it several times in one step take it once and pass it on. */
CFBundleRef GetPaneBundle(void)
{
    return CFBundleGetBundleWithIdentifier(CFSTR(QEL_BUNDLE_IDENTIFIER));
}

/* The table's entry for the key, or the key itself where there is none; no bundle counts as a
   table without entries. inTableName NULL is the default table. The caller releases the result. */
CFStringRef CopyLocalizedStringOrKey(CFBundleRef inBundle, CFStringRef inKey, CFStringRef inTableName)
{
    if (inBundle == NULL)
        return (CFStringRef)CFRetain(inKey);
    return CFBundleCopyLocalizedString(inBundle, inKey, inKey, inTableName);
}
