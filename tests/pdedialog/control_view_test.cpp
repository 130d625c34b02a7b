// The widget view in-process on the virtual display: the widgets show the model at once, and a
// person's input reaches the model as the platform's user actions.
#include "view_fixture.h"

#include "run_loop_bridge.h"

using namespace pdedialog_test;
using pdedialog::RunLoopBridge;

namespace {

constexpr SInt32 kPrintMode = 5, kDocumentNumber = 6, kDepartment = 7, kDepartmentCode = 8, kBlankPages = 9;
constexpr SInt32 kCyanSlider = 10, kCyanField = 20;
constexpr SInt32 kColorType = 5, kTonerSave = 8, kImageType = 9;

int comboRow(GtkWidget *combo) { return gtk_combo_box_get_active(GTK_COMBO_BOX(combo)); }
std::string entryText(GtkWidget *entry) { return gtk_entry_get_text(GTK_ENTRY(entry)); }
std::string labelText(GtkWidget *label) { return gtk_label_get_text(GTK_LABEL(label)); }

}  // namespace

class ControlViewTest : public ViewTest {
protected:
    // Private mode, with the rules run, so that the document number field takes input.
    void choosePrivate() {
        ASSERT_EQ(noErr, PlatformChoosePopupItem(control("jobmode", kPrintMode), 4));
        RunLoopBridge::turnOnce();
        ASSERT_TRUE(PlatformIsControlEffectivelyEnabled(control("jobmode", kDocumentNumber)));
    }
};

TEST_F(ControlViewTest, EveryControlHasAWidgetOfItsKindAtItsBounds) {
    open(sample_printers::kDX7140K, "jobmode");
    EXPECT_TRUE(GTK_IS_COMBO_BOX(widget("jobmode", kPrintMode)));
    EXPECT_TRUE(GTK_IS_ENTRY(widget("jobmode", kDocumentNumber)));
    EXPECT_TRUE(GTK_IS_SCALE(widget("coloradjust", kCyanSlider)));
    EXPECT_TRUE(GTK_IS_LABEL(widget("coloradjust", kCyanField)));
    auto popup = view_->widgetState(control("jobmode", kPrintMode));
    auto field = view_->widgetState(control("jobmode", kDocumentNumber));
    ASSERT_TRUE(popup && field);
    ASSERT_EQ(4u, popup->rows.size());
    EXPECT_EQ("Private", popup->rows[3].first);
    EXPECT_EQ(1, popup->active);
    EXPECT_EQ(field->text, modelText(control("jobmode", kDocumentNumber)));
    // The nib puts the field 2 points right of the popup and 36 below it, 70 wide.
    EXPECT_EQ(2, field->area.x - popup->area.x);
    EXPECT_EQ(36, field->area.y - popup->area.y);
    EXPECT_EQ(70, field->area.width);
    EXPECT_EQ(150, popup->area.width);
    // Rules ran in Initialize: Normal mode leaves the document number disabled.
    EXPECT_FALSE(field->sensitive);
}

TEST_F(ControlViewTest, ModelChangesShowAtOnceWithoutAPassOfTheMainLoop) {
    open(sample_printers::kDX7140K);
    SetControl32BitValue(control("jobmode", kPrintMode), 3);
    EXPECT_EQ(2, comboRow(widget("jobmode", kPrintMode)));
    DisableControl(control("jobmode", kBlankPages));
    EXPECT_FALSE(gtk_widget_is_sensitive(widget("jobmode", kBlankPages)));
    EnableControl(control("jobmode", kBlankPages));
    EXPECT_TRUE(gtk_widget_is_sensitive(widget("jobmode", kBlankPages)));

    CFStringRef text = CFSTR("777");
    SetControlData(control("jobmode", kDepartmentCode), kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text);
    EXPECT_EQ("777", entryText(widget("jobmode", kDepartmentCode)));

    DisableMenuItem(GetControlPopupMenuHandle(control("jobmode", kPrintMode)), 2);
    auto popup = view_->widgetState(control("jobmode", kPrintMode));
    ASSERT_TRUE(popup);
    EXPECT_FALSE(popup->rows[1].second);
    EXPECT_TRUE(popup->rows[0].second);

    // The platform reports no visibility change of its own; Draw1Control shows it.
    SetControlVisibility(control("jobmode", kBlankPages), false, true);
    Draw1Control(control("jobmode", kBlankPages));
    EXPECT_FALSE(gtk_widget_get_visible(widget("jobmode", kBlankPages)));

    SetControl32BitMaximum(control("coloradjust", kCyanSlider), 9);
    SetControl32BitValue(control("coloradjust", kCyanSlider), 8);
    auto slider = view_->widgetState(control("coloradjust", kCyanSlider));
    ASSERT_TRUE(slider);
    EXPECT_EQ(9, slider->maximum);
    EXPECT_EQ(8, slider->value);
}

TEST_F(ControlViewTest, ADisabledContainerLeavesEveryControlInItInsensitive) {
    open(sample_printers::kDX7140K);
    ControlRef container = control("jobmode", 1);
    DisableControl(container);
    for (SInt32 id : {kPrintMode, kDepartment, kBlankPages}) {
        EXPECT_FALSE(PlatformIsControlEffectivelyEnabled(control("jobmode", id)));
        EXPECT_FALSE(gtk_widget_is_sensitive(widget("jobmode", id))) << "control " << id;
    }
    EnableControl(container);
    EXPECT_TRUE(gtk_widget_is_sensitive(widget("jobmode", kPrintMode)));
    EXPECT_FALSE(gtk_widget_is_sensitive(widget("jobmode", kDocumentNumber))) << "its own state still counts";
}

TEST_F(ControlViewTest, AChoiceInTheWidgetIsThePlatformsChoiceAndTheRulesFollowOnTheNextPass) {
    open(sample_printers::kDX7140K, "jobmode");
    gtk_combo_box_set_active(GTK_COMBO_BOX(widget("jobmode", kPrintMode)), 3);
    EXPECT_EQ(4, GetControl32BitValue(control("jobmode", kPrintMode)));
    EXPECT_FALSE(gtk_widget_is_sensitive(widget("jobmode", kDocumentNumber))) << "the rules are deferred";
    RunLoopBridge::turnOnce();
    EXPECT_TRUE(gtk_widget_is_sensitive(widget("jobmode", kDocumentNumber)));
}

TEST_F(ControlViewTest, ARefusedChoiceLeavesTheWidgetOnTheModelsItem) {
    open(sample_printers::kDX7140K);
    DisableMenuItem(GetControlPopupMenuHandle(control("jobmode", kPrintMode)), 3);
    gtk_combo_box_set_active(GTK_COMBO_BOX(widget("jobmode", kPrintMode)), 2);
    EXPECT_EQ(1, GetControl32BitValue(control("jobmode", kPrintMode)));
    EXPECT_EQ(0, comboRow(widget("jobmode", kPrintMode)));
}

TEST_F(ControlViewTest, KeysGoThroughTheFieldsKeyFiltersBeforeAnythingIsInserted) {
    open(sample_printers::kDX7140K, "jobmode");
    choosePrivate();
    GtkWidget *entry = widget("jobmode", kDocumentNumber);
    ControlRef field = control("jobmode", kDocumentNumber);
    pressKey(entry, GDK_KEY_a, GDK_CONTROL_MASK);
    EXPECT_EQ(modelSelection(field), std::make_pair(0, 5));
    typeKeys(entry, "4x2");
    EXPECT_EQ("42", modelText(field)) << "the digit filter refuses the letter";
    typeKeys(entry, "1234");
    EXPECT_EQ("42123", modelText(field)) << "the length filter refuses a sixth digit";
    EXPECT_EQ("42123", entryText(entry));
    pressKey(entry, GDK_KEY_Left);
    pressKey(entry, GDK_KEY_BackSpace);
    EXPECT_EQ("4213", modelText(field));
    EXPECT_EQ(modelSelection(field), std::make_pair(3, 3));
    gint start = 0, end = 0;
    gtk_editable_get_selection_bounds(GTK_EDITABLE(entry), &start, &end);
    EXPECT_EQ(3, gtk_editable_get_position(GTK_EDITABLE(entry))) << "the entry shows the model's caret";
}

TEST_F(ControlViewTest, TheModelTakesTheSelectionAPersonMakesAndGivesTheFocus) {
    open(sample_printers::kDX7140K, "jobmode");
    choosePrivate();
    GtkWidget *entry = widget("jobmode", kDocumentNumber);
    ControlRef field = control("jobmode", kDocumentNumber);
    gtk_editable_select_region(GTK_EDITABLE(entry), 1, 3);
    EXPECT_EQ(modelSelection(field), std::make_pair(1, 3));

    ASSERT_EQ(noErr, PlatformFocusControl(field));
    EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(window_->toplevel())), entry);
    EXPECT_EQ(modelSelection(field), std::make_pair(1, 3)) << "GTK's select-on-focus is not the model's";
}

TEST_F(ControlViewTest, ASliderIsMovedByThePlatformAndItsFieldFollows) {
    open(sample_printers::kDX7140K);
    gboolean handled = FALSE;
    g_signal_emit_by_name(widget("coloradjust", kCyanSlider), "change-value", GTK_SCROLL_JUMP, 3.4, &handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(3, GetControl32BitValue(control("coloradjust", kCyanSlider)));
    EXPECT_EQ(3, gtk_range_get_value(GTK_RANGE(widget("coloradjust", kCyanSlider))));
    EXPECT_EQ("3", labelText(widget("coloradjust", kCyanField))) << "the pane refreshes its field on the command";
}

TEST_F(ControlViewTest, ImagingRulesShowInTheWidgets) {
    open(sample_printers::kDX8250K);
    gtk_button_clicked(GTK_BUTTON(widget("imaging", kTonerSave)));
    EXPECT_EQ(1, GetControl32BitValue(control("imaging", kTonerSave)));
    EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget("imaging", kTonerSave))));
    gtk_combo_box_set_active(GTK_COMBO_BOX(widget("imaging", kColorType)), 2);
    RunLoopBridge::turnOnce();
    EXPECT_FALSE(PlatformIsControlEffectivelyEnabled(control("imaging", kImageType)));
    EXPECT_FALSE(gtk_widget_is_sensitive(widget("imaging", kImageType)));
}

TEST_F(ControlViewTest, ControlsAddedOrDisposedWhileRunningComeAndGo) {
    open(sample_printers::kDX7140K, "jobmode");
    printdialog::Pane *pane = dialog_->findPane("jobmode");
    Rect bounds;
    SetRect(&bounds, 30, 160, 200, 176);
    ControlRef note = nullptr;
    ASSERT_EQ(noErr, CreateStaticTextControl(pane->window, &bounds, CFSTR("A note"), nullptr, &note));
    ASSERT_EQ(noErr, EmbedControl(note, control("jobmode", 1)));
    ASSERT_TRUE(runMainLoopUntil([&] { return view_->widget(note) != nullptr; }, std::chrono::seconds(5)));
    EXPECT_EQ("A note", labelText(view_->widget(note)));
    EXPECT_TRUE(GTK_IS_COMBO_BOX(widget("jobmode", kPrintMode))) << "the page was built again whole";
    DisposeControl(note);
    EXPECT_FALSE(view_->widgetState(note).has_value());
}
