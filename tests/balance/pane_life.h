// A pane's whole life in the print dialog host, in pieces that the balance tests and the
// benchmarks share: which bundle and printer, how to open the dialog, and what a person does to
// every control of the pane.
#pragma once

#include <printdialog/dialog.h>

#include <memory>
#include <string>
#include <vector>

namespace balance {

// Runs user actions one after another and keeps the first one that failed, so a driver reads as
// the person's steps and still says which step went wrong.
class UserSession {
public:
    UserSession(printdialog::Dialog &dialog, printdialog::Pane &pane) : dialog_(dialog), pane_(pane) {}

    void choose(SInt32 id, SInt32 item);
    void click(SInt32 id);
    void slide(SInt32 id, SInt32 value);
    // Focuses the field and presses each character's key ('\b' is backspace).
    void type(SInt32 id, const std::string &keys, bool asRepeats = false);
    void select(SInt32 id, SInt16 start, SInt16 end);
    void paste(SInt32 id, const std::string &text);
    // One pass of the run loop, so deferred rules catch up.
    void letRulesRun();

    // Checks of what the actions did, recorded like a failed action.
    void expectText(SInt32 id, const std::string &text);
    void expectValue(SInt32 id, SInt32 value);
    void expectEnabled(SInt32 id, bool enabled);

    bool failed() const { return !failure_.empty(); }
    const std::string &failure() const { return failure_; }

private:
    ControlRef control(SInt32 id, const char *action);
    void check(OSStatus status, const std::string &what);
    void fail(const std::string &what);

    printdialog::Dialog &dialog_;
    printdialog::Pane &pane_;
    std::string failure_;
};

struct PaneLife {
    std::string name;          // the bundle identifier's last component, as the host names the pane
    std::string identifier;    // the bundle identifier
    std::string bundlePath;
    std::string printer;       // the PPD of a printer the pane serves
    size_t summaryRowsAfterWork;  // rows of GetSummaryText once every control has been worked
    bool refreshesWhileOpen;   // a repeating timer runs between Open and Close
    // A person works every control the pane has, and the checks that the pane followed.
    void (*workEveryControl)(UserSession &session);
    // One action whose follow-up waits for the run loop (an armed rules timer, a due refresh).
    void (*leaveWorkPending)(UserSession &session);
};

const PaneLife &jobModeLife();
const PaneLife &imagingLife();
const PaneLife &colorAdjustLife();
const std::vector<const PaneLife *> &everyPaneLife();

// Opens a dialog with the one bundle on its printer: load, Prologue, Initialize. nullptr with a
// message when the dialog or the pane cannot be had.
std::unique_ptr<printdialog::Dialog> openDialog(const PaneLife &life, printdialog::Pane *&pane, std::string &error);

// The text of a static or edit-text control, "<no text>" when it has none.
std::string textOf(ControlRef control);

}  // namespace balance
