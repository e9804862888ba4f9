#pragma once
// The options of lumtrace-validate and their parsing. Hand-written: the program has a handful of
// options and must not pull in a toolkit for them.

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct CommandLine {
    bool help = false;
    bool version = false;
    bool quiet = false;
    bool verbose = false;                // let the host's diagnostic lines through to stderr
    std::optional<std::string> xmlPath;  // --xml
    std::vector<std::string> files;
};

struct ParseResult {
    CommandLine commandLine;
    std::string error;  // empty when the arguments were understood
};

// Arguments after the program name. "--" ends the options; "--xml PATH" and "--xml=PATH" are
// both accepted. Without --help or --version at least one file is required.
ParseResult parseCommandLine(const std::vector<std::string>& arguments);

std::string helpText(const std::string& programName);
std::string versionText(const std::string& programName);

}  // namespace cli
