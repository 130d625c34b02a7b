// A fresh folder under the system's temporary folder, removed with everything in it.
#pragma once

#include <string>

namespace test_support {

class TemporaryFolder {
public:
    // Throws when no folder can be made.
    explicit TemporaryFolder(const std::string &prefix = "pde-test");
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;

    const std::string &path() const { return path_; }
    // The path of a file in the folder.
    std::string file(const std::string &name) const { return path_ + "/" + name; }
    // Writes a file in the folder (the name may hold existing subfolders) and gives its path.
    std::string write(const std::string &name, const std::string &contents) const;

private:
    std::string path_;
};

// The whole contents of a file; "" when it cannot be read.
std::string readFile(const std::string &path);
// Writes a file, making the folders on its path first, and gives its path.
std::string writeFile(const std::string &path, const std::string &contents);

}  // namespace test_support
