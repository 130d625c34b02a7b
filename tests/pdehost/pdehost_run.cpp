// Running pdehost in a child process with its streams in files.
#include "pdehost_run.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace pdehost_test {
namespace {

constexpr auto kRunLimit = std::chrono::seconds(60);

std::string readFile(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

// Waits for the child; one that runs past the limit is killed and reported as exit code -2.
int waitFor(pid_t child) {
    auto deadline = std::chrono::steady_clock::now() + kRunLimit;
    for (;;) {
        int status = 0;
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
        }
        if (done < 0) return -1;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -2;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

json ProgramRun::document() const {
    json parsed = json::parse(out, nullptr, false);
    EXPECT_FALSE(parsed.is_discarded()) << "not a JSON document:\n" << out << "\nstderr:\n" << err;
    return parsed.is_discarded() ? json::object() : parsed;
}

ProgramRun runPdehost(const std::vector<std::string> &arguments, const std::string &input, Output output) {
    TemporaryFolder streams;
    std::string inPath = streams.write("stdin", input);
    std::string outPath = streams.path() + "/stdout";
    std::string errPath = streams.path() + "/stderr";

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inPath.c_str(), O_RDONLY, 0);
    switch (output) {
    case Output::File:
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        break;
    case Output::FullDevice: posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0); break;
    case Output::Closed: posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO); break;
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> words{PDEHOST_PROGRAM};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (auto &word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    ProgramRun run;
    pid_t child = 0;
    int spawned = posix_spawn(&child, PDEHOST_PROGRAM, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << PDEHOST_PROGRAM;
        return run;
    }
    run.exitCode = waitFor(child);
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    EXPECT_NE(run.exitCode, -2) << "pdehost ran past the time limit";
    return run;
}

ProgramRun runActions(const std::string &printer, const std::vector<std::string> &actions,
               const std::vector<std::string> &extra) {
    std::vector<std::string> arguments{"--json", "--printer", printer};
    for (const auto &each : actions) {
        arguments.push_back("--do");
        arguments.push_back(each);
    }
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return runPdehost(arguments);
}

const json &pane(const json &holder, const std::string &name) {
    static const json none = json::object();
    if (holder.is_object() && holder.contains("panes"))
        for (const auto &each : holder["panes"])
            if (each.value("name", "") == name) return each;
    ADD_FAILURE() << "no pane " << name;
    return none;
}

const json &control(const json &pane, int id) {
    static const json none = json::object();
    if (pane.is_object() && pane.contains("controls"))
        for (const auto &each : pane["controls"])
            if (each.value("id", 0) == id) return each;
    ADD_FAILURE() << "no control " << id << " in pane " << pane.value("name", "?");
    return none;
}

std::vector<std::string> summaryValues(const json &pane) {
    std::vector<std::string> values;
    if (pane.is_object() && pane.contains("summary"))
        for (const auto &row : pane["summary"]) values.push_back(row.value("value", ""));
    return values;
}

const json &action(const json &document, size_t index) {
    static const json none = json::object();
    const json &actions = document.is_object() && document.contains("actions") ? document["actions"] : none;
    if (!actions.is_array() || index >= actions.size()) {
        ADD_FAILURE() << "no action " << index << " in the log";
        return none;
    }
    return actions[index];
}

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pdehost-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

std::string TemporaryFolder::write(const std::string &name, const std::string &contents) const {
    std::string path = path_ + "/" + name;
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

}  // namespace pdehost_test
