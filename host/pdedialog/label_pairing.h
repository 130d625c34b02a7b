// Which static text labels which control. A pane's nib has no label-to-control link: a caption
// is a separate static-text control placed beside its control. The pairing is read from the
// geometry of the controls of one container:
//
//  1. A caption is a static text with text and no ControlID: the pane never addresses it, so its
//     words come from the nib alone (a static text with an id is a value the pane writes, such
//     as a slider's number).
//  2. A caption labels the nearest control that starts right of it on the same row (one's
//     vertical centre lies within the other's top and bottom).
//  3. A control left without a caption takes the nearest unused caption just above it (at most
//     kAboveGap points higher, starting within its horizontal extent).
//  4. A control still without a caption is named after its neighbour: the nearest captioned
//     control left of it on the same row lends its caption's words (the job-mode pane's
//     department-code field, beside the On/Off pop-up, is so "Department Code").
//
// Check boxes carry their own title and take no caption.
#pragma once

#include <string>
#include <vector>

namespace pdedialog {

struct LayoutItem {
    enum class Role { Caption, Control, Other };
    Role role = Role::Other;
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct LabelTie {
    int caption = -1;    // index of the caption that labels this control, or -1
    int neighbour = -1;  // without a caption: index of the caption whose words name it, or -1
};

inline constexpr int kAboveGap = 8;

// One entry per item, in the same order; only controls get ties.
std::vector<LabelTie> tieLabels(const std::vector<LayoutItem> &items);

// A caption's words as a name: without the trailing colon and spaces ("Print Mode:" gives
// "Print Mode").
std::string nameOfCaption(const std::string &caption);

// The caption with a GTK mnemonic: underscores doubled, then "_" before the first letter not in
// used (a word's first letter preferred), which is then added to used (lower case, UTF-8). The
// text unchanged but for the doubled underscores when every letter is taken.
std::string withMnemonic(const std::string &caption, std::vector<std::string> &used);

}  // namespace pdedialog
