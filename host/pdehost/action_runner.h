// Running actions in the dialog the way its run loop would, and the interactive prompt.
#pragma once

#include "options.h"

#include <printdialog/actions.h>
#include <printdialog/dialog.h>
#include <printdialog/json.h>

#include <iosfwd>
#include <string>

namespace pdehost {

class ActionRunner {
public:
    ActionRunner(printdialog::Dialog &dialog, const Options &options) : dialog_(dialog), options_(options) {}

    // Performs one action; on the real clock the run loop turns afterwards, as the dialog's
    // would. show, summary and ticket print to out, or with --json go into the action's log
    // entry. false with a message naming the problem.
    bool run(const printdialog::Action &action, std::ostream &out, std::string &error);

    // Reads actions at a prompt until quit or the end of input, reporting each one's effect.
    void interactive(std::istream &in, std::ostream &out);

    // One entry per action run: the action, its effect or error, and with --json what show,
    // summary and ticket saw.
    printdialog::Json &log() { return log_; }
    // Whether the prompt ended with cancel.
    bool cancelled() const { return cancelled_; }

private:
    printdialog::Dialog &dialog_;
    const Options &options_;
    printdialog::Json log_ = printdialog::Json::array();
    bool cancelled_ = false;
};

}  // namespace pdehost
