// Running the built pdehost as a user or a script would, and reading its JSON document.
#pragma once

#include "child_process.h"
#include "sample_printers.h"
#include "temporary_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace pdehost_test {

using nlohmann::json;

using test_support::Output;
using test_support::TemporaryFolder;

struct ProgramRun : test_support::ProgramRun {
    // The --json document on standard output; a test fails when it is not valid JSON.
    json document() const;
};

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

}  // namespace pdehost_test
