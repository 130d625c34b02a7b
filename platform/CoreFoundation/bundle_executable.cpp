// The executable of a bundle: only a plain, whole file inside its Contents/MacOS is
// ever handed to dlopen, whatever Info.plist says, and only its own symbols are handed out.
#include "bundle_internal.h"
#include "string_internal.h"

#include <dlfcn.h>
#include <link.h>

namespace fs = std::filesystem;

namespace cf::bundle {

namespace {

std::nullopt_t refuse(ExecutableProblem &problem, CFIndex code, std::string reason) {
    problem = {code, true, std::move(reason)};
    return std::nullopt;
}

}  // namespace

std::string ExecutableProblem::description() const {
    return (refused ? "refused the executable: " : "cannot load the executable: ") + reason;
}

std::optional<fs::path> checked_executable(const __CFBundle &bundle, ExecutableProblem &problem) {
    CFStringRef name_string = bundle.info_string(kCFBundleExecutableKey);
    if (name_string == nullptr)
        return refuse(problem, kExecutableNotFoundError, "Info.plist names no executable (CFBundleExecutable)");
    std::string name = utf8_of(name_string);
    if (name.empty()) return refuse(problem, kExecutableNotFoundError, "the executable name is empty");
    if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos)
        return refuse(problem, kExecutableNotLoadableError,
                      "the executable name \"" + name + "\" contains a path separator");
    if (name == "." || name == "..")
        return refuse(problem, kExecutableNotLoadableError, "the executable name \"" + name + "\" is not a file name");

    std::error_code failure;
    fs::path folder = fs::canonical(bundle.executables_folder(), failure);
    if (failure) return refuse(problem, kExecutableNotFoundError, "it has no Contents/MacOS folder");
    fs::path real = fs::canonical(folder / name, failure);
    if (failure)
        return refuse(problem, kExecutableNotFoundError,
                      "the executable \"" + name + "\" does not exist in Contents/MacOS");
    // A symbolic link may point elsewhere in Contents/MacOS, but never out of it.
    if (real.parent_path() != folder)
        return refuse(problem, kExecutableNotLoadableError,
                      "the executable \"" + name + "\" leads outside Contents/MacOS (to " + real.string() + ")");
    if (!fs::is_regular_file(real, failure))
        return refuse(problem, kExecutableNotLoadableError, "the executable \"" + name + "\" is not a regular file");
    return real;
}

std::optional<ExecutableProblem> load_executable(__CFBundle &bundle) {
    ExecutableProblem problem;
    auto executable = checked_executable(bundle, problem);
    if (!executable) return problem;
    if (auto cut_off = layout_problem(*executable)) return cut_off;
    void *code = dlopen(executable->c_str(), RTLD_NOW | RTLD_LOCAL);
    if (code == nullptr) {
        const char *reason = dlerror();
        return ExecutableProblem{kExecutableLoadError, false, reason ? reason : "unknown error"};
    }
    bundle.code = code;
    return std::nullopt;
}

bool is_defined_by(void *code, const void *symbol) {
    link_map *own = nullptr;
    if (dlinfo(code, RTLD_DI_LINKMAP, static_cast<void *>(&own)) != 0 || own == nullptr) return false;
    Dl_info info{};
    link_map *holder = nullptr;
    if (dladdr1(symbol, &info, reinterpret_cast<void **>(&holder), RTLD_DL_LINKMAP) == 0) return false;
    return holder == own;
}

}  // namespace cf::bundle
