// CFShow and CFShowStr: debugging output on stderr.
#include "string_object.h"
#include "string_encoding.h"
#include "string_internal.h"

#include <cstdio>
#include <string>

namespace {

// ASCII as is; every other UTF-16 unit as \uXXXX, so the output is plain ASCII.
std::string escaped(std::u16string_view text) { return cf::escape_non_ascii(text, cf::Backslash::as_is); }

// Writes the line and flushes, ending it with a newline unless it has one.
void write_line(std::string line) {
    if (line.empty() || line.back() != '\n') line += '\n';
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

extern "C" {

void CFShow(CFTypeRef obj) {
    if (const __CFString *string = cf::as<__CFString>(obj)) {
        write_line(escaped(string->characters));
    } else {
        write_line(escaped(cf::utf16_from_utf8(cf::display_text_of(obj))));
    }
}

// The string's length, mutability and characters, one per line.
void CFShowStr(CFStringRef str) {
    const __CFString *string = cf::as<__CFString>(str);
    if (string == nullptr) {
        write_line(str == nullptr ? "(null)" : "This is not a CFString");
        return;
    }
    write_line("Length " + std::to_string(string->characters.size()) + "\nIsMutable " +
               (string->is_mutable ? "1" : "0") + "\nContents " + cf::address_text(string) + ": " +
               escaped(string->characters) + "\n");
}

}  // extern "C"
