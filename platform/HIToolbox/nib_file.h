// Reading a nib file, with the parsed documents of recent files kept: a pane builds its window
// from the same nib in Prologue and again in Initialize, and a dialog may load a bundle many
// times, so the same bytes are parsed once.
#pragma once

#include "nib_document.h"

#include <memory>
#include <string>
#include <variant>

namespace hitoolbox::nib {

// The file is missing, not a regular file, or cannot be read; reason says which, to follow the
// file's name ("is not a regular file (a FIFO)").
struct NibUnreadable {
    std::string reason;
};

using LoadedNib = std::variant<std::shared_ptr<const NibDocument>, NibError, NibUnreadable>;

// The document in the file at path. The file is read every time, after its size is checked
// (too large is a NibError); when its bytes are those of a recent load of the same path, that
// load's document is handed out again instead of a new parse.
LoadedNib load_nib_file(const std::string &path);

}  // namespace hitoolbox::nib
