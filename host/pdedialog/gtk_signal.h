// Connecting typed handlers to GTK signals without casts that the compiler warns about.
#pragma once

#include <gtk/gtk.h>

namespace pdedialog {

// GCallback for a handler of any signature; a detour through void(*)(void), the one function
// pointer type that every other converts to without a warning.
template <typename Handler>
GCallback signalCallback(Handler *handler) {
    return reinterpret_cast<GCallback>(reinterpret_cast<void (*)(void)>(handler));
}

template <typename Handler>
gulong connectSignal(gpointer instance, const char *signal, Handler *handler, gpointer data) {
    return g_signal_connect_data(instance, signal, signalCallback(handler), data, nullptr, GConnectFlags(0));
}

template <typename Handler>
gulong connectSignalAfter(gpointer instance, const char *signal, Handler *handler, gpointer data) {
    return g_signal_connect_data(instance, signal, signalCallback(handler), data, nullptr, G_CONNECT_AFTER);
}

}  // namespace pdedialog
