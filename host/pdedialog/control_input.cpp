// GTK signal handlers that turn a person's input into the platform's user actions.
#include "control_input.h"

#include "control_view.h"
#include "gtk_signal.h"
#include "key_translation.h"
#include "text_offsets.h"

#include <printdialog/extension.h>

#include <platform/user_actions.h>

#include <climits>
#include <cmath>
#include <optional>
#include <string_view>

namespace pdedialog {
namespace {

// What the handlers of one widget share; freed with the widget.
struct Binding {
    ControlView *view = nullptr;
    ControlRef control = nullptr;
    guint16 pressedKeycode = 0;  // the key held down, so that a second press is a repeat
    bool keyHeld = false;
};

void freeBinding(gpointer data, GClosure *) { delete static_cast<Binding *>(data); }

// Connects one handler of the widget; the first one made also owns the binding.
template <typename Handler>
void connect(GtkWidget *widget, const char *signal, Handler *handler, Binding *binding, bool ownsBinding = false) {
    g_signal_connect_data(widget, signal, signalCallback(handler), binding, ownsBinding ? &freeBinding : nullptr,
                          GConnectFlags(0));
}

void onPopupChanged(GtkComboBox *combo, Binding *binding) {
    if (binding->view->rendering()) return;
    int row = gtk_combo_box_get_active(combo);
    if (row >= 0) PlatformChoosePopupItem(binding->control, row + 1);
    binding->view->render(binding->control);  // a refused choice goes back to the model's item
}

void onCheckBoxToggled(GtkToggleButton *, Binding *binding) {
    if (binding->view->rendering()) return;
    PlatformClickCheckBox(binding->control);
    binding->view->render(binding->control);
}

// GTK asks before it moves the scale; the platform moves the slider and the scale follows it.
gboolean onSliderChangeValue(GtkRange *, GtkScrollType, gdouble value, Binding *binding) {
    if (binding->view->rendering()) return FALSE;
    auto wanted = static_cast<SInt32>(std::lround(value));
    if (wanted != GetControl32BitValue(binding->control)) PlatformMoveSlider(binding->control, wanted);
    binding->view->render(binding->control);
    return TRUE;
}

// Keys go to the window's focused field, so the model's focus must be this field first.
OSStatus focusModelOn(ControlRef field) {
    ControlRef focus = nullptr;
    if (GetKeyboardFocus(GetControlOwner(field), &focus) == noErr && focus == field) return noErr;
    return PlatformFocusControl(field);
}

// Text put in without keys (the clipboard, a drop, a middle click) is the person typing it: one
// raw key event per character, so that the pane's key filters judge every character as they judge
// the keyboard (a digits-only field takes only digits, a full field no more). A character no key
// can send (no MacRoman byte, or a control character such as a line break, which would otherwise
// act as an editing key) is skipped and the rest still typed. Gives how many characters did not
// go in, for either reason; it stops when the field is gone or cannot take the focus.
int typeText(ControlRef field, std::string_view utf8Text) {
    int refused = 0;
    for (std::optional<UInt8> key : keysOfText(utf8Text)) {
        if (!key) {
            ++refused;
            continue;
        }
        Boolean refusedByFilter = false;
        if (focusModelOn(field) != noErr ||
            PlatformPressKeyNotingRefusal(GetControlOwner(field), *key, false, &refusedByFilter) != noErr)
            break;
        if (refusedByFilter) ++refused;
    }
    return refused;
}

// Types the text into the field and rings the bell once when any of it did not go in.
void typeTextWithBell(GtkWidget *entry, ControlRef field, std::string_view utf8Text) {
    if (typeText(field, utf8Text) > 0) gtk_widget_error_bell(entry);
}

// The clipboard answers later: the entry is held until then, and the field may be gone by then,
// which the platform reports (nothing is typed).
struct ClipboardRequest {
    GtkWidget *entry;
    ControlRef field;
};

void onClipboardText(GtkClipboard *, const gchar *text, gpointer data) {
    auto *request = static_cast<ClipboardRequest *>(data);
    if (text != nullptr && focusModelOn(request->field) == noErr)
        typeTextWithBell(request->entry, request->field, text);
    g_object_unref(request->entry);
    delete request;
}

void pasteClipboard(GtkWidget *entry, ControlRef field) {
    if (focusModelOn(field) != noErr) return;
    auto *request = new ClipboardRequest{GTK_WIDGET(g_object_ref(entry)), field};
    gtk_clipboard_request_text(gtk_widget_get_clipboard(entry, GDK_SELECTION_CLIPBOARD), &onClipboardText, request);
}

// The selection goes to the clipboard and out of the field, with no key event: the Edit menu's Cut.
void cutSelection(GtkWidget *entry, ControlRef field) {
    g_signal_emit_by_name(entry, "copy-clipboard");
    ControlEditTextSelectionRec selection{0, 0};
    GetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection, &selection, nullptr);
    if (selection.selStart != selection.selEnd) PlatformPasteText(field, CFSTR(""));
}

gboolean onEntryKeyPress(GtkWidget *entry, GdkEventKey *event, Binding *binding) {
    KeyDecision decision = translateKey(event->keyval, static_cast<GdkModifierType>(event->state));
    switch (decision.route) {
    case KeyRoute::Gtk:
        return FALSE;
    case KeyRoute::Refused:
        gtk_widget_error_bell(entry);
        return TRUE;
    case KeyRoute::Paste:
        pasteClipboard(entry, binding->control);
        return TRUE;
    case KeyRoute::Cut:
        cutSelection(entry, binding->control);
        return TRUE;
    case KeyRoute::Copy:
        g_signal_emit_by_name(entry, "copy-clipboard");
        return TRUE;
    case KeyRoute::SelectAll:
        PlatformSetTextSelection(binding->control, 0, SHRT_MAX);
        return TRUE;
    case KeyRoute::Platform:
    case KeyRoute::PlatformThenGtk:
        break;
    }
    bool repeat = binding->keyHeld && binding->pressedKeycode == event->hardware_keycode;
    binding->keyHeld = true;
    binding->pressedKeycode = event->hardware_keycode;
    if (focusModelOn(binding->control) == noErr)
        PlatformPressKey(GetControlOwner(binding->control), decision.characterCode, repeat);
    binding->view->render(binding->control);
    return decision.route == KeyRoute::Platform;
}

gboolean onEntryKeyRelease(GtkWidget *, GdkEventKey *event, Binding *binding) {
    if (event->hardware_keycode == binding->pressedKeycode) binding->keyHeld = false;
    return FALSE;
}

gboolean onEntryFocusIn(GtkWidget *, GdkEventFocus *, Binding *binding) {
    if (!binding->view->rendering()) focusModelOn(binding->control);
    return FALSE;
}

// A click or drag in the field moved GTK's cursor or selection: the model takes it, in UTF-16 units.
void onEntrySelectionMoved(GtkEditable *editable, GParamSpec *, Binding *binding) {
    if (binding->view->rendering()) return;
    gint start = 0, end = 0;
    if (!gtk_editable_get_selection_bounds(editable, &start, &end)) start = end = gtk_editable_get_position(editable);
    std::string text = gtk_entry_get_text(GTK_ENTRY(editable));
    PlatformSetTextSelection(binding->control, static_cast<SInt16>(utf16OffsetOfCharacter(text, start)),
                             static_cast<SInt16>(utf16OffsetOfCharacter(text, end)));
    binding->view->render(binding->control);
}

// Text that arrives without a key (a middle-click paste, a drop, the context menu's Paste, an
// input method's composed character) is typed like the clipboard's: a drop of letters into a
// digits-only field is no more welcome than a paste of them. GTK's own insertion is stopped; the
// view shows the model's text.
void onEntryInsertText(GtkEditable *editable, const gchar *text, gint length, gint *, Binding *binding) {
    if (binding->view->rendering()) return;
    g_signal_stop_emission_by_name(editable, "insert-text");
    std::string_view inserted =
        length < 0 ? std::string_view(text) : std::string_view(text, static_cast<size_t>(length));
    if (focusModelOn(binding->control) == noErr) typeTextWithBell(GTK_WIDGET(editable), binding->control, inserted);
    binding->view->render(binding->control);
}

// Deletions come only from the model.
void onEntryDeleteText(GtkEditable *editable, gint, gint, Binding *binding) {
    if (binding->view->rendering()) return;
    g_signal_stop_emission_by_name(editable, "delete-text");
}

void onEntryPaste(GtkEntry *entry, Binding *binding) {
    g_signal_stop_emission_by_name(entry, "paste-clipboard");
    pasteClipboard(GTK_WIDGET(entry), binding->control);
}

void onEntryCut(GtkEntry *entry, Binding *binding) {
    g_signal_stop_emission_by_name(entry, "cut-clipboard");
    cutSelection(GTK_WIDGET(entry), binding->control);
}

}  // namespace

void connectInput(ControlView &view, ControlRef control, printdialog::ControlType kind, GtkWidget *widget) {
    auto *binding = new Binding{&view, control};
    if (kind == printdialog::ControlType::Popup) {
        connect(widget, "changed", &onPopupChanged, binding, true);
    } else if (kind == printdialog::ControlType::CheckBox) {
        connect(widget, "toggled", &onCheckBoxToggled, binding, true);
    } else if (kind == printdialog::ControlType::Slider) {
        connect(widget, "change-value", &onSliderChangeValue, binding, true);
    } else if (kind == printdialog::ControlType::EditText) {
        connect(widget, "key-press-event", &onEntryKeyPress, binding, true);
        connect(widget, "key-release-event", &onEntryKeyRelease, binding);
        connect(widget, "focus-in-event", &onEntryFocusIn, binding);
        connect(widget, "notify::cursor-position", &onEntrySelectionMoved, binding);
        connect(widget, "notify::selection-bound", &onEntrySelectionMoved, binding);
        connect(widget, "insert-text", &onEntryInsertText, binding);
        connect(widget, "delete-text", &onEntryDeleteText, binding);
        connect(widget, "paste-clipboard", &onEntryPaste, binding);
        connect(widget, "cut-clipboard", &onEntryCut, binding);
    } else {
        delete binding;
    }
}

}  // namespace pdedialog
