// What the printer will receive: the ticket's choices checked against the printer's PPD with
// libcups, the UIConstraints they break, and the feature code they put into the job.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

struct ppd_file_s;

#include <memory>
#include <string>
#include <vector>

namespace printdialog {

struct JobOption {
    std::string key;
    std::string value;
};

struct UnknownChoice {
    std::string key;
    std::string value;   // a value that is not a string is written as JSON
    std::string reason;  // "unknown keyword", "unknown choice", "not a string"
};

struct Conflict {
    std::string option1, choice1, option2, choice2;
};

struct PPDReport {
    bool opened = false;
    std::string error;                  // why the PPD could not be read
    std::string modelName;
    std::vector<JobOption> options;     // the ticket's string entries, sorted by key
    std::vector<UnknownChoice> unknown;
    std::vector<Conflict> conflicts;
    std::string emitted;                // feature code of every marked choice
};

// libcups' parse of a PPD, held through the platform's shared parse: each file is parsed once
// per process, and the marks are the holder's alone until it lets go.
struct PPDFileRelease {
    void operator()(ppd_file_s *ppd) const;
};
using PPDFile = std::unique_ptr<ppd_file_s, PPDFileRelease>;

// The parse of the PPD at path with every choice at its default; empty with libcups' or the
// bounds' reason in error when the file cannot be read or parsed or is far beyond any real PPD.
PPDFile openPPD(const std::string &path, std::string &error);

// The ticket's entries as job options, sorted by key (non-strings are left out).
std::vector<JobOption> jobOptionsFromTicket(CFDictionaryRef ppdDictionary);

PPDReport checkAgainstPPD(const std::string &ppdPath, CFDictionaryRef ppdDictionary);

// "lp -d QUEUE -o KEY=VALUE ... FILE" with shell quoting where a value needs it; FILE stands for
// the document when there is none yet.
std::string lpCommandLine(const std::vector<JobOption> &options, const std::string &destination = {},
                          const std::string &file = {});

// Whether the key is a standard CUPS/IPP job option (copies, page-ranges, media, sides, ...)
// rather than a PPD option keyword.
bool isStandardJobAttribute(const std::string &key);

}  // namespace printdialog
