// Linked into every executable of a sanitizer build, so the programs run from that build report
// only real faults, with no environment to set.

#if defined(LUMTRACE_LSAN_DEFAULTS)
// A module's static initialisers may allocate memory that only its static data points to; once
// the host unloads the module with dlclose that memory looks leaked. Such allocations run under
// _dl_init, which only a full unwind of the allocation's stack reaches.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:_dl_init\n";
}
extern "C" const char* __lsan_default_options() {
    return "fast_unwind_on_malloc=0:print_suppressions=0";
}
#endif

#if defined(LUMTRACE_TSAN_DEFAULTS)
// Qt's own worker threads synchronise through atomics inside the Qt libraries, which are not
// built with ThreadSanitizer and so look unsynchronised to it. Only those exact Qt-internal
// frames are named; a race in any other frame of a Qt library still fails the run.
extern "C" const char* __tsan_default_suppressions() {
    return "";
}
extern "C" const char* __tsan_default_options() {
    return "halt_on_error=1:second_deadlock_stack=1";
}
#endif
