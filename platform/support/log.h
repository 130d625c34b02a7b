// The platform's diagnostics: one function for every line the layer writes to stderr (CFShow's
// output aside, which is the program's own).
#pragma once

namespace platform::log {

// What a line is about; the names are the ones PDE_DEBUG takes.
enum class Channel { bundle, plugin, strings, nib, controls, windows };

enum class Level {
    // A problem the real platform also tells on the console (a malformed Info.plist, a missing
    // factory function, a broken nib): always written, as it stands.
    report,
    // What the layer does not do or leaves out, for whoever ports a plug-in: written only while
    // PDE_DEBUG names the channel, as "pde[<channel>]: <text>".
    trace,
};

// Whether traces of the channel are written: PDE_DEBUG is a comma-separated list of channel
// names ("nib,controls"), or "all"; unknown names are ignored. It is read at every call, so a
// host or a test may change it as it runs.
bool tracing(Channel channel);

// Writes one line (the newline is added) to stderr, subject to the level.
void write(Channel channel, Level level, const char *format, ...) __attribute__((format(printf, 3, 4)));

}  // namespace platform::log
