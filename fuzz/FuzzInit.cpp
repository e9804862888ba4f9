// Linked into every target: the readers' diagnostics would otherwise fill the log and slow
// every execution down.

#include <string>

#include "platform/DebugOutput.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::setDebugSink([](const std::string&) {});
    return 0;
}

// Each input frees everything it allocated, so a small quarantine still holds all of one input's
// freed memory, and reusing it spares the page faults of fresh memory; shorter allocation stacks
// are cheaper to record. ASAN_OPTIONS still overrides both.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32:malloc_context_size=10";
}
