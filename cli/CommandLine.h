#pragma once
// The options of lumtrace-validate and their parsing. Hand-written: the program has a handful of
// options and must not pull in a toolkit for them.

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct TCommandLine {
    bool Help = false;
    bool Version = false;
    bool Quiet = false;
    bool Verbose = false;                // let the host's diagnostic lines through to stderr
    std::optional<std::string> XmlPath;  // --xml
    std::vector<std::string> Files;
};

struct TParseResult {
    TCommandLine CommandLine;
    std::string Error;  // empty when the arguments were understood
};

// Arguments after the program name. "--" ends the options; "--xml PATH" and "--xml=PATH" are
// both accepted. Without --help or --version at least one file is required.
TParseResult ParseCommandLine(const std::vector<std::string>& Arguments);

std::string HelpText(const std::string& ProgramName);
std::string VersionText(const std::string& ProgramName);

}  // namespace cli
