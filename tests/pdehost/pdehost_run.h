// Running the built pdehost as a user or a script would, and reading its JSON document.
#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace pdehost_test {

using nlohmann::json;

inline const std::string kPrinter7140K = PDE_SOURCE_DIR "/printers/QUORVEN-v-DX7140K.ppd";
inline const std::string kPrinter8250K = PDE_SOURCE_DIR "/printers/QUORVEN-v-DX8250K.ppd";
inline const std::string kPrinter5100K = PDE_SOURCE_DIR "/printers/QUORVEN-v-DX5100K.ppd";

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;

    // The --json document on standard output; a test fails when it is not valid JSON.
    json document() const;
};

// Where pdehost's standard output goes: a file that the run reads back into out, /dev/full
// (every write fails for want of space), or nowhere (the stream closed).
enum class Output { File, FullDevice, Closed };

// Runs pdehost with the arguments (and the text on standard input), killing it after a minute.
ProgramRun runPdehost(const std::vector<std::string> &arguments, const std::string &input = {},
                      Output output = Output::File);

// pdehost --json --printer PPD, then --do for each action, then the extra arguments.
ProgramRun runActions(const std::string &printer, const std::vector<std::string> &actions,
               const std::vector<std::string> &extra = {});

// The pane of that short name in a document or in a show action's log entry.
const json &pane(const json &holder, const std::string &name);
// The control with that ControlID id in a pane.
const json &control(const json &pane, int id);
// The summary values of a pane, in order.
std::vector<std::string> summaryValues(const json &pane);
// The action log entry of the nth action (0-based).
const json &action(const json &document, size_t index);

// A fresh folder that is removed with this object.
class TemporaryFolder {
public:
    TemporaryFolder();
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;
    ~TemporaryFolder();
    const std::string &path() const { return path_; }
    // Writes a file in the folder and returns its path.
    std::string write(const std::string &name, const std::string &contents) const;

private:
    std::string path_;
};

}  // namespace pdehost_test
