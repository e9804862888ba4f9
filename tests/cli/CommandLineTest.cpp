#include <gtest/gtest.h>

#include "cli/CommandLine.h"

namespace cli {
namespace {

TEST(CommandLineTest, OptionsAndFiles) {
    const TParseResult parsed =
        ParseCommandLine({"-q", "a.stl", "--xml", "out", "--verbose", "--", "--quiet", "-"});
    ASSERT_EQ(parsed.Error, "");
    const TCommandLine& line = parsed.CommandLine;
    EXPECT_TRUE(line.Quiet);
    EXPECT_TRUE(line.Verbose);
    EXPECT_EQ(line.XmlPath, "out");
    // After "--" everything is a file, and "-" is a file name here too.
    EXPECT_EQ(line.Files, (std::vector<std::string>{"a.stl", "--quiet", "-"}));

    EXPECT_EQ(ParseCommandLine({"--xml=r.xml", "a.stl"}).CommandLine.XmlPath, "r.xml");
    EXPECT_TRUE(ParseCommandLine({"--help"}).CommandLine.Help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).CommandLine.Version);
}

TEST(CommandLineTest, WrongArgumentsAreRefusedWithAReason) {
    const struct {
        std::vector<std::string> Arguments;
        std::string Error;
    } cases[] = {
        {{}, "no file given"},
        {{"-q"}, "no file given"},
        {{"a.stl", "--xml"}, "option --xml needs a path"},
        {{"--xml=", "a.stl"}, "option --xml needs a path"},
        {{"--xml", "x", "--xml", "y", "a.stl"}, "option --xml given more than once"},
        {{"-x", "a.stl"}, "unknown option '-x'"},
        {{"--quiet=yes", "a.stl"}, "unknown option '--quiet=yes'"},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCommandLine(c.Arguments).Error, c.Error);
}

}  // namespace
}  // namespace cli
