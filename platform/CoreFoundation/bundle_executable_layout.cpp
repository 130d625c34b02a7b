// Whether an ELF file holds every byte its headers promise. The loader maps a segment that
// reaches past the end of the file all the same, and the first touch of the missing part kills
// the process with SIGBUS; so a cut-off executable is refused before it is handed to dlopen.
#include "bundle_internal.h"

#include <elf.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace cf::bundle {
namespace {

// Where one number sits in a header, and how wide it is.
struct Field {
    std::size_t offset;
    std::size_t width;
};

// The places of the numbers this check reads, for one ELF class.
struct Shape {
    std::size_t header_size;
    Field program_offset, section_offset, program_entry_size, program_count, section_entry_size, section_count;
    std::size_t program_header_size;
    Field segment_type, segment_offset, segment_file_size;
};

constexpr Shape kShape32{sizeof(Elf32_Ehdr),
                         {offsetof(Elf32_Ehdr, e_phoff), sizeof(Elf32_Off)},
                         {offsetof(Elf32_Ehdr, e_shoff), sizeof(Elf32_Off)},
                         {offsetof(Elf32_Ehdr, e_phentsize), sizeof(Elf32_Half)},
                         {offsetof(Elf32_Ehdr, e_phnum), sizeof(Elf32_Half)},
                         {offsetof(Elf32_Ehdr, e_shentsize), sizeof(Elf32_Half)},
                         {offsetof(Elf32_Ehdr, e_shnum), sizeof(Elf32_Half)},
                         sizeof(Elf32_Phdr),
                         {offsetof(Elf32_Phdr, p_type), sizeof(Elf32_Word)},
                         {offsetof(Elf32_Phdr, p_offset), sizeof(Elf32_Off)},
                         {offsetof(Elf32_Phdr, p_filesz), sizeof(Elf32_Word)}};

constexpr Shape kShape64{sizeof(Elf64_Ehdr),
                         {offsetof(Elf64_Ehdr, e_phoff), sizeof(Elf64_Off)},
                         {offsetof(Elf64_Ehdr, e_shoff), sizeof(Elf64_Off)},
                         {offsetof(Elf64_Ehdr, e_phentsize), sizeof(Elf64_Half)},
                         {offsetof(Elf64_Ehdr, e_phnum), sizeof(Elf64_Half)},
                         {offsetof(Elf64_Ehdr, e_shentsize), sizeof(Elf64_Half)},
                         {offsetof(Elf64_Ehdr, e_shnum), sizeof(Elf64_Half)},
                         sizeof(Elf64_Phdr),
                         {offsetof(Elf64_Phdr, p_type), sizeof(Elf64_Word)},
                         {offsetof(Elf64_Phdr, p_offset), sizeof(Elf64_Off)},
                         {offsetof(Elf64_Phdr, p_filesz), sizeof(Elf64_Xword)}};

// Bytes of the file with the numbers in them read in the file's own byte order.
class Numbers {
public:
    Numbers(std::vector<unsigned char> bytes, bool big_endian) : bytes_(std::move(bytes)), big_endian_(big_endian) {}

    std::uint64_t at(std::size_t base, Field field) const {
        std::uint64_t value = 0;
        for (std::size_t index = 0; index < field.width; ++index) {
            std::size_t byte = big_endian_ ? index : field.width - 1 - index;
            value = (value << 8) | bytes_[base + field.offset + byte];
        }
        return value;
    }

private:
    std::vector<unsigned char> bytes_;
    bool big_endian_;
};

// offset + count * size, or the largest number when that does not fit.
std::uint64_t end_of(std::uint64_t offset, std::uint64_t count, std::uint64_t size) {
    std::uint64_t length = 0;
    std::uint64_t end = 0;
    if (__builtin_mul_overflow(count, size, &length) || __builtin_add_overflow(offset, length, &end))
        return std::numeric_limits<std::uint64_t>::max();
    return end;
}

// count bytes of the file from offset; empty when they cannot be read.
std::vector<unsigned char> bytes_at(std::ifstream &stream, std::uint64_t offset, std::size_t count) {
    std::vector<unsigned char> bytes(count);
    stream.clear();
    stream.seekg(static_cast<std::streamoff>(offset));
    if (!stream.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(count))) bytes.clear();
    return bytes;
}

// "its segments need N bytes, the file has M" when end lies past the end of the file.
std::optional<std::string> past_end(const char *what_needs, std::uint64_t end, std::uint64_t file_size) {
    if (end <= file_size) return std::nullopt;
    return std::string(what_needs) + " " + std::to_string(end) + " bytes, the file has " + std::to_string(file_size);
}

// The furthest byte the loadable segments of the program header table take from the file.
std::uint64_t segments_end(const Numbers &table, std::uint64_t count, const Shape &shape) {
    std::uint64_t end = 0;
    for (std::uint64_t index = 0; index < count; ++index) {
        std::size_t base = index * shape.program_header_size;
        if (table.at(base, shape.segment_type) != PT_LOAD) continue;
        end = std::max(end, end_of(table.at(base, shape.segment_offset), 1, table.at(base, shape.segment_file_size)));
    }
    return end;
}

// What of the file its headers describe but the file does not hold: the header, the program
// header table, a loadable segment or the section header table; nullopt when it holds them all.
std::optional<std::string> shortfall(std::ifstream &stream, std::uint64_t file_size, const Shape &shape,
                                     bool big_endian) {
    if (auto short_header = past_end("its header needs", shape.header_size, file_size)) return short_header;
    auto header_bytes = bytes_at(stream, 0, shape.header_size);
    if (header_bytes.empty()) return std::nullopt;
    Numbers header(std::move(header_bytes), big_endian);

    std::uint64_t program_offset = header.at(0, shape.program_offset);
    std::uint64_t program_count = header.at(0, shape.program_count);
    std::uint64_t program_entry_size = header.at(0, shape.program_entry_size);
    if (auto short_table = past_end("its program headers need",
                                    end_of(program_offset, program_count, program_entry_size), file_size))
        return short_table;
    // The loader refuses entries of another size by itself, before it maps anything.
    if (program_count > 0 && program_entry_size == shape.program_header_size) {
        auto table_bytes = bytes_at(stream, program_offset, program_count * program_entry_size);
        if (table_bytes.empty()) return std::nullopt;
        Numbers table(std::move(table_bytes), big_endian);
        if (auto short_segment = past_end("its segments need", segments_end(table, program_count, shape), file_size))
            return short_segment;
    }

    std::uint64_t section_offset = header.at(0, shape.section_offset);
    if (section_offset == 0) return std::nullopt;
    // With more sections than the count field holds, it is 0 and the first entry holds the count.
    std::uint64_t section_count = std::max<std::uint64_t>(header.at(0, shape.section_count), 1);
    return past_end("its section headers need",
                    end_of(section_offset, section_count, header.at(0, shape.section_entry_size)), file_size);
}

}  // namespace

std::optional<ExecutableProblem> layout_problem(const fs::path &file) {
    std::error_code failure;
    std::uint64_t file_size = fs::file_size(file, failure);
    std::ifstream stream(file, std::ios::binary);
    if (failure || !stream) return std::nullopt;
    auto ident = bytes_at(stream, 0, std::min<std::uint64_t>(EI_NIDENT, file_size));
    // Not an ELF file: the loader refuses it itself, having mapped nothing.
    if (ident.size() < SELFMAG || std::memcmp(ident.data(), ELFMAG, SELFMAG) != 0) return std::nullopt;
    std::string name = "the executable \"" + file.filename().string() + "\"";
    if (ident.size() < EI_NIDENT) {
        bool is_64 = ident.size() > EI_CLASS && ident[EI_CLASS] == ELFCLASS64;
        auto missing = past_end("its header needs", (is_64 ? kShape64 : kShape32).header_size, file_size);
        return ExecutableProblem{kExecutableNotLoadableError, false, name + " is truncated (" + *missing + ")"};
    }
    const unsigned char file_class = ident[EI_CLASS];
    const unsigned char byte_order = ident[EI_DATA];
    // A class or byte order the loader does not know: refused unharmed likewise.
    if (file_class != ELFCLASS32 && file_class != ELFCLASS64) return std::nullopt;
    if (byte_order != ELFDATA2LSB && byte_order != ELFDATA2MSB) return std::nullopt;
    const Shape &shape = file_class == ELFCLASS64 ? kShape64 : kShape32;
    auto missing = shortfall(stream, file_size, shape, byte_order == ELFDATA2MSB);
    if (!missing) return std::nullopt;
    return ExecutableProblem{kExecutableNotLoadableError, false, name + " is truncated (" + *missing + ")"};
}

}  // namespace cf::bundle
