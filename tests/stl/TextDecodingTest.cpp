#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "stl/CodePage.h"
#include "stl/STLUtils.h"
#include "tests/support/TestEnvironment.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

TTextAndTimingInformation BlockWithText(const Bytes& text, std::uint8_t filler = 0x8F) {
    TTextAndTimingInformation block{};
    std::memset(block.Bytes + tti::TextField.Offset, filler, TTI_TEXT_FIELD_SIZE);
    std::copy_n(text.begin(), std::min(text.size(), TTI_TEXT_FIELD_SIZE),
                block.Bytes + tti::TextField.Offset);
    return block;
}

struct DisplayCase {
    const char* name;
    Bytes text;  // rest of the field is 0x8F
    std::string expected;
};

class DisplayChainTest : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayChainTest, MarksControlCodesAndStopsAtFiller) {
    const TTextAndTimingInformation block = BlockWithText(GetParam().text);
    EXPECT_EQ(TextFieldDisplayBytes(block), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DisplayChainTest,
    ::testing::Values(DisplayCase{"Hello", Text("Hello"), "Hello"},
                      DisplayCase{"ControlCodes",
                                  Concat({{0x0D, 0x0B, 0x0B},
                                          Text("Hi"),
                                          {0x0A, 0x0A, 0x8A, 0x8A, 0x0B, 0x0B},
                                          Text("Yo"),
                                          {0x0A, 0x0A}}),
                                  "|||Hi||||||Yo||"},
                      DisplayCase{"StartsWithFiller", {}, ""},
                      DisplayCase{"ZeroByteIsABar", Concat({Text("A"), {0x00}, Text("B")}), "A|B"},
                      DisplayCase{"RangeEdges",
                                  {0x1F, 0x20, 0x7F, 0x80, 0x8E, 0x90, 0x9F, 0xA0, 0xFF},
                                  "| \x7f||||\xa0\xff"},
                      DisplayCase{"FillerInTheMiddle", Concat({Text("ab"), {0x8F}, Text("cd")}),
                                  "ab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayBufferTest, FullFieldWithoutFiller) {
    EXPECT_EQ(TextFieldDisplayBytes(BlockWithText({}, 'A')), std::string(112, 'A'));
    EXPECT_EQ(TextFieldDisplayBytes(BlockWithText({}, 0x20)), std::string(112, ' '));
    EXPECT_EQ(TextFieldDisplayBytes(BlockWithText({}, 0x00)), std::string(112, '|'));
}

TEST(DisplayBufferTest, ChangesTheCopyOnlyUpToTheFiller) {
    std::uint8_t buffer[128] = {};
    const std::uint8_t text[] = {'a', 0x0A, 0x8F, 0x0A};
    std::memcpy(buffer, text, sizeof text);
    EXPECT_EQ(STLTextToDisplayString(buffer), "a|");
    EXPECT_EQ(buffer[1], 0x7C);
    EXPECT_EQ(buffer[2], 0x8F);
    EXPECT_EQ(buffer[3], 0x0A);
}

TEST(STLTextToStringTest, StopsAtFirstZeroByte) {
    const std::uint8_t field[8] = {'A', 'B', 0, 'C', 'D', 'E', 'F', 'G'};
    EXPECT_EQ(STLTextToString(field, 8), "AB");
    EXPECT_EQ(STLTextToString(field, 1), "A");
    EXPECT_EQ(STLTextToString(field, 0), "");
    const std::uint8_t control[3] = {0x01, 0xFF, 0x20};
    EXPECT_EQ(STLTextToString(control, 3), "\x01\xff\x20");
}

TEST(STLTextToStringTest, CountLimits) {
    testsupport::DebugCapture debug;
    std::vector<std::uint8_t> wide(200, 'x');
    EXPECT_EQ(STLTextToString(wide.data(), 113).size(), 113u);
    EXPECT_TRUE(debug.lines().empty());
    EXPECT_EQ(STLTextToString(wide.data(), 114), "");
    EXPECT_EQ(STLTextToString(wide.data(), -1), "");
    EXPECT_EQ(debug.lines(), std::vector<std::string>(2, "vyr: Error in STLTextToString call..."));
}

TEST(STLTextToStringTest, NullTextDiagnosticDependsOnVariant) {
    testsupport::DebugCapture debug;
    EXPECT_EQ(STLTextToString(nullptr, 4, TSTLVariant::Viewer), "");
    EXPECT_EQ(STLTextToString(nullptr, 4, TSTLVariant::Plugin), "");
    EXPECT_EQ(debug.lines(),
              (std::vector<std::string>{"vyr: Error in STLTextToString - invalid Text argument.",
                                        "vyr: Error in STLTextToString call..."}));
}

struct CodePageCase {
    const char* name;
    std::string bytes;
    std::uint16_t codePage;
    std::u16string expected;
};

class CodePageToUnicodeTest : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageToUnicodeTest, Decodes) {
    testsupport::DebugCapture debug;
    EXPECT_EQ(CodePageToUnicode(GetParam().bytes, GetParam().codePage), GetParam().expected);
    EXPECT_TRUE(debug.lines().empty());
}

INSTANTIATE_TEST_SUITE_P(Pages, CodePageToUnicodeTest,
                         ::testing::Values(CodePageCase{"Western", "\xE9", 1252, u"\u00E9"},
                                           CodePageCase{"OemLatin1", "\xE9", 850, u"\u00DA"},
                                           CodePageCase{"Cyrillic", "\xE9", 1251, u"\u0439"},
                                           CodePageCase{"Iso6937Composes",
                                                        "Caf\xC2"
                                                        "e",
                                                        20269, u"Caf\u00E9"},
                                           CodePageCase{"ShiftJis", "\x82\xA0!", 932, u"\u3042!"},
                                           CodePageCase{"Bars", "|||Hi||||||Yo||", 1252,
                                                        u"|||Hi||||||Yo||"},
                                           CodePageCase{"RefusedUtf8", "abc", 65001, u""},
                                           CodePageCase{"Unknown", "abc", 12345, u""},
                                           CodePageCase{"Empty", "", 1252, u""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GSIFieldToDisplayStringTest, DecodesWithAnsiPageAndTrims) {
    if (platform::systemAnsiCodePage() != 1252) GTEST_SKIP() << "needs a Western locale";
    TGeneralSubtitleInformation gsi{};
    std::memcpy(gsi.Bytes + gsi::OriginalProgrammeTitle.Offset, "\x01 Caf\xE9\x0A  \0tail", 14);
    EXPECT_EQ(GSIFieldToDisplayString(gsi, gsi::OriginalProgrammeTitle), u"Caf\u00E9");
    EXPECT_EQ(GSIFieldToDisplayString(gsi, gsi::Publisher), u"");
}

}  // namespace
