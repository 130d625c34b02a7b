// The three panes' lives: their bundles and printers, and a person working every control.
#include "pane_life.h"

#include "sample_printers.h"

#include <platform/cf_text.h>
#include <platform/user_actions.h>

namespace balance {
namespace {

constexpr UInt8 kBackspace = 0x08;

std::string describe(SInt32 id) { return "control " + std::to_string(id); }

// Print mode through every item, the document number typed with keys the filters refuse and a
// correction, the department code switched on and typed by key repeats, blank pages both ways.
void workJobMode(UserSession &session) {
    session.choose(5, 2);
    session.choose(5, 3);
    session.choose(5, 1);
    session.letRulesRun();
    session.expectEnabled(6, false);
    session.choose(5, 4);
    session.letRulesRun();
    session.expectEnabled(6, true);

    session.select(6, 0, 5);
    session.type(6, "12a3-4. 5");
    session.type(6, "6");
    session.expectText(6, "12345");
    session.type(6, "\b");
    session.select(6, 0, 2);
    session.type(6, "9");
    session.paste(6, "7");
    session.expectText(6, "9734");

    session.choose(7, 2);
    session.letRulesRun();
    session.expectEnabled(8, true);
    session.select(8, 0, 5);
    session.type(8, "54321x", true);
    session.expectText(8, "54321");

    session.choose(9, 2);
    session.choose(9, 1);
    session.choose(9, 2);
}

// Every item of every pop-up, both rules switched on and off again, and both check boxes.
void workImaging(UserSession &session) {
    session.choose(5, 3);
    session.letRulesRun();
    for (SInt32 id : {9, 10, 11}) session.expectEnabled(id, false);
    session.choose(5, 2);
    session.choose(5, 1);
    session.letRulesRun();
    for (SInt32 id : {9, 10, 11}) session.expectEnabled(id, true);

    session.choose(20, 2);
    session.letRulesRun();
    session.choose(20, 3);
    session.choose(20, 1);
    session.letRulesRun();

    for (SInt32 item : {2, 3, 1}) session.choose(6, item);
    session.click(7);
    session.click(7);
    session.click(7);
    session.expectValue(7, 1);
    session.click(8);
    session.expectValue(8, 1);
    for (SInt32 item : {2, 3, 4, 1}) session.choose(9, item);
    for (SInt32 item : {1, 2, 3}) session.choose(10, item);
    for (SInt32 item : {2, 3, 1}) session.choose(11, item);
    session.letRulesRun();
}

// Every slider to both ends and to a value of its own; its field follows at once.
void workColorAdjust(UserSession &session) {
    for (SInt32 k = 0; k < 9; ++k) {
        SInt32 slider = 10 + k;
        SInt32 field = 20 + k;
        SInt32 lowest = k == 8 ? 0 : -5;
        session.slide(slider, 5);
        session.expectText(field, "5");
        session.slide(slider, lowest);
        session.expectText(field, std::to_string(lowest));
        SInt32 own = k == 8 ? 2 : k - 4;
        session.slide(slider, own);
        session.expectText(field, std::to_string(own));
    }
}

void choosePrivateMode(UserSession &session) { session.choose(5, 4); }
void chooseBlackAndWhite(UserSession &session) { session.choose(5, 3); }
void moveCyanSlider(UserSession &session) { session.slide(10, 3); }

}  // namespace

ControlRef UserSession::control(SInt32 id, const char *action) {
    ControlRef found = dialog_.control(pane_, id);
    if (found == nullptr) fail(std::string(action) + " " + describe(id) + ": no such control");
    return found;
}

void UserSession::fail(const std::string &what) {
    if (failure_.empty()) failure_ = what;
}

void UserSession::check(OSStatus status, const std::string &what) {
    if (status != noErr) fail(what + " failed with " + std::to_string(status));
}

void UserSession::choose(SInt32 id, SInt32 item) {
    if (ControlRef popup = control(id, "choose"))
        check(PlatformChoosePopupItem(popup, item), "choosing item " + std::to_string(item) + " of " + describe(id));
}

void UserSession::click(SInt32 id) {
    if (ControlRef box = control(id, "click")) check(PlatformClickCheckBox(box), "clicking " + describe(id));
}

void UserSession::slide(SInt32 id, SInt32 value) {
    if (ControlRef slider = control(id, "slide"))
        check(PlatformMoveSlider(slider, value), "moving " + describe(id) + " to " + std::to_string(value));
}

void UserSession::type(SInt32 id, const std::string &keys, bool asRepeats) {
    ControlRef field = control(id, "type into");
    if (field == nullptr) return;
    check(PlatformFocusControl(field), "focusing " + describe(id));
    for (char key : keys) {
        UInt8 code = key == '\b' ? kBackspace : static_cast<UInt8>(key);
        check(PlatformPressKey(GetControlOwner(field), code, asRepeats),
              "pressing '" + std::string(1, key) + "' in " + describe(id));
    }
}

void UserSession::select(SInt32 id, SInt16 start, SInt16 end) {
    if (ControlRef field = control(id, "select in"))
        check(PlatformSetTextSelection(field, start, end), "selecting in " + describe(id));
}

void UserSession::paste(SInt32 id, const std::string &text) {
    if (ControlRef field = control(id, "paste into"))
        check(PlatformPasteText(field, cf::string(text).get()), "pasting into " + describe(id));
}

void UserSession::letRulesRun() { printdialog::Dialog::turnRunLoop(); }

void UserSession::expectText(SInt32 id, const std::string &text) {
    ControlRef found = control(id, "read");
    if (found == nullptr) return;
    std::string actual = textOf(found);
    if (actual != text) fail(describe(id) + " shows \"" + actual + "\", expected \"" + text + "\"");
}

void UserSession::expectValue(SInt32 id, SInt32 value) {
    ControlRef found = control(id, "read");
    if (found != nullptr && GetControl32BitValue(found) != value)
        fail(describe(id) + " has value " + std::to_string(GetControl32BitValue(found)) + ", expected " +
             std::to_string(value));
}

void UserSession::expectEnabled(SInt32 id, bool enabled) {
    ControlRef found = control(id, "read");
    if (found != nullptr && (IsControlEnabled(found) != 0) != enabled)
        fail(describe(id) + (enabled ? " is disabled, expected enabled" : " is enabled, expected disabled"));
}

const PaneLife &jobModeLife() {
    static const PaneLife life = {"jobmode", "com.quorven.print.pde.jobmode", PDE_PLUGIN_DIR "/JobMode.plugin",
                                  sample_printers::kDX7140K, 4, false, workJobMode,
                                  choosePrivateMode};
    return life;
}

const PaneLife &imagingLife() {
    static const PaneLife life = {"imaging", "com.quorven.print.pde.imaging", PDE_PLUGIN_DIR "/Imaging.plugin",
                                  sample_printers::kDX8250K, 8, false, workImaging,
                                  chooseBlackAndWhite};
    return life;
}

const PaneLife &colorAdjustLife() {
    static const PaneLife life = {"coloradjust", "com.quorven.print.pde.coloradjust",
                                  PDE_PLUGIN_DIR "/ColorAdjust.plugin", sample_printers::kDX7140K,
                                  9, true, workColorAdjust, moveCyanSlider};
    return life;
}

const std::vector<const PaneLife *> &everyPaneLife() {
    static const std::vector<const PaneLife *> lives = {&jobModeLife(), &imagingLife(), &colorAdjustLife()};
    return lives;
}

std::unique_ptr<printdialog::Dialog> openDialog(const PaneLife &life, printdialog::Pane *&pane, std::string &error) {
    pane = nullptr;
    printdialog::Dialog::Options options;
    options.ppdPath = life.printer;
    options.bundlePaths = {life.bundlePath};
    auto dialog = printdialog::Dialog::open(options, error);
    if (!dialog) return nullptr;
    pane = dialog->findPane(life.name);
    if (pane == nullptr) {
        error = "no pane named " + life.name;
    } else if (!pane->accepted()) {
        error = life.name + " was not accepted: " + pane->loadError + " Prologue " +
                std::to_string(pane->prologueStatus) + ", Initialize " + std::to_string(pane->initializeStatus);
        pane = nullptr;
    }
    return dialog;
}

std::string textOf(ControlRef control) {
    CFStringRef text = nullptr;
    if (GetControlData(control, kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text, nullptr) != noErr ||
        text == nullptr)
        return "<no text>";
    return cf::adopt_utf8(text);
}

}  // namespace balance
