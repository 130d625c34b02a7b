// Wiring the window, the view, the run loop and the script together for one run.
#include "dialog_session.h"

#include "control_view.h"
#include "dialog_state.h"
#include "dialog_window.h"
#include "printer_switch.h"
#include "run_loop_bridge.h"
#include "screenshot.h"

#include <printdialog/command_line.h>
#include <printdialog/destinations.h>

#include <iostream>
#include <memory>

namespace pdedialog {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Ends the main loop once, with the first status that was not 0.
class Ending {
public:
    void end(int status) {
        if (status_ == 0) status_ = status;
        if (!ended_) gtk_main_quit();
        ended_ = true;
    }
    bool ended() const { return ended_; }
    int status() const { return status_; }

private:
    bool ended_ = false;
    int status_ = 0;
};

struct ScreenshotRequest {
    DialogWindow *window;
    std::string path;
    Ending *ending;
};

// At low priority, after GTK has laid out and drawn what the script changed.
gboolean takeScreenshot(gpointer data) {
    std::unique_ptr<ScreenshotRequest> request(static_cast<ScreenshotRequest *>(data));
    std::string error;
    if (!saveScreenshot(request->window->toplevel(), request->path, error)) {
        printdialog::printError("pdedialog", error);
        request->ending->end(kExitFailed);
    } else {
        request->ending->end(0);
    }
    return G_SOURCE_REMOVE;
}

}  // namespace

int runDialogSession(std::unique_ptr<printdialog::Dialog> dialog, std::unique_ptr<printdialog::Printer> printer,
                     SessionSettings settings) {
    Ending ending;
    std::string error;
    {
        PrinterSwitch loaded(std::move(printer), std::move(dialog), settings.pluginFolder);
        DialogWindow window(loaded.dialog(), loaded.view(), windowText(settings.localization), loaded.printer(),
                            settings.job);
        // The menu: the server's destinations (or the line saying there are none), then the PPD
        // files; the printer shown is chosen in it.
        printdialog::DestinationList destinations;
        destinations.status = printdialog::DestinationList::Status::Listed;
        if (settings.listPrinters) destinations = printdialog::listDestinations();
        window.setPrinterChoices(
            printerList(destinations, settings.ppdFiles, windowText(settings.localization)));
        // After a preset is saved or deleted the server's list is read again.
        window.setPrinterListSource([&settings] {
            printdialog::DestinationList listed;
            listed.status = printdialog::DestinationList::Status::Listed;
            if (settings.listPrinters) listed = printdialog::listDestinations();
            return printerList(listed, settings.ppdFiles, windowText(settings.localization));
        });
        window.setPrinterSwitcher([&loaded, &window](const PrinterChoice &choice, std::string &reason) {
            return loaded.switchTo(window, choice, reason);
        });
        std::unique_ptr<StateFile> state;
        if (!settings.stateFile.empty()) {
            state = std::make_unique<StateFile>(settings.stateFile, [&loaded, &window] {
                return dialogStateJSON(loaded.dialog(), loaded.view(), window);
            });
        }
        auto stateChanged = [&state] {
            if (state) state->requestWrite();
        };
        window.setChangeListener(stateChanged);  // the window passes on the view's changes too
        window.setDrawnHandler(stateChanged);
        window.setFinishedHandler([&ending](Outcome) { ending.end(0); });

        std::string first = settings.firstPane.empty() ? window.firstPage() : settings.firstPane;
        if (!window.showPane(first, error)) {
            printdialog::printError("pdedialog", "--pane: " + error);
            loaded.finish();
            return kExitUsage;
        }

        ScriptRunner runner(window, std::move(settings.script), std::cout);
        bool screenshotRequested = false;
        RunLoopBridge bridge([&] {
            if (!window.drawn() || ending.ended() || screenshotRequested) return;
            switch (runner.step()) {
            case ScriptRunner::Status::Running:
                return;
            case ScriptRunner::Status::Failed:
                printdialog::printError("pdedialog", runner.error());
                ending.end(kExitFailed);
                return;
            case ScriptRunner::Status::Quit:
                ending.end(0);
                return;
            case ScriptRunner::Status::Finished:
                if (settings.screenshot.empty()) return;
                screenshotRequested = true;
                g_idle_add_full(G_PRIORITY_LOW, &takeScreenshot,
                                new ScreenshotRequest{&window, settings.screenshot, &ending}, nullptr);
                return;
            }
        });

        window.show();
        gtk_main();
        // The window told of a refused job when it happened; the exit status tells it once more.
        if (window.printFailed()) ending.end(kExitFailed);

        if (state && !state->write("exit", error)) {
            printdialog::printError("pdedialog", error);
            ending.end(kExitFailed);
        }
        loaded.finish();
    }
    return ending.status();
}

}  // namespace pdedialog
