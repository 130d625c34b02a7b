// Reading the ticket presets of the command line.
#include "presets.h"

#include <printdialog/ticket_preset.h>

#include <fstream>
#include <sstream>

namespace pdehost {
namespace {

// The whole file; false when it cannot be read.
bool readFile(const std::string &path, std::string &text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
    return !file.bad();
}

}  // namespace

// The JSON ticket goes in first so that -o can override one of its entries.
cf::Ref<CFMutableDictionaryRef> createPresets(const Options &options, std::string &error) {
    auto presets = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks));
    if (!presets) {
        error = "out of memory";
        return {};
    }
    if (!options.ticketFile.empty()) {
        std::string text;
        if (!readFile(options.ticketFile, text)) {
            error = "cannot read the ticket " + options.ticketFile;
            return {};
        }
        if (!addTicketPresetsFromJSON(text, presets.get(), error)) {
            error = options.ticketFile + ": " + error;
            return {};
        }
    }
    for (const auto &pair : options.presets)
        if (!addTicketPreset(pair, presets.get(), error)) return {};
    return presets;
}

}  // namespace pdehost
