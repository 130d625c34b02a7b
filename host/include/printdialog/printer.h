// The printer a dialog runs for: a PPD file, or a queue of a CUPS server whose PPD the server
// gives (fetched into a temporary file that lives as long as this object). Either way the PPD is
// one libcups can read, so that a printer that exists can always be reported on.
#pragma once

#include <printdialog/cups_queue.h>

#include <memory>
#include <string>

namespace printdialog {

class Printer {
public:
    // A PPD file. nullptr with the reason (libcups's, with its line) when it cannot be read.
    static std::unique_ptr<Printer> fromFile(const std::string &ppdPath, std::string &error);
    // A queue, or a preset of one ("QUEUE/NAME": the queue's PPD, and jobs go to the queue): the
    // server is asked for it and its PPD. nullptr with one line naming the server and what went
    // wrong (no server, no such queue, no PPD, an unreadable PPD, a name CUPS does not take).
    static std::unique_ptr<Printer> fromQueue(const std::string &destination, std::string &error);
    // A queue of the server libcups names whose PPD is already at hand as a file (kept, not
    // removed), e.g. to try a window on a queue without asking the server.
    static std::unique_ptr<Printer> fromQueueWithPPD(const std::string &queue, const std::string &ppdPath,
                                                     std::string &error);

    Printer(const Printer &) = delete;
    Printer &operator=(const Printer &) = delete;
    ~Printer();

    const std::string &ppdPath() const { return ppdPath_; }
    const std::string &modelName() const { return modelName_; }
    bool isQueue() const { return !queue_.empty(); }
    // Empty for a PPD file.
    const std::string &queue() const { return queue_; }
    // The preset's name when the printer was opened as "QUEUE/NAME", else empty.
    const std::string &instance() const { return instance_; }
    // "QUEUE" or "QUEUE/NAME", as lp -d names it; empty for a PPD file.
    std::string destination() const { return instance_.empty() ? queue_ : queue_ + "/" + instance_; }
    const std::string &server() const { return server_; }
    // "queue q7140 on 127.0.0.1:8631" ("queue q7140/draft ..." for a preset), or the PPD's path.
    std::string where() const;

private:
    Printer() = default;
    bool readModel(std::string &error);

    std::string ppdPath_;
    std::string modelName_;
    std::string queue_;
    std::string instance_;
    std::string server_;
    std::unique_ptr<QueuePPD> queuePPD_;  // the fetched PPD's temporary file
};

}  // namespace printdialog
