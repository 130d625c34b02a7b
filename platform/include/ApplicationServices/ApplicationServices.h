/* The ApplicationServices umbrella header: printing, the PPD library and QuickDraw's rectangles. */
#ifndef __APPLICATIONSERVICES__
#define __APPLICATIONSERVICES__

#include <CoreFoundation/CoreFoundation.h>
#include <QD/Quickdraw.h>
#include <PrintCore/PrintCore.h>

#endif
