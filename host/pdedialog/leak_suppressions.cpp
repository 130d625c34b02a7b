// Under LeakSanitizer (the sanitizer build): the caches that fontconfig fills when GTK first
// measures text, and the accessibility bridge's bus connection, live until the process ends and
// are not leaks of this program. Nothing else is suppressed. Without the sanitizer this is unused.
extern "C" __attribute__((visibility("default"), used)) const char *__lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libatk-bridge-2.0.so\n"
           "leak:libatspi.so\n"
           "leak:libdbus-1.so\n";
}
