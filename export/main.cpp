// lumtrace-export: an STL file's subtitles as SubRip, WebVTT, EBU-TT-D or plain text, in UTF-8.

#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>

#include "SubtitleExport.h"
#include "platform/ProgramArguments.h"

namespace {

constexpr const char* PROGRAM_NAME = "lumtrace-export";
constexpr int kFailure = 2;

int fail(const std::string& message) {
    std::cerr << PROGRAM_NAME << ": " << message << std::endl;
    return kFailure;
}

std::optional<std::uint32_t> parseEncoding(const std::string& text, bool& valid) {
    valid = true;
    if (text == "auto") return std::nullopt;
    valid = !text.empty() && text.size() <= 5 &&
            text.find_first_not_of("0123456789") == std::string::npos;
    return valid ? std::optional<std::uint32_t>(std::stoul(text)) : std::nullopt;
}

bool writeOutput(const std::string& text, const std::string& path) {
    if (path.empty()) {
        std::cout << text;
        return static_cast<bool>(std::cout.flush());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Writes the subtitles of an STL file as SubRip, WebVTT, EBU-TT-D or plain text (UTF-8).",
        PROGRAM_NAME};
    std::string format = "srt", encoding = "auto", input, output;
    bool comments = false, tcpOffset = false;
    app.add_option("--format", format, "srt, vtt, ebu-tt-d or txt (default srt)")
        ->check(CLI::IsMember({"srt", "vtt", "ebu-tt-d", "txt"}));
    app.add_option("--encoding", encoding,
                   "auto (the file's character code table) or a code page number");
    app.add_flag("--comments", comments, "Export comment subtitles too");
    app.add_flag("--tcp-offset", tcpOffset, "Subtract the start-of-programme time code");
    app.set_version_flag("--version", PROGRAM_NAME + std::string(" " LUMTRACE_VERSION_TEXT),
                         "Print the version and exit");
    app.add_option("IN", input, "STL file")->required();
    app.add_option("OUT", output, "Output file (standard output without it)");
    if (const auto done = platform::parseProgramArguments(app, argc, argv, PROGRAM_NAME))
        return *done;

    bool validEncoding = true;
    ExportOptions options;
    options.codePage = parseEncoding(encoding, validEncoding);
    if (!validEncoding)
        return fail("--encoding takes auto or a code page number, not \"" + encoding + "\"");
    options.format = format == "vtt"        ? ExportFormat::Vtt
                     : format == "ebu-tt-d" ? ExportFormat::EbuTtD
                     : format == "txt"      ? ExportFormat::Text
                                            : ExportFormat::Srt;
    options.includeComments = comments;
    options.subtractStartOfProgramme = tcpOffset;

    try {
        const ExportResult result = exportStlFile(input, options);
        if (!result.ok) return fail(input + ": " + result.error);
        for (const std::string& warning : result.warnings)
            std::cerr << PROGRAM_NAME << ": warning: " << input << ": " << warning << std::endl;
        if (!writeOutput(result.text, output))
            return fail(output.empty() ? "cannot write to standard output"
                                       : "cannot write " + output);
    } catch (const std::exception& error) {
        return fail(std::string("internal failure: ") + error.what());
    }
    return 0;
}
