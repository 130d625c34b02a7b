// Feeds arbitrary bytes to pdehost's --ticket reader (addTicketPresetsFromJSON). What it accepts
// must survive the way back: the presets written as JSON, compact or indented, read again into
// equal presets. What it refuses is named: by line for text that is not a JSON object, by member
// for a control character in a key or a string value.
#include "fuzz_support.h"

#include <printdialog/json.h>
#include <printdialog/ticket_preset.h>

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_ref.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

cf::Ref<CFMutableDictionaryRef> new_presets() {
    return cf::adopt(CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
}

// Whether the text holds a character below U+0020 or U+007F.
bool holds_control_character(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// Whether a member of the object has such a character in its key or its string value.
bool has_control_character_entry(const printdialog::Json &object) {
    for (const auto &[key, value] : object.items())
        if (holds_control_character(key) || (value.is_string() && holds_control_character(value.get<std::string>())))
            return true;
    return false;
}

// Reads the presets back from their JSON form and compares.
void check_round_trip(CFDictionaryRef presets, int indent) {
    const std::string text = printdialog::jsonText(printdialog::jsonFromProperty(presets), indent);
    auto again = new_presets();
    std::string error;
    fuzzing::check(printdialog::addTicketPresetsFromJSON(text, again.get(), error), "written presets do not read back");
    fuzzing::check(error.empty(), "an error beside a success");
    fuzzing::check(CFEqual(presets, again.get()), "presets change on the way back through JSON");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzing::LiveObjectBalance balance;
    {
        const std::string text(reinterpret_cast<const char *>(data), size);
        auto presets = new_presets();
        std::string error;
        const bool read = printdialog::addTicketPresetsFromJSON(text, presets.get(), error);

        // The reader accepts exactly the JSON objects that the document parser reads, less those
        // with a control character in a key or a string value.
        printdialog::Json document;
        std::string parse_error;
        const bool parsed = printdialog::parseJson(text, document, parse_error);
        const bool object = parsed && document.is_object();
        const bool control = object && has_control_character_entry(document);
        fuzzing::check(read == (object && !control), "the ticket reader and the JSON parser disagree");
        if (!read) {
            if (control)
                fuzzing::check(error.find(" contains a ") != std::string::npos, "a control character not named");
            else
                fuzzing::check(error.rfind("line ", 0) == 0, "an error that names no line");
            fuzzing::check(CFDictionaryGetCount(presets.get()) == 0, "a refused ticket left presets behind");
            return 0;
        }
        fuzzing::check(error.empty(), "an error beside a success");
        fuzzing::check(CFDictionaryGetCount(presets.get()) <= static_cast<CFIndex>(document.size()),
                       "more presets than members");
        check_round_trip(presets.get(), 0);
        check_round_trip(presets.get(), 2);
    }
    return 0;
}
