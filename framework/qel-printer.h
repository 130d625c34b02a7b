/* Whether the session's printer is one of this deliverable's series. */
#ifndef QEL_PRINTER_H
#define QEL_PRINTER_H

#include <ApplicationServices/ApplicationServices.h>

Boolean IsPDENeededForThisPrinter(PMPrintSession printSession);

#endif
