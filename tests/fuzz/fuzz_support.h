// What the fuzz programs share: stopping on a broken invariant, the balance of live objects
// across one input, and a scratch folder for the readers that only take files.
#pragma once

#include <platform/test_support.h>

#include <sanitizer/common_interface_defs.h>

#include <stdlib.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzzing {

// Reports a broken invariant and aborts, which libFuzzer records as a crash with its input.
// The report goes where the sanitizers report, which stays open under -close_fd_mask.
[[noreturn]] inline void fail(const char *what) {
    __sanitizer_report_error_summary((std::string("fuzz invariant broken: ") + what).c_str());
    std::abort();
}

inline void check(bool condition, const char *what) {
    if (!condition) fail(what);
}

// Checks, when one input is done, that the CF objects and platform objects it made are gone.
class LiveObjectBalance {
public:
    LiveObjectBalance() : cf_objects_(PlatformLiveCFObjectCount()) {
        for (std::size_t index = 0; index < kKinds.size(); ++index) counts_[index] = PlatformLiveObjectCount(kKinds[index]);
    }
    LiveObjectBalance(const LiveObjectBalance &) = delete;
    LiveObjectBalance &operator=(const LiveObjectBalance &) = delete;

    ~LiveObjectBalance() {
        check(PlatformLiveCFObjectCount() == cf_objects_, "CF objects left alive after an input");
        for (std::size_t index = 0; index < kKinds.size(); ++index)
            if (PlatformLiveObjectCount(kKinds[index]) != counts_[index])
                fail((std::string(kKinds[index]) + " objects left alive after an input").c_str());
    }

private:
    static constexpr std::array<const char *, 9> kKinds = {"window", "control",       "menu",   "event-handler", "event",
                                                           "nib",    "print-session", "ticket", "ppd-context"};
    long cf_objects_;
    std::array<long, kKinds.size()> counts_{};
};

// A new folder under the temporary directory for the life of the process.
class ScratchFolder {
public:
    explicit ScratchFolder(const char *prefix) {
        std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) fail("cannot make a scratch folder");
        path_ = std::filesystem::canonical(pattern);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path &path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Replaces the file's content with the bytes, making its folders as needed.
inline void write_file(const std::filesystem::path &file, std::string_view bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!stream) fail("cannot write a scratch file");
}

inline std::string_view as_text(const uint8_t *data, std::size_t size) {
    return std::string_view(reinterpret_cast<const char *>(data), size);
}

}  // namespace fuzzing
