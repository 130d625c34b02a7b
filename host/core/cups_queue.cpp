// Fetching a queue's PPD from the CUPS server and submitting jobs to the queue with libcups.
#include <printdialog/cups_queue.h>

#include "cups_connection.h"

#include <printdialog/command_line.h>
#include <printdialog/interrupt_cleanup.h>
#include <printdialog/utf8_text.h>

// cupsGetPPD3 belongs to libcups' deprecated PPD interface; it is still how a queue's PPD is had.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/cups.h>
#include <cups/ppd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace printdialog {
namespace {

// Long enough for a busy server, short enough that a dead address does not stall the dialog.
constexpr int kConnectTimeoutMilliseconds = 30000;

struct ResponseDeleter {
    void operator()(ipp_t *response) const { ippDelete(response); }
};

// A cups_option_t array that frees itself.
class JobOptions {
public:
    explicit JobOptions(const std::vector<JobOption> &options) {
        for (const auto &option : options)
            count_ = cupsAddOption(option.key.c_str(), option.value.c_str(), count_, &options_);
    }
    JobOptions(const JobOptions &) = delete;
    JobOptions &operator=(const JobOptions &) = delete;
    ~JobOptions() { cupsFreeOptions(count_, options_); }

    int count() const { return count_; }
    cups_option_t *options() const { return options_; }

private:
    int count_ = 0;
    cups_option_t *options_ = nullptr;
};

// Asks the server about the queue, so that a missing queue is told apart from a queue that has
// no PPD (the PPD request answers "not found" for both).
bool queueExists(http_t *http, const std::string &queue, const std::string &server, std::string &error) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     queue.c_str());
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
    std::unique_ptr<ipp_t, ResponseDeleter> response(cupsDoRequest(http, request, "/"));
    ipp_status_t status = cupsLastError();
    if (status == IPP_STATUS_ERROR_NOT_FOUND) {
        error = "the CUPS server at " + server + " has no queue named '" + queue + "'";
        return false;
    }
    if (!response || status > IPP_STATUS_OK_CONFLICTING) {
        error = "the CUPS server at " + server + " did not describe the queue '" + queue +
                "': " + cupsLastErrorString();
        return false;
    }
    return true;
}

// An empty file of our own in the temporary folder, for libcups to write the PPD into.
bool createTemporaryPPDFile(std::string &path, std::string &error) {
    std::error_code folderError;
    std::filesystem::path folder = std::filesystem::temp_directory_path(folderError);
    if (folderError) folder = "/tmp";
    std::string pattern = (folder / "pdehost-queue-XXXXXX.ppd").string();
    int descriptor = mkstemps(pattern.data(), 4);
    if (descriptor < 0) {
        error = "cannot create a temporary file in " + folder.string() + ": " + std::strerror(errno);
        return false;
    }
    close(descriptor);
    path = pattern;
    removeOnInterrupt(path);
    return true;
}

}  // namespace

Connection connectToServer(const std::string &server, std::string &error) {
    Connection http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 kConnectTimeoutMilliseconds, nullptr));
    if (http) return http;
    // libcups keeps the reason as its last error; errno is no guide, as its own clean-up
    // overwrites it. A host name that does not resolve is told apart from a server that is not
    // there, which is by far the commonest case and has a plain remedy.
    http_addrlist_t *addresses = httpAddrGetList(cupsServer(), AF_UNSPEC, std::to_string(ippPort()).c_str());
    if (addresses == nullptr)
        error = "cannot reach the CUPS server at " + server + ": " + cupsLastErrorString();
    else
        error = "no CUPS server is running at " + server + " (start cupsd, or set CUPS_SERVER)";
    httpAddrFreeList(addresses);
    return nullptr;
}

std::string cupsServerName() {
    std::string host = cupsServer();
    if (!host.empty() && host[0] == '/') return host;
    // An IPv6 address needs brackets before its port; libcups keeps them when it was given them.
    if (host.find(':') != std::string::npos && host[0] != '[') host = "[" + host + "]";
    return host + ":" + std::to_string(ippPort());
}

std::unique_ptr<QueuePPD> QueuePPD::fetch(const std::string &queue, std::string &error) {
    std::unique_ptr<QueuePPD> ppd(new QueuePPD());
    ppd->queue_ = queue;
    ppd->server_ = cupsServerName();
    if (queue.empty()) {
        error = "the queue name is empty";
        return nullptr;
    }
    Connection http = connectToServer(ppd->server_, error);
    if (!http || !queueExists(http.get(), queue, ppd->server_, error)) return nullptr;

    // From here on the destructor removes whatever libcups left at the path.
    if (!createTemporaryPPDFile(ppd->path_, error)) return nullptr;
    char path[1024];
    if (ppd->path_.size() >= sizeof path) {
        error = "the temporary folder's path is too long: " + ppd->path_;
        return nullptr;
    }
    std::strcpy(path, ppd->path_.c_str());
    time_t modified = 0;
    http_status_t status = cupsGetPPD3(http.get(), queue.c_str(), &modified, path, sizeof path);
    if (status == HTTP_STATUS_NOT_FOUND) {
        error = "the queue '" + queue + "' on " + ppd->server_ + " has no PPD (a raw or driverless queue)";
        return nullptr;
    }
    if (status != HTTP_STATUS_OK) {
        error = "cannot fetch the PPD of the queue '" + queue + "' from " + ppd->server_ + ": " + cupsLastErrorString();
        return nullptr;
    }
    if (ppd->path_ != path) {
        // libcups chose another file: that one is ours to remove now.
        unlink(ppd->path_.c_str());
        forgetOnInterrupt(ppd->path_);
        ppd->path_ = path;
        removeOnInterrupt(ppd->path_);
    }
    return ppd;
}

QueuePPD::~QueuePPD() {
    if (path_.empty()) return;
    unlink(path_.c_str());
    forgetOnInterrupt(path_);
}

std::string jobTitle(const std::string &filePath, const std::string &title) {
    if (!title.empty()) return title;
    // A file's name is bytes; the printing system takes a UTF-8 title of at most 255 bytes.
    std::string name = withValidUtf8(std::filesystem::path(filePath).filename().string());
    if (name.size() <= kLongestJobTitle) return name;
    name.resize(kLongestJobTitle);
    std::size_t lastStart = name.size() - 1;
    while (lastStart > 0 && (static_cast<unsigned char>(name[lastStart]) & 0xC0) == 0x80) --lastStart;
    if (utf8SequenceLength(name, lastStart) == 0) name.resize(lastStart);  // a character cut in two
    return name;
}

bool submitPrintJob(const std::string &queue, const std::string &filePath, const std::string &title,
                    const std::vector<JobOption> &options, SubmittedJob &job, std::string &error) {
    job = SubmittedJob{queue, cupsServerName(), jobTitle(filePath, title), 0};
    std::error_code fileError;
    if (!std::filesystem::is_regular_file(filePath, fileError) || access(filePath.c_str(), R_OK) != 0) {
        error = "cannot read the file to print: " + filePath;
        return false;
    }
    Connection http = connectToServer(job.server, error);
    if (!http) return false;
    JobOptions jobOptions(options);
    job.id = cupsPrintFile2(http.get(), queue.c_str(), filePath.c_str(), job.title.c_str(), jobOptions.count(),
                            jobOptions.options());
    if (job.id <= 0) {
        job.id = 0;
        error = "the CUPS server at " + job.server + " refused the job for the queue '" + queue +
                "': " + cupsLastErrorString();
        return false;
    }
    return true;
}

}  // namespace printdialog
