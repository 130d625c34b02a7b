// What the plug-ins write to the standard error stream and the system log during a run.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace pdehost {

class DiagnosticsCapture {
public:
    // Sends the standard error stream to a private file until stop(); syslog calls are always
    // recorded (this program provides syslog, so the plug-ins' calls land here). Should the
    // process die meanwhile (a fatal signal, abort, a sanitizer's report), the captured text is
    // copied to the real stream first and the stream restored, so that no crash report is lost.
    void start();
    // Restores the standard error stream and returns what was written meanwhile.
    std::string stop();
    bool active() const { return savedStandardError_ >= 0; }

private:
    int savedStandardError_ = -1;
    std::FILE *capture_ = nullptr;
};

// syslog lines recorded since the program started ("LOG_ERR: text").
std::vector<std::string> takeSystemLogLines();

}  // namespace pdehost
