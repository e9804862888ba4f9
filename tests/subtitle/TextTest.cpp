#include <gtest/gtest.h>

#include "ModelTestSupport.h"
#include "subtitle/Timeline.h"

namespace {

using subtitle::Colour;

struct TextCase {
    const char* name;
    std::string raw;
    char dsc;
    std::uint32_t codePage;
    const char* expected;  // plain rows joined by "\n"
};

std::string plainOf(const std::string& raw, char dsc, std::uint32_t codePage) {
    modeltest::Block b = modeltest::block(1, 0xFF, "");
    b.text.assign(raw.begin(), raw.end());
    const subtitle::Document doc = modeltest::document({b}, dsc);
    if (codePage == subtitle::latinCodePage) return modeltest::plain(doc);
    const subtitle::TextSettings settings = subtitle::textSettings(doc.gsi, codePage);
    const subtitle::CharacterDecoder decoder(codePage);
    std::u16string text;
    for (const auto& row : subtitle::plainRows(subtitleRows(doc.subtitles[0], decoder, settings)))
        text += row;
    return std::string(text.begin(), text.end() - text.size()) + std::to_string(text.size()) + ":" +
           std::to_string(static_cast<int>(text.empty() ? 0 : text[0]));
}

class TextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextTest, ReadsAsAPersonDoes) {
    const TextCase& c = GetParam();
    EXPECT_EQ(plainOf(c.raw, c.dsc, c.codePage), c.expected);
}

constexpr std::uint32_t latin = subtitle::latinCodePage;

INSTANTIATE_TEST_SUITE_P(
    Cases, TextTest,
    ::testing::Values(
        TextCase{"Rows", "One\x8ATwo", '0', latin, "One\nTwo"},
        TextCase{"UnusedSpaceEndsText", "One\x8FTwo", '0', latin, "One"},
        TextCase{"DoubleHeightRowsAndPadding",
                 "\x0D\x0B\x0B  One \x0A\x0A\x8A\x8A\x0D\x0B\x0BTwo\x0A\x0A  ", '1', latin,
                 "One\nTwo"},
        TextCase{"EmptyText", "\x8A\x8A  \x0B", '1', latin, ""},
        TextCase{"AttributeBetweenWordsIsASpace", "Hello\x03world", '1', latin, "Hello world"},
        TextCase{"AttributesBesideASpaceAddNone", "Hello \x07\x0Dworld", '1', latin, "Hello world"},
        // Each wide character hides the one cell after it, and only that one.
        TextCase{"DoubleWidthHidesOneCellAfterEach",
                 "\x0E"
                 "AB CD",
                 '2', latin, "A D"},
        TextCase{"OpenCodeBetweenWordsSeparates",
                 "AS YOU\x81"
                 "DO.",
                 '0', latin, "AS YOU DO."},
        TextCase{"OpenCodeBesideASpaceAddsNone", "Mom\x80 come\x81", '0', latin, "Mom come"},
        TextCase{"OpenCodesAtTheEndsTakeNoRoom",
                 "\x84"
                 "Boxed\x85",
                 '0', latin, "Boxed"},
        TextCase{"TeletextCodeInOpenFileSeparates",
                 "A\x01"
                 "B",
                 '0', latin, "A B"},
        TextCase{"BlankStandardReadAsOpen", "ROYAL\x81PROMISE", ' ', latin, "ROYAL PROMISE"},
        TextCase{"LatinAccents",
                 "\xC2"
                 "e\xC1"
                 "a \xC3o\xC8u \xCB"
                 "c",
                 '0', latin, "\xC3\xA9\xC3\xA0 \xC3\xB4\xC3\xBC \xC3\xA7"},
        TextCase{"LatinSpecials", "\xA4\xA6", '0', latin, "$#"},
        TextCase{"CyrillicTable", "\xBF\xE0", '0', 28595, "2:1055"},
        TextCase{"ArabicTable", "\xE5\xD1", '0', 28596, "2:1605"}),
    [](const auto& info) { return std::string(info.param.name); });

// The attributes in force at the first visible character of the first row.
struct AttributeCase {
    const char* name;
    std::string raw;
    Colour foreground, background;
    bool boxed, tall;
};

class AttributeTest : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(AttributeTest, AtTheFirstCharacter) {
    const AttributeCase& c = GetParam();
    modeltest::Block b = modeltest::block(1, 0xFF, c.raw);
    const subtitle::Document doc = modeltest::document({b}, '1');
    const auto settings = subtitle::textSettings(doc.gsi, subtitle::latinCodePage);
    const auto rows =
        subtitleRows(doc.subtitles[0], subtitle::CharacterDecoder(settings.codePage), settings);
    const auto& cells = rows.at(0).cells;
    const auto first =
        std::find_if(cells.begin(), cells.end(), [](auto& x) { return x.visible(); });
    ASSERT_NE(first, cells.end());
    EXPECT_EQ(first->foreground, c.foreground);
    EXPECT_EQ(first->background, c.background);
    EXPECT_EQ(first->boxed, c.boxed);
    EXPECT_EQ(first->tall(), c.tall);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AttributeTest,
    ::testing::Values(AttributeCase{"Plain", "Text", Colour::White, Colour::Black, false, false},
                      AttributeCase{"NewBackgroundThenWhiteText", "\x04\x1D\x07Text", Colour::White,
                                    Colour::Blue, false, false},
                      AttributeCase{"YellowOnBlackBox", std::string("\x00\x1D\x03\x0B\x0BText", 9),
                                    Colour::Yellow, Colour::Black, true, false},
                      AttributeCase{"DoubleHeightBoxed", "\x0D\x0B\x0BText\x0A\x0A", Colour::White,
                                    Colour::Black, true, true},
                      AttributeCase{"BlackBackgroundResets", "\x01\x1D\x1C\x02Text", Colour::Green,
                                    Colour::Black, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Placement, CentringCentresTheTextNotItsCodes) {
    // JC, text: column of the row's first cell, and the text's first column.
    const struct {
        std::uint8_t justification;
        const char* text;
        int column, textColumn;
    } cases[] = {
        {2, "  \x0D\x07\x0B\x0B.\x0A\x0A  ", 15, 19},             // one character: 19
        {2, "  \x0D\x07\x0B\x0B*Maul tlgyh*\x0A\x0A  ", 10, 14},  // 12 characters: 14-25
        {3,
         "\x0B\x0B"
         "AB  \x0A\x0A   ",
         36, 38},  // text ends in column 39
        {1,
         "  \x0B\x0B"
         "AB\x0A",
         0, 2},
    };
    for (const auto& c : cases) {
        modeltest::Block b = modeltest::block(1, 0xFF, c.text);
        b.justification = c.justification;
        b.vertical = 20;
        const subtitle::Document doc = modeltest::document({b}, '1');
        const auto settings = subtitle::textSettings(doc.gsi, subtitle::latinCodePage);
        const auto rows =
            subtitleRows(doc.subtitles[0], subtitle::CharacterDecoder(settings.codePage), settings);
        const subtitle::Row& row = rows.at(0);
        int first = 0;
        while (!row.cells.at(static_cast<std::size_t>(first)).visible()) ++first;
        EXPECT_EQ(row.column, c.column) << c.text;
        EXPECT_EQ(row.column + first, c.textColumn) << c.text;
        EXPECT_EQ(row.number, 20);
    }
}

TEST(Placement, OpenRowsCountAgainstMaximumRows) {
    // VP = MNR is the bottom row of the safe area; a second line lies one row lower.
    EXPECT_NEAR(subtitle::openRowTop(11, 0, 11), 0.1 + 10 * 0.8 / 11, 1e-9);
    EXPECT_NEAR(subtitle::openRowTop(10, 1, 11), subtitle::openRowTop(11, 0, 11), 1e-9);
    EXPECT_LT(subtitle::openRowTop(1, 0, 11), 0.2);
    // Beyond MNR, or an MNR that counts no rows: a percentage of the picture height.
    EXPECT_NEAR(subtitle::openRowTop(85, 0, 99), 0.85, 1e-9);
    EXPECT_NEAR(subtitle::openRowTop(54, 0, 11), 0.54, 1e-9);
}

TEST(Timeline, CumulativePartsEndAtTheirOwnOutTime) {
    auto part = [](std::uint8_t status, std::uint8_t in, std::uint8_t out) {
        modeltest::Block b = modeltest::block(status, 0xFF, "x");
        b.cumulative = status;
        b.in[2] = in;
        b.out[2] = out;
        return b;
    };
    const subtitle::Document doc =
        modeltest::document({part(1, 0, 4), part(2, 2, 9), part(3, 5, 9), part(0, 10, 11)});
    std::string slices;
    for (const auto& d : subtitle::timeline(doc.subtitles, {25, false})) {
        slices += std::to_string(d.start / 25) + "-" + std::to_string(d.end / 25) + ":";
        for (const std::size_t p : d.parts) slices += std::to_string(p);
        slices += " ";
    }
    EXPECT_EQ(slices, "0-2:0 2-4:01 4-5:1 5-9:12 10-11:3 ");
}

}  // namespace
