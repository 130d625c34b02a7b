// Opening and closing the dialog around each view test.
#include "view_fixture.h"

#include <printdialog/extension.h>
#include <printdialog/ticket_preset.h>

namespace pdedialog_test {

std::vector<std::string> comboIds(GtkWidget *combo) {
    std::vector<std::string> ids;
    GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
    gint idColumn = gtk_combo_box_get_id_column(GTK_COMBO_BOX(combo));
    GtkTreeIter iter;
    for (gboolean more = gtk_tree_model_get_iter_first(model, &iter); more; more = gtk_tree_model_iter_next(model, &iter)) {
        gchar *id = nullptr;
        gtk_tree_model_get(model, &iter, idColumn, &id, -1);
        ids.emplace_back(id != nullptr ? id : "");
        g_free(id);
    }
    return ids;
}

GtkWidget *namedWidget(const pdedialog::DialogWindow &window, const std::string &name) {
    for (const auto &[each, widget] : window.namedWidgets())
        if (each == name) return widget;
    return nullptr;
}

std::string ticketValue(printdialog::Dialog &dialog, const std::string &key) {
    auto value = static_cast<CFStringRef>(CFDictionaryGetValue(dialog.ppdDictionary(), printdialog::createString(key).get()));
    return value != nullptr ? printdialog::utf8(value) : "(none)";
}

void collectWidgets(GtkWidget *root, std::vector<GtkWidget *> &found) {
    found.push_back(root);
    if (!GTK_IS_CONTAINER(root)) return;
    GList *children = gtk_container_get_children(GTK_CONTAINER(root));
    for (GList *child = children; child != nullptr; child = child->next) collectWidgets(GTK_WIDGET(child->data), found);
    g_list_free(children);
}

GtkWidget *widgetNamed(GtkWidget *root, const std::string &name) {
    std::vector<GtkWidget *> all;
    collectWidgets(root, all);
    for (GtkWidget *each : all)
        if (name == gtk_widget_get_name(each)) return each;
    return nullptr;
}

void ViewTest::SetUp() {
    if (!gtkOnVirtualDisplay()) GTEST_SKIP() << "Xvfb is not installed or did not start";
    liveObjectsBefore_ = PlatformLiveCFObjectCount();
}

void ViewTest::closeDialog() {
    if (view_) view_->detach();
    if (dialog_) dialog_->terminate();
    window_.reset();
    view_.reset();
    dialog_.reset();
    printer_.reset();
}

void ViewTest::TearDown() {
    closeDialog();
    runMainLoopFor(std::chrono::milliseconds(0));
    if (!IsSkipped()) {
        EXPECT_EQ(PlatformLiveCFObjectCount(), liveObjectsBefore_) << "CF objects left alive";
    }
}

void ViewTest::open(const std::string &printer, const std::string &pane) {
    std::string error;
    printer_ = printdialog::Printer::fromFile(printer, error);
    ASSERT_TRUE(printer_) << error;
    openOn(pane, {});
}

void ViewTest::openQueue(const std::string &queue, const std::string &ppd, printdialog::JobRequest job,
                         const std::string &pane) {
    std::string error;
    printer_ = printdialog::Printer::fromQueueWithPPD(queue, ppd, error);
    ASSERT_TRUE(printer_) << error;
    openOn(pane, std::move(job));
}

void ViewTest::openOn(const std::string &pane, printdialog::JobRequest job) {
    printdialog::Dialog::Options options;
    options.ppdPath = printer_->ppdPath();
    options.pluginDirectory = PDE_PLUGIN_DIR;
    std::string error;
    dialog_ = printdialog::Dialog::open(options, error);
    ASSERT_TRUE(dialog_) << error;
    view_ = std::make_unique<pdedialog::ControlView>(*dialog_);
    window_ = std::make_unique<pdedialog::DialogWindow>(*dialog_, *view_, pdedialog::windowText("en"), *printer_,
                                                        std::move(job));
    std::string shown = pane;
    // These tests are about the panes: the first pane the view shows, not the window's General.
    for (auto &each : dialog_->panes())
        if (shown.empty() && view_->page(*each) != nullptr) shown = each->shortName;
    ASSERT_TRUE(window_->showPane(shown.empty() ? window_->firstPage() : shown, error)) << error;
    window_->show();
    ASSERT_TRUE(runMainLoopUntil([this] { return window_->drawn(); }, std::chrono::seconds(10)));
}

ControlRef ViewTest::control(const std::string &pane, SInt32 id) const {
    printdialog::Pane *found = dialog_->findPane(pane);
    return found != nullptr ? dialog_->control(*found, id) : nullptr;
}

GtkWidget *ViewTest::widget(const std::string &pane, SInt32 id) const { return view_->widget(control(pane, id)); }

std::string ViewTest::modelText(ControlRef control) const {
    CFStringRef text = nullptr;
    if (GetControlData(control, kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text, nullptr) != noErr)
        return "(unreadable)";
    auto owned = cf::adopt(text);
    return printdialog::utf8(owned.get());
}

std::pair<int, int> ViewTest::modelSelection(ControlRef field) const {
    ControlEditTextSelectionRec selection{-1, -1};
    GetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection, &selection, nullptr);
    return {selection.selStart, selection.selEnd};
}

void ViewTest::pressKey(GtkWidget *target, guint keyval, GdkModifierType state) const {
    sendKey(target, keyval, state, static_cast<guint16>(keyval & 0xFF));
}

void ViewTest::pressKeyOfKeyboard(GtkWidget *target, guint keyval) const {
    GdkKeymapKey *keys = nullptr;
    gint count = 0;
    guint16 keycode = static_cast<guint16>(keyval & 0xFF);
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gtk_widget_get_display(target)), keyval, &keys,
                                          &count) &&
        count > 0)
        keycode = static_cast<guint16>(keys[0].keycode);
    g_free(keys);
    sendKey(target, keyval, GdkModifierType(0), keycode);
}

void ViewTest::sendKey(GtkWidget *target, guint keyval, GdkModifierType state, guint16 keycode) const {
    GdkDisplay *display = gtk_widget_get_display(target);
    GdkDevice *keyboard = gdk_seat_get_keyboard(gdk_display_get_default_seat(display));
    for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
        GdkEvent *event = gdk_event_new(type);
        event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(target)));
        event->key.send_event = TRUE;
        event->key.time = GDK_CURRENT_TIME;
        event->key.keyval = keyval;
        event->key.state = state;
        event->key.hardware_keycode = keycode;
        gdk_event_set_device(event, keyboard);
        gtk_widget_event(target, event);
        gdk_event_free(event);
    }
}

void ViewTest::typeKeys(GtkWidget *target, const std::string &text) const {
    for (char character : text) pressKey(target, gdk_unicode_to_keyval(static_cast<unsigned char>(character)));
}

}  // namespace pdedialog_test
