// Under LeakSanitizer (the sanitizer build): the caches that fontconfig fills when GTK first
// measures text, and the accessibility bridge's bus connection, live until the process ends and
// are not leaks of this program. GLib's constructor allocates the first block of its quark table
// (2,048 quarks, 16 KiB) at load time and abandons it on purpose when the table grows, as it does
// once the window has built its settings pages and result window: allocations made by a library's
// constructor (_dl_init) are load-time state, not leaks of this program. Nothing else is
// suppressed. Without the sanitizer this is unused.
extern "C" __attribute__((visibility("default"), used)) const char *__lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libatk-bridge-2.0.so\n"
           "leak:libatspi.so\n"
           "leak:libdbus-1.so\n"
           "leak:_dl_init\n";
}
