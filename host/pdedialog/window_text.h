// The dialog window's own words in the localizations the panes have. The report's and the
// outcome's words are the core's (printdialog::reportWords).
#pragma once

#include <string>

namespace pdedialog {

struct WindowText {
    const char *localization;  // "en" or "de", for the core's words
    const char *windowTitle;
    const char *printer;
    const char *summary;
    const char *cancel;
    const char *print;
    const char *noPanes;
    const char *resultTitle;
    const char *close;
    const char *server;
    // When the pre-flight keeps the job back.
    const char *notPrintedHeading;
    const char *refusedBecause;
    const char *back;
    const char *printAnyway;
};

// "de..." gives German; anything else English.
const WindowText &windowText(const std::string &localization);

}  // namespace pdedialog
