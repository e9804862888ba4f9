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
// Qt's raster engine and image conversions split a large fill into parts for its global thread
// pool and wait on a semaphore. Qt is not built with ThreadSanitizer, so that hand-off is
// invisible to it and every such fill reads as a race between a pool thread and the caller, in
// Qt frames that carry no symbol a suppression could name. Before splitting, Qt asks whether the
// calling thread is a pool thread; answering yes makes it fill on the calling thread, the path it
// takes for small areas anyway. This definition replaces Qt's for the libraries that ask, so no
// suppression is needed: every race that remains fails the run.
bool qtPoolContainsThread(const void* pool,
                          const void* thread) asm("_ZNK11QThreadPool8containsEPK7QThread");
bool qtPoolContainsThread(const void*, const void*) {
    return true;
}

extern "C" const char* __tsan_default_suppressions() {
    return "";
}
extern "C" const char* __tsan_default_options() {
    return "halt_on_error=1:second_deadlock_stack=1";
}
#endif
