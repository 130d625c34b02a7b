// Checking UTF-8 byte sequences, for text that comes from files, the command line and plug-ins.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace printdialog {

// The length of the well-formed UTF-8 sequence that starts at position, or 0 when the bytes
// there are not one (overlong forms, surrogates and code points past U+10FFFF included).
std::size_t utf8SequenceLength(std::string_view text, std::size_t position);

// The text with every ill-formed byte replaced by U+FFFD, so that it can go into a JSON document.
std::string withValidUtf8(std::string_view text);

// The text with every ill-formed byte and every control character but newline and tab written
// as \xNN, so that a message shows what a file or argument really held and cannot drive the
// terminal.
std::string withEscapedBytes(std::string_view text);

// The text without the leading and trailing characters that are among blanks.
std::string trimmed(std::string_view text, std::string_view blanks = " \t");

}  // namespace printdialog
