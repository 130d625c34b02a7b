// The libxml2 scaffold the XML readers share (property lists, nibs): one bounded buffer read with
// safe parser options, the first error libxml2 reports kept, the tree freed by RAII. What the
// tree means is each reader's own business.
#pragma once

#include <libxml/tree.h>

#include <memory>
#include <string>
#include <string_view>

namespace platform::xml {

struct DocumentDeleter {
    void operator()(xmlDoc *document) const { xmlFreeDoc(document); }
};
using Document = std::unique_ptr<xmlDoc, DocumentDeleter>;

// What read_document made of the bytes.
struct ReadResult {
    Document document;           // null when the bytes are no well-formed XML or memory ran out
    bool out_of_memory = false;  // no parser could be made
    bool error_seen = false;     // libxml2 reported an error: error_message is its own text
    long error_line = 1;         // the line of that error, or of libxml2's last one; 1 when unknown
    std::string error_message;   // as libxml2 wrote it (possibly with a trailing newline)
};

// Parses the bytes (at most INT_MAX of them; more give no document) without network access,
// without loading DTDs or entities from outside the bytes and without libxml2 writing anything
// to stderr.
ReadResult read_document(std::string_view bytes);

}  // namespace platform::xml
