// The standard output stream as the place a program's result goes: a result that did not reach
// it (a full disk, a closed stream) is a failure to report, not a success.
#pragma once

#include <memory>
#include <streambuf>
#include <string>

namespace printdialog {

// Watches the standard output from construction to finish(): every write through std::cout is
// checked as it happens, so that the reason of the first failure is known at the end. A program
// started without a standard output gets descriptor 1 held by a read-only /dev/null meanwhile:
// no file it opens later takes the descriptor's place (and the result), and writes fail as
// they would have. One per program, made first thing in main.
class ResultOutput {
public:
    explicit ResultOutput(std::string program);
    ResultOutput(const ResultOutput &) = delete;
    ResultOutput &operator=(const ResultOutput &) = delete;
    ~ResultOutput();

    // Flushes std::cout and C's stdout. When something written was lost, writes
    // "PROGRAM: cannot write the result: REASON" to the error stream and returns kExitFailed in
    // place of kExitDone; any other exit status stays, as the run failed already.
    int finish(int exitCode);

private:
    class Watch;

    std::string program_;
    std::unique_ptr<Watch> watch_;
    std::streambuf *original_ = nullptr;
};

}  // namespace printdialog
