// The dialog window's own words in the localizations the panes have.
#pragma once

#include <string>

namespace pdedialog {

struct WindowText {
    const char *windowTitle;
    const char *printer;
    const char *summary;
    const char *cancel;
    const char *print;
    const char *noPanes;
    const char *resultTitle;
    const char *jobOptions;
    const char *commandLine;
    const char *unknownChoices;
    const char *conflicts;
    const char *featureCode;
    const char *none;
    const char *close;
    const char *conflictsWith;
    // The job Print sent to a queue, or why it did not go out.
    const char *jobSent;
    const char *jobId;
    const char *queue;
    const char *server;
    const char *jobTitle;
    const char *notPrinted;
};

// "de..." gives German; anything else English.
const WindowText &windowText(const std::string &localization);

}  // namespace pdedialog
