// A plain picture of a pane's controls as a print dialog user sees them, read from the platform:
// the renderers of pdehost and the desktop dialog work from this.
#pragma once

#include <Carbon/Carbon.h>

#include <string>
#include <vector>

namespace printdialog {

// The kinds of control the host tells apart, from the platform's kControlKind constants.
enum class ControlType { UserPane, Popup, EditText, StaticText, CheckBox, Slider, GroupBox, Separator, Root, Other };

// The type of a control of the platform's kind (both edit-text kinds are EditText).
ControlType controlTypeOf(OSType kind);
// The name the host's output and messages give the type: "userpane", "popup", "edittext", ...
const char *controlTypeName(ControlType type);

struct MenuItemSnapshot {
    std::string text;
    bool enabled = true;
    bool checked = false;
};

struct ControlSnapshot {
    ControlRef control = nullptr;
    ControlType type = ControlType::Other;
    SInt32 id = 0;           // ControlID id, 0 when the control has none
    std::string label;       // the static text just before it in its container, if any
    std::string title;
    std::string text;        // edit or static text
    SInt32 value = 0;
    SInt32 minimum = 0;
    SInt32 maximum = 0;
    bool enabled = true;     // its own state and every container's
    Rect bounds{};
    std::vector<MenuItemSnapshot> items;
    std::vector<ControlSnapshot> children;

    // The selected item's text for a popup, else empty.
    std::string selectedItemText() const;
};

// The control and everything embedded in it, in nib order.
ControlSnapshot snapshotControl(ControlRef control);

// Calls visit for every control below root (not root itself), depth first in nib order.
template <typename Visit>
void forEachControl(const ControlSnapshot &root, Visit &&visit) {
    for (const auto &child : root.children) {
        visit(child);
        forEachControl(child, visit);
    }
}

// controlTypeName(controlTypeOf(kind)).
std::string kindName(OSType kind);

}  // namespace printdialog
