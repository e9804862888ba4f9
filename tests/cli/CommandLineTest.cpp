#include <gtest/gtest.h>

#include "cli/CommandLine.h"

namespace cli {
namespace {

TEST(CommandLineTest, OptionsAndFiles) {
    const ParseResult parsed =
        parseCommandLine({"-q", "a.stl", "--xml", "out", "--verbose", "--", "--quiet", "-"});
    ASSERT_EQ(parsed.error, "");
    const CommandLine& line = parsed.commandLine;
    EXPECT_TRUE(line.quiet);
    EXPECT_TRUE(line.verbose);
    EXPECT_EQ(line.xmlPath, "out");
    // After "--" everything is a file, and "-" is a file name here too.
    EXPECT_EQ(line.files, (std::vector<std::string>{"a.stl", "--quiet", "-"}));

    EXPECT_EQ(parseCommandLine({"--xml=r.xml", "a.stl"}).commandLine.xmlPath, "r.xml");
    EXPECT_TRUE(parseCommandLine({"--help"}).commandLine.help);
    EXPECT_TRUE(parseCommandLine({"--version"}).commandLine.version);

    const ParseResult more =
        parseCommandLine({"-rj3", "-0", "--report", "json:r", "--report=xml:x.xml", "--format",
                          "sarif", "--fail-on", "warning", "-", "dir"});
    ASSERT_EQ(more.error, "");
    EXPECT_TRUE(more.commandLine.recursive);
    EXPECT_TRUE(more.commandLine.nulSeparated);
    EXPECT_EQ(more.commandLine.jobs, 3u);
    EXPECT_EQ(more.commandLine.format, OutputFormat::Sarif);
    EXPECT_EQ(more.commandLine.failOn, FailOn::Warning);
    ASSERT_EQ(more.commandLine.reports.size(), 2u);
    EXPECT_EQ(more.commandLine.reports[1].format, OutputFormat::Xml);
    EXPECT_EQ(more.commandLine.reports[1].path, "x.xml");
    EXPECT_EQ(more.commandLine.files, (std::vector<std::string>{"-", "dir"}));
}

TEST(CommandLineTest, WrongArgumentsAreRefusedWithAReason) {
    const struct {
        std::vector<std::string> arguments;
        std::string error;
    } cases[] = {
        {{}, "no file given"},
        {{"-q"}, "no file given"},
        {{"a.stl", "--xml"}, "option --xml needs a path"},
        {{"--xml=", "a.stl"}, "option --xml needs a path"},
        {{"--xml", "x", "--xml", "y", "a.stl"}, "option --xml given more than once"},
        {{"-x", "a.stl"}, "unknown option '-x'"},
        {{"--quiet=yes", "a.stl"}, "unknown option '--quiet=yes'"},
        {{"--format", "xml", "a.stl"},
         "unknown format 'xml' (use text, json, jsonl, junit, sarif, csv or html)"},
        {{"a.stl", "--format"}, "option --format needs a format"},
        {{"--report", "json", "a.stl"},
         "option --report needs FORMAT:PATH with FORMAT json, junit, sarif, csv, html or xml, "
         "not 'json'"},
        {{"--report", "text:x", "a.stl"},
         "option --report needs FORMAT:PATH with FORMAT json, junit, sarif, csv, html or xml, "
         "not 'text:x'"},
        {{"--fail-on", "info", "a.stl"},
         "option --fail-on needs error, warning or never, not 'info'"},
        {{"-j", "0", "a.stl"}, "option --jobs needs a number from 1 to 9999, not '0'"},
        {{"a.stl", "-j"}, "option --jobs needs a number"},
    };
    for (const auto& c : cases) EXPECT_EQ(parseCommandLine(c.arguments).error, c.error);
}

}  // namespace
}  // namespace cli
