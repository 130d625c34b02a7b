// Running pdehost in a child process with its streams in files.
#include "pdehost_run.h"

#include <chrono>

namespace pdehost_test {

json ProgramRun::document() const {
    json parsed = json::parse(out, nullptr, false);
    EXPECT_FALSE(parsed.is_discarded()) << "not a JSON document:\n" << out << "\nstderr:\n" << err;
    return parsed.is_discarded() ? json::object() : parsed;
}

ProgramRun runPdehost(const std::vector<std::string> &arguments, const std::string &input, Output output) {
    std::vector<std::string> words{PDEHOST_PROGRAM};
    words.insert(words.end(), arguments.begin(), arguments.end());
    ProgramRun run;
    static_cast<test_support::ProgramRun &>(run) = test_support::runProgram(words, input, std::chrono::seconds(60), output);
    if (!run.started) ADD_FAILURE() << "cannot start " << PDEHOST_PROGRAM;
    else EXPECT_NE(run.exitCode, -2) << "pdehost ran past the time limit";
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

}  // namespace pdehost_test
