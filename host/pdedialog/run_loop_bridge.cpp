// Driving CFRunLoop from a GLib timeout.
#include "run_loop_bridge.h"

#include <CoreFoundation/CoreFoundation.h>

namespace pdedialog {

RunLoopBridge::RunLoopBridge(std::function<void()> afterPass, guint intervalMilliseconds)
    : afterPass_(std::move(afterPass)) {
    source_ = g_timeout_add(intervalMilliseconds, &RunLoopBridge::onTimeout, this);
}

RunLoopBridge::~RunLoopBridge() {
    if (source_ != 0) g_source_remove(source_);
}

void RunLoopBridge::turnOnce() { CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false); }

gboolean RunLoopBridge::onTimeout(gpointer data) {
    auto *bridge = static_cast<RunLoopBridge *>(data);
    turnOnce();
    ++bridge->passes_;
    if (bridge->afterPass_) bridge->afterPass_();
    return G_SOURCE_CONTINUE;
}

}  // namespace pdedialog
