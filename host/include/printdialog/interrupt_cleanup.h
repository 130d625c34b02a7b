// Temporary files that must not outlive the process when a person interrupts it (Ctrl+C at a
// prompt), a session hangs up or a service manager stops it, as they do not outlive a normal end.
#pragma once

#include <string>

namespace printdialog {

// Removes the file if SIGINT, SIGTERM or SIGHUP ends the process before forgetOnInterrupt; the
// signal then ends the process as it would have. A signal the process ignores stays ignored.
// false when every place is taken (the file is then removed only by its owner).
bool removeOnInterrupt(const std::string &path);
// The owner removed the file (or keeps it): the handlers leave that path alone from now on.
void forgetOnInterrupt(const std::string &path);

}  // namespace printdialog
