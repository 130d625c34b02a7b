// What checking and performing an action share: naming a control in messages, and the keys a
// text becomes when it is typed.
#pragma once

#include <printdialog/actions.h>
#include <printdialog/control_snapshot.h>

#include <optional>
#include <string>

namespace printdialog {

// "jobmode control 6", as messages name a control.
std::string controlName(const Action &action);

// The control's type (Other when the platform does not know the control).
ControlType controlKind(ControlRef control);

// The bytes a keyboard sends for the text, one MacRoman byte per character; nothing when a
// character cannot be typed that way.
std::optional<std::string> keyBytes(const std::string &utf8Text);

}  // namespace printdialog
