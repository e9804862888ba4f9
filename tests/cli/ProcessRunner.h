#pragma once
// Runs lumtrace-validate as a child process, the way a pipeline would, and collects what it
// wrote and how it ended.

#include <string>
#include <vector>

namespace clitest {

struct ProcessResult {
    int ExitStatus = -1;  // -1 when the child did not exit normally
    std::string Out;
    std::string Err;
};

// Program with Arguments; stdout and stderr go to files, so neither is a terminal. With
// StdoutPath, stdout goes there instead and Out stays empty. WorkingDirectory empty: this one.
ProcessResult RunProcess(const std::string& Program, const std::vector<std::string>& Arguments,
                         const std::string& StdoutPath = {},
                         const std::string& WorkingDirectory = {});

// Same, with stderr on a pseudo-terminal; Err is what the terminal received.
ProcessResult RunProcessWithTerminalStderr(const std::string& Program,
                                           const std::vector<std::string>& Arguments);

// Lines of Text without their line ends.
std::vector<std::string> Lines(const std::string& Text);

}  // namespace clitest
