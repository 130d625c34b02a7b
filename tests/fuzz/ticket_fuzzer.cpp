// Feeds arbitrary bytes to pdehost's --ticket reader (addTicketPresetsFromJSON). What it accepts
// must survive the way back: the presets written as JSON, compact or indented, read again into
// equal presets.
#include "fuzz_support.h"

#include <printdialog/json.h>
#include <printdialog/ticket_preset.h>

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_ref.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

cf::Ref<CFMutableDictionaryRef> new_presets() {
    return cf::adopt(CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
}

// Reads the presets back from their JSON form and compares.
void check_round_trip(CFDictionaryRef presets, int indent) {
    const std::string text = printdialog::json::write(printdialog::jsonFromProperty(presets), indent);
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

        // The reader accepts exactly the JSON objects that the document parser reads.
        printdialog::json::Value document;
        std::string parse_error;
        const bool parsed = printdialog::json::parse(text, document, parse_error);
        fuzzing::check(read == (parsed && document.type() == printdialog::json::Value::Type::Object),
                       "the ticket reader and the JSON parser disagree");
        if (!read) {
            fuzzing::check(error.rfind("line ", 0) == 0, "an error that names no line");
            fuzzing::check(CFDictionaryGetCount(presets.get()) == 0, "a refused ticket left presets behind");
            return 0;
        }
        fuzzing::check(error.empty(), "an error beside a success");
        fuzzing::check(CFDictionaryGetCount(presets.get()) <= static_cast<CFIndex>(document.asObject().size()),
                       "more presets than members");
        check_round_trip(presets.get(), 0);
        check_round_trip(presets.get(), 2);
    }
    return 0;
}
