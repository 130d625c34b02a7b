// The printers a person can choose from: the destinations of the CUPS server libcups finds
// (CUPS_SERVER, client.conf, or the local default), its queues and their instances.
#pragma once

#include <string>
#include <vector>

namespace printdialog {

struct Destination {
    std::string queue;     // the queue's name
    std::string instance;  // empty for the queue itself
    bool isDefault = false;

    // "queue" or "queue/instance", as lp -d names it.
    std::string name() const { return instance.empty() ? queue : queue + "/" + instance; }
};

struct DestinationList {
    enum class Status {
        Listed,    // the server answered with at least one destination
        NoQueues,  // the server answered and has no queues
        NoServer,  // the server could not be reached or did not answer the listing
    };
    Status status = Status::NoServer;
    std::string server;                     // "HOST:PORT" or a socket path
    std::vector<Destination> destinations;  // the default first, then by name (a queue before its instances)
    // One line when there is nothing to choose: "no CUPS server is running at HOST:PORT (...)" or
    // "the CUPS server at HOST:PORT has no queues"; empty when listed.
    std::string message;
};

// Asks the server libcups finds for its destinations (libcups' destination enumeration, with the
// instances of lpoptions files of the user's HOME and the system). Never throws; the status and the
// message tell no server from a server without queues.
DestinationList listDestinations();

// Orders destinations as the list shows them: the default first, then by queue name, a queue
// before its instances, instances by name.
void sortDestinations(std::vector<Destination> &destinations);

}  // namespace printdialog
