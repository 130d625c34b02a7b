// The run-loop bridge: the GTK main loop turns the platform's run loop every few milliseconds, so
// that the panes' timers fire (deferred rules on the next pass, the colour-adjustment refresh
// every 0.5 s while its pane is open) while the window runs.
#pragma once

#include <glib.h>

#include <functional>

namespace pdedialog {

class RunLoopBridge {
public:
    static constexpr guint kIntervalMilliseconds = 20;

    // afterPass runs after every pass of the run loop (the script's next step, say).
    explicit RunLoopBridge(std::function<void()> afterPass, guint intervalMilliseconds = kIntervalMilliseconds);
    RunLoopBridge(const RunLoopBridge &) = delete;
    RunLoopBridge &operator=(const RunLoopBridge &) = delete;
    ~RunLoopBridge();

    unsigned long passes() const { return passes_; }

    // One pass of the platform's run loop in its default mode, without waiting.
    static void turnOnce();

private:
    static gboolean onTimeout(gpointer bridge);

    std::function<void()> afterPass_;
    guint source_ = 0;
    unsigned long passes_ = 0;
};

}  // namespace pdedialog
