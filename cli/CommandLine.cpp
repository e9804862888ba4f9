#include "CommandLine.h"

namespace cli {
namespace {

constexpr const char* XML_OPTION = "--xml";

bool isOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

}  // namespace

ParseResult parseCommandLine(const std::vector<std::string>& arguments) {
    ParseResult result;
    CommandLine& line = result.commandLine;
    auto takeXmlPath = [&](std::string path) {
        if (line.xmlPath) {
            result.error = "option --xml given more than once";
        } else if (path.empty()) {
            result.error = "option --xml needs a path";
        } else {
            line.xmlPath = std::move(path);
        }
    };

    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size() && result.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || !isOption(argument)) {
            line.files.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            line.help = true;
        } else if (argument == "--version") {
            line.version = true;
        } else if (argument == "-q" || argument == "--quiet") {
            line.quiet = true;
        } else if (argument == "-v" || argument == "--verbose") {
            line.verbose = true;
        } else if (argument == XML_OPTION) {
            if (i + 1 == arguments.size()) {
                result.error = "option --xml needs a path";
            } else {
                takeXmlPath(arguments[++i]);
            }
        } else if (argument.rfind(std::string(XML_OPTION) + "=", 0) == 0) {
            takeXmlPath(argument.substr(std::char_traits<char>::length(XML_OPTION) + 1));
        } else {
            result.error = "unknown option '" + argument + "'";
        }
    }
    if (result.error.empty() && !line.help && !line.version && line.files.empty())
        result.error = "no file given";
    return result;
}

std::string helpText(const std::string& programName) {
    return "Usage: " + programName +
           " [options] FILE...\n"
           "Validates EBU STL subtitle files with the Sievra plug-in beside this program, using\n"
           "the rule settings of the Lumtrace validation window, and prints the findings of\n"
           "each file as a table (#, module, type, message).\n"
           "\n"
           "Options:\n"
           "  --xml PATH     also write each report in the validation window's XML format.\n"
           "                 One file: PATH is the report file (or an existing folder to put\n"
           "                 it in). Several files: PATH is a folder, created if missing, with\n"
           "                 one report per file named after it (film.stl gives film.xml;\n"
           "                 a name met again gets -2, -3, ... before .xml). Existing reports\n"
           "                 are replaced.\n"
           "  -q, --quiet    print one summary line per file instead of the table\n"
           "  -v, --verbose  also show the plug-in host's diagnostic lines on stderr\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "\n"
           "With several files and stderr on a terminal, one progress line per file goes to\n"
           "stderr.\n"
           "\n"
           "Exit status:\n"
           "  0  every file was validated and none gave an Error finding\n"
           "  1  every file was validated and at least one gave an Error finding\n"
           "  2  a file could not be validated (missing, unreadable, not an STL file), a report\n"
           "     could not be written, the plug-in could not be loaded, or the command line\n"
           "     was wrong\n";
}

std::string versionText(const std::string& programName) {
    return programName + " " LUMTRACE_VERSION_TEXT "\n";
}

}  // namespace cli
