#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "stl/STLUtils.h"

namespace {

struct IntCase {
    std::string text;
    std::optional<std::int32_t> expected;
};

void PrintTo(const IntCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class StrToInt32Test : public ::testing::TestWithParam<IntCase> {};

TEST_P(StrToInt32Test, Converts) {
    EXPECT_EQ(StrToInt32(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Decimal, StrToInt32Test,
    ::testing::Values(IntCase{"12", 12}, IntCase{"00012", 12}, IntCase{"+7", 7}, IntCase{"-0", 0},
                      IntCase{"2147483647", 2147483647},
                      IntCase{"-2147483648", std::numeric_limits<std::int32_t>::min()},
                      IntCase{"2147483648", std::nullopt}, IntCase{"-2147483649", std::nullopt},
                      IntCase{"99999999999999999999", std::nullopt},
                      IntCase{"0000000000000000000012", 12}, IntCase{"12a", std::nullopt},
                      IntCase{"1 2", std::nullopt}, IntCase{" 12", std::nullopt},
                      IntCase{"", std::nullopt}, IntCase{"-", std::nullopt},
                      IntCase{"--1", std::nullopt}, IntCase{"+-1", std::nullopt},
                      IntCase{"1.5", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    Hexadecimal, StrToInt32Test,
    ::testing::Values(IntCase{"$FF", 255}, IntCase{"$ff", 255}, IntCase{"x1F", 31},
                      IntCase{"X1f", 31}, IntCase{"0x7fffffff", 2147483647},
                      IntCase{"0XFFFFFFFF", -1}, IntCase{"$80000000", -2147483647 - 1},
                      IntCase{"-$10", -16}, IntCase{"+0x10", 16}, IntCase{"-0xFFFFFFFF", 1},
                      IntCase{"$00000000F", std::nullopt}, IntCase{"0x123456789", std::nullopt},
                      IntCase{"$", std::nullopt}, IntCase{"0x", std::nullopt},
                      IntCase{"-x", std::nullopt}, IntCase{"$G1", std::nullopt},
                      IntCase{"0x$1", std::nullopt}, IntCase{"$-1", std::nullopt},
                      IntCase{"00x1", std::nullopt}));

TEST(FieldToInt32Test, TrimsControlBytesAndStopsAtZero) {
    TGeneralSubtitleInformation gsi{};
    std::memcpy(gsi.Bytes + gsi::TotalNumberOfTTI.Offset, "\x01 12\x20", 5);
    EXPECT_EQ(FieldToInt32(gsi.Bytes, gsi::TotalNumberOfTTI), 12);
    std::memcpy(gsi.Bytes + gsi::TotalNumberOfTTI.Offset,
                "12\0"
                "34",
                5);
    EXPECT_EQ(FieldToInt32(gsi.Bytes, gsi::TotalNumberOfTTI), 12);
    std::memcpy(gsi.Bytes + gsi::TotalNumberOfTTI.Offset, "     ", 5);
    EXPECT_EQ(FieldToInt32(gsi.Bytes, gsi::TotalNumberOfTTI), std::nullopt);
}

struct DiskFormatCase {
    const char* stored;  // 8 bytes
    int framesPerSecond;
};

class DiskFormatCodeTest : public ::testing::TestWithParam<DiskFormatCase> {};

TEST_P(DiskFormatCodeTest, GivesFrameRate) {
    TGeneralSubtitleInformation gsi{};
    std::memcpy(gsi.Bytes + gsi::DiskFormatCode.Offset, GetParam().stored, 8);
    EXPECT_EQ(FramesPerSecondFromDiskFormatCode(gsi), GetParam().framesPerSecond);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, DiskFormatCodeTest,
    ::testing::Values(DiskFormatCase{"STL25.01", 25}, DiskFormatCase{"stl25.01", 25},
                      DiskFormatCase{"Stl30.01", 30}, DiskFormatCase{"STL24.01", 0},
                      DiskFormatCase{"STL25.0 ", 0}, DiskFormatCase{"STL25\0.1", 0},
                      DiskFormatCase{"        ", 0}));

TEST(TimeCodeTest, ReadsFormatsAndConverts) {
    TTextAndTimingInformation block{};
    const std::uint8_t in[4] = {10, 0, 5, 12};
    std::memcpy(block.Bytes + tti::TimeCodeIn.Offset, in, 4);
    const std::uint8_t out[4] = {255, 7, 100, 9};
    std::memcpy(block.Bytes + tti::TimeCodeOut.Offset, out, 4);

    const TTimeCode tcIn = TimeCodeAt(block, tti::TimeCodeIn);
    EXPECT_EQ(FormatTimeCode(tcIn), "10:00:05:12");
    EXPECT_DOUBLE_EQ(TimeCodeToSeconds(tcIn, 25), 36005.48);
    EXPECT_DOUBLE_EQ(TimeCodeToSeconds(tcIn, 30), 36005.4);
    EXPECT_DOUBLE_EQ(TimeCodeToSeconds(tcIn, 0), 36005.0);
    EXPECT_EQ(FormatTimeCode(TimeCodeAt(block, tti::TimeCodeOut)), "255:07:100:09");
}

TEST(SubtitleNumberTest, LowByteFirst) {
    TTextAndTimingInformation block{};
    block.Bytes[1] = 0x01;
    block.Bytes[2] = 0x02;
    EXPECT_EQ(SubtitleNumberOf(block), 513);
    block.Bytes[1] = block.Bytes[2] = 0xFF;
    EXPECT_EQ(SubtitleNumberOf(block), 65535);
}

TEST(GSIDateTest, RearrangesOnlySixCharacters) {
    EXPECT_EQ(FormatGSIDate(std::string_view("120315")), "15:03:12");
    EXPECT_EQ(FormatGSIDate(std::string_view("")), "");
    EXPECT_EQ(FormatGSIDate(std::string_view("12031")), "12031");
    EXPECT_EQ(FormatGSIDate(std::u16string_view(u"99\u00E90a1")), u"a1:\u00E90:99");
}

TEST(TTIBlocksPresentTest, CountsWholeBlocks) {
    EXPECT_EQ(TTIBlocksPresent(0), 0u);
    EXPECT_EQ(TTIBlocksPresent(1023), 0u);
    EXPECT_EQ(TTIBlocksPresent(1024), 0u);
    EXPECT_EQ(TTIBlocksPresent(1024 + 128 * 3 + 127), 3u);
    EXPECT_EQ(TTIBlocksPresent(std::int64_t{1} << 40), ((std::uint64_t{1} << 40) - 1024) / 128);
}

TEST(HexDisplayCharTest, ControlRangesShowAsDots) {
    const std::pair<std::uint8_t, char16_t> cases[] = {
        {0x00, u'.'},      {0x1F, u'.'},      {0x20, u' '},     {0x41, u'A'},
        {0x7E, u'~'},      {0x7F, u'.'},      {0x80, u'.'},     {0x9F, u'.'},
        {0xA0, u'\u00A0'}, {0xE9, u'\u00E9'}, {0xFF, u'\u00FF'}};
    for (const auto& [byte, shown] : cases) EXPECT_EQ(HexDisplayChar(byte), shown) << int{byte};
}

TEST(TextHelpersTest, TrimAndUpperCase) {
    EXPECT_EQ(TrimControl(std::string_view("\x00\x01 a b\x20\x1f", 8)), "a b");
    EXPECT_EQ(TrimControl(std::string_view("\x7f\xa0", 2)), std::string_view("\x7f\xa0", 2));
    EXPECT_EQ(TrimControl(std::u16string_view(u" \u00e9 ")), u"\u00e9");
    EXPECT_EQ(ToUpperAscii("stl25.01\xe9"), "STL25.01\xe9");
}

}  // namespace
