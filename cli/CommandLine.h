#pragma once
// The options of lumtrace-validate and their parsing.

#include <optional>
#include <string>
#include <vector>

namespace cli {

// Jsonl: one JSON object per file on a line of its own, written as soon as the file is done.
// Html: one page for people, covering every file.
enum class OutputFormat { Text, Json, Junit, Sarif, Csv, Xml, Jsonl, Html };
enum class FailOn { Error, Warning, Never };

// --report FORMAT:PATH
struct ReportRequest {
    OutputFormat format = OutputFormat::Json;
    std::string path;
};

// --set RULE=VALUE
struct SettingRequest {
    int rule = 0;
    std::string value;  // as given
};

struct CommandLine {
    bool help = false;
    bool version = false;
    bool quiet = false;
    bool verbose = false;                // host diagnostics, and plug-in lines despite --quiet
    std::optional<std::string> xmlPath;  // --xml
    OutputFormat format = OutputFormat::Text;  // --format, for stdout
    std::vector<ReportRequest> reports;        // --report, in command-line order
    FailOn failOn = FailOn::Error;
    unsigned jobs = 0;  // -j; 0: one per core
    bool recursive = false;
    bool nulSeparated = false;             // -0: names on stdin end with NUL instead of a line end
    std::optional<std::string> profile;    // --profile: a delivery profile for this run only
    std::vector<SettingRequest> settings;  // --set, in command-line order
    std::vector<std::string> skipListed;   // --skip-listed: JSON Lines of earlier runs
    bool listRules = false;                // --list-rules: print the rules instead of validating
    std::vector<std::string> files;
};

struct ParseResult {
    CommandLine commandLine;
    std::string error;  // empty when the arguments were understood
};

// Arguments after the program name. "--" ends the options; "--xml PATH" and "--xml=PATH" are
// both accepted. Without --help, --version or --list-rules at least one file is required.
ParseResult parseCommandLine(const std::vector<std::string>& arguments);

// "json" for Json and so on.
const char* formatName(OutputFormat format);

std::string helpText(const std::string& programName);
std::string versionText(const std::string& programName);

}  // namespace cli
