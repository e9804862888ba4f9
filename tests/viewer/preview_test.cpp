// The subtitle preview: what the bytes of real-world shaped blocks turn into, cell by cell.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <string>

#include "tests/support/StlFileBuilder.h"
#include "viewer/preview/PreviewBlocks.h"
#include "viewer/preview/TeletextLayout.h"

using preview::Cell;
using preview::CellSize;
using preview::Layout;
using preview::Row;
using testsupport::StlFileBuilder;
using Block = StlFileBuilder::Block;
using namespace std::literals;

namespace {

std::vector<std::uint8_t> bytes(std::string_view s) {
    return StlFileBuilder::text(s);
}

Block block(std::string_view text, std::uint8_t vertical = 20, std::uint8_t justification = 0) {
    Block b;
    b.text = bytes(text);
    b.vertical = vertical;
    b.justification = justification;
    return b;
}

struct Fixture {
    std::string dsc = "1";
    std::string rows = "23";
    std::vector<Block> blocks;
    std::uint32_t selected = 0;
};

Layout layOutFixture(const Fixture& f) {
    QTemporaryDir dir;
    StlFileBuilder builder;
    builder.gsi(gsi::displayStandardCode, f.dsc).gsi(gsi::maximumNumberOfDisplayableRows, f.rows);
    builder.gsi(gsi::maximumNumberOfDisplayableCharacters, "40");
    for (const Block& b : f.blocks) builder.addBlock(b);
    builder.announce(static_cast<int>(f.blocks.size()));
    const std::string path = builder.writeTo(dir.filePath("p.stl").toStdString());
    StlReader reader;
    EXPECT_EQ(reader.openFile(path, true), S_OK);
    return preview::layOut(preview::selectionAt(reader, f.selected),
                           preview::layoutOptions(reader.generalSubtitleInformation(), 20269));
}

const Row* rowAt(const Layout& layout, int number) {
    for (const Row& row : layout.lines)
        if (row.number == number) return &row;
    return nullptr;
}

std::string rowText(const Row& row) {
    std::string text;
    for (const Cell& cell : row.cells)
        text += cell.attribute ? '.' : (cell.length == 0) ? '#' : static_cast<char>(cell.chars[0]);
    return text;
}

bool hasNote(const Layout& layout, const std::string& part) {
    for (const std::string& note : layout.notes)
        if (note.find(part) != std::string::npos) return true;
    return false;
}

struct LayoutCase {
    const char* name;
    Fixture fixture;
    std::function<void(const Layout&)> check;
};

Block numbered(Block b, std::uint16_t number, std::uint8_t extension, std::uint8_t cumulative) {
    b.number = number;
    b.extension = extension;
    b.cumulative = cumulative;
    return b;
}

const std::vector<LayoutCase>& layoutCases() {
    static const std::vector<LayoutCase> cases = {
        {"each alphanumeric and mosaic colour",
         {"1",
          "23",
          {block("\x00"
                 "A\x01"
                 "B\x02"
                 "C\x03"
                 "D\x04"
                 "E\x05"
                 "F\x06"
                 "G\x07"
                 "H\x11\x7F"sv,
                 20, 1)}},
         [](const Layout& l) {
             const Row* row = rowAt(l, 20);
             ASSERT_TRUE(row);
             ASSERT_EQ(row->cells.size(), 18u);
             for (int colour = 0; colour < 8; ++colour) {
                 EXPECT_TRUE(row->cells[2 * colour].attribute);
                 EXPECT_EQ(row->cells[2 * colour + 1].foreground, colour);
                 EXPECT_EQ(row->cells[2 * colour + 1].text(), std::u16string(1, u'A' + colour));
             }
             EXPECT_TRUE(row->cells[17].isMosaic);
             EXPECT_EQ(row->cells[17].mosaic, 0x3F);
             EXPECT_EQ(row->cells[17].foreground, subtitle::Red);
         }},
        {"double height takes the row below; two line breaks skip it",
         {"1",
          "23",
          {block("\x0D\x0B\x0B"
                 "BIG\x0A\x0A\x8A\x8A\x0B\x0Bnext",
                 20)}},
         [](const Layout& l) {
             ASSERT_TRUE(rowAt(l, 20));
             EXPECT_TRUE(rowAt(l, 20)->doubleHeight);
             EXPECT_EQ(rowAt(l, 20)->cells[3].size, CellSize::DoubleHeight);
             EXPECT_EQ(rowAt(l, 20)->cells[0].size, CellSize::Normal);  // set-after
             EXPECT_FALSE(rowAt(l, 21));
             ASSERT_TRUE(rowAt(l, 22));
             EXPECT_FALSE(rowAt(l, 22)->hiddenByAbove);
         }},
        {"one line break after double height hides the next row",
         {"1",
          "23",
          {block("\x0D\x0B\x0B"
                 "BIG\x0A\x0A\x8A\x0B\x0Bnext",
                 20)}},
         [](const Layout& l) {
             ASSERT_TRUE(rowAt(l, 21));
             EXPECT_TRUE(rowAt(l, 21)->hiddenByAbove);
             EXPECT_TRUE(hasNote(l, "Row 21: under the lower half"));
         }},
        {"boxed word beside unboxed text",
         {"1", "23", {block("\x0B\x0BWORD\x0A\x0A plain", 20)}},
         [](const Layout& l) {
             const Row* row = rowAt(l, 20);
             ASSERT_TRUE(row);
             EXPECT_EQ(rowText(*row), "..WORD.. plain");
             EXPECT_FALSE(row->cells[0].boxed);  // start box acts after its cell
             for (int c = 1; c <= 6; ++c) EXPECT_TRUE(row->cells[c].boxed) << c;
             for (int c = 7; c < 14; ++c) EXPECT_FALSE(row->cells[c].boxed) << c;
             EXPECT_TRUE(hasNote(l, "outside boxes"));
         }},
        {"JC 0 keeps leading spaces",
         {"1", "23", {block("  AB  ", 20, 0)}},
         [](const Layout& l) {
             EXPECT_EQ(rowAt(l, 20)->column, 0);
             EXPECT_EQ(rowText(*rowAt(l, 20)), "  AB  ");
         }},
        {"JC 1 left",
         {"1", "23", {block("  AB  ", 20, 1)}},
         [](const Layout& l) {
             EXPECT_EQ(rowAt(l, 20)->column, 0);
             EXPECT_EQ(rowText(*rowAt(l, 20)), "AB");
         }},
        {"JC 2 centred",
         {"1", "23", {block("  ABC  ", 20, 2)}},
         [](const Layout& l) { EXPECT_EQ(rowAt(l, 20)->column, 18); }},
        {"JC 3 right",
         {"1", "23", {block("  AB  ", 20, 3)}},
         [](const Layout& l) { EXPECT_EQ(rowAt(l, 20)->column, 38); }},
        {"VP 1 is the top row",
         {"1", "23", {block("top", 1)}},
         [](const Layout& l) {
             ASSERT_EQ(l.lines.size(), 1u);
             EXPECT_EQ(l.lines[0].number, 1);
             EXPECT_FALSE(l.lines[0].offPage);
         }},
        {"VP 22 with two rows fills rows 22 and 23",
         {"1", "23", {block("one\x8Atwo", 22)}},
         [](const Layout& l) {
             ASSERT_TRUE(rowAt(l, 23));
             EXPECT_EQ(rowText(*rowAt(l, 23)), "two");
             EXPECT_FALSE(rowAt(l, 23)->offPage);
             EXPECT_FALSE(hasNote(l, "Row 2"));
         }},
        {"two-block extension chain, selected at its first block",
         {"1",
          "23",
          {numbered(block("\x0B\x0BHEL", 20), 5, 0, 0),
           numbered(block("LO\x0A\x0A", 20), 5, 0xFF, 0)},
          0},
         [](const Layout& l) {
             ASSERT_EQ(l.lines.size(), 1u);
             EXPECT_EQ(rowText(l.lines[0]), "..HELLO..");
             EXPECT_TRUE(hasNote(l, "blocks 1-2 joined"));
         }},
        {"three-block cumulative set accumulates up to the selected block",
         {"1",
          "23",
          {numbered(block("before", 10), 1, 0xFF, 0), numbered(block("first", 18), 2, 0xFF, 1),
           numbered(block("second", 20), 3, 0xFF, 2), numbered(block("third", 22), 4, 0xFF, 3)},
          2},
         [](const Layout& l) {
             ASSERT_EQ(l.lines.size(), 2u);
             EXPECT_EQ(rowText(l.lines[0]), "first");
             EXPECT_EQ(rowText(l.lines[1]), "second");
             EXPECT_TRUE(hasNote(l, "Cumulative set"));
         }},
        {"last block of a cumulative set shows all three",
         {"1",
          "23",
          {numbered(block("first", 18), 2, 0xFF, 1), numbered(block("second", 20), 3, 0xFF, 2),
           numbered(block("third", 22), 4, 0xFF, 3)},
          2},
         [](const Layout& l) {
             ASSERT_EQ(l.lines.size(), 3u);
             EXPECT_EQ(rowText(l.lines[2]), "third");
         }},
        {"user data is labelled, not drawn",
         {"1", "23", {numbered(block("\x01\x02\x03raw", 20), 1, 0xFE, 0)}},
         [](const Layout& l) {
             EXPECT_FALSE(l.showsText);
             EXPECT_TRUE(l.lines.empty());
             EXPECT_NE(l.label.find("User data"), std::string::npos);
         }},
        {"comment is labelled and drawn",
         {"1", "23", {[] {
              Block b = block("note", 20);
              b.comment = 1;
              return b;
          }()}},
         [](const Layout& l) {
             EXPECT_NE(l.label.find("Comment"), std::string::npos);
             ASSERT_EQ(l.lines.size(), 1u);
         }},
        {"open subtitle with italics and boxing",
         {"0",
          "23",
          {block("\x80it\x81 \x84"
                 "box\x85\x8A\x82u",
                 50, 1)}},
         [](const Layout& l) {
             EXPECT_EQ(l.mode, preview::DisplayMode::OpenSubtitling);
             ASSERT_EQ(l.lines.size(), 2u);
             const Row& first = l.lines[0];
             EXPECT_EQ(rowText(first), "it box");
             EXPECT_TRUE(first.cells[0].italic);
             EXPECT_FALSE(first.cells[2].italic);
             EXPECT_TRUE(first.cells[3].boxed);
             EXPECT_FALSE(first.cells[2].boxed);
             EXPECT_TRUE(l.lines[1].cells[0].underline);
         }},
        {"rows beyond MNR and beyond row 23",
         {"1",
          "22",
          {block("a\x8A"
                 "b\x8A"
                 "c\x8A"
                 "d",
                 21)}},
         [](const Layout& l) {
             EXPECT_FALSE(rowAt(l, 22)->beyondLimit);
             EXPECT_TRUE(rowAt(l, 23)->beyondLimit);
             EXPECT_FALSE(rowAt(l, 23)->offPage);
             EXPECT_TRUE(rowAt(l, 24)->offPage);
             EXPECT_TRUE(hasNote(l, "Row 24: outside rows 1-23"));
         }},
        {"text wider than 40 cells",
         {"1", "23", {block(std::string(45, 'x'), 20, 2)}},
         [](const Layout& l) {
             EXPECT_TRUE(rowAt(l, 20)->tooWide);
             EXPECT_EQ(rowAt(l, 20)->column, 0);
             EXPECT_TRUE(hasNote(l, "45 cells"));
         }},
        {"end box codes after the last character need no room",
         {"1", "23", {block("\x0D\x0B\x0B" + std::string(37, 'x') + "\x0A\x0A  ", 20, 0)}},
         [](const Layout& l) {
             EXPECT_FALSE(rowAt(l, 20)->tooWide);
             EXPECT_FALSE(hasNote(l, "cells, more than 40"));
         }},
        {"double height on row 23",
         {"1",
          "23",
          {block("\x0D"
                 "tall",
                 23)}},
         [](const Layout& l) {
             EXPECT_TRUE(rowAt(l, 23)->lowerHalfCut);
             EXPECT_TRUE(hasNote(l, "lower half cut"));
         }},
        {"start box with no end box boxes to the end of the row",
         {"1", "23", {block("\x0B\x0Bopen", 20, 1)}},
         [](const Layout& l) {
             const Row* row = rowAt(l, 20);
             ASSERT_EQ(row->cells.size(), 40u);
             EXPECT_TRUE(row->cells[39].boxed);
             EXPECT_TRUE(row->cells[39].unclosedBox);
             EXPECT_TRUE(row->cells[2].unclosedBox);
             EXPECT_TRUE(hasNote(l, "without end box"));
         }},
    };
    return cases;
}

class PreviewLayoutTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(PreviewLayoutTest, Case) {
    const LayoutCase& c = layoutCases()[GetParam()];
    SCOPED_TRACE(c.name);
    c.check(layOutFixture(c.fixture));
}

INSTANTIATE_TEST_SUITE_P(Cases, PreviewLayoutTest,
                         ::testing::Range<std::size_t>(0, layoutCases().size()));

// Lines padded with spaces after their colour and box codes for column 0 and then marked
// centred: justification places the text, not the padding.
TEST(PreviewLayout, JustificationDropsSpacesAmongTheCodesAtEitherEnd) {
    const struct {
        const char* dsc;
        const char* text;
        std::uint8_t justification;
        int column;
        const char* cells;
    } cases[] = {
        {"1",
         "\x0D\x06     \x0B\x0B"
         "AB\x0A\x0A",
         2, 15, "....AB.."},
        {"1",
         "  \x06  \x0B\x0B"
         "A B\x0A  \x0A  ",
         1, 0, "...A B.."},
        {"1",
         "\x0B\x0B"
         "AB  \x0A\x0A   ",
         3, 36, "..AB.."},
        {"1",
         "\x06  \x0B\x0B"
         "AB\x0A\x0A",
         0, 0, ".  ..AB.."},
        {"1", "\x0D   \x0A", 2, 20, ".."},
        // Open rows are laid out as text across the picture, not in cells.
        {"0", "\x80  it  \x81", 2, 0, "  it  "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Layout l = layOutFixture({c.dsc, "23", {block(c.text, 20, c.justification)}});
        ASSERT_EQ(l.lines.size(), 1u);
        EXPECT_EQ(l.lines[0].column, c.column);
        EXPECT_EQ(rowText(l.lines[0]), c.cells);
    }
}

TEST(PreviewLayout, FlashConcealAndNewBackgroundFollowTheirCodes) {
    Fixture f{"2",
              "23",
              {block("\x03\x1D\x01\x08"
                     "F\x09\x18"
                     "C\x0E"
                     "WX",
                     20)}};
    const Layout l = layOutFixture(f);
    const Row& row = l.lines.at(0);
    EXPECT_EQ(row.cells[1].background, subtitle::Yellow);  // new background acts at once
    EXPECT_EQ(row.cells[4].foreground, subtitle::Red);
    EXPECT_TRUE(row.cells[4].flash);
    EXPECT_FALSE(row.cells[5].flash);  // steady acts at once
    EXPECT_TRUE(row.cells[6].conceal);
    EXPECT_EQ(row.cells[9].size, CellSize::DoubleWidth);
    EXPECT_TRUE(row.cells[10].covered);
}

TEST(PreviewLayout, LevelOneShowsDoubleWidthAtNormalSize) {
    const Layout l = layOutFixture({"1",
                                    "23",
                                    {block("\x0E"
                                           "WX",
                                           20)}});
    EXPECT_EQ(l.lines.at(0).cells[1].size, CellSize::Normal);
    EXPECT_TRUE(hasNote(l, "need teletext level 2"));
}

TEST(PreviewLayout, LatinTableDiacriticSharesItsLettersCell) {
    const Layout l = layOutFixture({"1",
                                    "23",
                                    {block("\xC2"
                                           "e!",
                                           20)}});
    ASSERT_EQ(l.lines.at(0).cells.size(), 2u);
    EXPECT_EQ(l.lines[0].cells[0].text(), u"\u00E9");
}

}  // namespace
