/* The PrintCore umbrella header. */
#ifndef __PRINTCORE__
#define __PRINTCORE__

#include <PrintCore/PMDefinitions.h>
#include <PrintCore/PMCore.h>
#include <PrintCore/PMTicket.h>
#include <PrintCore/PMPPDLibrary.h>
#include <PrintCore/PMPrintingDialogExtensions.h>

#endif
