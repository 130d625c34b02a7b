// A nib file read into plain C++: the windows it names and the control tree of each, every
// part with the line it came from. docs/nib-format.md describes the file.
#pragma once

#include <HIToolbox/Controls.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace hitoolbox::nib {

enum class ControlKind { user_pane, popup, edit_text, static_text, check_box, slider, group_box, separator };

struct MenuItemDescription {
    std::string text;  // UTF-8
    bool enabled = true;
    long line = 0;
};

struct ControlDescription {
    ControlKind kind = ControlKind::user_pane;
    long line = 0;
    std::optional<ControlID> id;
    Rect bounds{};
    std::string title;  // pop-up, check box, group box
    std::string text;   // static and edit text
    SInt32 value = 0;
    SInt32 minimum = 0;
    SInt32 maximum = 0;
    bool range_given = false;  // a pop-up otherwise follows its items
    UInt16 tick_marks = 0;     // slider
    UInt32 command = 0;
    bool enabled = true;
    std::vector<MenuItemDescription> items;    // pop-up
    std::vector<ControlDescription> children;  // user pane, group box
};

struct WindowDescription {
    std::string name;
    std::string title;
    SInt16 width = 0;
    SInt16 height = 0;
    long line = 0;
    std::vector<ControlDescription> controls;
};

struct NibDocument {
    std::vector<WindowDescription> windows;

    // The window of that name, or nothing.
    const WindowDescription *find_window(std::string_view name) const;
};

// Larger than any dialog pane needs; keeps a stray file from being read whole into the parser.
inline constexpr std::size_t kLargestNib = std::size_t{4} * 1024 * 1024;
// The largest width or height of a window, and the furthest a control's side may lie from the
// window's origin: more than any screen shows, so a nib cannot ask for a window nothing can draw.
inline constexpr long kLargestWindowSide = 8192;

// What is wrong with a nib, and on which line (1 when no better line is known).
struct NibError {
    long line = 1;
    std::string message;
};

// Reads a nib from the file's bytes. Never loads anything from outside the bytes.
std::variant<NibDocument, NibError> parse_nib(std::string_view bytes);

// The error of a nib file of that many bytes, more than kLargestNib.
NibError too_large_error(std::size_t size);

}  // namespace hitoolbox::nib
