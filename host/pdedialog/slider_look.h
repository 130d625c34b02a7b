// How the view shows a slider that sets a deviation (the colour pane's balance and quality
// sliders): a mark at 0, each end labelled with its signed number, and the value field beside it
// showing the number signed and right-aligned ("+2", "-2", "0").
//
// The value field is the pane's own static text, which the pane writes ("2", "-2"); the view
// only presents it: the field's label keeps the pane's text as written, and a sign label just
// before it supplies the "+". The field takes no typing, so nothing shown ever goes back.
#pragma once

#include "label_pairing.h"

#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace pdedialog {

// A slider's value field: a static text the pane writes (it has a ControlID) on the slider's
// row, starting right of it within kValueFieldGap points.
inline constexpr int kValueFieldGap = 24;
bool isSliderValueField(const LayoutItem &text, const std::vector<LayoutItem> &sliders);

// The sign shown before a field's text: "+" for a positive whole number written in digits ("2",
// "12"), nothing for zero, a negative number (it has its own), a number already signed or text
// that is no whole number.
std::string signShownBefore(const std::string &text);
// A number as an end label: "+5", "-5", "0".
std::string signedNumber(long value);

// The widgets the view adds around a slider's scale: a box holding the minimum's label, the
// scale and the maximum's label (the maximum at the top of a vertical slider), and the marks
// put on the scale.
struct SliderEnds {
    GtkWidget *box = nullptr;
    GtkWidget *minimum = nullptr;
    GtkWidget *maximum = nullptr;
    std::vector<double> marks;
    long shownMinimum = 1;  // the range the labels and marks show; none yet while minimum > maximum
    long shownMaximum = 0;
};

// Puts the scale into a new box with an end label on each side; the box is what goes into the
// pane's page, at the slider's bounds.
SliderEnds wrapSlider(GtkWidget *scale, bool vertical);
// Shows the slider's range: the signed end labels and a mark at 0 when the range holds it.
void showSliderRange(GtkWidget *scale, SliderEnds &ends, long minimum, long maximum);

// Puts a value field's label into a new box, right-aligned after its sign label; the box goes
// into the page at the field's bounds. sign receives the sign label.
GtkWidget *wrapValueField(GtkWidget *label, GtkWidget *&sign);
// The field's sign for its text (the label itself shows the text as the pane wrote it).
void showValueSign(GtkWidget *sign, const std::string &text);

}  // namespace pdedialog
