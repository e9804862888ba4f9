#include <gtest/gtest.h>

#include "ModelTestSupport.h"

namespace {

using modeltest::Block;
using modeltest::block;
using Kind = subtitle::ChainFact::Kind;

struct AssemblyCase {
    const char* name;
    std::vector<Block> blocks;
    const char* expected;  // subtitles' plain rows: rows by "\n", subtitles by "|"
    std::vector<Kind> facts;
};

class AssemblyTest : public ::testing::TestWithParam<AssemblyCase> {};

TEST_P(AssemblyTest, GivesOneSubtitlePerChain) {
    const AssemblyCase& c = GetParam();
    const subtitle::Document doc = modeltest::document(c.blocks);
    EXPECT_EQ(modeltest::plain(doc), c.expected);
    std::vector<Kind> facts;
    for (const auto& f : doc.chainFacts) facts.push_back(f.kind);
    EXPECT_EQ(facts, c.facts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AssemblyTest,
    ::testing::Values(
        AssemblyCase{"Paragraphs",
                     {block(1, 0xFF,
                            "A\x8A"
                            "B"),
                      block(2, 0xFF, "C")},
                     "A\nB|C",
                     {}},
        AssemblyCase{"ChainJoined",
                     {block(1, 0, "Hel"), block(1, 1, "lo"), block(1, 0xFF, "!")},
                     "Hello!",
                     {}},
        AssemblyCase{
            "AccentAcrossBlocks", {block(1, 0, "caf\xC2"), block(1, 0xFF, "e")}, "caf\xC3\xA9", {}},
        AssemblyCase{"UserDataAndReservedBelongToNoSubtitle",
                     {block(1, 0, "A"), block(1, 0xFE, "secret"), block(1, 0xF0, "Block_F0"),
                      block(1, 0xFD, "x"), block(1, 0xFF, "B"), block(2, 0xFE, "data")},
                     "AB",
                     {}},
        AssemblyCase{"UnterminatedChainEndsAtNewNumber",
                     {block(1, 0, "A"), block(2, 0xFF, "B")},
                     "A|B",
                     {Kind::Unterminated}},
        AssemblyCase{"NextExtensionNumberCarriesTheChain",
                     {block(1, 0, "A"), block(2, 1, "B"), block(2, 0xFF, "C")},
                     "ABC",
                     {Kind::NumberChanged}},
        AssemblyCase{"OutOfOrderExtension",
                     {block(1, 3, "A"), block(1, 0xFF, "B")},
                     "AB",
                     {Kind::OutOfOrder}},
        AssemblyCase{
            "SameNumberWithoutChain", {block(0, 0xFF, "A"), block(0, 0xFF, "B")}, "A|B", {}},
        AssemblyCase{
            "CommentsFlagged", {block(1, 0xFF, "Note", 1), block(2, 0xFF, "Text")}, "Text", {}},
        AssemblyCase{"EmptySubtitlesLeaveNoRows",
                     {block(1, 0xFF, "A"), block(2, 0xFF, "\x8A "), block(3, 0xFF, "B")},
                     "A||B",
                     {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AssemblyFacts, EveryBlockPresentCountsWhateverTnbSays) {
    Block first = block(7, 0, "A"), last = block(7, 0xFF, "B");
    first.in[0] = 10;
    first.cumulative = 1;
    last.in[0] = 11;
    const subtitle::Document doc =
        modeltest::document({first, last, block(8, 0xFF, "C"), block(9, 0xFE, "u")});
    ASSERT_EQ(doc.subtitles.size(), 2u);  // the builder announces 0 blocks
    EXPECT_TRUE(doc.blockCountDisagrees());
    EXPECT_EQ(doc.subtitles[0].number, 7);
    EXPECT_EQ(doc.subtitles[0].in.hours, 10);  // times and status from the chain's first block
    EXPECT_EQ(doc.subtitles[0].cumulative, 1);
    EXPECT_EQ(doc.subtitles[0].lastBlock, 1u);
    EXPECT_EQ(doc.userDataBlocks, 1u);
}

}  // namespace
