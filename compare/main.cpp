// lumtrace-diff: what changed between two versions of an STL subtitle file. Exits 0 when nothing
// differs, 1 when something does (a constant shift included), 2 when they cannot be compared.

#include <CLI/CLI.hpp>

#include <future>
#include <iostream>

#include "Comparison.h"
#include "Reports.h"
#include "platform/ProgramArguments.h"

namespace {

constexpr const char* PROGRAM_NAME = "lumtrace-diff";
constexpr int kFailure = 2;

int fail(const std::string& message) {
    std::cerr << PROGRAM_NAME << ": " << message << std::endl;
    return kFailure;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Compares two versions of an STL subtitle file: a constant shift, header fields, "
        "and subtitles added, removed, split, merged or changed.",
        PROGRAM_NAME};
    std::string format = "text", pathA, pathB;
    int tolerance = 0;
    bool noOffset = false;
    app.set_version_flag("--version", std::string(PROGRAM_NAME) + " " LUMTRACE_VERSION_TEXT);
    app.add_option("--format", format, "text, json or html (default text)")
        ->check(CLI::IsMember({"text", "json", "html"}));
    app.add_option("--tolerance", tolerance,
                   "Time differences up to this many frames are not reported (default 0)")
        ->check(CLI::NonNegativeNumber);
    app.add_flag("--no-offset", noOffset,
                 "Do not look for a constant shift; compare times as they are");
    app.add_option("A", pathA, "The first (older) STL file")->required();
    app.add_option("B", pathB, "The second (newer) STL file")->required();
    if (const auto done = platform::parseProgramArguments(app, argc, argv, PROGRAM_NAME))
        return *done;

    try {
        // The two files are read at the same time: reading is most of the work.
        std::string errorA, errorB;
        auto readB =
            std::async(std::launch::async, [&] { return compare::loadSide(pathB, errorB); });
        auto a = compare::loadSide(pathA, errorA);
        auto b = readB.get();
        if (!a) return fail(pathA + ": " + errorA);
        if (!b) return fail(pathB + ": " + errorB);
        const compare::Comparison comparison =
            compare::compareSides(std::move(*a), std::move(*b), {tolerance, !noOffset});
        const std::string report = format == "json"   ? compare::jsonReport(comparison)
                                   : format == "html" ? compare::htmlReport(comparison)
                                                      : compare::textReport(comparison);
        std::cout << report;
        if (!std::cout.flush()) return fail("cannot write to standard output");
        return comparison.differs() ? 1 : 0;
    } catch (const std::exception& error) {
        return fail(std::string("internal failure: ") + error.what());
    }
}
