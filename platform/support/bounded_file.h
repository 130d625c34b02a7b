// Reading a file that a plug-in bundle supplies: only a regular file, only up to a size far
// above any real one, judged before a byte is read so that a FIFO, a device or a huge sparse
// file costs nothing.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace platform::files {

enum class ReadFailure {
    none,
    missing,     // no such file
    unreadable,  // cannot be opened or read, or is not a regular file
    too_large,   // holds more than the limit
};

struct FileContents {
    std::string bytes;
    std::size_t size = 0;  // the file's size, once it is known to be a regular file
    ReadFailure failure = ReadFailure::none;
    // Why it was not read, to follow the file's name: "is not a regular file (a FIFO)",
    // "is too large (N bytes; at most M)", "cannot be opened: <system reason>".
    std::string reason;

    explicit operator bool() const { return failure == ReadFailure::none; }
};

// The whole of the regular file at path when it holds at most limit bytes; otherwise no bytes,
// the kind of failure and the reason. Never blocks on a FIFO.
FileContents read_file_at_most(const std::filesystem::path &path, std::size_t limit);

}  // namespace platform::files
