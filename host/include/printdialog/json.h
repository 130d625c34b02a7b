// JSON in the host: nlohmann's document type with object members kept in the order they were
// added, a reader for --ticket presets that refuses what would not come back the same, and the
// one way the programs write their documents.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace printdialog {

using Json = nlohmann::ordered_json;

// Reads one JSON document; a leading UTF-8 byte-order mark is skipped. Refuses what nlohmann
// refuses, an object that has a key twice, values nested more than 256 deep and numbers past a
// double's range. On failure returns false and sets error to "line N: what".
bool parseJson(std::string_view text, Json &result, std::string &error);

// The document as text: compact for indent 0, else indent spaces a level. Text stays UTF-8 as it
// is (control characters escaped); ill-formed bytes, from a plug-in's diagnostics say, become
// U+FFFD so that any parser reads the document. A real keeps its point (2.0, -0.0).
inline std::string jsonText(const Json &value, int indent = 2) {
    return value.dump(indent > 0 ? indent : -1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace printdialog
