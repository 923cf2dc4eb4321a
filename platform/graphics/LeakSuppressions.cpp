// Fontconfig, which Pango loads fonts through, keeps its configuration and font caches for the
// life of the process and never frees them. Under LeakSanitizer every program that draws text
// would fail at exit on them, so this library, which brings them in, declares them.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

