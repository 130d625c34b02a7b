// A user's saved settings for a CUPS destination, where every application finds them: the options
// of the user's lpoptions file, read and written through libcups' destination API. A queue's own entry holds the user's defaults for it; a preset is an instance
// "QUEUE/NAME", which other applications list as a printer of its own.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <map>
#include <string>
#include <vector>

namespace printdialog {

// "QUEUE" or "QUEUE/NAME", as lp -d and lpoptions -p name a destination.
struct DestinationName {
    std::string queue;
    std::string instance;  // empty: the queue itself

    std::string text() const { return instance.empty() ? queue : queue + "/" + instance; }
};

// Splits at the first '/'. false with a one-line reason for an empty queue or an instance name
// CUPS does not take (see instanceNameProblem).
bool parseDestinationName(const std::string &text, DestinationName &name, std::string &error);

// Why CUPS would not take the name for an instance, or empty when it does: 1 to 127 bytes of
// UTF-8 without blanks, control characters, '/', '\', '?', '\'', '"' or '#' (what lpadmin allows
// in a printer name; lpoptions files end a name at a blank and split it at '/').
std::string instanceNameProblem(const std::string &name);

// Options that are never saved: the private-print document number (DINDigit1 to DINDigit5) is a
// secret of one job.
bool isNeverSaved(const std::string &key);

// The ticket's string entries that are never saved, by key (so DINDigit1 to DINDigit5 in order).
std::map<std::string, std::string> neverSavedEntries(CFDictionaryRef ticket);

// The file libcups (2.4) writes the user's options to: .cups/lpoptions in HOME (else the
// account's home folder), root's included; $CUPS_SERVERROOT/lpoptions (or /etc/cups/lpoptions)
// only when there is no home folder. The system's file is read as well, under the user's.
std::string lpoptionsPath();

// Adds to the dictionary the queue's defaults as the server keeps them: the default choice of every
// option of the queue's PPD (lpadmin -o rewrites those lines), never-saved options and PageRegion
// (which follows PageSize) left out. The panes start from their own defaults for a key the ticket
// lacks, so without these a job from the dialog would go out with the panes' defaults, not the
// queue's. false with libcups' reason when the PPD cannot be read.
bool addQueueDefaults(const std::string &ppdPath, CFMutableDictionaryRef into, std::string &error);

// Adds to the dictionary what CUPS applies to a job on the destination (the server's queue with
// the lpoptions files applied, an instance's own options over its queue's) for every option the
// PPD at ppdPath defines; never-saved options are left out. false with a one-line reason when the
// server cannot be asked, has no such queue, or the queue has no such preset; nothing is added then.
bool addSavedSettings(const DestinationName &destination, const std::string &ppdPath, CFMutableDictionaryRef into,
                      std::string &error);

// Saves the ticket's string entries, never-saved options left out, as the destination's options:
// the user's defaults for the queue, or the preset of that instance (made when new). Other
// options of the destination and every other destination keep theirs; a never-saved option
// found in the file is dropped. Read back afterwards: false with a one-line reason when the server
// cannot be asked, the file cannot be written or does not hold the options afterwards.
bool saveSettings(const DestinationName &destination, CFDictionaryRef ticket, std::string &error);

// Removes the preset (instance) from the user's options; every other destination keeps its own.
// false with a one-line reason when there is no such preset or it cannot be removed.
bool deletePreset(const DestinationName &destination, std::string &error);

// The presets (instance names) of the queue, sorted; empty when the server cannot be asked.
std::vector<std::string> presetsOf(const std::string &queue);

}  // namespace printdialog
