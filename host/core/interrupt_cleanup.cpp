// Removing registered temporary files from the handlers of SIGINT, SIGTERM and SIGHUP. The
// handler may only do what is async-signal-safe: the paths wait in fixed places, and it calls
// unlink, sigaction and raise.
#include <printdialog/interrupt_cleanup.h>

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace printdialog {
namespace {

struct Place {
    std::atomic<bool> taken{false};  // set after path is written, cleared before it changes
    char path[PATH_MAX] = {};
};

std::array<Place, 8> places;
std::mutex placesMutex;  // between registering threads; never taken by the handler
constexpr std::array<int, 3> kInterrupts{SIGINT, SIGTERM, SIGHUP};

void removeRegisteredFiles(int signalNumber) {
    for (Place &place : places)
        if (place.taken.load()) unlink(place.path);
    struct sigaction fallback{};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signalNumber, &fallback, nullptr);
    (void)raise(signalNumber);
}

// Once per process: the handler for each interrupt whose disposition is still the default one.
void installHandlers() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (int signalNumber : kInterrupts) {
            struct sigaction current{};
            if (sigaction(signalNumber, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
            struct sigaction handler{};
            handler.sa_handler = removeRegisteredFiles;
            sigemptyset(&handler.sa_mask);
            sigaction(signalNumber, &handler, nullptr);
        }
    });
}

}  // namespace

bool removeOnInterrupt(const std::string &path) {
    if (path.empty() || path.size() >= PATH_MAX) return false;
    installHandlers();
    std::lock_guard lock(placesMutex);
    for (Place &place : places) {
        if (place.taken.load()) continue;
        std::memcpy(place.path, path.c_str(), path.size() + 1);
        place.taken.store(true);
        return true;
    }
    return false;
}

void forgetOnInterrupt(const std::string &path) {
    std::lock_guard lock(placesMutex);
    for (Place &place : places)
        if (place.taken.load() && path == place.path) place.taken.store(false);
}

}  // namespace printdialog
