#pragma once
// Validates the files of one command line through the plug-in host and decides the exit
// status.

#include <istream>
#include <ostream>
#include <string>

#include "CommandLine.h"

namespace cli {

enum ExitStatus : int {
    ExitNoErrors = 0,      // every file validated, nothing that counts as failing (--fail-on)
    ExitErrorsFound = 1,   // every file validated, at least one failing finding
    ExitNotValidated = 2,  // a file or report failed, the plug-in did not load, bad arguments
};

struct BatchSettings {
    std::string programName;  // in front of every line on Err
    std::string pluginPath;
    bool showProgress = false;  // one line per file on Err
    unsigned cores = 1;         // jobs when the command line names none
};

// Binds the plug-in once, then validates every file of Line with the rule settings it read at
// creation, as the validation window does. Findings go to Out; progress, diagnostics and one
// line per file that could not be validated go to Err. Names reads the file names for "-".
int runBatch(const CommandLine& line, const BatchSettings& settings, std::istream& names,
             std::ostream& out, std::ostream& err);

}  // namespace cli
