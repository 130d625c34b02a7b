// English and German words of the dialog window.
#include "window_text.h"

namespace pdedialog {

const WindowText &windowText(const std::string &localization) {
    static const WindowText english{
        "en", "Print", "Printer:", "Summary", "Cancel", "Print",
        "No pane of these plug-ins serves this printer.",
        "Print Job", "Close", "Server:",
        "Not printed", "The printer's PPD does not allow these settings:", "Back", "Print Anyway",
        "Sent to {queue} as job {id}", "Sent although the printer's PPD does not allow these settings.",
        "The printer is a PPD file, not a print queue: there is nowhere to send the job.",
        "The panes could not save their settings (status {status}), so nothing was sent.",
        "The file to print cannot be read:", "The print server did not take the job. Its message:",
        "_Details", "Choose the File to Print", "Settings page"};
    static const WindowText german{
        "de", "Drucken", "Drucker:", "Übersicht", "Abbrechen", "Drucken",
        "Kein Bereich dieser Plug-ins ist für diesen Drucker.",
        "Druckauftrag", "Schließen", "Server:",
        "Nicht gedruckt", "Die PPD des Druckers erlaubt diese Einstellungen nicht:", "Zurück", "Trotzdem drucken",
        "Als Auftrag {id} an {queue} gesendet",
        "Gesendet, obwohl die PPD des Druckers diese Einstellungen nicht erlaubt.",
        "Der Drucker ist eine PPD-Datei, keine Druckwarteschlange: Der Auftrag kann nirgendwohin gesendet werden.",
        "Die Bereiche konnten ihre Einstellungen nicht sichern (Status {status}); es wurde nichts gesendet.",
        "Die zu druckende Datei kann nicht gelesen werden:",
        "Der Druckserver hat den Auftrag nicht angenommen. Seine Meldung:",
        "_Einzelheiten", "Zu druckende Datei wählen", "Einstellungsseite"};
    return localization.rfind("de", 0) == 0 ? german : english;
}

const SettingsText &settingsText(const std::string &localization) {
    static const SettingsText english{
        "General", " (Printer)", "_File:", "Choose the File to Print", "_Copies:", "C_ollate", "Pages:",
        "_All", "_Range:", "Page Range", "Pages per _sheet:", "Orie_ntation:",
        {"Portrait", "Landscape", "Reverse landscape", "Reverse portrait"},
        "Conflicts with {option}: {choice}", "These settings conflict: {options}. Print will ask before sending."};
    static const SettingsText german{
        "Allgemein", " (Drucker)", "_Datei:", "Zu druckende Datei wählen", "_Kopien:", "_Sortieren", "Seiten:",
        "_Alle", "_Bereich:", "Seitenbereich", "Seiten pro _Blatt:", "A_usrichtung:",
        {"Hochformat", "Querformat", "Querformat, gedreht", "Hochformat, gedreht"},
        "Widerspricht {option}: {choice}",
        "Diese Einstellungen widersprechen sich: {options}. Drucken fragt vor dem Senden nach."};
    return localization.rfind("de", 0) == 0 ? german : english;
}

std::string fillIn(std::string text, const std::string &key, const std::string &value) {
    const std::string marker = "{" + key + "}";
    for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + value.size()))
        text.replace(at, marker.size(), value);
    return text;
}

}  // namespace pdedialog
