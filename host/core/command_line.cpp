// Reading a print dialog program's command line.
#include <printdialog/command_line.h>

#include <printdialog/utf8_text.h>

#include <algorithm>
#include <iostream>
#include <set>

namespace printdialog {

bool parseCommandOptions(const std::vector<std::string> &arguments, const std::vector<CommandOption> &options,
                         std::string &error) {
    std::set<std::string> seen;
    for (size_t index = 0; index < arguments.size(); ++index) {
        std::string name = arguments[index];
        std::string value;
        bool inlineValue = false;
        if (auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            inlineValue = true;
        }
        const CommandOption *option = nullptr;
        for (const auto &each : options)
            if (each.name == name) option = &each;
        if (option == nullptr) {
            error = "unknown option '" + arguments[index] + "' (see --help)";
            return false;
        }
        if (option->kind == CommandOption::Kind::Flag) {
            if (inlineValue) {
                error = name + " takes no value";
                return false;
            }
        } else {
            if (!inlineValue) {
                if (index + 1 >= arguments.size()) {
                    error = name + " needs an argument";
                    return false;
                }
                value = arguments[++index];
            }
            if (value.empty()) {
                error = name + " needs a non-empty argument";
                return false;
            }
            if (option->kind == CommandOption::Kind::Value && !seen.insert(name).second) {
                error = name + " is given twice";
                return false;
            }
        }
        if (option->take && !option->take(value, error)) return false;
    }
    return true;
}

CommandOption flagOption(std::string name, bool &field) {
    return {std::move(name), CommandOption::Kind::Flag, [&field](const std::string &, std::string &) {
                field = true;
                return true;
            }};
}

CommandOption valueOption(std::string name, std::string &field) {
    return {std::move(name), CommandOption::Kind::Value, [&field](const std::string &value, std::string &) {
                field = value;
                return true;
            }};
}

void addCommonOptions(std::vector<CommandOption> &options, CommonOptions &common) {
    using Kind = CommandOption::Kind;
    options.push_back(valueOption("--printer", common.printer));
    options.push_back(valueOption("--queue", common.queue));
    options.push_back(valueOption("--print", common.printFile));
    options.push_back(valueOption("--title", common.title));
    options.push_back(valueOption("--plugins", common.plugins));
    options.push_back(valueOption("--lang", common.language));
    options.push_back(valueOption("--ticket", common.ticketFile));
    options.push_back({"-o", Kind::RepeatedValue, [&common](const std::string &value, std::string &) {
                           common.presets.push_back(value);
                           return true;
                       }});
    options.push_back(flagOption("--force", common.force));
    options.push_back(flagOption("--help", common.help));
    options.push_back(flagOption("-h", common.help));
    options.push_back(flagOption("--version", common.version));
}

std::string commonOptionsHelp() {
    return "  --printer PPD          the printer's PPD file (default: the 7140K sample, the installed one\n"
           "                         or, run from the build tree, the source tree's)\n"
           "  --queue NAME           the printer is this queue of the CUPS server (CUPS_SERVER or the\n"
           "                         default); its PPD comes from the server\n"
           "  --print FILE           with --queue: the document Print submits to the queue\n"
           "  --title TITLE          the job's title (default: FILE's name)\n"
           "  --force                print even when the pre-flight finds conflicts or choices the PPD\n"
           "                         does not define (the outcome records that it was forced)\n"
           "  --plugins DIR          a folder of .plugin bundles (default: the installed plug-ins, or the\n"
           "                         build's when run from the build tree)\n"
           "  --lang LOCALIZATION    the localization the panes use (en, de, ...)\n"
           "  -o KEY=VALUE           preset a PPD dictionary entry or a job option (repeatable)\n"
           "  --ticket FILE          preset the PPD dictionary from a JSON object; -o goes in after it\n"
           "  --help, --version\n";
}

// What the printing system would refuse in a job title, checked before a job is made: IPP
// names are UTF-8 of at most 255 bytes. Empty when the title is fine.
std::string titleProblem(const std::string &title) {
    if (title.size() > kLongestJobTitle)
        return "--title: the title is " + std::to_string(title.size()) + " bytes long; a job title has at most " +
               std::to_string(kLongestJobTitle);
    if (withValidUtf8(title) != title) return "--title: the title is not UTF-8 text";
    if (std::any_of(title.begin(), title.end(), [](unsigned char byte) { return byte < 0x20 || byte == 0x7F; }))
        return "--title: the title holds a control character";
    return {};
}

bool checkCommonOptions(const CommonOptions &common, std::string &error) {
    if (!common.queue.empty() && !common.printer.empty()) {
        error = "--queue and --printer cannot be used together";
        return false;
    }
    if (!common.printFile.empty() && common.queue.empty()) {
        error = "--print needs --queue: the job goes to a CUPS queue";
        return false;
    }
    if (!common.title.empty() && common.printFile.empty()) {
        error = "--title needs --print";
        return false;
    }
    if (!common.title.empty()) {
        error = titleProblem(common.title);
        if (!error.empty()) return false;
    }
    if (common.force && common.printFile.empty()) {
        error = "--force needs --print";
        return false;
    }
    return true;
}

void printError(std::string_view program, std::string_view message) {
    std::cerr << program << ": " << withEscapedBytes(message) << "\n" << std::flush;
}

}  // namespace printdialog
