/* The QuickDraw rectangle calls the panes use. */
#ifndef __QD_QUICKDRAW__
#define __QD_QUICKDRAW__

#include <CoreFoundation/CFBase.h>

CF_EXTERN_C_BEGIN

CF_EXPORT void OffsetRect(Rect *r, short dh, short dv);
CF_EXPORT void SetRect(Rect *r, short left, short top, short right, short bottom);
CF_EXPORT Boolean EqualRect(const Rect *rect1, const Rect *rect2);

CF_EXTERN_C_END

#endif
