// The printer the dialog is for: a PPD file, or a queue of a CUPS server whose PPD the server
// gave. Only a queue takes the job that Print submits.
#pragma once

#include <string>

namespace pdedialog {

struct Printer {
    std::string ppdPath;    // what the panes and the report read
    std::string queue;      // empty for a PPD file
    std::string server;     // the queue's server: "HOST:PORT" or a socket path
    std::string printFile;  // with a queue: the document Print submits
    std::string title;      // the job's title; empty: the document's file name

    bool isQueue() const { return !queue.empty(); }
};

}  // namespace pdedialog
