#include "DebugOutput.h"

#include <unistd.h>

#include <cerrno>
#include <mutex>

namespace platform {
namespace {

// Recursive so that a sink may itself write a diagnostic; held while the sink runs so that
// replacing a sink waits for calls still inside the old one.
std::recursive_mutex& sinkMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

DebugSink& currentSink() {
    static DebugSink sink;
    return sink;
}

void writeToStderr(const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    // One write; only an interrupted or partial write is continued.
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
}

}  // namespace

void debugOutput(std::string_view line) {
    try {
        std::string text(line);
        {
            std::lock_guard lock(sinkMutex());
            if (currentSink()) {
                currentSink()(text);
                return;
            }
        }
        text.push_back('\n');
        writeToStderr(text);
    } catch (...) {
        // Diagnostics must never become a failure of their own.
    }
}

DebugSink setDebugSink(DebugSink sink) {
    std::lock_guard lock(sinkMutex());
    DebugSink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

}  // namespace platform
