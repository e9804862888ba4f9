#include <gtest/gtest.h>

#include "ExportTestSupport.h"
#include "export/SubtitleAssembly.h"
#include "export/TextWriter.h"

namespace {

using exporttest::Block;
using exporttest::bytes;

Block block(std::uint16_t number, std::uint8_t extension, std::string_view text,
            std::uint8_t comment = 0) {
    Block b;
    b.number = number;
    b.extension = extension;
    b.comment = comment;
    b.text = bytes(text);
    return b;
}

struct AssemblyCase {
    const char* name;
    std::vector<Block> blocks;
    bool comments;
    const char* expectedText;  // as the txt export writes it
};

class SubtitleAssemblyTest : public ::testing::TestWithParam<AssemblyCase> {};

TEST_P(SubtitleAssemblyTest, GivesOneEntryPerSubtitle) {
    const AssemblyCase& c = GetParam();
    std::vector<TextAndTimingInformation> blocks;
    for (const Block& b : c.blocks) blocks.push_back(exporttest::makeBlock(b));
    AssemblySettings settings;
    settings.decode = {20269, DisplayStandard::Open};
    settings.includeComments = c.comments;
    EXPECT_EQ(writeText(assembleSubtitles(blocks, settings)), c.expectedText);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SubtitleAssemblyTest,
    ::testing::Values(AssemblyCase{"Paragraphs",
                                   {block(1, 0xFF,
                                          "A\x8A"
                                          "B"),
                                    block(2, 0xFF, "C")},
                                   false,
                                   "A\nB\n\nC\n"},
                      AssemblyCase{"ChainJoined",
                                   {block(1, 0, "Hel"), block(1, 1, "lo"), block(1, 0xFF, "!")},
                                   false,
                                   "Hello!\n"},
                      AssemblyCase{"AccentAcrossBlocks",
                                   {block(1, 0, "caf\xC2"), block(1, 0xFF, "e")},
                                   false,
                                   "caf\xC3\xA9\n"},
                      AssemblyCase{"UserDataLeftOut",
                                   {block(1, 0, "A"), block(1, 0xFE, "secret"), block(1, 0xFF, "B"),
                                    block(2, 0xFE, "data")},
                                   false,
                                   "AB\n"},
                      AssemblyCase{"UnterminatedChainEndsAtNewNumber",
                                   {block(1, 0, "A"), block(2, 0xFF, "B")},
                                   false,
                                   "A\n\nB\n"},
                      AssemblyCase{"SameNumberWithoutChain",
                                   {block(0, 0xFF, "A"), block(0, 0xFF, "B")},
                                   false,
                                   "A\n\nB\n"},
                      AssemblyCase{"CommentsLeftOut",
                                   {block(1, 0xFF, "Note", 1), block(2, 0xFF, "Text")},
                                   false,
                                   "Text\n"},
                      AssemblyCase{"CommentsOnRequest",
                                   {block(1, 0xFF, "Note", 1), block(2, 0xFF, "Text")},
                                   true,
                                   "Note\n\nText\n"},
                      AssemblyCase{
                          "EmptySubtitlesLeaveNoParagraph",
                          {block(1, 0xFF, "A"), block(2, 0xFF, "\x8A "), block(3, 0xFF, "B")},
                          false,
                          "A\n\nB\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SubtitleAssemblyTimes, TakenFromTheFirstBlockOfTheChain) {
    Block first = block(7, 0, "A"), last = block(7, 0xFF, "B");
    first.in[0] = 10;
    first.cumulative = 1;
    last.in[0] = 11;
    const auto subtitles = assembleSubtitles(
        {exporttest::makeBlock(first), exporttest::makeBlock(last)}, AssemblySettings{});
    ASSERT_EQ(subtitles.size(), 1u);
    EXPECT_EQ(subtitles[0].number, 7);
    EXPECT_EQ(subtitles[0].in.hours, 10);
    EXPECT_EQ(subtitles[0].cumulativeStatus, 1);
}

}  // namespace
