// The executable of a bundle: only a plain file inside its Contents/MacOS is
// ever handed to dlopen, whatever Info.plist says.
#include "bundle_internal.h"
#include "string_internal.h"

#include <dlfcn.h>

#include <cstdio>

namespace fs = std::filesystem;

namespace cf::bundle {

std::optional<fs::path> checked_executable(const __CFBundle &bundle, std::string &problem) {
    CFStringRef name_string = bundle.info_string(kCFBundleExecutableKey);
    if (name_string == nullptr) {
        problem = "Info.plist names no executable (CFBundleExecutable)";
        return std::nullopt;
    }
    std::string name = utf8_of(name_string);
    if (name.empty()) {
        problem = "the executable name is empty";
        return std::nullopt;
    }
    if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos) {
        problem = "the executable name \"" + name + "\" contains a path separator";
        return std::nullopt;
    }
    if (name == "." || name == "..") {
        problem = "the executable name \"" + name + "\" is not a file name";
        return std::nullopt;
    }

    std::error_code failure;
    fs::path folder = fs::canonical(bundle.executables_folder(), failure);
    if (failure) {
        problem = "it has no Contents/MacOS folder";
        return std::nullopt;
    }
    fs::path real = fs::canonical(folder / name, failure);
    if (failure) {
        problem = "the executable \"" + name + "\" does not exist in Contents/MacOS";
        return std::nullopt;
    }
    // A symbolic link may point elsewhere in Contents/MacOS, but never out of it.
    if (real.parent_path() != folder) {
        problem = "the executable \"" + name + "\" leads outside Contents/MacOS (to " + real.string() + ")";
        return std::nullopt;
    }
    if (!fs::is_regular_file(real, failure)) {
        problem = "the executable \"" + name + "\" is not a regular file";
        return std::nullopt;
    }
    return real;
}

bool load_executable(__CFBundle &bundle) {
    std::string problem;
    auto executable = checked_executable(bundle, problem);
    if (!executable) {
        std::fprintf(stderr, "CFBundle: refusing to load the executable of %s: %s\n", bundle.folder.c_str(),
                     problem.c_str());
        return false;
    }
    void *code = dlopen(executable->c_str(), RTLD_NOW | RTLD_LOCAL);
    if (code == nullptr) {
        const char *reason = dlerror();
        std::fprintf(stderr, "CFBundle: cannot load the executable of %s: %s\n", bundle.folder.c_str(),
                     reason ? reason : "unknown error");
        return false;
    }
    bundle.code = code;
    return true;
}

}  // namespace cf::bundle
