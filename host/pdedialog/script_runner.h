// Scripts for the window: the actions pdehost understands, one a line, run from the main loop
// one per pass of the run loop, so that the panes' deferred rules run between them as they do
// for a person. "open PANE" shows the pane in the window (and "open summary" the Summary);
// "close PANE" on the pane shown closes it and shows the Summary; "cancel" presses Cancel. The
// window's own lines: "screenshot FILE" saves a PNG of the window in front (the result window
// once Print has shown it), "print" presses the Print
// button as a click does, "print anyway" the Print Anyway button of a refused job, "choose file
// PATH" answers the file chooser that Print opens for a queue without a document, "printer NAME"
// chooses an entry of the printer menu (a queue, queue/instance or a PPD file's path), "save
// default" presses Save as Default, "save preset NAME" saves the preset as Save As… does, "delete
// preset NAME" deletes one, "preset NAME" chooses one ("preset" alone: the queue's own settings),
// "quit" ends.
#pragma once

#include "dialog_window.h"
#include "setting_verbs.h"

#include <printdialog/actions.h>

#include <glib.h>

#include <iosfwd>
#include <string>
#include <vector>

namespace pdedialog {

struct ScriptLine {
    enum class Kind { Action, Screenshot, Print, PrintAnyway, ChooseFile, Quit, Setting, Printer, SaveDefault,
                      SavePreset, DeletePreset, ChoosePreset };
    Kind kind = Kind::Action;
    printdialog::Action action;
    std::string file;    // for screenshot and choose file; the printer's name for printer; a preset's name
    std::string origin;  // "FILE line N", for messages
    SettingLine setting;  // for a setting of the window's own pages (setting_verbs.h)
};

// One line; blank lines and # comments are not lines (false with an empty error).
bool parseScriptLine(const std::string &text, ScriptLine &line, std::string &error);
// Every line of the file. false with "FILE line N: ..." for the first line that is wrong.
bool readScript(const std::string &path, std::vector<ScriptLine> &lines, std::string &error);
// Checks the actions against the loaded panes before anything runs.
bool validateScript(printdialog::Dialog &dialog, const std::vector<ScriptLine> &lines, std::string &error);

class ScriptRunner {
public:
    enum class Status { Running, Finished, Quit, Failed };

    // The lines act on the window's current dialog, which a printer line replaces.
    ScriptRunner(DialogWindow &window, std::vector<ScriptLine> lines, std::ostream &log);
    ScriptRunner(const ScriptRunner &) = delete;
    ScriptRunner &operator=(const ScriptRunner &) = delete;
    ~ScriptRunner();

    // Runs the next line unless a wait or a screenshot is still pending.
    Status step();
    Status status() const { return status_; }
    const std::string &error() const { return error_; }

private:
    static gboolean takeScreenshot(gpointer runner);
    bool runAction(const ScriptLine &line);
    Status runPresetLine(const ScriptLine &line);

    DialogWindow &window_;
    std::vector<ScriptLine> lines_;
    std::ostream &log_;
    size_t next_ = 0;
    gint64 resumeAt_ = 0;       // monotonic microseconds; a wait runs until then
    guint screenshotSource_ = 0;
    std::string screenshotFile_;
    Status status_ = Status::Running;
    std::string error_;
};

}  // namespace pdedialog
