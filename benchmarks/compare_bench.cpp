// lumtrace-diff on two 99,999-block files (the second shifted by 10 frames, with texts changed,
// subtitles removed, added and split), whole process from start to exit, against
// lumtrace-validate --quiet on the first. Usage: compare_bench [BLOCKS]. Both commands are taken
// from this program's folder; the files go to a fresh folder in /tmp that is removed afterwards
// (kept when COMPARE_BENCH_KEEP is set).

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ChildRun.h"
#include "tests/support/StlFileBuilder.h"

namespace {

namespace fs = std::filesystem;
using bench::best;
using bench::Run;
using testsupport::StlFileBuilder;

void put(std::uint8_t* tc, int frames) {
    tc[0] = static_cast<std::uint8_t>(frames / (3600 * 25));
    tc[1] = static_cast<std::uint8_t>(frames / (60 * 25) % 60);
    tc[2] = static_cast<std::uint8_t>(frames / 25 % 60);
    tc[3] = static_cast<std::uint8_t>(frames % 25);
}

StlFileBuilder::Block block(int number, int in, int out, const std::string& text) {
    StlFileBuilder::Block b;
    b.number = static_cast<std::uint16_t>(number);
    put(b.in, in);
    put(b.out, out);
    b.text = StlFileBuilder::text(text);
    return b;
}

std::string lineOf(int i) {
    return "Line " + std::to_string(i) +
           " of the film\x8A"
           "and its second row";
}

}  // namespace

int main(int argc, char* argv[]) {
    const int blocks = argc > 1 ? std::atoi(argv[1]) : 99999;
    if (blocks < 10) {
        std::fprintf(stderr, "usage: compare_bench [BLOCKS] (at least 10)\n");
        return 2;
    }
    const fs::path bin = bench::programFolder();
    const fs::path folder = bench::benchFolder("compare-bench");
    if (folder.empty()) return 2;

    // B: A 10 frames later; every 1000th text changed, every 1500th removed, every 2000th
    // followed by a new one, every 3001st split in two. Both keep exactly BLOCKS blocks.
    StlFileBuilder a, b;
    int written = 0, edits = 0;
    for (int i = 0; i < blocks; ++i) {
        const int in = 36000 * 25 + i * 75, out = in + 50;
        a.addBlock(block(i + 1, in, out, lineOf(i)));
        if (written >= blocks) continue;
        if (i % 1500 == 7) {
            ++edits;
            continue;
        }
        if (i % 3001 == 11 && written + 2 <= blocks) {
            b.addBlock(block(i + 1, in + 10, in + 35, "Line " + std::to_string(i) + " of"));
            b.addBlock(block(i + 1, in + 35, out + 10,
                             "the film\x8A"
                             "and its second row"));
            written += 2, ++edits;
            continue;
        }
        b.addBlock(
            block(i + 1, in + 10, out + 10,
                  i % 1000 == 3 ? "Line " + std::to_string(i) + " of the picture" : lineOf(i)));
        edits += i % 1000 == 3;
        ++written;
        if (i % 2000 == 5 && written < blocks) {
            b.addBlock(block(i + 1, out + 12, out + 22, "(door slams)"));
            ++written, ++edits;
        }
    }
    while (written < blocks) b.addBlock(block(60000, 0, 1, "filler")), ++written;
    const std::string pathA = (folder / "a.stl").string(), pathB = (folder / "b.stl").string();
    a.announce(blocks).writeTo(pathA);
    b.announce(blocks).writeTo(pathB);
    std::printf("compare_bench: two files of %d blocks, B shifted by 10 frames with %d edits\n",
                blocks, edits);

    const std::string out = (folder / "out.txt").string();
    const Run validate = best((bin / "lumtrace-validate").string(), {"--quiet", pathA}, out);
    const Run diff = best((bin / "lumtrace-diff").string(), {pathA, pathB}, out);
    std::ifstream report(out);
    const long lines = std::count(std::istreambuf_iterator<char>(report), {}, '\n');
    const Run json =
        best((bin / "lumtrace-diff").string(), {"--format", "json", pathA, pathB}, out);
    const Run html =
        best((bin / "lumtrace-diff").string(), {"--format", "html", pathA, pathB}, out);

    std::printf("  lumtrace-validate --quiet A  exit %d  %8.1f ms  max RSS %6.1f MB\n",
                validate.status, validate.milliseconds, validate.maxRssKb / 1024.0);
    std::printf("  lumtrace-diff A B            exit %d  %8.1f ms  max RSS %6.1f MB  (%ld lines)\n",
                diff.status, diff.milliseconds, diff.maxRssKb / 1024.0, lines);
    std::printf("  lumtrace-diff --format json  exit %d  %8.1f ms  max RSS %6.1f MB\n", json.status,
                json.milliseconds, json.maxRssKb / 1024.0);
    std::printf("  lumtrace-diff --format html  exit %d  %8.1f ms  max RSS %6.1f MB\n", html.status,
                html.milliseconds, html.maxRssKb / 1024.0);
    const double ratio = diff.milliseconds / validate.milliseconds;
    const double worstRss = std::max({diff.maxRssKb, json.maxRssKb, html.maxRssKb}) / 1024.0;
    std::printf(
        "  diff / validate: %.1fx (goal: within 10x); largest max RSS %.1f MB (goal: "
        "under 150 MB)  (best of 5 each)\n",
        ratio, worstRss);
    std::error_code error;
    if (!std::getenv("COMPARE_BENCH_KEEP")) fs::remove_all(folder, error);
    return diff.status == 1 && ratio <= 10 && worstRss < 150 ? 0 : 1;
}
