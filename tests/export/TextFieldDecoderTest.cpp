#include <gtest/gtest.h>

#include "ExportTestSupport.h"
#include "export/TextFieldDecoder.h"

namespace {

using exporttest::markup;

constexpr auto Open = DisplayStandard::Open;
constexpr auto Teletext = DisplayStandard::Teletext;
constexpr auto Unknown = DisplayStandard::Unknown;

struct DecodeCase {
    const char* name;
    std::string raw;
    DisplayStandard standard;
    std::uint32_t codePage;
    const char* expected;
};

class TextFieldDecoderTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(TextFieldDecoderTest, Decodes) {
    const DecodeCase& c = GetParam();
    EXPECT_EQ(markup(decodeSubtitleText(c.raw, {c.codePage, c.standard})), c.expected);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, TextFieldDecoderTest,
    ::testing::Values(
        DecodeCase{"Rows", "One\x8ATwo", Open, 20269, "One\nTwo"},
        DecodeCase{"UnusedSpaceEndsText", "One\x8FTwo", Open, 20269, "One"},
        DecodeCase{"DoubleHeightRowsAndPadding",
                   "\x0D\x0B\x0B  One \x0A\x0A\x8A\x8A\x0D\x0B\x0BTwo\x0A\x0A  ", Teletext, 20269,
                   "One\nTwo"},
        DecodeCase{"EmptyText", "\x8A\x8A  \x0B", Teletext, 20269, ""},
        DecodeCase{"CellBetweenWordsIsASpace", "Hello\x03world", Teletext, 20269,
                   "Hello <c.yellow>world</c>"},
        DecodeCase{"CellsBesideASpaceAddNone", "Hello \x07\x0Dworld", Teletext, 20269,
                   "Hello world"},
        DecodeCase{"CellsAtRowEdgesVanish", "\x01\x0DRed\x07\x0A", Teletext, 20269,
                   "<c.red>Red</c>"},
        DecodeCase{"ColourEndsWithTheRow",
                   "\x02Go\x8A"
                   "Back",
                   Teletext, 20269, "<c.lime>Go</c>\nBack"},
        DecodeCase{"WhiteUntagged",
                   "\x06"
                   "Cyan\x07White",
                   Teletext, 20269, "<c.cyan>Cyan</c> White"},
        DecodeCase{"OpenItalicsAndUnderline", "\x80It\x81 and \x82under\x83", Open, 20269,
                   "<i>It</i> and <u>under</u>"},
        DecodeCase{"ItalicsLastAcrossRows", "\x80One\x8ATwo\x81 three", Open, 20269,
                   "<i>One</i>\n<i>Two</i> three"},
        DecodeCase{"SpaceOutsideTags", "Mom\x80 come\x81", Open, 20269, "Mom <i>come</i>"},
        DecodeCase{"BoxingDropped",
                   "\x84"
                   "Boxed\x85",
                   Open, 20269, "Boxed"},
        DecodeCase{"TeletextHasNoItalics", "\x80Plain\x81", Teletext, 20269, "Plain"},
        DecodeCase{"OpenHasNoColours",
                   "A\x01"
                   "B",
                   Open, 20269, "A B"},
        DecodeCase{"UnknownStandardKeepsBoth",
                   "\x80\x03"
                   "Both",
                   Unknown, 20269, "<c.yellow><i>Both</i></c>"},
        DecodeCase{"LatinAccents",
                   "\xC2"
                   "e\xC1"
                   "a \xC3o\xC8u \xCB"
                   "c",
                   Open, 20269, "\xC3\xA9\xC3\xA0 \xC3\xB4\xC3\xBC \xC3\xA7"},
        DecodeCase{"LatinSpecials", "\xA4\xA6\xA3\xF9", Open, 20269, "$#\xC2\xA3\xC3\xB8"},
        DecodeCase{"Cyrillic", "\xBF\xE0\xD8\xD2\xD5\xE2", Open, 28595,
                   "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
        DecodeCase{"Arabic", "\xE5\xD1\xC7", Open, 28596, "\xD9\x85\xD8\xB1\xD8\xA7"},
        DecodeCase{"Greek", "\xC1\xE2", Open, 28597, "\xCE\x91\xCE\xB2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayStandardTest, FromTheGsiCode) {
    GeneralSubtitleInformation gsi{};
    const std::pair<std::uint8_t, DisplayStandard> cases[] = {
        {' ', Open}, {'0', Open}, {'1', Teletext}, {'2', Teletext}, {'3', Unknown}, {0, Unknown}};
    for (const auto& [code, standard] : cases) {
        gsi.bytes[gsi::displayStandardCode.offset] = code;
        EXPECT_EQ(displayStandardOf(gsi), standard) << int{code};
    }
}

}  // namespace
