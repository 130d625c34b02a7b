// The queue functions where no CUPS server answers: each failure is one line that names the
// server or the file, and nothing is left in the temporary folder. print_to_queue_test.sh covers
// them against a running server.
#include "temporary_folder.h"

#include <printdialog/cups_queue.h>
#include <printdialog/destinations.h>

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port of 127.0.0.1 held by a socket that never listens, so that every connection there is
// refused; libcups is pointed at it, and TMPDIR at a fresh folder, for the test's length.
class NoServer : public ::testing::Test {
protected:
    void SetUp() override {
        socket_ = socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_GE(socket_, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(0, bind(socket_, reinterpret_cast<sockaddr *>(&address), sizeof address));
        socklen_t length = sizeof address;
        ASSERT_EQ(0, getsockname(socket_, reinterpret_cast<sockaddr *>(&address), &length));
        server_ = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
        cupsSetServer(server_.c_str());

        if (const char *previous = std::getenv("TMPDIR")) previousTemporaryFolder_ = previous;
        setenv("TMPDIR", folder_.c_str(), 1);
    }

    void TearDown() override {
        cupsSetServer(nullptr);
        if (previousTemporaryFolder_) setenv("TMPDIR", previousTemporaryFolder_->c_str(), 1);
        else unsetenv("TMPDIR");
        if (socket_ >= 0) close(socket_);
    }

    std::string writePage() const {
        std::string path = folder_ + "/page.ps";
        std::ofstream(path) << "%!PS-Adobe-3.0\nshowpage\n%%EOF\n";
        return path;
    }

    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        return names;
    }

    int socket_ = -1;
    std::string server_;
    test_support::TemporaryFolder temporary_{"cups-queue-test"};
    const std::string folder_ = temporary_.path();
    std::optional<std::string> previousTemporaryFolder_;
};

TEST_F(NoServer, FetchingAQueuePPDNamesTheServerAndLeavesNoFile) {
    std::string error;
    std::unique_ptr<printdialog::QueuePPD> ppd = printdialog::QueuePPD::fetch("q7140", error);
    EXPECT_EQ(nullptr, ppd);
    EXPECT_EQ("no CUPS server is running at " + server_ + " (start cupsd, or set CUPS_SERVER)", error) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_TRUE(folderEntries().empty()) << "a temporary file was left in " << folder_;
}

TEST_F(NoServer, SubmittingAJobNamesTheServerAndReportsNoId) {
    std::string page = writePage();
    printdialog::SubmittedJob job;
    job.id = 99;
    std::string error;
    EXPECT_FALSE(printdialog::submitPrintJob("q7140", page, "", {{"PrintMode", "Private"}}, job, error));
    EXPECT_EQ(0, job.id);
    EXPECT_EQ("q7140", job.queue);
    EXPECT_EQ(job.server, server_);
    EXPECT_EQ("page.ps", job.title) << "the title defaults to the file's name";
    EXPECT_EQ("no CUPS server is running at " + server_ + " (start cupsd, or set CUPS_SERVER)", error) << error;
    EXPECT_EQ(std::vector<std::string>{"page.ps"}, folderEntries());
}

TEST_F(NoServer, AFileThatCannotBeReadIsNamedBeforeTheServerIsAsked) {
    printdialog::SubmittedJob job;
    std::string error;
    std::string missing = folder_ + "/missing.ps";
    EXPECT_FALSE(printdialog::submitPrintJob("q7140", missing, "Title", {}, job, error));
    EXPECT_EQ(error, "cannot read the file to print: " + missing);
    EXPECT_EQ("Title", job.title);

    EXPECT_FALSE(printdialog::submitPrintJob("q7140", folder_, "", {}, job, error));
    EXPECT_EQ(error, "cannot read the file to print: " + folder_) << "a folder is no file to print";
}

TEST_F(NoServer, AnEmptyQueueNameIsRefusedWithoutAsking) {
    std::string error;
    EXPECT_EQ(nullptr, printdialog::QueuePPD::fetch("", error));
    EXPECT_EQ("the queue name is empty", error);
}

TEST_F(NoServer, ListingDestinationsSaysThatNoServerRunsThere) {
    printdialog::DestinationList list = printdialog::listDestinations();
    EXPECT_EQ(printdialog::DestinationList::Status::NoServer, list.status);
    EXPECT_EQ(server_, list.server);
    EXPECT_TRUE(list.destinations.empty());
    EXPECT_EQ("no CUPS server is running at " + server_ + " (start cupsd, or set CUPS_SERVER)", list.message);
}

// The list's order: the default first, then by queue, a queue before its instances.
TEST(Destinations, TheDefaultComesFirstThenQueuesByNameEachBeforeItsInstances) {
    struct Case {
        std::vector<printdialog::Destination> given;
        std::string order;
    } cases[] = {
        {{{"q8250", "", false}, {"q7140", "draft", false}, {"q7140", "", false}, {"a4", "", false}},
         "a4 q7140 q7140/draft q8250"},
        {{{"q7140", "", false}, {"q8250", "", true}, {"q8250", "duplex", false}, {"q7140", "a", false}},
         "q8250 q7140 q7140/a q8250/duplex"},
        {{{"q7140", "z", false}, {"q7140", "draft", true}, {"q7140", "", false}}, "q7140/draft q7140 q7140/z"},
    };
    for (auto &each : cases) {
        printdialog::sortDestinations(each.given);
        std::string order;
        for (const auto &destination : each.given) order += (order.empty() ? "" : " ") + destination.name();
        EXPECT_EQ(each.order, order);
    }
}

// The server as messages name it: with its port, an IPv6 address in brackets, a socket as its path.
TEST(CupsServerName, NamesTheServerLibcupsUses) {
    cupsSetServer("printhost.example:8631");
    EXPECT_EQ("printhost.example:8631", printdialog::cupsServerName());
    cupsSetServer("[::1]:8632");
    EXPECT_EQ("[::1]:8632", printdialog::cupsServerName());
    cupsSetServer("/run/cups/cups.sock");
    EXPECT_EQ("/run/cups/cups.sock", printdialog::cupsServerName());
    cupsSetServer(nullptr);
}

}  // namespace
