// lumtrace-fix: repairs what the checks find in an STL subtitle file and changes nothing else.
// Exits 0 when written with nothing left unfixed, 1 when written with something left, 2 when the
// file cannot be repaired or written.

#include <CLI/CLI.hpp>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "FixReport.h"
#include "ProfileOptions.h"
#include "RepairFile.h"
#include "platform/ProgramArguments.h"
#include "platform/SafeReplace.h"

namespace {

constexpr const char* PROGRAM_NAME = "lumtrace-fix";

int fail(const std::string& message) {
    return platform::reportTrouble(PROGRAM_NAME, message);
}

// Whether two paths name one file (the second need not exist).
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) return true;
    const auto canonicalA = std::filesystem::weakly_canonical(a, error);
    if (error) return false;
    const auto canonicalB = std::filesystem::weakly_canonical(b, error);
    return !error && canonicalA == canonicalB;
}

std::string replaceError(const platform::ReplaceResult& result) {
    const std::string reason = result.error ? std::string(": ") + std::strerror(result.error) : "";
    switch (result.status) {
        case platform::ReplaceStatus::NotRegularFile:
            return "cannot write " + result.file + ": not a regular file";
        case platform::ReplaceStatus::CreateFailed:
            return "cannot create a file beside " + result.file + reason;
        default:
            return "cannot write " + result.file + reason;
    }
}

struct Arguments {
    std::string input, output, profile, format = "text";
    std::vector<std::string> fixes, settings;
    bool inPlace = false, dryRun = false, allowNonStandard = false;
};

// The fixes and parameters asked for, at the file's frame rate; an error text when they are not.
std::string chooseOptions(const Arguments& args, int fps, repair::Options& options) {
    if (!args.profile.empty()) {
        std::string error;
        const auto profile = repair::findRepairProfile(args.profile, &error);
        if (!profile) return "--profile " + args.profile + ": " + error;
        options = repair::profileOptions(profile->settings, fps);
    }
    for (const std::string& list : args.fixes) {
        std::stringstream names(list);
        for (std::string name; std::getline(names, name, ',');) {
            const auto fix = repair::fixFromName(name);
            if (!fix) return "--fix: no fix named \"" + name + "\" (see --help)";
            repair::add(options.fixes, *fix);
        }
    }
    for (const std::string& setting : args.settings) {
        const std::size_t equals = setting.find('=');
        if (equals == std::string::npos) return "--set " + setting + ": NAME=VALUE is wanted";
        std::string error;
        if (!repair::setParameter(options, setting.substr(0, equals), setting.substr(equals + 1),
                                  fps, &error))
            return "--set " + error;
    }
    if (options.fixes.none()) return "nothing to fix: give --profile, --fix or --set";
    return {};
}

std::string fixHelp() {
    std::string text = "Fixes, each with --fix NAME:\n";
    for (const repair::Fix fix : repair::allFixes()) {
        std::string name = repair::fixName(fix);
        name.resize(16, ' ');
        text += "  " + name + repair::fixDescription(fix) + "\n";
    }
    text +=
        "Parameters, with --set NAME=VALUE (each also chooses its fix):\n"
        "  gap=FRAMES, min-duration=FRAMES, max-duration=FRAMES, shift=FRAMES or a signed time "
        "code,\n  tcp=HH:MM:SS:FF, revision-date=YYMMDD\n";
    return text;
}

int run(const Arguments& args) {
    repair::RepairSource source = repair::readRepairSource(args.input);
    if (!source.error.empty()) return fail(args.input + ": " + source.error);
    if (source.check.canOpenReadOnly() && !args.allowNonStandard)
        return fail(args.input + ": " + source.check.reason +
                    " (--allow-nonstandard repairs it anyway)");
    repair::Options options;
    if (const std::string error =
            chooseOptions(args, repair::frameRate(source.document.gsi), options);
        !error.empty())
        return fail(error);

    const repair::Proposal proposal = repair::propose(source.document, options);
    source.document = {};  // the changes hold all they write: room for a long report
    const std::string output = args.inPlace ? args.input : args.output;
    repair::FixRun fixRun{
        args.input, output,
        args.profile.empty() ? std::nullopt : std::optional<std::string>(args.profile), options,
        args.dryRun};
    if (!args.dryRun) {
        std::string& bytes = source.bytes;
        if (args.inPlace) {
            // The original is kept beside it before anything replaces it; nothing changes, nothing
            // is written.
            std::string original = bytes;
            repair::applyChanges(bytes, proposal, repair::chooseAll(proposal));
            fixRun.unchanged = bytes == original;
            if (!fixRun.unchanged) {
                if (const auto kept = platform::replaceFile(args.input + ".bak", original, true);
                    !kept)
                    return fail(replaceError(kept));
                if (const auto written = platform::replaceFile(args.input, bytes, true); !written)
                    return fail(replaceError(written));
            }
        } else {
            repair::applyChanges(bytes, proposal, repair::chooseAll(proposal));
            if (const auto written = platform::replaceFile(output, bytes, true); !written)
                return fail(replaceError(written));
        }
    }
    if (args.format == "json")
        repair::jsonReport(std::cout, fixRun, proposal);
    else
        repair::textReport(std::cout, fixRun, proposal);
    if (!std::cout.flush()) return fail("cannot write to standard output");
    return proposal.notFixed.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Repairs what the checks find in an STL subtitle file, changing only the fields "
        "the chosen fixes name, and lists every change.",
        PROGRAM_NAME};
    app.footer(fixHelp());
    Arguments args;
    app.set_version_flag("--version", std::string(PROGRAM_NAME) + " " LUMTRACE_VERSION_TEXT);
    app.add_option("--profile", args.profile,
                   "Fixes and parameters from a delivery profile: teletext, teletext-children, "
                   "streaming or a profile file")
        ->type_name("PROFILE");
    app.add_option("--fix", args.fixes, "Fixes to make, comma-separated (see below)")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->type_name("NAME[,NAME...]");
    app.add_option("--set", args.settings, "A fix's parameter (repeatable; see below)")
        ->allow_extra_args(false)
        ->type_name("NAME=VALUE");
    app.add_flag("--dry-run", args.dryRun, "List the changes and write nothing");
    app.add_option("--format", args.format, "text or json (default text)")
        ->check(CLI::IsMember({"text", "json"}))
        ->type_name("FORMAT");
    app.add_flag("--allow-nonstandard", args.allowNonStandard,
                 "Repair files of an unusual frame rate or with fewer blocks than announced");
    auto* out = app.add_option("-o,--output", args.output, "The repaired file")->type_name("OUT");
    auto* inPlace =
        app.add_flag("--in-place", args.inPlace,
                     "Replace IN with the repaired file, keeping the original as IN.bak");
    out->excludes(inPlace);
    app.add_option("IN", args.input, "The STL file to repair")->required()->type_name("");
    if (const auto done = platform::parseProgramArguments(app, argc, argv, PROGRAM_NAME))
        return *done;
    if (!args.dryRun && !args.inPlace && args.output.empty())
        return fail("no output: give -o OUT, --in-place or --dry-run");
    if (!args.output.empty() && sameFile(args.input, args.output))
        return fail("the output is the input file: use --in-place to replace it");
    try {
        return run(args);
    } catch (const std::exception& error) {
        return fail(std::string("internal failure: ") + error.what());
    }
}
