#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "stl/StlUtils.h"

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
    EXPECT_EQ(strToInt32(GetParam().text), GetParam().expected);
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
    GeneralSubtitleInformation gsi{};
    std::memcpy(gsi.bytes + gsi::totalNumberOfTti.offset, "\x01 12\x20", 5);
    EXPECT_EQ(fieldToInt32(gsi.bytes, gsi::totalNumberOfTti), 12);
    std::memcpy(gsi.bytes + gsi::totalNumberOfTti.offset,
                "12\0"
                "34",
                5);
    EXPECT_EQ(fieldToInt32(gsi.bytes, gsi::totalNumberOfTti), 12);
    std::memcpy(gsi.bytes + gsi::totalNumberOfTti.offset, "     ", 5);
    EXPECT_EQ(fieldToInt32(gsi.bytes, gsi::totalNumberOfTti), std::nullopt);
}

struct DiskFormatCase {
    const char* stored;  // 8 bytes
    int framesPerSecond;
};

class DiskFormatCodeTest : public ::testing::TestWithParam<DiskFormatCase> {};

TEST_P(DiskFormatCodeTest, GivesFrameRate) {
    GeneralSubtitleInformation gsi{};
    std::memcpy(gsi.bytes + gsi::diskFormatCode.offset, GetParam().stored, 8);
    EXPECT_EQ(framesPerSecondFromDiskFormatCode(gsi), GetParam().framesPerSecond);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, DiskFormatCodeTest,
    ::testing::Values(DiskFormatCase{"STL25.01", 25}, DiskFormatCase{"stl25.01", 25},
                      DiskFormatCase{"Stl30.01", 30}, DiskFormatCase{"STL24.01", 0},
                      DiskFormatCase{"STL25.0 ", 0}, DiskFormatCase{"STL25\0.1", 0},
                      DiskFormatCase{"        ", 0}));

TEST(TimeCodeTest, ReadsFormatsAndConverts) {
    TextAndTimingInformation block{};
    const std::uint8_t in[4] = {10, 0, 5, 12};
    std::memcpy(block.bytes + tti::timeCodeIn.offset, in, 4);
    const std::uint8_t out[4] = {255, 7, 100, 9};
    std::memcpy(block.bytes + tti::timeCodeOut.offset, out, 4);

    const TimeCode tcIn = timeCodeAt(block, tti::timeCodeIn);
    EXPECT_EQ(formatTimeCode(tcIn), "10:00:05:12");
    EXPECT_DOUBLE_EQ(timeCodeToSeconds(tcIn, 25), 36005.48);
    EXPECT_DOUBLE_EQ(timeCodeToSeconds(tcIn, 30), 36005.4);
    EXPECT_DOUBLE_EQ(timeCodeToSeconds(tcIn, 0), 36005.0);
    EXPECT_EQ(formatTimeCode(timeCodeAt(block, tti::timeCodeOut)), "255:07:100:09");
}

TEST(TimeCodeTest, FrameCountsAndHeaderFields) {
    const struct {
        std::int64_t frames;
        int fps;
        bool plus;
        const char* text;
    } counts[] = {{0, 25, false, "00:00:00:00"},    {900012, 25, false, "10:00:00:12"},
                  {10, 25, true, "+00:00:00:10"},   {-25, 25, true, "-00:00:01:00"},
                  {-29, 30, false, "-00:00:00:29"}, {2591999, 30, false, "23:59:59:29"}};
    for (const auto& c : counts) EXPECT_EQ(formatFrames(c.frames, c.fps, c.plus), c.text);

    const struct {
        const char* field;
        std::optional<std::array<int, 4>> parts;
    } fields[] = {{"10000012", std::array{10, 0, 0, 12}},
                  {"99999999", std::array{99, 99, 99, 99}},  // digits, not checked for range
                  {"1000001 ", std::nullopt},
                  {"________", std::nullopt}};
    for (const auto& f : fields) {
        GeneralSubtitleInformation gsi{};
        std::memcpy(gsi.bytes + gsi::timeCodeFirstInCue.offset, f.field, 8);
        const auto time = gsiTimeCode(gsi, gsi::timeCodeFirstInCue);
        ASSERT_EQ(time.has_value(), f.parts.has_value()) << f.field;
        if (time) {
            EXPECT_EQ((std::array<int, 4>{time->hours, time->minutes, time->seconds, time->frames}),
                      *f.parts);
        }
    }
}

TEST(SubtitleNumberTest, LowByteFirst) {
    TextAndTimingInformation block{};
    block.bytes[1] = 0x01;
    block.bytes[2] = 0x02;
    EXPECT_EQ(subtitleNumberOf(block), 513);
    block.bytes[1] = block.bytes[2] = 0xFF;
    EXPECT_EQ(subtitleNumberOf(block), 65535);
}

TEST(GSIDateTest, RearrangesOnlySixCharacters) {
    EXPECT_EQ(formatGsiDate(std::string_view("120315")), "15:03:12");
    EXPECT_EQ(formatGsiDate(std::string_view("")), "");
    EXPECT_EQ(formatGsiDate(std::string_view("12031")), "12031");
    EXPECT_EQ(formatGsiDate(std::u16string_view(u"99\u00E90a1")), u"a1:\u00E90:99");
}

TEST(TTIBlocksPresentTest, CountsWholeBlocks) {
    EXPECT_EQ(ttiBlocksPresent(0), 0u);
    EXPECT_EQ(ttiBlocksPresent(1023), 0u);
    EXPECT_EQ(ttiBlocksPresent(1024), 0u);
    EXPECT_EQ(ttiBlocksPresent(1024 + 128 * 3 + 127), 3u);
    EXPECT_EQ(ttiBlocksPresent(std::int64_t{1} << 40), ((std::uint64_t{1} << 40) - 1024) / 128);
}

TEST(HexDisplayCharTest, ControlRangesShowAsDots) {
    const std::pair<std::uint8_t, char16_t> cases[] = {
        {0x00, u'.'},      {0x1F, u'.'},      {0x20, u' '},     {0x41, u'A'},
        {0x7E, u'~'},      {0x7F, u'.'},      {0x80, u'.'},     {0x9F, u'.'},
        {0xA0, u'\u00A0'}, {0xE9, u'\u00E9'}, {0xFF, u'\u00FF'}};
    for (const auto& [byte, shown] : cases) EXPECT_EQ(hexDisplayChar(byte), shown) << int{byte};
}

TEST(TextHelpersTest, TrimAndUpperCase) {
    EXPECT_EQ(trimControl(std::string_view("\x00\x01 a b\x20\x1f", 8)), "a b");
    EXPECT_EQ(trimControl(std::string_view("\x7f\xa0", 2)), std::string_view("\x7f\xa0", 2));
    EXPECT_EQ(trimControl(std::u16string_view(u" \u00e9 ")), u"\u00e9");
    EXPECT_EQ(toUpperAscii("stl25.01\xe9"), "STL25.01\xe9");
}

}  // namespace
