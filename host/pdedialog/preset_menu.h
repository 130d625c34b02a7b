// The preset menu beside the printer menu: the queue's own saved settings ("None") and its presets
// (CUPS instances QUEUE/NAME, which other applications list as printers), then Save As… and
// Delete; and the line that says what a save did. The window does the saving (window_presets.cpp).
#pragma once

#include "window_text.h"

#include <printdialog/json.h>

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

namespace pdedialog {

// The words of the presets and of saving, English or German as the rest of the window.
struct PresetText {
    const char *caption;        // with a mnemonic
    const char *none;           // the queue's own saved settings, no preset
    const char *saveAs;         // the menu item that asks for a name
    const char *remove;         // the menu item that deletes the chosen preset
    const char *saveDefault;    // the button, with a mnemonic
    const char *nameTitle;      // the name dialog's title
    const char *namePrompt;     // with a mnemonic
    const char *save;           // the name dialog's button
    const char *savedDefault;   // "{queue}" filled in
    const char *savedPreset;    // "{preset}" filled in
    const char *deleted;        // "{preset}" filled in
    const char *notSaved;       // followed by the reason
    const char *neverSaved;     // beside the document number's field
    const char *notAQueue;      // the tooltip while the printer is a PPD file
};
const PresetText &presetText(const WindowText &text);

class PresetMenu {
public:
    explicit PresetMenu(const WindowText &text);
    PresetMenu(const PresetMenu &) = delete;
    PresetMenu &operator=(const PresetMenu &) = delete;
    ~PresetMenu();

    // The caption and the menu button, in one row.
    GtkWidget *widget() const { return row_; }
    GtkWidget *button() const { return button_; }

    // The presets of the queue shown and the one chosen ("" for none); usable false for a PPD
    // file, which has no saved settings.
    void setPresets(std::vector<std::string> names, const std::string &chosen, bool usable);
    const std::vector<std::string> &presets() const { return names_; }
    const std::string &chosen() const { return chosen_; }

    // A preset chosen from the menu ("" for none); Save As… and Delete.
    void setChosenHandler(std::function<void(const std::string &)> handler) { chosenHandler_ = std::move(handler); }
    void setSaveAsHandler(std::function<void()> handler) { saveAsHandler_ = std::move(handler); }
    void setDeleteHandler(std::function<void()> handler) { deleteHandler_ = std::move(handler); }

    // "presets" in the state file: the names, the one chosen, whether the menu can be used.
    printdialog::Json stateJSON() const;

private:
    static void onItemActivated(GtkMenuItem *item, PresetMenu *menu);
    static void onSaveAs(GtkMenuItem *, PresetMenu *menu);
    static void onDelete(GtkMenuItem *, PresetMenu *menu);
    void rebuild();

    const PresetText &text_;
    GtkWidget *row_ = nullptr;
    GtkWidget *button_ = nullptr;
    GtkWidget *label_ = nullptr;
    GtkWidget *menu_ = nullptr;
    std::vector<std::string> names_;
    std::string chosen_;
    bool usable_ = false;
    std::function<void(const std::string &)> chosenHandler_;
    std::function<void()> saveAsHandler_;
    std::function<void()> deleteHandler_;
};

// Asks for a preset's name in a small modal dialog over parent, checked as it is typed (Save
// stays insensitive with the reason shown while CUPS would not take it). Empty when cancelled.
std::string askForPresetName(GtkWindow *parent, const WindowText &text, const std::string &suggestion);

}  // namespace pdedialog
