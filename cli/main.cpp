// lumtrace-validate: validates EBU STL files with the Sievra plug-in, for batch quality control.

#include <unistd.h>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "BatchValidation.h"
#include "CommandLine.h"
#include "ExecutableDirectory.h"
#include "platform/DebugOutput.h"

namespace {

constexpr const char* PROGRAM_NAME = "lumtrace-validate";
constexpr const char* PLUGIN_FILE_NAME = "Sievra.zkx";

// A full disk or a closed pipe must not pass for a clean run.
int CheckedStdout(int Status) {
    if (std::cout.flush()) return Status;
    std::cerr << PROGRAM_NAME << ": cannot write to standard output" << std::endl;
    return cli::ExitNotValidated;
}

int Run(int argc, char* argv[]) {
    const cli::TParseResult parsed =
        cli::ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (!parsed.Error.empty()) {
        std::cerr << PROGRAM_NAME << ": " << parsed.Error << " (try '" << PROGRAM_NAME
                  << " --help')" << std::endl;
        return cli::ExitNotValidated;
    }
    const cli::TCommandLine& line = parsed.CommandLine;
    if (line.Help || line.Version) {
        std::cout << (line.Help ? cli::HelpText(PROGRAM_NAME) : cli::VersionText(PROGRAM_NAME));
        return CheckedStdout(cli::ExitNoErrors);
    }
    // The host's diagnostic lines repeat what the one-line messages already say.
    if (!line.Verbose) platform::setDebugSink([](const std::string&) {});

    cli::TBatchSettings settings;
    settings.ProgramName = PROGRAM_NAME;
    settings.PluginPath = cli::ExecutableDirectory() + "/" + PLUGIN_FILE_NAME;
    settings.ShowProgress = ::isatty(STDERR_FILENO) == 1;
    return CheckedStdout(cli::RunBatch(line, settings, std::cout, std::cerr));
}

}  // namespace

int main(int argc, char* argv[]) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << PROGRAM_NAME << ": internal failure: " << error.what() << std::endl;
    } catch (...) {
        std::cerr << PROGRAM_NAME << ": internal failure" << std::endl;
    }
    return cli::ExitNotValidated;
}
