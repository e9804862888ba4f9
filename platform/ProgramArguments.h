#pragma once
// The command line of one of the programs read the same way in each: --help and --version
// printed with exit status 0, a mistake as one line on standard error with exit status 2.
// Header-only: it needs CLI11, which only the programs link.

#include <CLI/CLI.hpp>

#include <iostream>
#include <optional>
#include <string>

namespace platform {

// "PROGRAM: MESSAGE" on standard error; the exit status of trouble.
inline int reportTrouble(const std::string& programName, const std::string& message) {
    std::cerr << programName << ": " << message << std::endl;
    return 2;
}

// The exit status when the program is done already; nothing when it goes on.
inline std::optional<int> parseProgramArguments(CLI::App& app, int argc, char** argv,
                                                const std::string& programName) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return 0;
    } catch (const CLI::CallForVersion&) {
        std::cout << app.version() << "\n";
        return 0;
    } catch (const CLI::ParseError& error) {
        std::cerr << programName << ": " << error.what() << " (try '" << programName << " --help')"
                  << std::endl;
        return 2;
    }
    return std::nullopt;
}

}  // namespace platform
