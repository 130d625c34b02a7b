// The attached control observer: one per process, as the host sets it.
#include "control_observer.h"

#include "control.h"

namespace hitoolbox {
namespace {

struct AttachedObserver {
    PlatformControlObserver callback = nullptr;
    void *context = nullptr;
};

AttachedObserver &attached_observer() {
    static AttachedObserver observer;
    return observer;
}

}  // namespace

// Copies the observer before calling it, so that it may detach or replace itself.
void notify_observer(Control &control, PlatformControlChange change) {
    AttachedObserver observer = attached_observer();
    if (observer.callback != nullptr) observer.callback(control.control_ref(), change, observer.context);
}

}  // namespace hitoolbox

extern "C" {

void PlatformSetControlObserver(PlatformControlObserver observer, void *context) {
    hitoolbox::attached_observer() = {observer, observer != nullptr ? context : nullptr};
}

}  // extern "C"
