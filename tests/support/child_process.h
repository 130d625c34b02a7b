// Programs run by the tests in child processes, with their streams in files and a deadline.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <sys/types.h>

namespace test_support {

// Where a child's standard streams go: files (or devices such as /dev/full); the output stream
// is closed instead when closeOutput is set.
struct ChildStreams {
    std::string input = "/dev/null";
    std::string output = "/dev/null";
    std::string error = "/dev/null";
    bool closeOutput = false;
};

// Starts arguments[0] (looked up in PATH when it holds no slash); -1 when it cannot start.
pid_t startChild(const std::vector<std::string> &arguments, const ChildStreams &streams);

// Waits for the child until the deadline: its exit status, 128 + the signal that ended it, -1
// when it cannot be waited for, or -2 when the deadline passed (the child is then killed).
int waitForChild(pid_t child, std::chrono::steady_clock::time_point deadline);

struct ProgramRun {
    bool started = false;
    int exitCode = -1;  // as waitForChild gives it
    std::string out;
    std::string err;
};

// Runs a program to its end with the text on its standard input, or kills it when the time is up.
ProgramRun runProgram(const std::vector<std::string> &arguments, const std::string &input = {},
                      std::chrono::milliseconds limit = std::chrono::seconds(60));

// Where runProgram's standard output goes instead of the file it reads back into out.
enum class Output { File, FullDevice, Closed };
ProgramRun runProgram(const std::vector<std::string> &arguments, const std::string &input,
                      std::chrono::milliseconds limit, Output output);

}  // namespace test_support
