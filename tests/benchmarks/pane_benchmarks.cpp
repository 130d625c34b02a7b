// How long each step of a pane's life in the print dialog takes: loading the bundle through the
// end of Initialize, Sync in each direction, GetSummaryText, one refresh of the colour-adjustment
// value fields, and the whole life. Run it on a Release build; docs/performance.md has the budget.
#include "pane_life.h"

#include <platform/host_support.h>
#include <platform/test_support.h>
#include <platform/user_actions.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace {

using balance::PaneLife;
using Clock = std::chrono::steady_clock;

constexpr double kRefreshInterval = 0.5;
constexpr SInt32 kContainerID = 1;
constexpr SInt32 kFirstValueFieldID = 20;

double secondsBetween(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double>(end - start).count();
}

// A dialog with the pane accepted, kept for the steps measured inside one life.
struct LoadedPane {
    std::unique_ptr<printdialog::Dialog> dialog;
    printdialog::Pane *pane = nullptr;

    bool load(const PaneLife &life, benchmark::State &state) {
        std::string error;
        dialog = balance::openDialog(life, pane, error);
        if (pane == nullptr) state.SkipWithError(("cannot open the pane: " + error).c_str());
        return pane != nullptr;
    }
};

// Loading the bundle, the factory, Prologue and Initialize; tearing the dialog down is not timed.
// firstInProcess: the platform's parsed nibs are forgotten before each load, so the nib is read
// and parsed as by the first dialog of a process; otherwise the later loads reuse the parse.
void LoadToInitialize(benchmark::State &state, const PaneLife *life, bool firstInProcess) {
    for (auto _ : state) {
        if (firstInProcess) PlatformForgetLoadedNibs();
        printdialog::Pane *pane = nullptr;
        std::string error;
        Clock::time_point start = Clock::now();
        auto dialog = balance::openDialog(*life, pane, error);
        Clock::time_point end = Clock::now();
        if (pane == nullptr) {
            state.SkipWithError(("cannot open the pane: " + error).c_str());
            break;
        }
        state.SetIterationTime(secondsBetween(start, end));
        dialog.reset();
    }
}

void Sync(benchmark::State &state, const PaneLife *life, bool reinitializePlugin) {
    LoadedPane loaded;
    if (!loaded.load(*life, state)) return;
    loaded.dialog->sync(*loaded.pane, false);  // the ticket then holds every key the pane reads
    for (auto _ : state) {
        if (loaded.dialog->sync(*loaded.pane, reinitializePlugin) != noErr) {
            state.SkipWithError("Sync failed");
            break;
        }
    }
}

void SummaryText(benchmark::State &state, const PaneLife *life) {
    LoadedPane loaded;
    if (!loaded.load(*life, state)) return;
    std::vector<printdialog::SummaryRow> rows;
    for (auto _ : state) {
        if (loaded.dialog->summary(*loaded.pane, rows) != noErr || rows.size() < 2) {
            state.SkipWithError("GetSummaryText failed");
            break;
        }
    }
}

// The nine value fields redrawn once per iteration, or the benchmark fails.
bool refreshedEveryIteration(const LoadedPane &loaded, UInt32 drawsBefore, benchmark::State &state) {
    ControlRef field = loaded.dialog->control(*loaded.pane, kFirstValueFieldID);
    if (PlatformGetControlDrawCount(field) - drawsBefore >= static_cast<UInt32>(state.iterations())) return true;
    state.SkipWithError("the value fields were not refreshed every iteration");
    return false;
}

// One command event reaching the container: the pane's handler refreshes the nine fields at once.
void RefreshByCommand(benchmark::State &state, const PaneLife *life) {
    LoadedPane loaded;
    if (!loaded.load(*life, state)) return;
    ControlRef container = loaded.dialog->control(*loaded.pane, kContainerID);
    EventRef event = nullptr;
    if (container == nullptr ||
        CreateEvent(kCFAllocatorDefault, kEventClassCommand, kEventCommandProcess, 0, 0, &event) != noErr) {
        state.SkipWithError("cannot make the command event");
        return;
    }
    HICommand command = {kHICommandFromControl, 'shrp', {nullptr, 0}};
    SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
    EventTargetRef target = GetControlEventTarget(container);
    UInt32 drawsBefore = PlatformGetControlDrawCount(loaded.dialog->control(*loaded.pane, kFirstValueFieldID));
    for (auto _ : state) SendEventToEventTarget(event, target);
    refreshedEveryIteration(loaded, drawsBefore, state);
    ReleaseEvent(event);
}

// The open pane's repeating timer firing on a pass of the run loop half a second later.
void RefreshByTimer(benchmark::State &state, const PaneLife *life) {
    LoadedPane loaded;
    if (!loaded.load(*life, state) || loaded.dialog->openPane(*loaded.pane) != noErr) return;
    printdialog::Dialog::turnRunLoop();
    UInt32 drawsBefore = PlatformGetControlDrawCount(loaded.dialog->control(*loaded.pane, kFirstValueFieldID));
    for (auto _ : state) {
        PlatformAdvanceManualClock(kRefreshInterval);
        printdialog::Dialog::turnRunLoop();
    }
    refreshedEveryIteration(loaded, drawsBefore, state);
}

// A typical life: load through Initialize, Open, a Sync each way, the Summary, Close, Terminate
// and both Releases; with workControls, a person also works every control while the pane is open.
void WholeLife(benchmark::State &state, const PaneLife *life, bool workControls) {
    for (auto _ : state) {
        LoadedPane loaded;
        if (!loaded.load(*life, state)) break;
        printdialog::Dialog &dialog = *loaded.dialog;
        printdialog::Pane &pane = *loaded.pane;
        dialog.openPane(pane);
        if (workControls) {
            balance::UserSession session(dialog, pane);
            life->workEveryControl(session);
            if (session.failed()) {
                state.SkipWithError(session.failure().c_str());
                break;
            }
        }
        std::vector<printdialog::SummaryRow> rows;
        OSStatus status = dialog.sync(pane, true);
        if (status == noErr) status = dialog.summary(pane, rows);
        if (status == noErr) status = dialog.sync(pane, false);
        if (status == noErr) status = dialog.closePane(pane);
        if (status != noErr) {
            state.SkipWithError(("a step of the life failed with " + std::to_string(status)).c_str());
            break;
        }
        loaded.dialog.reset();
    }
}

void registerPane(const PaneLife *life) {
    auto name = [life](const char *step) { return std::string(step) + "/" + life->name; };
    benchmark::RegisterBenchmark(name("LoadToInitialize").c_str(), LoadToInitialize, life, false)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(name("LoadToInitializeFirstInProcess").c_str(), LoadToInitialize, life, true)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(name("SyncTicketFromPane").c_str(), Sync, life, false)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(name("SyncPaneFromTicket").c_str(), Sync, life, true)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(name("GetSummaryText").c_str(), SummaryText, life)->Unit(benchmark::kMicrosecond);
    if (life->refreshesWhileOpen) {
        benchmark::RegisterBenchmark(name("RefreshByCommand").c_str(), RefreshByCommand, life)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(name("RefreshByTimer").c_str(), RefreshByTimer, life)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark(name("WholeLife").c_str(), WholeLife, life, false)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(name("WholeLifeWithUserActions").c_str(), WholeLife, life, true)
        ->Unit(benchmark::kMicrosecond);
}

}  // namespace

// The manual clock keeps timers from waiting on real time; English keeps the strings tables fixed.
int main(int argc, char **argv) {
    PlatformUseManualClock(true);
    PlatformSetPreferredLocalization(CFSTR("en"));
    for (const PaneLife *life : balance::everyPaneLife()) registerPane(life);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PlatformSetPreferredLocalization(nullptr);
    return 0;
}
