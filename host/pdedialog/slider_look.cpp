// The deviation look of sliders and their value fields.
#include "slider_look.h"

#include <algorithm>

namespace pdedialog {

bool isSliderValueField(const LayoutItem &text, const std::vector<LayoutItem> &sliders) {
    int middle = (text.top + text.bottom) / 2;
    return std::any_of(sliders.begin(), sliders.end(), [&](const LayoutItem &slider) {
        return middle >= slider.top && middle <= slider.bottom && text.left >= slider.right &&
               text.left - slider.right <= kValueFieldGap;
    });
}

std::string signShownBefore(const std::string &text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    bool zero = std::all_of(text.begin(), text.end(), [](char c) { return c == '0'; });
    return zero ? std::string() : std::string("+");
}

std::string signedNumber(long value) { return (value > 0 ? "+" : "") + std::to_string(value); }

namespace {

GtkWidget *endLabel() {
    GtkWidget *label = gtk_label_new("");
    gtk_style_context_add_class(gtk_widget_get_style_context(label), "dim-label");
    gtk_widget_set_name(label, "slider-end");
    gtk_widget_show(label);
    return label;
}

}  // namespace

// The minimum is at the left of a horizontal slider and at the bottom of a vertical one (the
// scale is inverted there, as the platform draws it).
SliderEnds wrapSlider(GtkWidget *scale, bool vertical) {
    SliderEnds ends;
    ends.box = gtk_box_new(vertical ? GTK_ORIENTATION_VERTICAL : GTK_ORIENTATION_HORIZONTAL, 4);
    ends.minimum = endLabel();
    ends.maximum = endLabel();
    gtk_box_pack_start(GTK_BOX(ends.box), vertical ? ends.maximum : ends.minimum, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(ends.box), scale, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(ends.box), vertical ? ends.minimum : ends.maximum, FALSE, FALSE, 0);
    gtk_widget_show(ends.box);
    return ends;
}

void showSliderRange(GtkWidget *scale, SliderEnds &ends, long minimum, long maximum) {
    if (minimum == ends.shownMinimum && maximum == ends.shownMaximum) return;
    ends.shownMinimum = minimum;
    ends.shownMaximum = maximum;
    gtk_label_set_text(GTK_LABEL(ends.minimum), signedNumber(minimum).c_str());
    gtk_label_set_text(GTK_LABEL(ends.maximum), signedNumber(maximum).c_str());
    gtk_scale_clear_marks(GTK_SCALE(scale));
    ends.marks.clear();
    if (minimum <= 0 && maximum >= 0) {
        bool vertical = gtk_orientable_get_orientation(GTK_ORIENTABLE(scale)) == GTK_ORIENTATION_VERTICAL;
        gtk_scale_add_mark(GTK_SCALE(scale), 0, vertical ? GTK_POS_RIGHT : GTK_POS_BOTTOM, nullptr);
        ends.marks.push_back(0);
    }
}

GtkWidget *wrapValueField(GtkWidget *label, GtkWidget *&sign) {
    GtkWidget *box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    sign = gtk_label_new("");
    gtk_widget_set_name(sign, "value-sign");
    // The field's own label is read out with its sign; the sign alone is no object to read.
    atk_object_set_role(gtk_widget_get_accessible(sign), ATK_ROLE_REDUNDANT_OBJECT);
    gtk_label_set_xalign(GTK_LABEL(label), 1);
    gtk_box_pack_end(GTK_BOX(box), label, FALSE, FALSE, 0);
    gtk_box_pack_end(GTK_BOX(box), sign, FALSE, FALSE, 0);
    gtk_widget_show(sign);
    gtk_widget_show(box);
    return box;
}

void showValueSign(GtkWidget *sign, const std::string &text) {
    std::string shown = signShownBefore(text);
    if (shown != gtk_label_get_text(GTK_LABEL(sign))) gtk_label_set_text(GTK_LABEL(sign), shown.c_str());
}

}  // namespace pdedialog
