// Saved settings and presets through libcups' destination API (cupsGetDests2, cupsSetDests2).
#include <printdialog/saved_settings.h>

#include "cups_connection.h"

#include <printdialog/cups_queue.h>
#include <printdialog/destinations.h>
#include <printdialog/files.h>
#include <printdialog/ppd_report.h>
#include <printdialog/ticket_preset.h>
#include <printdialog/utf8_text.h>

// libcups marks its PPD API deprecated; it is still the way to ask which options a PPD defines.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <pwd.h>
#include <strings.h>
#include <unistd.h>

namespace printdialog {
namespace {

constexpr std::size_t kLongestInstanceName = 127;

// The destinations libcups lists for the server of the connection, with the lpoptions files
// applied; freed with the object.
struct Destinations {
    int count = 0;
    cups_dest_t *dests = nullptr;

    Destinations() = default;
    Destinations(const Destinations &) = delete;
    Destinations &operator=(const Destinations &) = delete;
    ~Destinations() { cupsFreeDests(count, dests); }

    cups_dest_t *find(const DestinationName &name) const {
        return cupsGetDest(name.queue.c_str(), name.instance.empty() ? nullptr : name.instance.c_str(), count, dests);
    }
};

// Connects and lists; false with one line naming the server when it cannot be asked.
bool readDestinations(Connection &http, Destinations &list, std::string &error) {
    const std::string server = cupsServerName();
    http = connectToServer(server, error);
    if (!http) return false;
    list.count = cupsGetDests2(http.get(), &list.dests);
    error = destinationListingError(list.count, server);
    return error.empty();
}

// The queue's entry, and the instance's when one is named; false with the reason when missing.
bool findDestination(const Destinations &list, const DestinationName &name, cups_dest_t *&dest, std::string &error) {
    if (list.find({name.queue, {}}) == nullptr) {
        error = "the CUPS server at " + cupsServerName() + " has no queue named '" + name.queue + "'";
        return false;
    }
    dest = list.find(name);
    if (dest == nullptr) error = "the queue '" + name.queue + "' has no preset '" + name.instance + "'";
    return dest != nullptr;
}

// The user's file as it is: the options of each "Dest NAME[/INSTANCE] OPTIONS" or "Default ..."
// line by destination name, and whether a Default line names the default.
struct UserFile {
    std::map<std::string, std::string> lines;  // "q7140/draft" → "A=1 B=2"
    bool namesADefault = false;
};

UserFile readUserFile() {
    UserFile file;
    std::string text, reason;
    if (!readWholeFile(lpoptionsPath(), text, reason)) return file;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kind, name;
        words >> kind >> name;
        const bool isDefault = strcasecmp(kind.c_str(), "Default") == 0;
        if ((!isDefault && strcasecmp(kind.c_str(), "Dest") != 0) || name.empty()) continue;
        file.namesADefault = file.namesADefault || isDefault;
        std::string options;
        std::getline(words, options);
        file.lines[name] = options;
    }
    return file;
}

// Gives the destination the options of its own line in the user's file, nothing else.
void setOptionsFromLine(cups_dest_t &dest, const std::string &line) {
    cupsFreeOptions(dest.num_options, dest.options);
    dest.options = nullptr;
    dest.num_options = cupsParseOptions(line.c_str(), 0, &dest.options);
}

// libcups copies a queue's options into each of its instances as it reads the files, and then
// writes them as the instance's own; so is a "Default" line for whichever destination it lists as
// the default, the server's included. Every instance gets back its own line (the preset being
// saved, when it is new, none: it holds the dialog's options only), and unless the file names a
// default already it names none, so that saving leaves the other presets and the user's default
// printer as they were.
void keepAsInFile(Destinations &list, const DestinationName &saving) {
    const UserFile file = readUserFile();
    for (int index = 0; index < list.count; ++index) {
        cups_dest_t &dest = list.dests[index];
        if (!file.namesADefault) dest.is_default = 0;
        if (dest.instance == nullptr) continue;
        auto own = file.lines.find(std::string(dest.name) + "/" + dest.instance);
        if (own != file.lines.end()) setOptionsFromLine(dest, own->second);
        else if (saving.queue == dest.name && saving.instance == dest.instance) setOptionsFromLine(dest, "");
    }
}

// Writes the list as the user's options; false with the reason.
bool writeDestinations(Connection &http, Destinations &list, std::string &error) {
    errno = 0;
    if (cupsSetDests2(http.get(), list.count, list.dests) == 0) return true;
    if (cupsLastError() > IPP_STATUS_OK_CONFLICTING)
        error = "the CUPS server at " + cupsServerName() + " did not list its queues: " + cupsLastErrorString();
    else
        error = "cannot write " + lpoptionsPath() + ": " + (errno != 0 ? std::strerror(errno) : "libcups refused it");
    return false;
}

void removeNeverSaved(cups_dest_t &dest) {
    for (int digit = 1; digit <= 5; ++digit)
        dest.num_options = cupsRemoveOption(("DINDigit" + std::to_string(digit)).c_str(), dest.num_options, &dest.options);
}

}  // namespace

bool parseDestinationName(const std::string &text, DestinationName &name, std::string &error) {
    const std::size_t slash = text.find('/');
    name.queue = text.substr(0, slash);
    name.instance = slash == std::string::npos ? std::string() : text.substr(slash + 1);
    if (name.queue.empty()) {
        error = "'" + text + "' names no queue";
        return false;
    }
    if (slash != std::string::npos) {
        std::string problem = instanceNameProblem(name.instance);
        if (!problem.empty()) {
            error = "'" + text + "': " + problem;
            return false;
        }
    }
    return true;
}

std::string instanceNameProblem(const std::string &name) {
    if (name.empty()) return "a preset needs a name";
    if (name.size() > kLongestInstanceName)
        return "a preset name has at most " + std::to_string(kLongestInstanceName) + " bytes";
    if (withValidUtf8(name) != name) return "a preset name must be UTF-8 text";
    for (unsigned char byte : name) {
        if (byte <= 0x20 || byte == 0x7F) return "a preset name cannot hold blanks or control characters";
        if (std::strchr("/\\?'\"#", byte) != nullptr)
            return std::string("a preset name cannot hold '") + static_cast<char>(byte) + "'";
    }
    return {};
}

bool isNeverSaved(const std::string &key) {
    return key.size() == 9 && key.rfind("DINDigit", 0) == 0 && key[8] >= '1' && key[8] <= '5';
}

std::map<std::string, std::string> neverSavedEntries(CFDictionaryRef ticket) {
    std::map<std::string, std::string> entries;
    for (const JobOption &option : jobOptionsFromTicket(ticket))
        if (isNeverSaved(option.key)) entries[option.key] = option.value;
    return entries;
}

std::string lpoptionsPath() {
    // As libcups 2.4 finds the user's folder: HOME, else the account's home; root included.
    const char *home = std::getenv("HOME");
    std::string folder = home != nullptr ? home : "";
    if (folder.empty())
        if (const passwd *account = getpwuid(getuid()); account != nullptr && account->pw_dir != nullptr)
            folder = account->pw_dir;
    if (!folder.empty()) return folder + "/.cups/lpoptions";
    const char *root = std::getenv("CUPS_SERVERROOT");
    return std::string(root != nullptr && *root != '\0' ? root : "/etc/cups") + "/lpoptions";
}

bool addQueueDefaults(const std::string &ppdPath, CFMutableDictionaryRef into, std::string &error) {
    PPDFile ppd = openPPD(ppdPath, error);
    if (!ppd) return false;
    for (ppd_option_t *option = ppdFirstOption(ppd.get()); option != nullptr; option = ppdNextOption(ppd.get())) {
        const std::string keyword = option->keyword;
        if (isNeverSaved(keyword) || keyword == "PageRegion" || ppdFindChoice(option, option->defchoice) == nullptr)
            continue;
        CFDictionarySetValue(into, createString(keyword).get(), createString(option->defchoice).get());
    }
    return true;
}

bool addSavedSettings(const DestinationName &destination, const std::string &ppdPath, CFMutableDictionaryRef into,
                      std::string &error) {
    Connection http;
    Destinations list;
    cups_dest_t *dest = nullptr;
    if (!readDestinations(http, list, error) || !findDestination(list, destination, dest, error)) return false;
    PPDFile ppd = openPPD(ppdPath, error);
    if (!ppd) return false;
    for (int index = 0; index < dest->num_options; ++index) {
        const cups_option_t &option = dest->options[index];
        if (isNeverSaved(option.name) || ppdFindOption(ppd.get(), option.name) == nullptr) continue;
        CFDictionarySetValue(into, createString(option.name).get(), createString(option.value).get());
    }
    return true;
}

bool saveSettings(const DestinationName &destination, CFDictionaryRef ticket, std::string &error) {
    Connection http;
    Destinations list;
    if (!readDestinations(http, list, error)) return false;
    cups_dest_t *dest = nullptr;
    if (!findDestination(list, {destination.queue, {}}, dest, error)) return false;
    if (!destination.instance.empty()) {
        std::string problem = instanceNameProblem(destination.instance);
        if (!problem.empty()) {
            error = problem;
            return false;
        }
        dest = list.find(destination);
        if (dest == nullptr) {
            list.count = cupsAddDest(destination.queue.c_str(), destination.instance.c_str(), list.count, &list.dests);
            dest = list.find(destination);
            if (dest == nullptr) {
                error = "out of memory";
                return false;
            }
        }
    }
    // The preset keeps its own line and takes the dialog's options over it.
    keepAsInFile(list, destination);
    std::vector<JobOption> saved = jobOptionsFromTicket(ticket);
    saved.erase(std::remove_if(saved.begin(), saved.end(), [](const JobOption &option) { return isNeverSaved(option.key); }),
                saved.end());
    for (const auto &[name, value] : saved)
        dest->num_options = cupsAddOption(name.c_str(), value.c_str(), dest->num_options, &dest->options);
    removeNeverSaved(*dest);
    if (!writeDestinations(http, list, error)) return false;

    // Read back: what libcups lists now must hold every option saved.
    Connection check;
    Destinations after;
    if (!readDestinations(check, after, error)) return false;
    cups_dest_t *written = after.find(destination);
    for (const auto &[name, value] : saved) {
        const char *found = written != nullptr ? cupsGetOption(name.c_str(), written->num_options, written->options) : nullptr;
        if (found == nullptr || value != found) {
            error = lpoptionsPath();
            error.append(" does not hold ").append(name).append("=").append(value);
            error.append(" for ").append(destination.text()).append(" after saving");
            return false;
        }
    }
    return true;
}

bool deletePreset(const DestinationName &destination, std::string &error) {
    if (destination.instance.empty()) {
        error = "'" + destination.queue + "' is a queue, not a preset";
        return false;
    }
    Connection http;
    Destinations list;
    cups_dest_t *dest = nullptr;
    if (!readDestinations(http, list, error) || !findDestination(list, destination, dest, error)) return false;
    list.count = cupsRemoveDest(destination.queue.c_str(), destination.instance.c_str(), list.count, &list.dests);
    keepAsInFile(list, {});
    if (!writeDestinations(http, list, error)) return false;
    Connection check;
    Destinations after;
    if (!readDestinations(check, after, error)) return false;
    if (after.find(destination) != nullptr) {
        error = "the preset " + destination.text() + " is still listed (another lpoptions file than " + lpoptionsPath() +
                " defines it)";
        return false;
    }
    return true;
}

std::vector<std::string> presetsOf(const std::string &queue) {
    std::vector<std::string> names;
    for (const Destination &each : listDestinations().destinations)
        if (each.queue == queue && !each.instance.empty()) names.push_back(each.instance);
    std::sort(names.begin(), names.end());  // the listing puts a default preset first
    return names;
}

}  // namespace printdialog
