// Helpers that the framework and host tests share: PPD files written for a test, and small
// toolbox conveniences.
#pragma once

#include "live_objects.h"
#include "sample_printers.h"
#include "temporary_folder.h"

#include <ApplicationServices/ApplicationServices.h>
#include <Carbon/Carbon.h>
#include <platform/cf_text.h>

#include <ostream>
#include <string>

// Rectangles compare and print by their four sides, so that a failed check shows them.
inline bool operator==(const Rect &a, const Rect &b) { return EqualRect(&a, &b); }
void PrintTo(const Rect &rect, std::ostream *out);

namespace test_helpers {

using cf::utf8;
using test_support::LiveObjects;

inline constexpr char kProbeModel[] = "QUORVEN v-DX7140KSeries";

// A temporary folder of PPD files, removed with everything in it.
class PPDFolder {
public:
    std::string write(const std::string &fileName, const std::string &contents) {
        return folder_.write(fileName, contents);
    }
    // A small valid PPD whose *ModelName is model.
    std::string withModel(const std::string &model);
    std::string withoutModelName();
    std::string malformed();

private:
    test_support::TemporaryFolder folder_{"pde-tests"};
    int serial_ = 0;
};

Rect makeRect(SInt16 top, SInt16 left, SInt16 bottom, SInt16 right);
// The edit text of a field, "" when it has none.
std::string fieldText(ControlRef field);
// Sets the text as code does (SetControlData); false when the field refuses it.
bool setFieldText(ControlRef field, const char *text);

}  // namespace test_helpers
