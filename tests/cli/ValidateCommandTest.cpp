// lumtrace-validate run as a child process: exit statuses, the findings table, several files,
// the plug-in missing, and the plain options.

#include <filesystem>
#include <fstream>
#include <regex>

#include "CliTestSupport.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

bool AnyLineMatches(const std::vector<std::string>& Lines, const std::string& Pattern) {
    const std::regex re(Pattern);
    for (const std::string& line : Lines)
        if (std::regex_match(line, re)) return true;
    return false;
}

// Regex text matching Text literally.
std::string Literal(const std::string& Text) {
    return std::regex_replace(Text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

class ValidateCommandTest : public CliTest {};

TEST_F(ValidateCommandTest, CleanFileExitsZeroAndPrintsSummaryAndTable) {
    const std::string file = CleanFile();
    const ProcessResult run = RunProcess(VALIDATE, {file});
    EXPECT_EQ(run.ExitStatus, 0);
    EXPECT_EQ(run.Err, "");
    const auto lines = Lines(run.Out);
    ASSERT_GE(lines.size(), 4u);
    std::smatch count;
    ASSERT_TRUE(std::regex_match(
        lines[0], count,
        std::regex(Literal(file) + R"(: (\d+) findings \(0 errors, 0 warnings, (\d+) info\))")));
    // The summary counts every row of the table that follows it.
    EXPECT_EQ(lines.size(), 2 + std::stoul(count[1]));
    EXPECT_EQ(count[1], count[2]);
    EXPECT_EQ(lines[1], " #  Module  Type  Message");
    EXPECT_EQ(lines[2], " 1  Sievra  Info  [102] Loading File: " + file);
    EXPECT_EQ(lines.back(),
              std::to_string(lines.size() - 2) + "  Sievra  Info  [103] Unloading File.");
    // Rule 101 is switched off in the registry store, as the window's user may have done.
    EXPECT_FALSE(AnyLineMatches(lines, R"(.*\[101\].*)"));
}

TEST_F(ValidateCommandTest, ErrorFindingExitsOne) {
    const ProcessResult run = RunProcess(VALIDATE, {ErrorFile()});
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_EQ(run.Err, "");
    const auto lines = Lines(run.Out);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(
        std::regex_match(lines[0], std::regex(R"(.*: \d+ findings \([1-9]\d* errors?, .*)")))
        << lines[0];
    // The Type column is as wide as "Error"; the other columns keep their places.
    EXPECT_TRUE(AnyLineMatches(lines, R"( *\d+  Sievra  Error  \[\d{3}\] \S.*)"));
    EXPECT_TRUE(AnyLineMatches(lines, R"( *\d+  Sievra  Info   \[102\] Loading File: .*)"));
}

TEST_F(ValidateCommandTest, RuleSettingsFromTheRegistryDecideTheExitStatus) {
    const std::string file = ErrorFile();
    // The vertical position rule made a warning, as in the window's rule dialog.
    SetRuleType(438, 2);
    ProcessResult run = RunProcess(VALIDATE, {file});
    EXPECT_EQ(run.ExitStatus, 0);
    EXPECT_TRUE(AnyLineMatches(Lines(run.Out), R"( *\d+  Sievra  Warning  \[438\] TTI # 1 - .*)"))
        << run.Out;
    // Switched off, it is not reported at all.
    SetRule(438, false);
    run = RunProcess(VALIDATE, {file});
    EXPECT_EQ(run.ExitStatus, 0);
    EXPECT_EQ(run.Out.find("[438]"), std::string::npos);
}

TEST_F(ValidateCommandTest, FilesThatCannotBeValidatedExitTwoWithOneLine) {
    fs::create_directory(dir.file("folder.stl"));
    const struct {
        std::string File;
        std::string Reason;
    } cases[] = {
        {NotStlFile(), "not an EBU STL file (Invalid STL file Disk Format Code)"},
        {dir.file("missing.stl"), "No such file or directory"},
        {dir.file("folder.stl"), "is a folder"},
        // One TTI block announced, none present.
        {testsupport::StlFileBuilder().announce(1).writeTo(dir.file("short.stl")),
         "not an EBU STL file (Invalid STL file size and Text And Timing Information records "
         "count)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        const ProcessResult run = RunProcess(VALIDATE, {c.File});
        EXPECT_EQ(run.ExitStatus, 2);
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err, "lumtrace-validate: " + c.File + ": " + c.Reason + "\n");
    }
}

TEST_F(ValidateCommandTest, SeveralFilesWithOneBadAmongThem) {
    const std::string clean = CleanFile(), bad = NotStlFile(), error = ErrorFile();
    for (const bool quiet : {false, true}) {
        SCOPED_TRACE(quiet ? "quiet" : "tables");
        std::vector<std::string> arguments = {clean, bad, error};
        if (quiet) arguments.insert(arguments.begin(), "--quiet");
        const ProcessResult run = RunProcess(VALIDATE, arguments);
        // The bad file outranks the Error finding; the files after it are still validated.
        EXPECT_EQ(run.ExitStatus, 2);
        EXPECT_EQ(run.Err, "lumtrace-validate: " + bad +
                               ": not an EBU STL file (Invalid STL file Disk Format Code)\n");
        std::vector<std::string> summaries;
        for (const std::string& line : Lines(run.Out))
            if (line.rfind(dir.path(), 0) == 0) summaries.push_back(line);
        ASSERT_EQ(summaries.size(), 2u);
        EXPECT_TRUE(std::regex_match(summaries[0], std::regex(Literal(clean) + ": .*0 errors.*")));
        EXPECT_TRUE(
            std::regex_match(summaries[1], std::regex(Literal(error) + ": .*[1-9] errors?.*")));
        if (quiet) {
            EXPECT_EQ(Lines(run.Out).size(), 2u);
        } else {
            EXPECT_NE(run.Out.find("\n\n" + summaries[1]), std::string::npos)
                << "tables of two files are set apart by a blank line";
        }
    }
}

TEST_F(ValidateCommandTest, PluginThatCannotBeLoadedExitsTwo) {
    // The command looks for Sievra.zkx beside itself only.
    const std::string copy = dir.file("lumtrace-validate");
    fs::copy_file(VALIDATE, copy);
    const std::string file = CleanFile();
    ProcessResult run = RunProcess(copy, {file});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "lumtrace-validate: cannot load the plug-in '" + dir.file("Sievra.zkx") +
                           "': file not found\n");

    std::ofstream(dir.file("Sievra.zkx")) << "not a library";
    run = RunProcess(copy, {file});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_EQ(Lines(run.Err).size(), 1u);
    EXPECT_TRUE(run.Err.rfind("lumtrace-validate: cannot load the plug-in '" +
                                  dir.file("Sievra.zkx") + "': not a loadable library",
                              0) == 0)
        << run.Err;
}

TEST_F(ValidateCommandTest, HelpVersionAndWrongArguments) {
    ProcessResult run = RunProcess(VALIDATE, {"--help"});
    EXPECT_EQ(run.ExitStatus, 0);
    EXPECT_EQ(run.Out.rfind("Usage: lumtrace-validate [options] FILE...\n", 0), 0u);
    EXPECT_NE(run.Out.find("--xml PATH"), std::string::npos);

    run = RunProcess(VALIDATE, {"--version"});
    EXPECT_EQ(run.ExitStatus, 0);
    EXPECT_EQ(run.Out, std::string("lumtrace-validate ") + EXPECTED_VERSION + "\n");

    run = RunProcess(VALIDATE, {"--frobnicate", CleanFile()});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(
        run.Err,
        "lumtrace-validate: unknown option '--frobnicate' (try 'lumtrace-validate --help')\n");

    run = RunProcess(VALIDATE, {});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_EQ(run.Err, "lumtrace-validate: no file given (try 'lumtrace-validate --help')\n");
}

TEST_F(ValidateCommandTest, OutputThatCannotBeWrittenIsAFailure) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{CleanFile()}, {"-q", CleanFile()}, {"--help"}}) {
        SCOPED_TRACE(arguments[0]);
        const ProcessResult run = RunProcess(VALIDATE, arguments, "/dev/full");
        EXPECT_EQ(run.ExitStatus, 2);
        EXPECT_EQ(run.Err, "lumtrace-validate: cannot write to standard output\n");
    }
}

TEST_F(ValidateCommandTest, VerboseLetsTheHostsDiagnosticsThrough) {
    const std::string bad = NotStlFile();
    const ProcessResult run = RunProcess(VALIDATE, {"--verbose", bad});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_EQ(Lines(run.Err),
              (std::vector<std::string>{
                  "vyr: Error in TPluginHost.StartValidation - cannot validate file.",
                  "lumtrace-validate: " + bad +
                      ": not an EBU STL file (Invalid STL file Disk Format Code)"}));
}

TEST_F(ValidateCommandTest, ProgressOnlyForSeveralFilesOnATerminal) {
    const std::string clean = CleanFile(), error = ErrorFile();
    ProcessResult run = RunProcessWithTerminalStderr(VALIDATE, {"-q", clean, error});
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_EQ(Lines(run.Err), (std::vector<std::string>{"lumtrace-validate: [1/2] " + clean,
                                                        "lumtrace-validate: [2/2] " + error}));

    run = RunProcessWithTerminalStderr(VALIDATE, {"-q", clean});
    EXPECT_EQ(run.ExitStatus, 0);
    EXPECT_EQ(run.Err, "");
}

TEST_F(ValidateCommandTest, FileNamesCannotSendEscapeSequencesToTheTerminal) {
    const std::string name = dir.file("x\x1b[2J\n.stl");
    std::ofstream(name) << "text";
    const ProcessResult run = RunProcess(VALIDATE, {name});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_EQ(run.Err.find('\x1b'), std::string::npos);
    EXPECT_NE(run.Err.find("x\\x1B[2J\\x0A.stl: not an EBU STL file"), std::string::npos)
        << run.Err;
    EXPECT_EQ(Lines(run.Err).size(), 1u);
}

}  // namespace
}  // namespace clitest
