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
    // The result of Print, as a person reads it: the headline ("{queue}" and "{id}" filled in),
    // the reason a job was not printed, the details' expander.
    const char *sentTo;
    const char *sentAnyway;
    const char *reasonNoQueue;
    const char *reasonNotSaved;      // "{status}" filled in
    const char *reasonUnreadableFile;
    const char *reasonServer;        // followed by the server's own message, as it wrote it
    const char *details;             // with a mnemonic
    // Choosing the document when none was given.
    const char *chooseFileTitle;
    const char *pageChooserName;     // the accessible name of the pop-up that chooses the page
};

// The words of the General page and the Printer Options pages (general_page.h,
// printer_options_page.h). Captions carry their mnemonic.
struct SettingsText {
    const char *general;          // the page's title in the page chooser
    const char *printerSuffix;    // added to a PPD group whose title is one of the window's own pages
    const char *file;
    const char *chooseFile;       // the file chooser's title
    const char *copies;
    const char *collate;
    const char *pages;
    const char *allPages;
    const char *pageRange;        // the radio button before the entry
    const char *pageRangeName;    // the entry's accessible name
    const char *pagesPerSheet;
    const char *orientation;
    const char *orientations[4];  // portrait, landscape, reverse landscape, reverse portrait
    const char *conflictsWith;    // a conflict mark's tooltip line: "{option}" and "{choice}" filled in
    const char *conflictLine;     // above the buttons: "{options}" filled in
};

const SettingsText &settingsText(const std::string &localization);

// The text with each "{key}" replaced by its value.
std::string fillIn(std::string text, const std::string &key, const std::string &value);

// "de..." gives German; anything else English.
const WindowText &windowText(const std::string &localization);

}  // namespace pdedialog
