// Export speed: a 99,999-block file of coloured, boxed, double-height teletext, two rows each,
// exported as SubRip, WebVTT and EBU-TT-D through the library the command and the viewer use.
// Best of five runs each (reading the file included). Usage: export_bench [BLOCKS].

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "export/SubtitleExport.h"
#include "tests/support/StlFileBuilder.h"

namespace {

constexpr int kRuns = 5;

void putTime(std::uint8_t* tc, int frames) {
    tc[0] = static_cast<std::uint8_t>(frames / (3600 * 25));
    tc[1] = static_cast<std::uint8_t>(frames / (60 * 25) % 60);
    tc[2] = static_cast<std::uint8_t>(frames / 25 % 60);
    tc[3] = static_cast<std::uint8_t>(frames % 25);
}

std::string buildFile(const std::string& path, int blocks) {
    testsupport::StlFileBuilder builder;
    builder.gsi(gsi::displayStandardCode, "1").gsi(gsi::languageCode, "09");
    const auto text = testsupport::StlFileBuilder::text(
        "\x0D\x03\x1D\x01\x0B\x0BSome coloured words\x0A\x0A\x8A\x8A\x07\x0B\x0Band a second "
        "row, boxed\x0A\x0A");
    for (int i = 0; i < blocks; ++i) {
        testsupport::StlFileBuilder::Block b;
        b.number = static_cast<std::uint16_t>(i + 1);
        const int start = 36000 * 25 + i * 75;
        putTime(b.in, start);
        putTime(b.out, start + 50);
        b.text = text;
        builder.addBlock(b);
    }
    return builder.announce(blocks).writeTo(path);
}

struct Figure {
    double bestMs = 0;
    std::size_t bytes = 0, cues = 0;
};

Figure timeExport(const std::string& path, ExportFormat format) {
    Figure figure;
    for (int run = 0; run < kRuns; ++run) {
        ExportOptions options;
        options.format = format;
        const auto start = std::chrono::steady_clock::now();
        const ExportResult result = exportStlFile(path, options);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (!result.ok) {
            std::fprintf(stderr, "export_bench: %s\n", result.error.c_str());
            std::exit(2);
        }
        figure.bestMs = run == 0 ? ms : std::min(figure.bestMs, ms);
        figure.bytes = result.text.size();
        figure.cues = result.written;
    }
    return figure;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int blocks = argc > 1 ? std::atoi(argv[1]) : 99999;
    if (blocks < 1 || blocks > 99999) {
        std::fprintf(stderr, "usage: export_bench [BLOCKS (1-99999)]\n");
        return 2;
    }
    char folder[] = "/tmp/lumtrace-export-bench-XXXXXX";
    if (!::mkdtemp(folder)) return 2;
    const std::string path = buildFile(std::string(folder) + "/bench.stl", blocks);
    std::printf("export_bench: %d blocks of two-row teletext, best of %d runs\n", blocks, kRuns);
    std::printf("  goal: EBU-TT-D within 3x of SubRip\n");

    const struct {
        const char* name;
        ExportFormat format;
    } formats[] = {{"SubRip", ExportFormat::Srt},
                   {"WebVTT", ExportFormat::Vtt},
                   {"EBU-TT-D", ExportFormat::EbuTtD}};
    double srtMs = 0;
    for (const auto& f : formats) {
        const Figure figure = timeExport(path, f.format);
        if (f.format == ExportFormat::Srt) srtMs = figure.bestMs;
        std::printf("  %-9s %8.1f ms  %10zu bytes  %6zu cues  %.2fx SubRip\n", f.name,
                    figure.bestMs, figure.bytes, figure.cues, figure.bestMs / srtMs);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
