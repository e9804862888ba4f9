// --format jsonl and --skip-listed: a line per file as it is done, and runs that carry on where
// an earlier one stopped, alone or spread over machines with GNU parallel.

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "CliTestSupport.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class JsonLinesTest : public CliTest {
protected:
    std::vector<std::string> folderOf(int count) {
        fs::create_directories(dir.file("archive"));
        std::vector<std::string> files;
        for (int i = 0; i < count; ++i)
            files.push_back(i % 3 ? cleanFile("archive/f" + std::to_string(i) + ".stl")
                                  : errorFile("archive/f" + std::to_string(i) + ".stl"));
        return files;
    }
    // How often each path is in the JSON Lines of Text; every line must be complete.
    static std::map<std::string, int> pathsIn(const std::string& text) {
        std::map<std::string, int> seen;
        for (const std::string& line : splitLines(text)) {
            const json item = json::parse(line, nullptr, false);
            EXPECT_TRUE(item.is_object()) << line;
            if (item.is_object()) ++seen[item["path"]];
        }
        return seen;
    }
};

TEST_F(JsonLinesTest, ALinePerFileInInputOrderAndSkippedOnesLeftOut) {
    const std::vector<std::string> files = folderOf(4);
    std::vector<std::string> arguments = {"--format", "jsonl", "-j", "2"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    const ProcessResult all = runProcess(VALIDATE, arguments);
    const std::vector<std::string> lines = splitLines(all.out);
    ASSERT_EQ(lines.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(json::parse(lines[i])["path"], files[i]);

    // An earlier run cut off in its second line, and whose worker died on the third: only the
    // first file counts as done.
    const std::string earlier = dir.file("earlier.jsonl");
    json died = json::parse(lines[2]);
    died["validated"] = false;
    died["reason"] = "the validation process ended unexpectedly";
    std::ofstream(earlier) << lines[0] << "\n" << died.dump() << "\n" << lines[1].substr(0, 20);
    arguments.insert(arguments.begin(),
                     {"--skip-listed", earlier, "--skip-listed", dir.file("not-yet.jsonl")});
    const ProcessResult rest = runProcess(VALIDATE, arguments);
    EXPECT_EQ(splitLines(rest.out), std::vector<std::string>(lines.begin() + 1, lines.end()));
    std::ofstream(earlier) << all.out;
    const ProcessResult none = runProcess(VALIDATE, arguments);
    EXPECT_EQ(none.exitStatus, 0);
    EXPECT_EQ(none.out, "");
}

// A line holds the name as UTF-8; a Latin-1 name is still found in it.
TEST_F(JsonLinesTest, AFileWhoseNameIsNotUtf8IsSkippedOnceListed) {
    const std::string file = cleanFile("caf\xE9.stl");
    const std::string earlier = dir.file("earlier.jsonl");
    std::ofstream(earlier) << runProcess(VALIDATE, {"--format", "jsonl", file}).out;
    const ProcessResult again =
        runProcess(VALIDATE, {"--format", "jsonl", "--skip-listed", earlier, file});
    EXPECT_EQ(again.exitStatus, 0);
    EXPECT_EQ(again.out, "");
}

// Lines of another program, with other types under the same keys, are read by their path.
TEST_F(JsonLinesTest, ALineWithOtherTypesIsReadByItsPath) {
    const std::string file = cleanFile();
    const std::string earlier = dir.file("earlier.jsonl");
    std::ofstream(earlier) << json{{"path", file}, {"validated", 1}, {"reason", 5}}.dump() << "\n";
    const ProcessResult again =
        runProcess(VALIDATE, {"--format", "jsonl", "--skip-listed", earlier, file});
    EXPECT_EQ(again.exitStatus, 0) << again.err;
    EXPECT_EQ(again.out, "");
}

// The recipe of the README, with this machine as the only one.
TEST_F(JsonLinesTest, TheParallelRecipeReportsEveryFileOnce) {
    if (std::system("command -v parallel >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "GNU parallel is not installed (Debian package parallel)";
    const std::vector<std::string> files = folderOf(10);
    const std::string results = dir.file("results.jsonl");
    // A first run stopped after two files.
    std::ofstream(results) << runProcess(VALIDATE, {"--format", "jsonl", files[0], files[1]}).out;
    const std::string recipe =
        "find '" + dir.file("archive") + "' -iname '*.stl' -print0 | parallel -0 -X -n 3 -j 2 '" +
        VALIDATE + "' --format jsonl --skip-listed '" + results + "' >> '" + results + "'";
    for (int run = 0; run < 2; ++run) {
        runProcess("/bin/bash", {"-c", recipe});
        const std::map<std::string, int> seen = pathsIn(readFile(results));
        EXPECT_EQ(seen.size(), files.size());
        for (const std::string& file : files) EXPECT_EQ(seen.count(file) ? seen.at(file) : 0, 1);
    }
}

}  // namespace
}  // namespace clitest
