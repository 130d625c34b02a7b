// The command-line convention both programs follow: "--name value" and "--name=value", short
// options ("-o") with the next argument, one exit status vocabulary, and the options every print
// dialog program takes (the printer, the plug-ins, the localization, ticket presets, the job).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace printdialog {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;  // refused or failed at run time
inline constexpr int kExitUsage = 2;   // a wrong option or argument, or unreadable input

// One option a program accepts. A flag takes no value; a value option takes exactly one, and
// unless it is repeatable a second use is refused rather than silently replacing the first.
struct CommandOption {
    enum class Kind { Flag, Value, RepeatedValue };
    std::string name;   // "--printer", "-o"
    Kind kind = Kind::Flag;
    // Takes the value (empty for a flag); false with a message refuses it.
    std::function<bool(const std::string &value, std::string &error)> take;
};

// A flag that sets the field, and a single-valued option that stores its value in the field.
CommandOption flagOption(std::string name, bool &field);
CommandOption valueOption(std::string name, std::string &field);

// Reads the arguments in order. false with a one-line message for an unknown option, a missing or
// empty value, a value given to a flag, or a single-valued option given twice.
bool parseCommandOptions(const std::vector<std::string> &arguments, const std::vector<CommandOption> &options,
                         std::string &error);

// What every print dialog program takes.
struct CommonOptions {
    std::string printer;      // a PPD file
    std::string queue;        // or a queue of the CUPS server
    std::string printFile;    // the document Print submits
    std::string title;        // the job's title
    std::string plugins;      // a folder of .plugin bundles
    std::string language;     // the localization the panes use
    std::string ticketFile;   // a JSON object preset into the PPD dictionary
    std::vector<std::string> presets;  // KEY=VALUE, after the ticket
    bool force = false;       // print even when the pre-flight found problems
    bool help = false;
    bool version = false;
};

// Writes "program: message" and a newline to the standard error stream, the message's ill-formed
// bytes and control characters escaped.
void printError(std::string_view program, std::string_view message);

// Adds the common options, writing into common.
void addCommonOptions(std::vector<CommandOption> &options, CommonOptions &common);

// The common options' lines of a --help text.
std::string commonOptionsHelp();

// The printing system's limit on a job title (an IPP name), in bytes.
inline constexpr std::size_t kLongestJobTitle = 255;

// The common rules between options: a printer is a PPD file or a queue, a title needs a job.
// false with the message for the first mistake.
bool checkCommonOptions(const CommonOptions &common, std::string &error);

}  // namespace printdialog
