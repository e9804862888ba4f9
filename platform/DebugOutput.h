#pragma once
// Stand-in for the debugger output channel: one line per diagnostic.

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Writes line + "\n" to stderr in one write, or hands the line to the installed sink.
// Thread-safe.
void debugOutput(std::string_view line);

using DebugSink = std::function<void(const std::string& line)>;

// Installs a sink that receives every line instead of stderr; an empty sink restores stderr.
// Returns the previous sink. Meant for tests.
DebugSink setDebugSink(DebugSink sink);

}  // namespace platform
