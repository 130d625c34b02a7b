// Child processes for the tests: posix_spawn with the streams in files, waited for with a deadline.
#include "child_process.h"

#include "temporary_folder.h"

#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace test_support {

pid_t startChild(const std::vector<std::string> &arguments, const ChildStreams &streams) {
    if (arguments.empty()) return -1;
    std::vector<std::string> words = arguments;
    std::vector<char *> argv;
    for (auto &word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, streams.input.c_str(), O_RDONLY, 0);
    if (streams.closeOutput)
        posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, streams.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, streams.error.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = -1;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) child = -1;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

int waitForChild(pid_t child, std::chrono::steady_clock::time_point deadline) {
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

ProgramRun runProgram(const std::vector<std::string> &arguments, const std::string &input,
                      std::chrono::milliseconds limit) {
    return runProgram(arguments, input, limit, Output::File);
}

ProgramRun runProgram(const std::vector<std::string> &arguments, const std::string &input,
                      std::chrono::milliseconds limit, Output output) {
    TemporaryFolder folder("pde-child");
    ChildStreams streams;
    streams.input = folder.write("stdin", input);
    streams.output = output == Output::FullDevice ? "/dev/full" : folder.file("stdout");
    streams.closeOutput = output == Output::Closed;
    streams.error = folder.file("stderr");

    ProgramRun run;
    pid_t child = startChild(arguments, streams);
    if (child <= 0) return run;
    run.started = true;
    run.exitCode = waitForChild(child, std::chrono::steady_clock::now() + limit);
    run.out = readFile(folder.file("stdout"));
    run.err = readFile(streams.error);
    return run;
}

}  // namespace test_support
