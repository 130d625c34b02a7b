// A printer that is a queue of a CUPS server: its PPD fetched with libcups for the printer-info
// ticket, and jobs submitted to it with the print-settings ticket's options. The server is the
// one libcups finds (CUPS_SERVER, client.conf, or the local default).
#pragma once

#include <printdialog/ppd_report.h>

#include <memory>
#include <string>
#include <vector>

namespace printdialog {

// The server libcups talks to, as a person would name it: "HOST:PORT" or a socket path.
std::string cupsServerName();

// A queue's PPD downloaded into a temporary file of its own, removed with this object, so that
// the printer-info ticket can lead to it for as long as the dialog runs.
class QueuePPD {
public:
    // nullptr with one line in error: the server cannot be reached, it has no such queue, or
    // the queue has no PPD (a raw or driverless queue).
    static std::unique_ptr<QueuePPD> fetch(const std::string &queue, std::string &error);

    QueuePPD(const QueuePPD &) = delete;
    QueuePPD &operator=(const QueuePPD &) = delete;
    ~QueuePPD();

    const std::string &queue() const { return queue_; }
    const std::string &server() const { return server_; }
    const std::string &path() const { return path_; }

private:
    QueuePPD() = default;

    std::string queue_;
    std::string server_;
    std::string path_;
};

struct SubmittedJob {
    std::string queue;
    std::string server;
    std::string title;
    int id = 0;
};

// The title a job gets: the one asked for, else the file's name.
std::string jobTitle(const std::string &filePath, const std::string &title);

// Sends the file to the queue with each option as a job option ("-o KEY=VALUE" of lp), the way
// the dialog's Print button does. The title defaults to the file's name. false with one line in
// error when the file cannot be read, the server cannot be reached or it refuses the job.
bool submitPrintJob(const std::string &queue, const std::string &filePath, const std::string &title,
                    const std::vector<JobOption> &options, SubmittedJob &job, std::string &error);

}  // namespace printdialog
