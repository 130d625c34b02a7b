// A connection to the CUPS server libcups names, shared by the queue and destination code of the
// core (not part of the core's public headers: it hands out libcups' own types).
#pragma once

#include <cups/cups.h>

#include <memory>
#include <string>

namespace printdialog {

struct ConnectionCloser {
    void operator()(http_t *http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, ConnectionCloser>;

// Opens a connection to the server libcups names (shown as server); nullptr with one line naming
// the server and why: "no CUPS server is running at HOST:PORT (...)", or the resolver's reason.
Connection connectToServer(const std::string &server, std::string &error);

// After cupsGetDests2 listed count destinations of the server: the line saying why the listing
// failed, or empty when it did not (no destinations from a server without queues is no failure).
std::string destinationListingError(int count, const std::string &server);

}  // namespace printdialog
