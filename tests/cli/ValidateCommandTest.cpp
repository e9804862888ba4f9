// lumtrace-validate run as a child process: exit statuses, the findings table, several files,
// the plug-in missing, and the plain options.

#include <filesystem>
#include <fstream>
#include <regex>

#include "CliTestSupport.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

bool anyLineMatches(const std::vector<std::string>& lines, const std::string& pattern) {
    const std::regex re(pattern);
    for (const std::string& line : lines)
        if (std::regex_match(line, re)) return true;
    return false;
}

// Regex text matching Text literally.
std::string literal(const std::string& text) {
    return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

class ValidateCommandTest : public CliTest {};

TEST_F(ValidateCommandTest, CleanFileExitsZeroAndPrintsSummaryAndTable) {
    const std::string file = cleanFile();
    const ProcessResult run = runProcess(VALIDATE, {file});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    const auto lines = splitLines(run.out);
    ASSERT_GE(lines.size(), 4u);
    std::smatch count;
    ASSERT_TRUE(std::regex_match(
        lines[0], count,
        std::regex(literal(file) + R"(: (\d+) findings \(0 errors, 0 warnings, (\d+) info\))")));
    // The summary counts every row of the table that follows it.
    EXPECT_EQ(lines.size(), 2 + std::stoul(count[1]));
    EXPECT_EQ(count[1], count[2]);
    EXPECT_EQ(lines[1], " #  Module  Type  Message");
    EXPECT_EQ(lines[2], " 1  Sievra  Info  [102] Loading File: " + file);
    EXPECT_EQ(lines.back(),
              std::to_string(lines.size() - 2) + "  Sievra  Info  [103] Unloading File.");
    // Rule 101 is switched off in the registry store, as the window's user may have done.
    EXPECT_FALSE(anyLineMatches(lines, R"(.*\[101\].*)"));
}

TEST_F(ValidateCommandTest, ErrorFindingExitsOne) {
    const ProcessResult run = runProcess(VALIDATE, {errorFile()});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "");
    const auto lines = splitLines(run.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(
        std::regex_match(lines[0], std::regex(R"(.*: \d+ findings \([1-9]\d* errors?, .*)")))
        << lines[0];
    // The Type column is as wide as "Error"; the other columns keep their places.
    EXPECT_TRUE(anyLineMatches(lines, R"( *\d+  Sievra  Error  \[\d{3}\] \S.*)"));
    EXPECT_TRUE(anyLineMatches(lines, R"( *\d+  Sievra  Info   \[102\] Loading File: .*)"));
}

TEST_F(ValidateCommandTest, RuleSettingsFromTheRegistryDecideTheExitStatus) {
    const std::string file = errorFile();
    // The vertical position rule made a warning, as in the window's rule dialog.
    setRuleType(438, 2);
    ProcessResult run = runProcess(VALIDATE, {file});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(
        anyLineMatches(splitLines(run.out), R"( *\d+  Sievra  Warning  \[438\] TTI # 1 - .*)"))
        << run.out;
    // Switched off, it is not reported at all.
    setRule(438, false);
    run = runProcess(VALIDATE, {file});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out.find("[438]"), std::string::npos);
}

TEST_F(ValidateCommandTest, FilesThatCannotBeValidatedExitTwoWithOneLine) {
    fs::create_directory(dir.file("folder.stl"));
    const struct {
        std::string file;
        std::string reason;
    } cases[] = {
        {notStlFile(), "not an EBU STL file (Invalid STL file Disk Format Code)"},
        {dir.file("missing.stl"), "No such file or directory"},
        // A folder stands for the .stl files in it; an input that yields none is accounted for.
        {dir.file("folder.stl"), "no .stl file in the folder"},
        // One TTI block announced, none present.
        {testsupport::StlFileBuilder().announce(1).writeTo(dir.file("short.stl")),
         "not an EBU STL file (Invalid STL file size and Text And Timing Information records "
         "count)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const ProcessResult run = runProcess(VALIDATE, {c.file});
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.out, c.file + ": not validated: " + c.reason + "\n");
        EXPECT_EQ(run.err, "lumtrace-validate: " + c.file + ": " + c.reason + "\n");
    }
}

TEST_F(ValidateCommandTest, SeveralFilesWithOneBadAmongThem) {
    const std::string clean = cleanFile(), bad = notStlFile(), error = errorFile();
    for (const bool quiet : {false, true}) {
        SCOPED_TRACE(quiet ? "quiet" : "tables");
        std::vector<std::string> arguments = {clean, bad, error};
        if (quiet) arguments.insert(arguments.begin(), "--quiet");
        const ProcessResult run = runProcess(VALIDATE, arguments);
        // The bad file outranks the Error finding; the files after it are still validated.
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.err, "lumtrace-validate: " + bad +
                               ": not an EBU STL file (Invalid STL file Disk Format Code)\n");
        std::vector<std::string> summaries;
        for (const std::string& line : splitLines(run.out))
            if (line.rfind(dir.path(), 0) == 0) summaries.push_back(line);
        ASSERT_EQ(summaries.size(), 3u);
        EXPECT_TRUE(std::regex_match(summaries[0], std::regex(literal(clean) + ": .*0 errors.*")));
        EXPECT_EQ(summaries[1],
                  bad + ": not validated: not an EBU STL file (Invalid STL file Disk Format Code)");
        EXPECT_TRUE(
            std::regex_match(summaries[2], std::regex(literal(error) + ": .*[1-9] errors?.*")));
        const auto lines = splitLines(run.out);
        EXPECT_TRUE(std::regex_match(
            lines.back(), std::regex(R"(3 files: 2 validated \(1 with errors, 0 with warnings\), )"
                                     R"(1 not validated; \d+ findings \([1-9]\d* errors?, .*)")))
            << lines.back();
        if (quiet) {
            EXPECT_EQ(lines.size(), 4u);
        } else {
            EXPECT_NE(run.out.find("\n\n" + summaries[2]), std::string::npos)
                << "tables of two files are set apart by a blank line";
            EXPECT_NE(run.out.find("\n\n" + lines.back()), std::string::npos);
        }
    }
}

TEST_F(ValidateCommandTest, PluginThatCannotBeLoadedExitsTwo) {
    // The command looks for Sievra.zkx beside itself only.
    const std::string copy = dir.file("lumtrace-validate");
    fs::copy_file(VALIDATE, copy);
    const std::string file = cleanFile();
    ProcessResult run = runProcess(copy, {file});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "lumtrace-validate: cannot load the plug-in '" + dir.file("Sievra.zkx") +
                           "': file not found\n");

    std::ofstream(dir.file("Sievra.zkx")) << "not a library";
    run = runProcess(copy, {file});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(splitLines(run.err).size(), 1u);
    EXPECT_TRUE(run.err.rfind("lumtrace-validate: cannot load the plug-in '" +
                                  dir.file("Sievra.zkx") + "': not a loadable library",
                              0) == 0)
        << run.err;
}

TEST_F(ValidateCommandTest, HelpVersionAndWrongArguments) {
    ProcessResult run = runProcess(VALIDATE, {"--help"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out.rfind("Usage: lumtrace-validate [options] FILE...\n", 0), 0u);
    EXPECT_NE(run.out.find("--xml PATH"), std::string::npos);

    run = runProcess(VALIDATE, {"--version"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, std::string("lumtrace-validate ") + EXPECTED_VERSION + "\n");

    run = runProcess(VALIDATE, {"--frobnicate", cleanFile()});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(
        run.err,
        "lumtrace-validate: unknown option '--frobnicate' (try 'lumtrace-validate --help')\n");

    run = runProcess(VALIDATE, {});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.err, "lumtrace-validate: no file given (try 'lumtrace-validate --help')\n");
}

TEST_F(ValidateCommandTest, OutputThatCannotBeWrittenIsAFailure) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{cleanFile()}, {"-q", cleanFile()}, {"--help"}}) {
        SCOPED_TRACE(arguments[0]);
        const ProcessResult run = runProcess(VALIDATE, arguments, "/dev/full");
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.err, "lumtrace-validate: cannot write to standard output\n");
    }
}

TEST_F(ValidateCommandTest, VerboseLetsTheHostsDiagnosticsThrough) {
    const std::string bad = notStlFile();
    const ProcessResult run = runProcess(VALIDATE, {"--verbose", bad});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(splitLines(run.err),
              (std::vector<std::string>{
                  "vyr: Error in TPluginHost.StartValidation - cannot validate file.",
                  "lumtrace-validate: " + bad +
                      ": not an EBU STL file (Invalid STL file Disk Format Code)"}));
}

TEST_F(ValidateCommandTest, ProgressOnlyForSeveralFilesOnATerminal) {
    const std::string clean = cleanFile(), error = errorFile();
    ProcessResult run = runProcessWithTerminalStderr(VALIDATE, {"-q", clean, error});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(splitLines(run.err), (std::vector<std::string>{"lumtrace-validate: [1/2] " + clean,
                                                             "lumtrace-validate: [2/2] " + error}));

    run = runProcessWithTerminalStderr(VALIDATE, {"-q", clean});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
}

TEST_F(ValidateCommandTest, FileNamesCannotSendEscapeSequencesToTheTerminal) {
    const std::string name = dir.file("x\x1b[2J\n.stl");
    std::ofstream(name) << "text";
    const ProcessResult run = runProcess(VALIDATE, {name});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
    EXPECT_NE(run.err.find("x\\x1B[2J\\x0A.stl: not an EBU STL file"), std::string::npos)
        << run.err;
    EXPECT_EQ(splitLines(run.err).size(), 1u);
}

}  // namespace
}  // namespace clitest
