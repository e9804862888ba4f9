#pragma once
// Runs lumtrace-validate as a child process, the way a pipeline would, and collects what it
// wrote and how it ended.

#include <string>
#include <vector>

namespace clitest {

struct ProcessResult {
    int exitStatus = -1;  // -1 when the child did not exit normally
    std::string out;
    std::string err;
};

// Program with Arguments; stdout and stderr go to files, so neither is a terminal. With
// StdoutPath, stdout goes there instead and Out stays empty. WorkingDirectory empty: this one.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& stdoutPath = {},
                         const std::string& workingDirectory = {});

// Same, with Input on stdin.
ProcessResult runProcessWithInput(const std::string& program,
                                  const std::vector<std::string>& arguments,
                                  const std::string& input);

// Same, with stderr on a pseudo-terminal; Err is what the terminal received.
ProcessResult runProcessWithTerminalStderr(const std::string& program,
                                           const std::vector<std::string>& arguments);

// Lines of Text without their line ends.
std::vector<std::string> splitLines(const std::string& text);

}  // namespace clitest
