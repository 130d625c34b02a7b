// Judging an executable by its ELF header, as the loader would, without loading
// it: a shared object built for the machine this process runs on.
#include "bundle_internal.h"

#include <dlfcn.h>
#include <elf.h>

#include <cstdint>
#include <cstring>
#include <fstream>

namespace fs = std::filesystem;

namespace cf::bundle {
namespace {

// The start of an ELF header: e_type and e_machine follow e_ident in both the
// 32-bit and the 64-bit layout, in the file's byte order.
struct ElfStart {
    unsigned char ident[EI_NIDENT];
    std::uint16_t type;
    std::uint16_t machine;
};

std::optional<ElfStart> read_start(const fs::path &file, bool &readable) {
    std::ifstream stream(file, std::ios::binary);
    readable = static_cast<bool>(stream);
    char bytes[sizeof(ElfStart)];
    if (!stream.read(bytes, sizeof bytes)) return std::nullopt;
    ElfStart start;
    std::memcpy(&start, bytes, sizeof start);
    if (std::memcmp(start.ident, ELFMAG, SELFMAG) != 0) return std::nullopt;
    return start;
}

// The header of the platform library itself, which was built for this machine.
const std::optional<ElfStart> &own_start() {
    static const std::optional<ElfStart> start = [] {
        Dl_info info{};
        bool readable = false;
        if (dladdr(reinterpret_cast<void *>(&header_problem), &info) == 0 || info.dli_fname == nullptr)
            return std::optional<ElfStart>();
        return read_start(info.dli_fname, readable);
    }();
    return start;
}

bool same_machine(const ElfStart &file, const ElfStart &own) {
    return file.ident[EI_CLASS] == own.ident[EI_CLASS] && file.ident[EI_DATA] == own.ident[EI_DATA] &&
           file.machine == own.machine;
}

}  // namespace

std::optional<ExecutableProblem> header_problem(const fs::path &file) {
    std::string name = "the executable \"" + file.filename().string() + "\"";
    bool readable = false;
    auto start = read_start(file, readable);
    if (!readable) return ExecutableProblem{kExecutableNotLoadableError, false, name + " cannot be read"};
    if (!start) return ExecutableProblem{kExecutableNotLoadableError, false, name + " is not an ELF file"};
    const auto &own = own_start();
    if (own && !same_machine(*start, *own))
        return ExecutableProblem{kExecutableArchitectureMismatchError, false,
                                 name + " is built for another machine"};
    // With the byte order checked against our own, the type reads correctly here.
    if (own && start->type != ET_DYN)
        return ExecutableProblem{kExecutableNotLoadableError, false, name + " is not a shared object"};
    return layout_problem(file);
}

}  // namespace cf::bundle
