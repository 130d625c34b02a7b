// English and German words of the dialog window.
#include "window_text.h"

namespace pdedialog {

const WindowText &windowText(const std::string &localization) {
    static const WindowText english{
        "en", "Print", "Printer:", "Summary", "Cancel", "Print",
        "No pane of these plug-ins serves this printer.",
        "Print Job", "Close", "Server:",
        "Not printed", "The printer's PPD does not allow these settings:", "Back", "Print Anyway"};
    static const WindowText german{
        "de", "Drucken", "Drucker:", "Übersicht", "Abbrechen", "Drucken",
        "Kein Bereich dieser Plug-ins ist für diesen Drucker.",
        "Druckauftrag", "Schließen", "Server:",
        "Nicht gedruckt", "Die PPD des Druckers erlaubt diese Einstellungen nicht:", "Zurück", "Trotzdem drucken"};
    return localization.rfind("de", 0) == 0 ? german : english;
}

}  // namespace pdedialog
