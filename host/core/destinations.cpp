// The CUPS server's destinations through libcups' destination enumeration.
#include <printdialog/destinations.h>

#include "cups_connection.h"

#include <printdialog/cups_queue.h>

#include <cups/cups.h>

#include <algorithm>
#include <tuple>

namespace printdialog {

void sortDestinations(std::vector<Destination> &destinations) {
    std::stable_sort(destinations.begin(), destinations.end(), [](const Destination &a, const Destination &b) {
        // The default first; a queue's own entry (no instance) sorts before its instances.
        return std::make_tuple(!a.isDefault, a.queue, !a.instance.empty(), a.instance) <
               std::make_tuple(!b.isDefault, b.queue, !b.instance.empty(), b.instance);
    });
}

std::string destinationListingError(int count, const std::string &server) {
    const ipp_status_t status = cupsLastError();
    if (count != 0 || status <= IPP_STATUS_OK_CONFLICTING || status == IPP_STATUS_ERROR_NOT_FOUND) return {};
    return "the CUPS server at " + server + " did not list its queues: " + cupsLastErrorString();
}

DestinationList listDestinations() {
    DestinationList list;
    list.server = cupsServerName();
    Connection http = connectToServer(list.server, list.message);
    if (!http) return list;

    // With a connection of its own, cupsGetDests2 asks that server only (no network browsing) and
    // adds the instances and the default of the lpoptions files.
    cups_dest_t *dests = nullptr;
    int count = cupsGetDests2(http.get(), &dests);
    list.message = destinationListingError(count, list.server);
    for (int index = 0; index < count; ++index) {
        const cups_dest_t &dest = dests[index];
        list.destinations.push_back({dest.name, dest.instance != nullptr ? dest.instance : "", dest.is_default != 0});
    }
    cupsFreeDests(count, dests);
    if (!list.message.empty()) return list;
    if (list.destinations.empty()) {
        list.status = DestinationList::Status::NoQueues;
        list.message = "the CUPS server at " + list.server + " has no queues";
        return list;
    }
    sortDestinations(list.destinations);
    list.status = DestinationList::Status::Listed;
    return list;
}

}  // namespace printdialog
