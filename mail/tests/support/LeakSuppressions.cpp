// fontconfig keeps a small cache of its own until the process ends (it has no cleanup that Qt
// calls); LeakSanitizer would report it at the exit of every test program that draws text.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
