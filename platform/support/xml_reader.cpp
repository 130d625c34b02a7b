// The shared libxml2 reading scaffold.
#include "xml_reader.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <mutex>

namespace platform::xml {
namespace {

// No network, no external DTD or entity loading, no messages of libxml2's own on stderr.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES;

struct ContextDeleter {
    void operator()(xmlParserCtxt *context) const { xmlFreeParserCtxt(context); }
};

// Structured error handler of one parser context, whose _private points at the result: the
// first error is the one nearest to the mistake, later ones are mostly fallout from it.
void keep_first_error(void *user_data, xmlErrorPtr error) {
    auto *context = static_cast<xmlParserCtxt *>(user_data);
    auto *result = context != nullptr ? static_cast<ReadResult *>(context->_private) : nullptr;
    if (result == nullptr || result->error_seen || error == nullptr || error->level < XML_ERR_ERROR) return;
    result->error_seen = true;
    result->error_line = error->line > 0 ? error->line : 1;
    result->error_message = error->message != nullptr ? error->message : "";
}

}  // namespace

ReadResult read_document(std::string_view bytes) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { xmlInitParser(); });

    ReadResult result;
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return result;
    // A context of our own, with its own error handler, keeps the report per call and per thread.
    std::unique_ptr<xmlParserCtxt, ContextDeleter> context(xmlNewParserCtxt());
    if (!context || !context->sax) {
        result.out_of_memory = true;
        return result;
    }
    context->_private = &result;
    context->sax->serror = keep_first_error;
    result.document.reset(
        xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, kParseOptions));
    if (!result.document && !result.error_seen) {
        const xmlError *error = xmlCtxtGetLastError(context.get());
        result.error_line = error != nullptr && error->line > 0 ? error->line : 1;
    }
    return result;
}

}  // namespace platform::xml
