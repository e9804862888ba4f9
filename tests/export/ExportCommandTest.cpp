// Runs lumtrace-export as a child process: exit codes, where the text goes, what stderr says.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "ExportTestSupport.h"
#include "tests/cli/ProcessRunner.h"
#include "tests/support/TestEnvironment.h"

namespace {

using clitest::runProcess;
using clitest::splitLines;
using exporttest::Block;
using exporttest::bytes;

const std::string EXPORT = LUMTRACE_EXPORT_PATH;

class ExportCommandTest : public ::testing::Test {
protected:
    // Two subtitles, the second in Cyrillic bytes, and a comment.
    std::string file(const std::string& diskFormat = "STL25.01", int announce = 3,
                     const std::string& table = "00", const std::string& name = "in.stl",
                     const std::string& startOfProgramme = "00000000") {
        Block first, second, comment;
        first.number = 1;
        first.in[2] = 1;
        first.out[2] = 2;
        first.text = bytes("Hello\x8Aworld");
        second.number = 2;
        second.in[2] = 3;
        second.out[2] = 4;
        second.text = bytes("\xBF\xE0\xD8\xD2\xD5\xE2");
        comment.number = 3;
        comment.comment = 1;
        comment.text = bytes("note");
        return testsupport::StlFileBuilder()
            .gsi(gsi::diskFormatCode, diskFormat)
            .gsi(gsi::characterCodeTableNumber, table)
            .gsi(gsi::timeCodeStartOfProgramme, startOfProgramme)
            .addBlock(first)
            .addBlock(second)
            .addBlock(comment)
            .announce(announce)
            .writeTo(dir.file(name));
    }

    testsupport::TempDir dir;
};

TEST_F(ExportCommandTest, WritesToStdoutOrToOut) {
    const std::string in = file();
    const auto toStdout = runProcess(EXPORT, {"--format", "srt", in});
    EXPECT_EQ(toStdout.exitStatus, 0);
    EXPECT_EQ(toStdout.err, "");
    EXPECT_EQ(toStdout.out.substr(0, 47), "1\n00:00:01,000 --> 00:00:02,000\nHello\nworld\n\n2\n");

    const std::string out = dir.file("out.srt");
    const auto toFile = runProcess(EXPORT, {in, out});
    EXPECT_EQ(toFile.exitStatus, 0);
    EXPECT_EQ(toFile.out, "");
    std::ifstream written(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), toStdout.out);
}

TEST_F(ExportCommandTest, OptionsReachTheExport) {
    const std::string in = file();
    const std::string cyrillic = file("STL25.01", 3, "01", "cyrillic.stl");
    struct Case {
        std::vector<std::string> arguments;
        std::string expected;
    };
    const Case cases[] = {
        {{"--format", "txt", cyrillic},
         "Hello\nworld\n\n\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n"},
        {{"--format", "txt", "--encoding", "28595", in},
         "Hello\nworld\n\n\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n"},
        {{"--format", "txt", "--comments", "--encoding", "28595", in},
         "Hello\nworld\n\n\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n\nnote\n"},
    };
    for (const Case& c : cases) {
        const auto result = runProcess(EXPORT, c.arguments);
        EXPECT_EQ(result.exitStatus, 0) << c.arguments[1];
        EXPECT_EQ(result.out, c.expected) << c.arguments[1];
    }
    const auto offset =
        runProcess(EXPORT, {"--tcp-offset", file("STL25.01", 3, "00", "tcp.stl", "00000012")});
    EXPECT_EQ(offset.out.substr(0, 32), "1\n00:00:00,520 --> 00:00:01,520\n");
    const auto ttml = runProcess(EXPORT, {"--format", "ebu-tt-d", in});
    EXPECT_EQ(ttml.out.substr(0, 38), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    EXPECT_NE(ttml.out.find(">world</p>"), std::string::npos) << ttml.out;
    const auto vtt = runProcess(EXPORT, {"--format=vtt", in});
    EXPECT_EQ(vtt.out.substr(0, 66),
              "WEBVTT\n\n00:00:01.000 --> 00:00:02.000 line:80% align:center\nHello\n");
}

TEST_F(ExportCommandTest, NonStandardFilesExportWithOneWarning) {
    for (const auto& [diskFormat, announce, mentions] :
         {std::tuple{"STL23.01", 3, "STL23.01"}, std::tuple{"STL25.01", 9, "announces 9"}}) {
        const auto result = runProcess(EXPORT, {"--format", "txt", file(diskFormat, announce)});
        EXPECT_EQ(result.exitStatus, 0) << diskFormat;
        EXPECT_EQ(result.out.substr(0, 12), "Hello\nworld\n");
        const auto lines = splitLines(result.err);
        ASSERT_EQ(lines.size(), 1u) << result.err;
        EXPECT_NE(lines[0].find("warning"), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(mentions), std::string::npos) << lines[0];
    }
}

TEST_F(ExportCommandTest, FailuresExitTwoWithOneLine) {
    const std::string in = file();
    {
        std::ofstream notes(dir.file("notes.txt"));
        for (int i = 0; i < 100; ++i) notes << "not a subtitle file\n";
    }
    const std::vector<std::vector<std::string>> cases = {
        {dir.file("notes.txt")},
        {dir.file("missing.stl")},
        {"--format", "docx", in},
        {"--encoding", "latin", in},
        {"--encoding", "65001", in},
        {"--tcp-offset", file("STL25.01", 3, "00", "blank.stl", "        ")},
        {in, dir.file("no/such/folder/out.srt")},
        {},
    };
    for (const auto& arguments : cases) {
        const auto result = runProcess(EXPORT, arguments);
        const std::string label = arguments.empty() ? "(none)" : arguments.front();
        EXPECT_EQ(result.exitStatus, 2) << label;
        EXPECT_EQ(result.out, "") << label;
        const auto lines = splitLines(result.err);
        ASSERT_EQ(lines.size(), 1u) << label << ": " << result.err;
        EXPECT_EQ(lines[0].rfind("lumtrace-export: ", 0), 0u) << lines[0];
    }
}

TEST_F(ExportCommandTest, VersionAsTheOtherProgramsPrintIt) {
    const auto result = runProcess(EXPORT, {"--version"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(std::regex_match(result.out, std::regex("lumtrace-export [0-9]+(\\.[0-9]+)+\n")))
        << result.out;
}

}  // namespace
