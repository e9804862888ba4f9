// lumtrace-fix --profile teletext over every real file that validates, when the collection is
// there: only the fields the fixes name differ, the profile's timing and count findings are gone,
// a second repair changes nothing, and a dry run writes nothing and lists the same changes.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>

#include "stl/StlTypes.h"
#include "tests/cli/ProcessRunner.h"
#include "tests/support/TestEnvironment.h"

namespace {

namespace fs = std::filesystem;
using clitest::runProcess;
using json = nlohmann::json;

const std::string FIX = LUMTRACE_FIX_PATH;
const std::string VALIDATE = LUMTRACE_VALIDATE_PATH;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Where two files of one length may differ.
bool mayDiffer(std::size_t offset) {
    static const StlField header[] = {
        gsi::displayStandardCode,      gsi::revisionDate,
        gsi::revisionNumber,           gsi::totalNumberOfTti,
        gsi::totalNumberOfSubtitles,   gsi::totalNumberOfSubtitleGroups,
        gsi::timeCodeStartOfProgramme, gsi::timeCodeFirstInCue};
    static const StlField block[] = {tti::subtitleNumber, tti::timeCodeIn, tti::timeCodeOut,
                                     tti::textField};
    const auto within = [](std::size_t at, const StlField& f) {
        return at >= f.offset && at < std::size_t{f.offset} + f.length;
    };
    if (offset < GSI_BLOCK_SIZE)
        return std::any_of(std::begin(header), std::end(header),
                           [&](const StlField& f) { return within(offset, f); });
    const std::size_t at = (offset - GSI_BLOCK_SIZE) % TTI_BLOCK_SIZE;
    return std::any_of(std::begin(block), std::end(block),
                       [&](const StlField& f) { return within(at, f); });
}

std::string firstForbiddenDifference(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return "lengths differ";
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && !mayDiffer(i)) return "byte " + std::to_string(i) + " differs";
    return {};
}

TEST(CorpusPropertyTest, TeletextRepairOfEveryFileThatValidates) {
    const fs::path corpus = LUMTRACE_CORPUS_DIR;
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(corpus)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    int repaired = 0;
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        SCOPED_TRACE(name);
        const auto before = runProcess(VALIDATE, {"--profile", "teletext", "--quiet", file});
        if (before.exitStatus == 2) {
            std::cout << "skipped (does not validate): " << name << "\n";
            continue;
        }
        const std::string out = dir.file("out.stl"), again = dir.file("again.stl");
        const auto fix =
            runProcess(FIX, {"--profile", "teletext", "--format", "json", file, "-o", out});
        ASSERT_NE(fix.exitStatus, 2) << fix.err;
        EXPECT_EQ(firstForbiddenDifference(slurp(file), slurp(out)), "");

        const auto after = runProcess(VALIDATE, {"--profile", "teletext", "--format", "json", out});
        std::set<int> left;
        const json report = json::parse(after.out);
        for (const json& finding : report.at(0).at("findings"))
            left.insert(finding.at("id").get<int>());
        for (const int id : {412, 423, 501, 502, 520}) EXPECT_FALSE(left.count(id)) << id;

        const auto second =
            runProcess(FIX, {"--profile", "teletext", "--format", "json", out, "-o", again});
        EXPECT_EQ(json::parse(second.out).at("changes").size(), 0u);
        EXPECT_EQ(slurp(again), slurp(out));

        const std::string untouched = dir.file("dry.stl");
        const auto dry = runProcess(
            FIX, {"--profile", "teletext", "--dry-run", "--format", "json", file, "-o", untouched});
        EXPECT_FALSE(fs::exists(untouched));
        EXPECT_EQ(dry.exitStatus, fix.exitStatus);
        EXPECT_EQ(json::parse(dry.out).at("changes"), json::parse(fix.out).at("changes"));
        std::cout << "repaired: " << name << ": " << json::parse(fix.out).at("changes").size()
                  << " changes, " << json::parse(fix.out).at("notFixed").size() << " not fixed\n";
        ++repaired;
    }
    EXPECT_GT(repaired, 0);
}

}  // namespace
