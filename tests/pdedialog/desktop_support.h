// What the desktop dialog's tests share: a virtual X display (Xvfb) started and stopped by the
// tests themselves, GTK on it, child processes with a time limit, and the JSON state file.
#pragma once

#include "child_process.h"
#include "sample_printers.h"
#include "temporary_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace pdedialog_test {

using nlohmann::json;

using test_support::readFile;
using test_support::TemporaryFolder;

bool programInPath(const std::string &name);

// How long the desktop tests wait for a state the program writes, and for it to end.
inline constexpr auto kStateLimit = std::chrono::seconds(20);
inline constexpr auto kExitLimit = std::chrono::seconds(30);

// Runs xdotool with the arguments; a failure is the test's.
void xdotool(std::vector<std::string> arguments);

class ChildProcess;
// Reads the dialog's state file until the condition holds, within the limit and while the
// program runs; the last state read stays in state.
bool waitForState(const std::string &stateFile, ChildProcess &dialog, std::chrono::seconds limit,
                  const std::function<bool(const json &)> &condition, json &state);

// Xvfb on a display number it found free (-displayfd), shared by the tests of this process and
// stopped when the process ends. nullptr when Xvfb is missing or does not come up.
class VirtualDisplay {
public:
    static VirtualDisplay *shared();
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;
    ~VirtualDisplay();
    const std::string &name() const { return name_; }

private:
    VirtualDisplay() = default;
    bool start();

    pid_t server_ = -1;
    std::string name_;
};

// GTK initialised on the shared display, once per process; false when there is no display.
bool gtkOnVirtualDisplay();
// Runs the GTK main loop (and nothing else) for that long.
void runMainLoopFor(std::chrono::milliseconds duration);
// Runs the GTK main loop until the condition holds or the time is up; returns the condition.
bool runMainLoopUntil(const std::function<bool()> &condition, std::chrono::milliseconds limit);

// A child process on the shared display, its output in files; killed when destroyed.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string> &arguments, const std::string &outputFile, const std::string &errorFile);
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;
    ~ChildProcess();

    bool started() const { return pid_ > 0; }
    bool running();
    // The exit status, 128 + signal for a signal, -2 when the time ran out (then it is killed).
    int wait(std::chrono::milliseconds limit);

private:
    pid_t pid_ = -1;
    int status_ = -1;
};

// A program run to its end with its standard output, e.g. xdotool.
struct CommandResult {
    int exitCode = -1;
    std::string output;
};
CommandResult runCommand(const std::vector<std::string> &arguments,
                         std::chrono::milliseconds limit = std::chrono::seconds(20));

// The pane of that short name in a state document, and a control of it by id.
const json &paneState(const json &state, const std::string &name);
const json &controlState(const json &pane, int id);

// Whether a PNG holds a picture of the given size with more than a handful of colours.
struct PictureCheck {
    bool readable = false;
    int width = 0;
    int height = 0;
    size_t colours = 0;
};
PictureCheck checkPicture(const std::string &path);

}  // namespace pdedialog_test
