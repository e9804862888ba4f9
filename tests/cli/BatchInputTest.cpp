// Folders, file lists on stdin, --fail-on, -j and the plug-in's own lines.

#include <filesystem>

#include "CliTestSupport.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

class BatchInputTest : public CliTest {
protected:
    // Summary lines of a quiet run, without the closing totals.
    static std::vector<std::string> summaries(const ProcessResult& run) {
        std::vector<std::string> lines = splitLines(run.out);
        if (lines.size() > 1) lines.pop_back();
        return lines;
    }
    // A file that announces no blocks: the plug-in's reader writes a line of its own.
    std::string emptyFile(const std::string& name) {
        return testsupport::StlFileBuilder().writeTo(dir.file(name));
    }
};

TEST_F(BatchInputTest, FoldersAndListsOnStdin) {
    fs::create_directories(dir.file("in/sub"));
    const std::string a = cleanFile("in/a.stl"), b = cleanFile("in/B.STL"),
                      c = cleanFile("in/sub/c.Stl");
    std::ofstream(dir.file("in/readme.txt")) << "x";
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        std::vector<std::string> files;
    } cases[] = {
        {{dir.file("in")}, "", {b, a}},         {{"-r", dir.file("in")}, "", {b, a, c}},
        {{"-"}, a + "\n" + c + "\n\n", {a, c}}, {{"-0", "-"}, c + '\0' + a + '\0', {c, a}},
        {{b, "-"}, a + "\n", {b, a}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.arguments.back() + " " + t.input);
        std::vector<std::string> arguments = {"-q"};
        arguments.insert(arguments.end(), t.arguments.begin(), t.arguments.end());
        const ProcessResult run = runProcessWithInput(VALIDATE, arguments, t.input);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        std::vector<std::string> names;
        for (const std::string& line : summaries(run))
            names.push_back(line.substr(0, line.find(": ")));
        EXPECT_EQ(names, t.files);
    }
    EXPECT_EQ(runProcessWithInput(VALIDATE, {"-"}, "").exitStatus, 2);
}

TEST_F(BatchInputTest, FailOnDecidesWhatCountsAsFailing) {
    const std::string error = errorFile(), clean = cleanFile(), bad = notStlFile();
    const struct {
        std::vector<std::string> arguments;
        int rule438Type;
        int status;
    } cases[] = {
        {{error}, 3, 1},
        {{"--fail-on", "never", error}, 3, 0},
        {{"--fail-on", "warning", clean}, 3, 0},
        {{error}, 2, 0},
        {{"--fail-on", "warning", error}, 2, 1},
        {{"--fail-on=error", error}, 2, 0},
        // A file not validated outranks everything, whatever counts as failing.
        {{"--fail-on", "never", error, bad}, 3, 2},
        {{"--fail-on", "sometimes", error}, 3, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.front() + " " + std::to_string(c.rule438Type));
        setRuleType(438, c.rule438Type);
        EXPECT_EQ(runProcess(VALIDATE, c.arguments).exitStatus, c.status);
    }
}

TEST_F(BatchInputTest, JobsKeepTheInputOrder) {
    std::vector<std::string> files;
    for (int i = 0; i < 7; ++i)
        files.push_back(i % 3 == 1 ? notStlFile("n" + std::to_string(i) + ".txt")
                                   : cleanFile("f" + std::to_string(i) + ".stl"));
    std::string reference;
    for (const char* jobs : {"1", "3", "16"}) {
        std::vector<std::string> arguments = {"-j", jobs};
        arguments.insert(arguments.end(), files.begin(), files.end());
        const ProcessResult run = runProcess(VALIDATE, arguments);
        EXPECT_EQ(run.exitStatus, 2);
        if (reference.empty()) reference = run.out + run.err;
        EXPECT_EQ(run.out + run.err, reference) << "-j " << jobs;
    }
}

// --quiet counts the findings without keeping them; the counts must be those of the tables.
TEST_F(BatchInputTest, QuietCountsMatchTheTables) {
    testsupport::StlFileBuilder manyErrors;
    manyErrors.addBlocks(60);
    for (int block = 0; block < 60; block += 2)
        manyErrors.blockBytes(block, tti::verticalPosition.offset, {120});
    const std::vector<std::string> files = {manyErrors.writeTo(dir.file("many.stl")), cleanFile(),
                                            notStlFile(), errorFile()};
    std::vector<std::string> expected;
    const ProcessResult tables = runProcess(VALIDATE, files);
    for (const std::string& line : splitLines(tables.out))
        if (line.rfind(dir.path(), 0) == 0 || line.rfind("4 files: ", 0) == 0)
            expected.push_back(line);
    ASSERT_EQ(expected.size(), 5u) << tables.out;
    EXPECT_NE(expected[0].find("(30 errors"), std::string::npos) << expected[0];
    for (const char* jobs : {"1", "2"}) {
        std::vector<std::string> arguments = {"--quiet", "-j", jobs};
        arguments.insert(arguments.end(), files.begin(), files.end());
        const ProcessResult quiet = runProcess(VALIDATE, arguments);
        EXPECT_EQ(quiet.exitStatus, tables.exitStatus);
        EXPECT_EQ(splitLines(quiet.out), expected) << "-j " << jobs;
    }
}

TEST_F(BatchInputTest, PluginLinesCarryTheirFileName) {
    const std::string first = emptyFile("first.stl"), second = emptyFile("second.stl");
    const std::string line = "vyr: Error in TSTLReader.GetDuration - no items.";
    const struct {
        std::vector<std::string> options;
        bool shown;
    } cases[] = {
        {{}, true},
        {{"-j", "2"}, true},
        {{"-q"}, false},
        {{"-q", "-v"}, true},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {first, second});
        const ProcessResult run = runProcess(VALIDATE, arguments);
        for (const std::string& file : {first, second}) {
            SCOPED_TRACE(file + " " + std::to_string(c.options.size()));
            EXPECT_EQ(run.err.find(file + ": " + line + "\n") != std::string::npos, c.shown)
                << run.err;
        }
        EXPECT_EQ(run.err.find("\n" + line), std::string::npos);
        EXPECT_NE(run.err.rfind(line, 0), 0u);
    }
}

}  // namespace
}  // namespace clitest
