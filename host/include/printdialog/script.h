// Action scripts: one action a line, from a file (--script) or the command line (--do). The
// core's actions are read by parseAction; a program may take verbs of its own first.
#pragma once

#include <string>
#include <vector>

namespace printdialog {

struct ScriptLine {
    std::string text;
    std::string origin;  // "--do", or "FILE line N", for messages
};

// Adds the file's lines. Blank lines and '#' comments are skipped, a leading byte-order mark and
// line-ending carriage returns are dropped, each line keeps its number. false with the system's
// reason when the file cannot be read (a folder is not a script).
bool readScriptFile(const std::string &path, std::vector<ScriptLine> &lines, std::string &error);

// The message with the line it is about in front ("FILE line 3: ..."); a --do needs no more than
// the message itself.
std::string locatedMessage(const ScriptLine &line, const std::string &message);

}  // namespace printdialog
