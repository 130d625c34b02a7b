// Reading and running window scripts.
#include "script_runner.h"

#include "screenshot.h"

#include <printdialog/script.h>
#include <printdialog/utf8_text.h>

#include <fstream>
#include <ostream>

namespace pdedialog {
namespace {

// A script line's part without its blanks and line ends.
std::string trimmedLine(const std::string &text) { return printdialog::trimmed(text, " \t\r\n"); }

}  // namespace

bool parseScriptLine(const std::string &text, ScriptLine &line, std::string &error) {
    error.clear();
    std::string content = trimmedLine(text);
    if (content.empty() || content[0] == '#') return false;
    std::string verb = content.substr(0, content.find_first_of(" \t"));
    std::string rest = trimmedLine(content.substr(verb.size()));
    if (verb == "print" && rest == "anyway") {
        line.kind = ScriptLine::Kind::PrintAnyway;
        return true;
    }
    if (verb == "quit" || verb == "print") {
        if (!rest.empty()) {
            error = verb == "print" ? "print takes no argument but 'anyway'" : verb + " takes no argument";
            return false;
        }
        line.kind = verb == "quit" ? ScriptLine::Kind::Quit : ScriptLine::Kind::Print;
        return true;
    }
    if (verb == "choose" && (rest == "file" || rest.rfind("file ", 0) == 0 || rest.rfind("file\t", 0) == 0)) {
        line.kind = ScriptLine::Kind::ChooseFile;
        line.file = trimmedLine(rest.substr(4));
        if (line.file.empty()) {
            error = "choose file needs a file name";
            return false;
        }
        return true;
    }
    if (isSettingVerb(verb)) {
        line.kind = ScriptLine::Kind::Setting;
        return parseSettingLine(verb, rest, line.setting, error);
    }
    if (verb == "printer") {
        if (rest.empty()) {
            error = "printer needs a queue, queue/instance or PPD file";
            return false;
        }
        line.kind = ScriptLine::Kind::Printer;
        line.file = rest;
        return true;
    }
    if (verb == "save" && rest == "default") {
        line.kind = ScriptLine::Kind::SaveDefault;
        return true;
    }
    if ((verb == "save" || verb == "delete") && (rest == "preset" || rest.rfind("preset ", 0) == 0)) {
        line.kind = verb == "save" ? ScriptLine::Kind::SavePreset : ScriptLine::Kind::DeletePreset;
        line.file = trimmedLine(rest.substr(6));
        if (line.file.empty()) {
            error = verb + " preset needs the preset's name";
            return false;
        }
        return true;
    }
    if (verb == "save" || verb == "delete") {
        error = verb == "save" ? "save takes 'default' or 'preset NAME'" : "delete takes 'preset NAME'";
        return false;
    }
    if (verb == "preset") {
        line.kind = ScriptLine::Kind::ChoosePreset;
        line.file = rest;
        return true;
    }
    if (verb == "screenshot") {
        if (rest.empty()) {
            error = "screenshot needs a file name";
            return false;
        }
        line.kind = ScriptLine::Kind::Screenshot;
        line.file = rest;
        return true;
    }
    line.kind = ScriptLine::Kind::Action;
    if (!printdialog::parseAction(content, line.action, error)) return false;
    if (line.action.kind == printdialog::Action::Kind::Tick) {
        error = "tick needs a manual clock; the window runs on the real one (use wait)";
        return false;
    }
    return true;
}

bool readScript(const std::string &path, std::vector<ScriptLine> &lines, std::string &error) {
    std::vector<printdialog::ScriptLine> read;
    if (!printdialog::readScriptFile(path, read, error)) return false;
    for (const auto &each : read) {
        ScriptLine line;
        line.origin = each.origin;
        if (parseScriptLine(each.text, line, error)) {
            lines.push_back(std::move(line));
        } else if (!error.empty()) {
            error = printdialog::locatedMessage(each, error);
            return false;
        }
    }
    return true;
}

bool validateScript(printdialog::Dialog &dialog, const std::vector<ScriptLine> &lines, std::string &error) {
    for (const auto &line : lines) {
        if (line.kind != ScriptLine::Kind::Action) continue;
        if (line.action.kind == printdialog::Action::Kind::Open &&
            (line.action.pane == kSummaryPage || isSettingPageName(line.action.pane)))
            continue;
        if (!printdialog::validateAction(dialog, line.action, false, error)) {
            error.insert(0, line.origin + ": ");
            return false;
        }
    }
    return true;
}

ScriptRunner::ScriptRunner(DialogWindow &window, std::vector<ScriptLine> lines, std::ostream &log)
    : window_(window), lines_(std::move(lines)), log_(log) {}

ScriptRunner::~ScriptRunner() {
    if (screenshotSource_ != 0) g_source_remove(screenshotSource_);
}

ScriptRunner::Status ScriptRunner::step() {
    if (status_ != Status::Running) return status_;
    if (screenshotSource_ != 0 || g_get_monotonic_time() < resumeAt_) return status_;
    if (next_ >= lines_.size()) return status_ = Status::Finished;
    const ScriptLine &line = lines_[next_++];
    switch (line.kind) {
    case ScriptLine::Kind::Quit:
        return status_ = Status::Quit;
    case ScriptLine::Kind::Print:
    case ScriptLine::Kind::PrintAnyway: {
        if (line.kind == ScriptLine::Kind::Print) {
            window_.pressPrint();
        } else if (!window_.pressPrintAnyway()) {
            error_ = line.origin + ": print anyway: no job was refused";
            return status_ = Status::Failed;
        }
        const auto &outcome = window_.outcome();
        log_ << (line.kind == ScriptLine::Kind::Print ? "print: " : "print anyway: ")
             << (outcome ? printdialog::resultName(outcome->result) : "nothing") << "\n" << std::flush;
        return status_;
    }
    case ScriptLine::Kind::ChooseFile: {
        std::string error;
        if (!window_.chooseFile(line.file, error)) {
            error_ = line.origin + ": choose file: " + error;
            return status_ = Status::Failed;
        }
        const auto &outcome = window_.outcome();
        log_ << "choose file " << line.file << ": "
             << (outcome ? printdialog::resultName(outcome->result) : "nothing") << "\n" << std::flush;
        return status_;
    }
    case ScriptLine::Kind::Setting: {
        std::string effect;
        std::string error;
        if (!applySetting(window_, line.setting, effect, error)) {
            error_ = line.origin + ": " + error;
            return status_ = Status::Failed;
        }
        log_ << line.setting.verb << " " << line.setting.argument
             << (line.setting.choice.empty() ? "" : " " + line.setting.choice) << (effect.empty() ? "" : ": " + effect)
             << "\n" << std::flush;
        return status_;
    }
    case ScriptLine::Kind::Printer: {
        std::string error;
        if (!window_.choosePrinter(line.file, error)) {
            error_ = line.origin + ": " + error;
            return status_ = Status::Failed;
        }
        log_ << "printer " << line.file << ": chosen\n" << std::flush;
        return status_;
    }
    case ScriptLine::Kind::SaveDefault:
    case ScriptLine::Kind::SavePreset:
    case ScriptLine::Kind::DeletePreset:
    case ScriptLine::Kind::ChoosePreset:
        return runPresetLine(line);
    case ScriptLine::Kind::Screenshot:
        // After GTK has laid out and drawn what the last action changed.
        screenshotFile_ = line.file;
        screenshotSource_ = g_idle_add_full(G_PRIORITY_LOW, &ScriptRunner::takeScreenshot, this, nullptr);
        return status_;
    case ScriptLine::Kind::Action:
        if (!runAction(line)) {
            error_.insert(0, line.origin + ": ");
            status_ = Status::Failed;
        }
        return status_;
    }
    return status_;
}

// The saved-settings lines: what the window's buttons and preset menu do.
ScriptRunner::Status ScriptRunner::runPresetLine(const ScriptLine &line) {
    std::string error;
    bool done = false;
    std::string said;
    switch (line.kind) {
    case ScriptLine::Kind::SaveDefault:
        done = window_.saveAsDefault(error);
        said = "save default";
        break;
    case ScriptLine::Kind::SavePreset:
        done = window_.savePreset(line.file, error);
        said = "save preset " + line.file;
        break;
    case ScriptLine::Kind::DeletePreset:
        done = window_.deletePreset(line.file, error);
        said = "delete preset " + line.file;
        break;
    default:
        done = window_.choosePreset(line.file, error);
        said = "preset " + line.file;
        break;
    }
    if (!done) {
        error_ = line.origin + ": " + said + ": " + error;
        return status_ = Status::Failed;
    }
    log_ << said << ": " << window_.savedLine() << "\n" << std::flush;
    return status_;
}

// A wait lets the main loop (and with it the run loop) go on; opening a pane, or closing the one
// shown, is the window's choice of page, so that the pop-up and the page follow.
bool ScriptRunner::runAction(const ScriptLine &line) {
    using Kind = printdialog::Action::Kind;
    const printdialog::Action &action = line.action;
    if (action.kind == Kind::Wait) {
        resumeAt_ = g_get_monotonic_time() + static_cast<gint64>(action.seconds * G_USEC_PER_SEC);
        log_ << action.line << ": waiting\n" << std::flush;
        return true;
    }
    if (action.kind == Kind::Open) {
        if (!window_.showPane(action.pane, error_)) return false;
        log_ << action.line << ": shown\n" << std::flush;
        return true;
    }
    if (action.kind == Kind::Cancel) {
        window_.cancel();
        log_ << action.line << ": cancelled\n" << std::flush;
        return true;
    }
    // The window never keeps the page of a closed pane: closing the one shown shows the Summary.
    if (action.kind == Kind::Close && action.pane == window_.shownPane()) {
        if (!window_.showPane(kSummaryPage, error_)) return false;
        log_ << action.line << ": closed, the Summary shown\n" << std::flush;
        return true;
    }
    printdialog::ActionEffect effect;
    // The window's dialog: choosing another printer replaces the one the runner began with.
    if (!printdialog::performAction(window_.dialog(), action, effect, error_)) return false;
    log_ << action.line << (effect.text.empty() ? "" : ": " + effect.text) << "\n" << std::flush;
    return true;
}

gboolean ScriptRunner::takeScreenshot(gpointer data) {
    auto *runner = static_cast<ScriptRunner *>(data);
    runner->screenshotSource_ = 0;
    if (saveScreenshot(runner->window_.frontWindow(), runner->screenshotFile_, runner->error_)) {
        runner->log_ << "screenshot " << runner->screenshotFile_ << ": saved\n" << std::flush;
    } else {
        runner->error_ = "screenshot: " + runner->error_;
        runner->status_ = Status::Failed;
    }
    return G_SOURCE_REMOVE;
}

}  // namespace pdedialog
