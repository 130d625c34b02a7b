// Opening the printer: checking that libcups can read its PPD before any pane is loaded.
#include <printdialog/ppd_report.h>
#include <printdialog/printer.h>
#include <printdialog/saved_settings.h>

// libcups marks its PPD API deprecated; it is still the way to read a PPD.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace printdialog {
std::unique_ptr<Printer> Printer::fromFile(const std::string &ppdPath, std::string &error) {
    std::unique_ptr<Printer> printer(new Printer());
    printer->ppdPath_ = ppdPath;
    if (!printer->readModel(error)) {
        error = "cannot read the PPD " + ppdPath + ": " + error;
        return nullptr;
    }
    return printer;
}

std::unique_ptr<Printer> Printer::fromQueue(const std::string &destination, std::string &error) {
    DestinationName name;
    if (destination.empty()) {
        error = "the queue name is empty";
        return nullptr;
    }
    if (!parseDestinationName(destination, name, error)) return nullptr;
    const std::string &queue = name.queue;
    std::unique_ptr<Printer> printer(new Printer());
    printer->queuePPD_ = QueuePPD::fetch(queue, error);
    if (!printer->queuePPD_) return nullptr;
    printer->ppdPath_ = printer->queuePPD_->path();
    printer->queue_ = queue;
    printer->instance_ = name.instance;
    printer->server_ = printer->queuePPD_->server();
    if (!printer->readModel(error)) {
        error = "the PPD of the queue '" + queue + "' on " + printer->server() + " cannot be read: " + error;
        return nullptr;
    }
    return printer;
}

std::unique_ptr<Printer> Printer::fromQueueWithPPD(const std::string &queue, const std::string &ppdPath,
                                                   std::string &error) {
    std::unique_ptr<Printer> printer = fromFile(ppdPath, error);
    if (!printer) return nullptr;
    printer->queue_ = queue;
    printer->server_ = cupsServerName();
    return printer;
}

Printer::~Printer() = default;

// libcups's verdict on the file, and the model name the report and the window show.
bool Printer::readModel(std::string &error) {
    PPDFile ppd = openPPD(ppdPath_, error);
    if (!ppd) return false;
    if (ppd->modelname != nullptr) modelName_ = ppd->modelname;
    return true;
}

std::string Printer::where() const { return isQueue() ? "queue " + destination() + " on " + server() : ppdPath_; }

}  // namespace printdialog
