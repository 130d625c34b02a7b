// Xvfb, GTK and child processes for the desktop dialog's tests.
#include "desktop_support.h"

#include <gtk/gtk.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace pdedialog_test {
namespace {

constexpr auto kServerStartLimit = std::chrono::seconds(15);

std::vector<char *> argumentVector(std::vector<std::string> &words) {
    std::vector<char *> argv;
    for (auto &word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    return argv;
}

}  // namespace

void xdotool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "xdotool");
    EXPECT_EQ(0, runCommand(arguments).exitCode) << "xdotool " << arguments[1];
}

bool programInPath(const std::string &name) {
    gchar *found = g_find_program_in_path(name.c_str());
    bool present = found != nullptr;
    g_free(found);
    return present;
}

VirtualDisplay *VirtualDisplay::shared() {
    static std::unique_ptr<VirtualDisplay> display = [] {
        std::unique_ptr<VirtualDisplay> started(new VirtualDisplay());
        if (!started->start()) started.reset();
        return started;
    }();
    return display.get();
}

// Xvfb picks a display number that no other server holds and writes it to the pipe once it
// accepts connections. -noreset: by default the server resets when its last client leaves, and a
// program connecting during that reset cannot open the display.
bool VirtualDisplay::start() {
    if (!programInPath("Xvfb")) return false;
    int ready[2];
    if (pipe(ready) != 0) return false;
    std::vector<std::string> words = {"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1280x1024x24",
                                      "-nolisten", "tcp", "-noreset"};
    auto argv = argumentVector(words);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, ready[0]);
    if (posix_spawnp(&server_, "Xvfb", &actions, nullptr, argv.data(), environ) != 0) server_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    std::string number;
    auto deadline = std::chrono::steady_clock::now() + kServerStartLimit;
    while (server_ > 0 && std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{ready[0], POLLIN, 0};
        if (poll(&waiting, 1, 100) <= 0) continue;
        char byte;
        if (read(ready[0], &byte, 1) != 1 || byte == '\n') break;
        number += byte;
    }
    close(ready[0]);
    if (number.empty()) return false;
    name_ = ":" + number;
    setenv("DISPLAY", name_.c_str(), 1);
    // No accessibility bus on a test display: GTK would look for one and keep its connection.
    setenv("NO_AT_BRIDGE", "1", 1);
    // GTK's settings (the file chooser's among them) stay in memory, out of the user's dconf.
    setenv("GSETTINGS_BACKEND", "memory", 1);
    return true;
}

VirtualDisplay::~VirtualDisplay() {
    if (server_ <= 0) return;
    kill(server_, SIGTERM);
    if (test_support::waitForChild(server_, std::chrono::steady_clock::now() + std::chrono::seconds(5)) == -2)
        server_ = -1;
}

bool gtkOnVirtualDisplay() {
    static bool ready = VirtualDisplay::shared() != nullptr && gtk_init_check(nullptr, nullptr);
    return ready;
}

void runMainLoopFor(std::chrono::milliseconds duration) {
    runMainLoopUntil([] { return false; }, duration);
}

bool runMainLoopUntil(const std::function<bool()> &condition, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        if (!g_main_context_iteration(nullptr, FALSE)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

ChildProcess::ChildProcess(const std::vector<std::string> &arguments, const std::string &outputFile,
                           const std::string &errorFile)
    : pid_(test_support::startChild(arguments, {"/dev/null", outputFile, errorFile})) {}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && status_ == -1) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool ChildProcess::running() {
    if (pid_ <= 0 || status_ != -1) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
}

int ChildProcess::wait(std::chrono::milliseconds limit) {
    if (pid_ <= 0) return -1;
    if (status_ == -1) status_ = test_support::waitForChild(pid_, std::chrono::steady_clock::now() + limit);
    return status_;
}

CommandResult runCommand(const std::vector<std::string> &arguments, std::chrono::milliseconds limit) {
    auto run = test_support::runProgram(arguments, {}, limit);
    return {run.exitCode, run.out};
}

const json &paneState(const json &state, const std::string &name) {
    static const json missing = json::object();
    for (const auto &pane : state.at("panes"))
        if (pane.at("name") == name) return pane;
    ADD_FAILURE() << "no pane " << name << " in the state";
    return missing;
}

const json &controlState(const json &pane, int id) {
    static const json missing = json::object();
    if (pane.contains("controls"))
        for (const auto &control : pane.at("controls"))
            if (control.at("id") == id) return control;
    ADD_FAILURE() << "no control " << id << " in pane " << pane.value("name", "?");
    return missing;
}

PictureCheck checkPicture(const std::string &path) {
    PictureCheck check;
    GdkPixbuf *picture = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
    if (picture == nullptr) return check;
    check.readable = true;
    check.width = gdk_pixbuf_get_width(picture);
    check.height = gdk_pixbuf_get_height(picture);
    int channels = gdk_pixbuf_get_n_channels(picture);
    int stride = gdk_pixbuf_get_rowstride(picture);
    const guchar *pixels = gdk_pixbuf_read_pixels(picture);
    std::set<uint32_t> colours;
    for (int y = 0; y < check.height && colours.size() < 1000; ++y) {
        for (int x = 0; x < check.width; ++x) {
            const guchar *pixel = pixels + y * stride + x * channels;
            colours.insert(uint32_t(pixel[0]) << 16 | uint32_t(pixel[1]) << 8 | pixel[2]);
        }
    }
    check.colours = colours.size();
    g_object_unref(picture);
    return check;
}

bool waitForState(const std::string &stateFile, ChildProcess &dialog, std::chrono::seconds limit,
                  const std::function<bool(const json &)> &condition, json &state) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        json read = json::parse(readFile(stateFile), nullptr, false);
        if (!read.is_discarded() && read.is_object()) {
            state = read;
            if (condition(state)) return true;
        }
        if (!dialog.running()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

}  // namespace pdedialog_test
