// English and German words of the dialog window.
#include "window_text.h"

namespace pdedialog {

const WindowText &windowText(const std::string &localization) {
    static const WindowText english{
        "Print", "Printer:", "Summary", "Cancel", "Print",
        "No pane of these plug-ins serves this printer.",
        "Print Job", "Job options:", "Command line:", "Choices the PPD does not define:",
        "Conflicts with the PPD's constraints:", "Feature code for the printer:", "none", "Close",
        "conflicts with",
        "Job sent:", "Job id:", "Queue:", "Server:", "Title:", "Not printed:"};
    static const WindowText german{
        "Drucken", "Drucker:", "Übersicht", "Abbrechen", "Drucken",
        "Kein Bereich dieser Plug-ins ist für diesen Drucker.",
        "Druckauftrag", "Auftragsoptionen:", "Befehlszeile:", "Auswahlen, die die PPD nicht kennt:",
        "Konflikte mit den Einschränkungen der PPD:", "Steuercode für den Drucker:", "keine", "Schließen",
        "steht im Konflikt mit",
        "Auftrag gesendet:", "Auftragsnummer:", "Warteschlange:", "Server:", "Titel:", "Nicht gedruckt:"};
    return localization.rfind("de", 0) == 0 ? german : english;
}

}  // namespace pdedialog
