#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "stl/CodePage.h"
#include "stl/StlUtils.h"
#include "tests/support/TestEnvironment.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

TextAndTimingInformation blockWithText(const Bytes& text, std::uint8_t filler = 0x8F) {
    TextAndTimingInformation block{};
    std::memset(block.bytes + tti::textField.offset, filler, TTI_TEXT_FIELD_SIZE);
    std::copy_n(text.begin(), std::min(text.size(), TTI_TEXT_FIELD_SIZE),
                block.bytes + tti::textField.offset);
    return block;
}

struct DisplayCase {
    const char* name;
    Bytes text;  // rest of the field is 0x8F
    std::string expected;
};

class DisplayChainTest : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayChainTest, MarksControlCodesAndStopsAtFiller) {
    const TextAndTimingInformation block = blockWithText(GetParam().text);
    EXPECT_EQ(textFieldDisplayBytes(block), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DisplayChainTest,
    ::testing::Values(DisplayCase{"Hello", text("Hello"), "Hello"},
                      DisplayCase{"ControlCodes",
                                  concat({{0x0D, 0x0B, 0x0B},
                                          text("Hi"),
                                          {0x0A, 0x0A, 0x8A, 0x8A, 0x0B, 0x0B},
                                          text("Yo"),
                                          {0x0A, 0x0A}}),
                                  "|||Hi||||||Yo||"},
                      DisplayCase{"StartsWithFiller", {}, ""},
                      DisplayCase{"ZeroByteIsABar", concat({text("A"), {0x00}, text("B")}), "A|B"},
                      DisplayCase{"RangeEdges",
                                  {0x1F, 0x20, 0x7F, 0x80, 0x8E, 0x90, 0x9F, 0xA0, 0xFF},
                                  "| \x7f||||\xa0\xff"},
                      DisplayCase{"FillerInTheMiddle", concat({text("ab"), {0x8F}, text("cd")}),
                                  "ab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayBufferTest, FullFieldWithoutFiller) {
    EXPECT_EQ(textFieldDisplayBytes(blockWithText({}, 'A')), std::string(112, 'A'));
    EXPECT_EQ(textFieldDisplayBytes(blockWithText({}, 0x20)), std::string(112, ' '));
    EXPECT_EQ(textFieldDisplayBytes(blockWithText({}, 0x00)), std::string(112, '|'));
}

TEST(DisplayBufferTest, ChangesTheCopyOnlyUpToTheFiller) {
    std::uint8_t buffer[128] = {};
    const std::uint8_t text[] = {'a', 0x0A, 0x8F, 0x0A};
    std::memcpy(buffer, text, sizeof text);
    EXPECT_EQ(stlTextToDisplayString(buffer), "a|");
    EXPECT_EQ(buffer[1], 0x7C);
    EXPECT_EQ(buffer[2], 0x8F);
    EXPECT_EQ(buffer[3], 0x0A);
}

TEST(STLTextToStringTest, StopsAtFirstZeroByte) {
    const std::uint8_t field[8] = {'A', 'B', 0, 'C', 'D', 'E', 'F', 'G'};
    EXPECT_EQ(stlTextToString(field, 8), "AB");
    EXPECT_EQ(stlTextToString(field, 1), "A");
    EXPECT_EQ(stlTextToString(field, 0), "");
    const std::uint8_t control[3] = {0x01, 0xFF, 0x20};
    EXPECT_EQ(stlTextToString(control, 3), "\x01\xff\x20");
}

TEST(STLTextToStringTest, CountLimits) {
    testsupport::DebugCapture debug;
    std::vector<std::uint8_t> wide(200, 'x');
    EXPECT_EQ(stlTextToString(wide.data(), 113).size(), 113u);
    EXPECT_TRUE(debug.lines().empty());
    EXPECT_EQ(stlTextToString(wide.data(), 114), "");
    EXPECT_EQ(stlTextToString(wide.data(), -1), "");
    EXPECT_EQ(debug.lines(), std::vector<std::string>(2, "vyr: Error in STLTextToString call..."));
}

TEST(STLTextToStringTest, NullTextDiagnosticDependsOnVariant) {
    testsupport::DebugCapture debug;
    EXPECT_EQ(stlTextToString(nullptr, 4, StlVariant::Viewer), "");
    EXPECT_EQ(stlTextToString(nullptr, 4, StlVariant::Plugin), "");
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
    EXPECT_EQ(codePageToUnicode(GetParam().bytes, GetParam().codePage), GetParam().expected);
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
    GeneralSubtitleInformation gsi{};
    std::memcpy(gsi.bytes + gsi::originalProgrammeTitle.offset, "\x01 Caf\xE9\x0A  \0tail", 14);
    EXPECT_EQ(gsiFieldToDisplayString(gsi, gsi::originalProgrammeTitle), u"Caf\u00E9");
    EXPECT_EQ(gsiFieldToDisplayString(gsi, gsi::publisher), u"");
}

}  // namespace
