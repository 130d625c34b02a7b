// The dialog's state as JSON, for scripts and tests: every pane's controls as the platform model
// holds them, next to what their widgets show, the Summary, the ticket and, after Print, what the
// printer receives and the job sent to a queue. Kept current in a file while the dialog runs.
#pragma once

#include "control_view.h"
#include "dialog_window.h"

#include <printdialog/json.h>

#include <glib.h>

#include <functional>
#include <string>

namespace pdedialog {

printdialog::Json dialogStateJSON(printdialog::Dialog &dialog, const ControlView &view, const DialogWindow &window);

// The file that holds the state: rewritten soon after every change (once GTK has laid the
// window out), and at the end with "phase": "exit". Each write replaces the file whole.
class StateFile {
public:
    using Snapshot = std::function<printdialog::Json()>;

    StateFile(std::string path, Snapshot snapshot);
    StateFile(const StateFile &) = delete;
    StateFile &operator=(const StateFile &) = delete;
    ~StateFile();

    void requestWrite();
    // phase is "running" or "exit"; every write counts up "sequence".
    bool write(const std::string &phase, std::string &error);

private:
    static gboolean onIdle(gpointer file);

    std::string path_;
    Snapshot snapshot_;
    guint pending_ = 0;
    long sequence_ = 0;
};

}  // namespace pdedialog
