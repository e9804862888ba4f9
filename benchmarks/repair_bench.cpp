// lumtrace-fix --profile teletext on the validator's 99,999-block file, as a dry run and written,
// from process start to exit, against lumtrace-validate --quiet on it; then the same on a file of
// as many blocks in which every subtitle needs a fix (each ends as the next comes in), listed as
// text and as JSON. Usage: repair_bench [BLOCKS]. The commands are taken from this program's
// folder; the files go to a fresh folder in /tmp that is removed afterwards.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ChildRun.h"
#include "tests/support/StlFileBuilder.h"

namespace {

namespace fs = std::filesystem;
using bench::best;
using bench::Run;

void print(const char* what, const Run& r) {
    std::printf("  %-44s exit %d  %8.1f ms  max RSS %6.1f MB\n", what, r.status, r.milliseconds,
                r.maxRssKb / 1024.0);
}

// The validator's file with every out-time moved onto the next in-time: a gap to fix everywhere.
void closeGaps(const std::string& path, int blocks) {
    testsupport::StlFileBuilder file;
    file.addBlocks(blocks);
    for (int i = 0; i + 1 < blocks; ++i) {
        const int next = 36000 * 25 + (i + 1) * 75;
        file.blockBytes(
            i, 9,
            {static_cast<std::uint8_t>(next / 90000), static_cast<std::uint8_t>(next / 1500 % 60),
             static_cast<std::uint8_t>(next / 25 % 60), static_cast<std::uint8_t>(next % 25)});
    }
    file.writeTo(path);
}

}  // namespace

int main(int argc, char* argv[]) {
    const int blocks = argc > 1 ? std::atoi(argv[1]) : 99999;
    if (blocks < 10) {
        std::fprintf(stderr, "usage: repair_bench [BLOCKS] (at least 10)\n");
        return 2;
    }
    const fs::path bin = bench::programFolder();
    const fs::path folder = bench::benchFolder("repair-bench");
    if (folder.empty()) return 2;
    const std::string plain = (folder / "plain.stl").string(),
                      gaps = (folder / "gaps.stl").string();
    testsupport::StlFileBuilder().addBlocks(blocks).writeTo(plain);
    closeGaps(gaps, blocks);
    const std::string out = (folder / "out.txt").string(), fixed = (folder / "fixed.stl").string();
    const std::string validate = (bin / "lumtrace-validate").string();
    const std::string fix = (bin / "lumtrace-fix").string();
    std::printf("repair_bench: files of %d blocks (best of 5 each)\n", blocks);

    const Run checked = best(validate, {"--quiet", plain}, out);
    const Run dry = best(fix, {"--profile", "teletext", "--dry-run", plain}, out);
    const Run written = best(fix, {"--profile", "teletext", plain, "-o", fixed}, out);
    print("lumtrace-validate --quiet", checked);
    print("lumtrace-fix --profile teletext --dry-run", dry);
    print("lumtrace-fix --profile teletext -o OUT", written);
    const Run gapsChecked = best(validate, {"--quiet", gaps}, out);
    const Run gapsDry = best(fix, {"--profile", "teletext", "--dry-run", gaps}, out);
    const Run gapsWritten = best(fix, {"--profile", "teletext", gaps, "-o", fixed}, out);
    const Run gapsJson =
        best(fix, {"--profile", "teletext", "--format", "json", gaps, "-o", fixed}, out);
    print("every subtitle to fix: lumtrace-validate --quiet", gapsChecked);
    print("  lumtrace-fix --dry-run", gapsDry);
    print("  lumtrace-fix -o OUT", gapsWritten);
    print("  lumtrace-fix --format json -o OUT", gapsJson);

    const double dryRatio = dry.milliseconds / checked.milliseconds;
    const double writtenRatio = written.milliseconds / checked.milliseconds;
    const double rss = std::max({dry.maxRssKb, written.maxRssKb, gapsDry.maxRssKb,
                                 gapsWritten.maxRssKb, gapsJson.maxRssKb}) /
                       1024.0;
    std::printf(
        "  dry run / validate: %.2fx (goal: within 3x); written / validate: %.2fx (goal: within "
        "4x); largest max RSS %.1f MB (goal: under 100 MB)\n",
        dryRatio, writtenRatio, rss);
    std::error_code error;
    fs::remove_all(folder, error);
    return dryRatio <= 3 && writtenRatio <= 4 && rss < 100 ? 0 : 1;
}
