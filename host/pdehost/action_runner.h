// Running actions in the dialog the way its run loop would, and the interactive prompt.
#pragma once

#include "options.h"

#include <printdialog/actions.h>
#include <printdialog/dialog.h>
#include <printdialog/json.h>

#include <iosfwd>
#include <string>

namespace printdialog {}
namespace pdehost {
using namespace printdialog;  // FIXME: temporary while the program moves onto the core

class ActionRunner {
public:
    ActionRunner(Dialog &dialog, const Options &options) : dialog_(dialog), options_(options) {}

    // Performs one action; on the real clock the run loop turns afterwards, as the dialog's
    // would. show, summary and ticket print to out, or with --json go into the action's log
    // entry. false with a message naming the problem.
    bool run(const Action &action, std::ostream &out, std::string &error);

    // Reads actions at a prompt until quit or the end of input, reporting each one's effect.
    void interactive(std::istream &in, std::ostream &out);

    // One entry per action run: the action, its effect or error, and with --json what show,
    // summary and ticket saw.
    json::Value &log() { return log_; }

private:
    Dialog &dialog_;
    const Options &options_;
    json::Value log_ = json::Value::array();
};

}  // namespace pdehost
