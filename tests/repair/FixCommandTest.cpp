// lumtrace-fix as a child process: exit statuses, refusals, in-place replacement and dry runs.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "RepairSupport.h"
#include "tests/cli/ProcessRunner.h"
#include "tests/support/TestEnvironment.h"

namespace {

namespace fs = std::filesystem;
using clitest::runProcess;
using json = nlohmann::json;
using namespace repairtest;

const std::string FIX = LUMTRACE_FIX_PATH;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FixCommandTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    // Two subtitles 1 frame apart: a gap to fix, and no room to lengthen the first.
    std::string shortGapFile(const std::string& name = "in.stl") {
        return write(name, timedFile({{at(0, 1, 0), at(0, 1, 5)}, {at(0, 1, 6), at(0, 3, 0)}}));
    }

    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
};

TEST_F(FixCommandTest, ExitStatusSaysWhetherAnythingIsLeft) {
    const std::string in = shortGapFile();
    const std::string out = dir.file("out.stl");
    const auto clean = runProcess(FIX, {"--fix", "gap,tnb", in, "-o", out});
    EXPECT_EQ(clean.exitStatus, 0) << clean.err;
    EXPECT_NE(slurp(out), slurp(in));
    const auto left = runProcess(FIX, {"--fix", "min-duration", "--set", "gap=2", in, "-o", out});
    EXPECT_EQ(left.exitStatus, 1) << left.err;
    EXPECT_NE(left.out.find("not fixed: min-duration  Subtitle 1 (10:00:01:00)"), std::string::npos)
        << left.out;
    // Nothing to change still writes the output.
    fs::remove(out);
    EXPECT_EQ(runProcess(FIX, {"--fix", "tnb", in, "-o", out}).exitStatus, 0);
    EXPECT_EQ(slurp(out), slurp(in));
}

TEST_F(FixCommandTest, TroubleIsOneLineAndExitStatusTwo) {
    const std::string in = shortGapFile();
    testsupport::StlFileBuilder odd;
    odd.gsi(gsi::diskFormatCode, "STL24.01").addBlocks(2);
    const std::string nonStandard = write("odd.stl", bytesOf(odd));
    const std::string text = write("short.stl", "not a subtitle file");
    struct Case {
        std::vector<std::string> arguments;
        const char* says;
    };
    const std::vector<Case> cases = {
        {{"--fix", "gap", dir.file("missing.stl"), "-o", dir.file("o.stl")}, "missing.stl: "},
        {{"--fix", "gap", text, "-o", dir.file("o.stl")}, "short.stl: "},
        {{"--fix", "gap", nonStandard, "-o", dir.file("o.stl")}, "--allow-nonstandard"},
        {{"--fix", "gap", in, "-o", in}, "--in-place"},
        {{"--fix", "gap", in}, "-o OUT"},
        {{"--fix", "gap", in, "-o", dir.file("o.stl"), "--in-place"}, "excludes"},
        {{"--fix", "speed", in, "-o", dir.file("o.stl")}, "no fix named \"speed\""},
        {{"--set", "gap=x", in, "-o", dir.file("o.stl")}, "gap=x"},
        {{in, "-o", dir.file("o.stl")}, "nothing to fix"},
        {{"--profile", "nonesuch", in, "-o", dir.file("o.stl")}, "no profile named nonesuch"},
        {{"--fix", "gap", in, "-o", dir.file("no/such/folder/o.stl")}, "cannot"},
        {{"--fix", "gap", in, "-o", dir.path()}, "not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const auto run = runProcess(FIX, c.arguments);
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(clitest::splitLines(run.err).size(), 1u) << run.err;
        EXPECT_EQ(run.err.rfind("lumtrace-fix: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(dir.file("o.stl")));
    EXPECT_EQ(runProcess(FIX, {"--allow-nonstandard", "--fix", "tnb", nonStandard, "-o",
                               dir.file("o.stl")})
                  .exitStatus,
              0);
}

TEST_F(FixCommandTest, InPlaceKeepsTheOriginalBeside) {
    const std::string in = shortGapFile();
    const std::string original = slurp(in);
    const auto run = runProcess(FIX, {"--fix", "gap", "--in-place", in});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(slurp(in + ".bak"), original);
    EXPECT_NE(slurp(in), original);
    EXPECT_NE(run.out.find("Written to " + in + "."), std::string::npos) << run.out;
    // Nothing left to change: the file and its backup stay as they are, and it says so.
    const std::string repaired = slurp(in);
    fs::remove(in + ".bak");
    const auto again = runProcess(FIX, {"--fix", "gap", "--in-place", in});
    EXPECT_EQ(again.exitStatus, 0);
    EXPECT_NE(again.out.find("Nothing to change: " + in + " left as it was."), std::string::npos)
        << again.out;
    EXPECT_EQ(slurp(in), repaired);
    EXPECT_FALSE(fs::exists(in + ".bak"));
}

TEST_F(FixCommandTest, DryRunListsWhatTheRunWritesAndWritesNothing) {
    const std::string in = shortGapFile();
    const std::vector<std::string> options = {"--profile", "teletext", "--set",
                                              "gap=2",     "--set",    "revision-date=240131",
                                              "--format",  "json"};
    auto dryArguments = options, realArguments = options;
    dryArguments.insert(dryArguments.end(), {"--dry-run", in, "-o", dir.file("dry.stl")});
    realArguments.insert(realArguments.end(), {in, "-o", dir.file("real.stl")});
    const auto dry = runProcess(FIX, dryArguments);
    const auto real = runProcess(FIX, realArguments);
    EXPECT_FALSE(fs::exists(dir.file("dry.stl")));
    EXPECT_EQ(dry.exitStatus, real.exitStatus);
    const json dryReport = json::parse(dry.out), realReport = json::parse(real.out);
    EXPECT_EQ(dryReport.at("changes"), realReport.at("changes"));
    EXPECT_EQ(dryReport.at("notFixed"), realReport.at("notFixed"));
    EXPECT_TRUE(dryReport.at("dryRun").get<bool>());
    EXPECT_EQ(dryReport.at("parameters").at("gap"), 2);
    EXPECT_EQ(dryReport.at("profile"), "teletext");
    // The edits listed are exactly the bytes that differ.
    std::string edited = slurp(in);
    for (const json& change : dryReport.at("changes"))
        for (const json& edit : change.at("edits")) {
            const std::string hex = edit.at("bytes");
            for (std::size_t k = 0; k < hex.size() / 2; ++k)
                edited[edit.at("offset").get<std::size_t>() + k] =
                    static_cast<char>(std::stoi(hex.substr(2 * k, 2), nullptr, 16));
        }
    EXPECT_EQ(edited, slurp(dir.file("real.stl")));
    const json& first = dryReport.at("changes").at(0);
    EXPECT_EQ(first.at("fix"), "gap");
    EXPECT_EQ(first.at("subtitleNumber"), 1);
    EXPECT_EQ(first.at("timeCodeIn"), "10:00:01:00");
    EXPECT_EQ(first.at("before"), "10:00:01:05");
    EXPECT_EQ(first.at("after"), "10:00:01:04");
}

TEST_F(FixCommandTest, HelpAndVersion) {
    EXPECT_EQ(runProcess(FIX, {"--version"}).out, "lumtrace-fix " EXPECTED_VERSION "\n");
    const auto help = runProcess(FIX, {"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* name : {"--profile", "--dry-run", "min-duration", "trailing-spaces"})
        EXPECT_NE(help.out.find(name), std::string::npos) << name;
}

}  // namespace
