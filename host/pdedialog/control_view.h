// The widget view of the platform's control tree: one GTK widget per control of each shown pane,
// placed at the control's bounds. The platform model is the truth: the view keeps no state of
// its own and shows every change the model reports (the control observer, Draw1Control).
#pragma once

#include "slider_look.h"

#include <printdialog/control_snapshot.h>
#include <printdialog/dialog.h>

#include <platform/user_actions.h>

#include <gtk/gtk.h>

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace pdedialog {

// What a widget shows, read back from GTK, so that it can be compared with the model.
struct WidgetState {
    std::string type;          // the GTK type name
    bool sensitive = false;    // with every container's sensitivity
    bool visible = false;      // mapped on screen
    bool focused = false;
    std::string text;          // entry or label text, check button or frame label
    std::string shownText;     // what a person reads: a value field with its sign ("+2"), else text
    long selectionStart = 0;   // entry selection in characters
    long selectionEnd = 0;
    int active = 0;            // combo box: the 1-based row shown, 0 for none
    bool popupShown = false;   // combo box: its menu is open
    std::vector<std::pair<std::string, bool>> rows;  // combo box rows: text, sensitive
    double value = 0;          // scale value; check button 1 or 0
    double minimum = 0;
    double maximum = 0;
    std::string minimumText;   // a slider's end labels as shown ("-5", "+5")
    std::string maximumText;
    std::vector<double> marks; // the marks on a slider's scale
    bool placed = false;       // laid out on the screen, so that area holds
    GdkRectangle area{0, 0, 0, 0};  // in the window's coordinates
    // The place the control takes: its widget with what the view adds around it (a slider's end
    // labels, a value field's sign), at the control's bounds; in the window's coordinates.
    GdkRectangle placeArea{0, 0, 0, 0};
    std::string accessibleName;     // what a screen reader calls it
    // The caption that labels it (label_pairing.h): its text, sensitivity, and whether its
    // mnemonic and its accessible relations lead to this widget.
    bool hasCaption = false;
    std::string captionText;
    bool captionSensitive = false;
    bool captionTied = false;
};

inline constexpr int kPageInset = 8;

class ControlView {
public:
    // Builds a page for every accepted pane and starts following the model.
    explicit ControlView(printdialog::Dialog &dialog);
    ControlView(const ControlView &) = delete;
    ControlView &operator=(const ControlView &) = delete;
    ~ControlView();

    // The page that shows a pane: its dialog user pane with everything embedded in it, or nullptr
    // for a pane that is not shown. The view owns it; the window packs it. The page is as large as
    // the pane's content (what its controls cover) with kPageInset around it, and is centred
    // horizontally in the space the window gives it, at the top, so that every pane sits in
    // its frame with the same insets whatever empty margins its nib has.
    GtkWidget *page(const printdialog::Pane &pane) const;
    GtkWidget *widget(ControlRef control) const;
    std::optional<WidgetState> widgetState(ControlRef control) const;

    // Called after the view has shown a change of the model.
    void setChangeListener(std::function<void()> listener) { changeListener_ = std::move(listener); }
    // Stops following the model; done before the panes are terminated.
    void detach();

    // For input handlers: whether the view is writing into its widgets right now (signals then
    // come from the view, not from a person), and a fresh rendering of one control.
    bool rendering() const { return renderDepth_ > 0; }
    void render(ControlRef control);
    // Every control again, e.g. after gtk_widget_show_all showed widgets the model hides.
    void renderAll();

private:
    struct ControlWidget {
        GtkWidget *widget = nullptr;  // the control's own widget
        GtkWidget *outer = nullptr;   // placed in the container's holder: widget, or a box around it
        GtkWidget *holder = nullptr;  // where embedded controls go (containers only)
        GtkWidget *frame = nullptr;   // a group box's frame
        printdialog::ControlType kind = printdialog::ControlType::Other;
        const printdialog::Pane *pane = nullptr;
        ControlRef caption = nullptr;   // a control's caption
        ControlRef labels = nullptr;    // a caption's control
        std::string mnemonicSource;     // a caption's text when its mnemonic was chosen
        std::string mnemonicText;       // that text with its mnemonic
        GtkWidget *sign = nullptr;      // a slider's value field: the sign before its text
        SliderEnds ends;                // a slider: its end labels and marks
    };

    static void observe(ControlRef control, PlatformControlChange change, void *context);
    static void onPopupShown(GObject *, GParamSpec *, gpointer view);
    void changed(ControlRef control, PlatformControlChange change);

    void buildPage(const printdialog::Pane &pane, GtkWidget *page);
    void buildChildren(const printdialog::Pane &pane, ControlRef container, GtkWidget *holder);
    // Pairs the captions of every container of the page with their controls (label_pairing.h).
    void tieCaptions(const printdialog::ControlSnapshot &container, std::vector<std::string> &mnemonics);
    void tieCaption(ControlRef caption, ControlRef control, std::vector<std::string> &mnemonics);
    void renderCaption(ControlRef caption, ControlWidget &entry);
    GtkWidget *createWidget(ControlRef control, ControlWidget &entry);
    void place(ControlRef control);
    // A control of the pane moved: the page takes the size of its content again and every
    // control is placed anew (a user pane holds just what is in it, so one move shifts others).
    void refitPage(const printdialog::Pane &pane);
    // The origin of a container's holder in the window's coordinates.
    std::pair<int, int> holderOrigin(ControlRef container, const ControlWidget &entry) const;
    void showFocus(ControlRef control);
    void forget(ControlRef control);
    void forgetPane(const printdialog::Pane &pane);
    void scheduleRebuild(const printdialog::Pane &pane);
    static gboolean rebuildPending(gpointer view);
    const printdialog::Pane *paneOwning(ControlRef control) const;

    void renderPopup(ControlRef control, GtkWidget *widget);
    void renderEntry(ControlRef control, GtkWidget *widget);
    void renderCheckBox(ControlRef control, GtkWidget *widget);
    void renderSlider(ControlRef control, ControlWidget &entry);

    printdialog::Dialog &dialog_;
    std::vector<std::pair<const printdialog::Pane *, GtkWidget *>> pages_;  // a reference held on each
    std::unordered_map<ControlRef, ControlWidget> widgets_;
    std::vector<const printdialog::Pane *> panesToRebuild_;
    guint rebuildSource_ = 0;
    int renderDepth_ = 0;
    bool attached_ = false;
    std::function<void()> changeListener_;
};

}  // namespace pdedialog
