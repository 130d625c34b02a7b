// The bounded reader of bundle files: open without blocking, look at the open file, then read.
#include "bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace platform::files {
namespace {

// An open file descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return descriptor_; }

private:
    int descriptor_;
};

FileContents failed(ReadFailure failure, std::string reason) {
    FileContents contents;
    contents.failure = failure;
    contents.reason = std::move(reason);
    return contents;
}

// What a file that is not a regular one is, in a few words.
const char *kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "of an unknown kind";
}

}  // namespace

FileContents read_file_at_most(const std::filesystem::path &path, std::size_t limit) {
    // O_NONBLOCK: opening a FIFO with no writer returns at once instead of waiting for one.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) {
        int error = errno;
        ReadFailure failure = error == ENOENT || error == ENOTDIR ? ReadFailure::missing : ReadFailure::unreadable;
        return failed(failure, std::string("cannot be opened: ") + std::strerror(error));
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return failed(ReadFailure::unreadable, std::string("cannot be examined: ") + std::strerror(errno));
    if (!S_ISREG(status.st_mode))
        return failed(ReadFailure::unreadable, std::string("is not a regular file (") + kind_of(status.st_mode) + ")");
    auto size = static_cast<std::size_t>(std::max<off_t>(status.st_size, 0));
    if (size > limit) {
        FileContents contents = failed(ReadFailure::too_large, "is too large (" + std::to_string(size) +
                                                                   " bytes; at most " + std::to_string(limit) + ")");
        contents.size = size;
        return contents;
    }

    // The file may change while it is read: never more than its size then, and what is there.
    FileContents contents;
    contents.size = size;
    contents.bytes.resize(size);
    std::size_t filled = 0;
    while (filled < size) {
        ssize_t count = ::read(file.get(), contents.bytes.data() + filled, size - filled);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return failed(ReadFailure::unreadable, std::string("cannot be read: ") + std::strerror(errno));
        if (count == 0) break;
        filled += static_cast<std::size_t>(count);
    }
    contents.bytes.resize(filled);
    return contents;
}

}  // namespace platform::files
