// How the panes look in the window: each pane centred in its frame with the same insets, the
// colour sliders read as deviations (a mark at 0, signed ends, signed right-aligned values
// while the pane's own text stays as it wrote it), and every text whole in English and German.
#include "view_fixture.h"

#include "platform_scopes.h"
#include "slider_look.h"

#include <optional>

using namespace pdedialog_test;
using pdedialog::LayoutItem;

namespace {

constexpr SInt32 kCyanSlider = 10, kCyanField = 20, kBackgroundSlider = 18;

LayoutItem box(int left, int top, int right, int bottom) { return {LayoutItem::Role::Other, left, top, right, bottom}; }

int rightOf(const GdkRectangle &area) { return area.x + area.width; }

GdkRectangle areaInWindow(GtkWidget *widget) {
    GtkAllocation allocation;
    gtk_widget_get_allocation(widget, &allocation);
    int x = 0, y = 0;
    gtk_widget_translate_coordinates(widget, gtk_widget_get_toplevel(widget), 0, 0, &x, &y);
    return {x, y, allocation.width, allocation.height};
}

}  // namespace

TEST(ControlViewLookRules, ValueSignsAndSignedEnds) {
    struct Case {
        std::string text, sign;
    };
    for (const Case &each : {Case{"2", "+"}, Case{"12", "+"}, Case{"0", ""}, Case{"00", ""}, Case{"-2", ""},
                             Case{"+2", ""}, Case{"", ""}, Case{"2.5", ""}, Case{"abc", ""}, Case{"2a", ""}})
        EXPECT_EQ(each.sign, pdedialog::signShownBefore(each.text)) << "'" << each.text << "'";
    EXPECT_EQ("+5", pdedialog::signedNumber(5));
    EXPECT_EQ("-5", pdedialog::signedNumber(-5));
    EXPECT_EQ("0", pdedialog::signedNumber(0));
}

// The colour pane's rows: caption 24-134, slider 140-380 (rows 36-56), field 390-436 (38-54).
TEST(ControlViewLookRules, AValueFieldIsATextOnASlidersRowJustRightOfIt) {
    const std::vector<LayoutItem> sliders = {box(140, 36, 380, 56), box(140, 66, 380, 86)};
    struct Case {
        const char *what;
        LayoutItem text;
        bool field;
    };
    for (const Case &each : {
             Case{"the cyan field", box(390, 38, 436, 54), true},
             Case{"the magenta field, on the second row", box(390, 68, 436, 84), true},
             Case{"right against the slider", box(380, 38, 420, 54), true},
             Case{"just within the gap", box(380 + pdedialog::kValueFieldGap, 38, 440, 54), true},
             Case{"beyond the gap", box(381 + pdedialog::kValueFieldGap, 38, 450, 54), false},
             Case{"left of the slider (its caption's place)", box(24, 38, 134, 54), false},
             Case{"between the rows", box(390, 58, 436, 64), false},
             Case{"overlapping the slider", box(370, 38, 420, 54), false},
         }) {
        EXPECT_EQ(each.field, pdedialog::isSliderValueField(each.text, sliders)) << each.what;
    }
    EXPECT_FALSE(pdedialog::isSliderValueField(box(390, 38, 436, 54), {})) << "no slider, no field";
}

class ControlViewLookTest : public ViewTest {
protected:
    void TearDown() override {
        closeDialog();
        ViewTest::TearDown();
    }

    // The dialog on the printer with the panes in that language, the pane shown and laid out.
    void openIn(const char *language, const std::string &printer, const std::string &pane) {
        closeDialog();
        localization_.emplace(language);
        open(printer, pane);
        ASSERT_TRUE(runMainLoopUntil([&] { return laidOut(pane); }, std::chrono::seconds(5))) << pane;
    }

    void closeDialog() {
        ViewTest::closeDialog();
        localization_.reset();
    }

    // Every control the pane shows, at any depth, without the unseen user panes that hold them.
    std::vector<printdialog::ControlSnapshot> paneControls(const std::string &pane) const {
        std::vector<printdialog::ControlSnapshot> controls;
        printdialog::forEachControl(printdialog::snapshotControl(dialog_->findPane(pane)->userPane),
                                    [&](const printdialog::ControlSnapshot &control) {
                                        if (control.type != printdialog::ControlType::UserPane) controls.push_back(control);
                                    });
        return controls;
    }

    bool laidOut(const std::string &pane) const {
        for (const auto &child : paneControls(pane)) {
            auto state = view_->widgetState(child.control);
            if (!state || (IsControlVisible(child.control) && !state->placed)) return false;
        }
        return true;
    }

    void moveSlider(SInt32 id, double value) {
        gboolean handled = FALSE;
        g_signal_emit_by_name(widget("coloradjust", id), "change-value", GTK_SCROLL_JUMP, value, &handled);
        ASSERT_TRUE(handled);
    }

    std::optional<test_support::LocalizationScope> localization_;
};

TEST_F(ControlViewLookTest, TheColourSlidersHaveAMarkAtZeroAndSignedEnds) {
    openIn("en", sample_printers::kDX7140K, "coloradjust");
    struct Case {
        SInt32 slider;
        std::string minimum, maximum;
    };
    for (const Case &each : {Case{kCyanSlider, "-5", "+5"}, Case{13, "-5", "+5"}, Case{kBackgroundSlider, "0", "+5"}}) {
        SCOPED_TRACE(each.slider);
        auto state = view_->widgetState(control("coloradjust", each.slider));
        ASSERT_TRUE(state);
        EXPECT_EQ(each.minimum, state->minimumText);
        EXPECT_EQ(each.maximum, state->maximumText);
        EXPECT_EQ(std::vector<double>{0}, state->marks);
        // The ends sit inside the slider's place, the scale between them.
        EXPECT_LE(state->placeArea.x, state->area.x);
        EXPECT_GE(rightOf(state->placeArea), rightOf(state->area));
        EXPECT_GT(state->area.width, state->placeArea.width / 2) << "the scale keeps most of the width";
    }
    // A range the pane changes is shown again; without 0 in it there is no mark.
    SetControl32BitMinimum(control("coloradjust", kCyanSlider), 1);
    SetControl32BitMaximum(control("coloradjust", kCyanSlider), 9);
    auto changed = view_->widgetState(control("coloradjust", kCyanSlider));
    ASSERT_TRUE(changed);
    EXPECT_EQ("+1", changed->minimumText);
    EXPECT_EQ("+9", changed->maximumText);
    EXPECT_TRUE(changed->marks.empty());
}

// The pane writes "-2", "0", "2"; the window shows "-2", "0", "+2" at the field's right edge.
// The field's label and the model keep the pane's text.
TEST_F(ControlViewLookTest, ValueFieldsShowTheirNumberSignedAndRightAligned) {
    openIn("en", sample_printers::kDX7140K, "coloradjust");
    struct Case {
        double value;
        std::string written, shown;
    };
    for (const Case &each : {Case{-2, "-2", "-2"}, Case{0, "0", "0"}, Case{2, "2", "+2"}, Case{5, "5", "+5"}}) {
        SCOPED_TRACE(each.written);
        moveSlider(kCyanSlider, each.value);
        ASSERT_TRUE(runMainLoopUntil(
            [&] {
                auto state = view_->widgetState(control("coloradjust", kCyanField));
                return state && state->placed && state->shownText == each.shown;
            },
            std::chrono::seconds(2)));
        EXPECT_EQ(each.written, modelText(control("coloradjust", kCyanField))) << "the pane's text";
        auto state = view_->widgetState(control("coloradjust", kCyanField));
        EXPECT_EQ(each.written, state->text) << "the field's label mirrors the pane's text";
        EXPECT_EQ(each.shown, state->accessibleName) << "read out as shown";
        EXPECT_EQ(46, state->placeArea.width) << "the field keeps its bounds (390 to 436)";
        EXPECT_EQ(rightOf(state->placeArea), rightOf(state->area)) << "right-aligned";
        EXPECT_GE(state->area.x - state->placeArea.x, 8) << "the sign and number are not stretched";
    }
}

// Each pane's controls sit in the middle of the page area, the same distance from its left and
// right, at the same distance from its top on every page, and where its nib puts them relative
// to each other.
TEST_F(ControlViewLookTest, EveryPaneIsCentredInItsFrameWithTheSameInsets) {
    struct Case {
        std::string printer, pane;
    };
    std::optional<int> topInset;
    for (const Case &each : {Case{sample_printers::kDX7140K, "jobmode"}, Case{sample_printers::kDX7140K, "coloradjust"},
                             Case{sample_printers::kDX8250K, "imaging"}}) {
        SCOPED_TRACE(each.pane);
        openIn("en", each.printer, each.pane);
        if (HasFatalFailure()) return;
        GtkWidget *page = view_->page(*dialog_->findPane(each.pane));
        GdkRectangle frame = areaInWindow(gtk_widget_get_parent(page));
        std::vector<printdialog::ControlSnapshot> controls = paneControls(each.pane);
        ASSERT_FALSE(controls.empty());
        int left = INT32_MAX, right = INT32_MIN, top = INT32_MAX;
        const auto first = *view_->widgetState(controls.front().control);
        for (const auto &child : controls) {
            auto state = view_->widgetState(child.control);
            ASSERT_TRUE(state);
            if (!state->placed) continue;  // hidden by the pane
            left = std::min(left, state->placeArea.x);
            right = std::max(right, rightOf(state->placeArea));
            top = std::min(top, state->placeArea.y);
            EXPECT_EQ(child.bounds.left - controls.front().bounds.left, state->placeArea.x - first.placeArea.x);
            EXPECT_EQ(child.bounds.top - controls.front().bounds.top, state->placeArea.y - first.placeArea.y);
        }
        int leftInset = left - frame.x;
        int rightInset = rightOf(frame) - right;
        EXPECT_GE(leftInset, pdedialog::kPageInset);
        EXPECT_LE(std::abs(leftInset - rightInset), 1) << "left " << leftInset << ", right " << rightInset;
        if (!topInset) topInset = top - frame.y;
        EXPECT_EQ(*topInset, top - frame.y) << "the same top inset on every page";
    }
}

// Every text of every pane is whole, in English and German: each label (captions, values, slider
// ends, group titles, check box titles) and each pop-up gets at least the width and height it
// needs, and a caption ends before the control it labels begins.
TEST_F(ControlViewLookTest, NothingIsClippedInEitherLanguage) {
    // texts: at least the captions and pop-ups (and a slider row's four labels: caption, two
    // ends, value; the imaging pane's two check box titles).
    struct Case {
        const char *language;
        std::string printer, pane;
        int texts;
    };
    for (const Case &each : {Case{"en", sample_printers::kDX7140K, "jobmode", 7}, Case{"de", sample_printers::kDX7140K, "jobmode", 7},
                             Case{"en", sample_printers::kDX7140K, "coloradjust", 36},
                             Case{"de", sample_printers::kDX7140K, "coloradjust", 36},
                             Case{"en", sample_printers::kDX8250K, "imaging", 14},
                             Case{"de", sample_printers::kDX8250K, "imaging", 14}}) {
        SCOPED_TRACE(std::string(each.language) + " " + each.pane);
        openIn(each.language, each.printer, each.pane);
        if (HasFatalFailure()) return;
        std::vector<GtkWidget *> all;
        collectWidgets(view_->page(*dialog_->findPane(each.pane)), all);
        int checked = 0;
        for (GtkWidget *shown : all) {
            if (!gtk_widget_get_mapped(shown) || !(GTK_IS_LABEL(shown) || GTK_IS_COMBO_BOX(shown))) continue;
            ++checked;
            int minimumWidth = 0, naturalWidth = 0, minimumHeight = 0, naturalHeight = 0;
            gtk_widget_get_preferred_width(shown, &minimumWidth, &naturalWidth);
            gtk_widget_get_preferred_height_for_width(shown, gtk_widget_get_allocated_width(shown), &minimumHeight,
                                                      &naturalHeight);
            std::string text = GTK_IS_LABEL(shown) ? gtk_label_get_text(GTK_LABEL(shown)) : G_OBJECT_TYPE_NAME(shown);
            EXPECT_GE(gtk_widget_get_allocated_width(shown), naturalWidth) << "'" << text << "'";
            EXPECT_GE(gtk_widget_get_allocated_height(shown), minimumHeight) << "'" << text << "'";
        }
        EXPECT_GE(checked, each.texts) << "the pane's texts were found";
        // A caption left of its control on the nib's row ends before the control begins.
        std::vector<printdialog::ControlSnapshot> controls = paneControls(each.pane);
        int captions = 0;
        for (const auto &labelled : controls) {
            auto state = view_->widgetState(labelled.control);
            if (!state || !state->hasCaption) continue;
            for (const auto &caption : controls) {
                if (caption.type != printdialog::ControlType::StaticText || caption.id != 0 ||
                    caption.text != state->captionText || caption.bounds.right > labelled.bounds.left)
                    continue;
                ++captions;
                EXPECT_LE(rightOf(view_->widgetState(caption.control)->area), state->placeArea.x)
                    << "'" << caption.text << "' runs into its control";
            }
        }
        EXPECT_GE(captions, 3) << "the pane's captions were found";
    }
}
