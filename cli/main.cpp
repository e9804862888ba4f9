// lumtrace-validate: validates EBU STL files with the Sievra plug-in, for batch quality control.

#include <unistd.h>

#include <exception>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "BatchValidation.h"
#include "CommandLine.h"
#include "ExecutableDirectory.h"
#include "platform/DebugOutput.h"

namespace {

constexpr const char* PROGRAM_NAME = "lumtrace-validate";
constexpr const char* PLUGIN_FILE_NAME = "Sievra.zkx";

// A full disk or a closed pipe must not pass for a clean run.
int checkedStdout(int status) {
    if (std::cout.flush()) return status;
    std::cerr << PROGRAM_NAME << ": cannot write to standard output" << std::endl;
    return cli::ExitNotValidated;
}

int run(int argc, char* argv[]) {
    const cli::ParseResult parsed =
        cli::parseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (!parsed.error.empty()) {
        std::cerr << PROGRAM_NAME << ": " << parsed.error << " (try '" << PROGRAM_NAME
                  << " --help')" << std::endl;
        return cli::ExitNotValidated;
    }
    const cli::CommandLine& line = parsed.commandLine;
    if (line.help || line.version) {
        std::cout << (line.help ? cli::helpText(PROGRAM_NAME) : cli::versionText(PROGRAM_NAME));
        return checkedStdout(cli::ExitNoErrors);
    }
    // The host's diagnostic lines repeat what the one-line messages already say.
    if (!line.verbose) platform::setDebugSink([](const std::string&) {});

    cli::BatchSettings settings;
    settings.programName = PROGRAM_NAME;
    settings.pluginPath = cli::modulePath(PLUGIN_FILE_NAME);
    settings.showProgress = ::isatty(STDERR_FILENO) == 1;
    settings.cores = std::thread::hardware_concurrency();
    return checkedStdout(cli::runBatch(line, settings, std::cin, std::cout, std::cerr));
}

}  // namespace

int main(int argc, char* argv[]) {
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << PROGRAM_NAME << ": internal failure: " << error.what() << std::endl;
    } catch (...) {
        std::cerr << PROGRAM_NAME << ": internal failure" << std::endl;
    }
    return cli::ExitNotValidated;
}
