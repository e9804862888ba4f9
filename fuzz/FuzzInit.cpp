// Linked into every target: the readers' diagnostics would otherwise fill the log and slow
// every execution down.

#include <string>

#include "platform/DebugOutput.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::setDebugSink([](const std::string&) {});
    return 0;
}
