// Helpers that framework_tests and host_tests share: PPD files written for a test, counts of live
// platform objects, and small toolbox conveniences.
#pragma once

#include <ApplicationServices/ApplicationServices.h>
#include <Carbon/Carbon.h>

#include <filesystem>
#include <ostream>
#include <string>

// Rectangles compare and print by their four sides, so that a failed check shows them.
inline bool operator==(const Rect &a, const Rect &b) { return EqualRect(&a, &b); }
void PrintTo(const Rect &rect, std::ostream *out);

namespace test_helpers {

inline constexpr char kProbeModel[] = "QUORVEN v-DX7140KSeries";

std::string samplePPD(const char *fileName);  // one of the sample printers in printers/

// A temporary folder of PPD files, removed with everything in it.
class PPDFolder {
public:
    PPDFolder();
    ~PPDFolder();
    PPDFolder(const PPDFolder &) = delete;
    PPDFolder &operator=(const PPDFolder &) = delete;

    std::string write(const std::string &fileName, const std::string &contents);
    // A small valid PPD whose *ModelName is model.
    std::string withModel(const std::string &model);
    std::string withoutModelName();
    std::string malformed();

private:
    std::filesystem::path folder_;
    int serial_ = 0;
};

// Live platform objects by kind, to check that a sequence leaves nothing behind.
struct LiveCounts {
    long cfObjects = 0, windows = 0, controls = 0, menus = 0, handlers = 0, events = 0, nibs = 0, sessions = 0,
         tickets = 0, ppdContexts = 0;
    static LiveCounts now();
    bool operator==(const LiveCounts &) const = default;
};
void PrintTo(const LiveCounts &counts, std::ostream *out);

Rect makeRect(SInt16 top, SInt16 left, SInt16 bottom, SInt16 right);
std::string utf8(CFStringRef string);
// The edit text of a field, "" when it has none.
std::string fieldText(ControlRef field);
// Sets the text as code does (SetControlData); false when the field refuses it.
bool setFieldText(ControlRef field, const char *text);

}  // namespace test_helpers
