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
    };
    for (const auto& c : cases) EXPECT_EQ(parseCommandLine(c.arguments).error, c.error);
}

}  // namespace
}  // namespace cli
