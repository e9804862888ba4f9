// The delivery rules 501-520, one table per group, each at and just past its threshold.

#include <gtest/gtest.h>

#include "DeliveryTestSupport.h"

namespace {

using namespace deliverytest;
using B = StlFileBuilder::Block;
constexpr std::int32_t W = 2, E = 3;

B with(B b, void (*change)(B&)) {
    change(b);
    return b;
}
B ext(std::uint16_t number, std::uint8_t extension, std::string_view text = "Text") {
    B b = subtitle(number, 0, 50, text);
    b.extension = extension;
    return b;
}
B cumulative(std::uint16_t number, std::uint8_t status, int in = 0) {
    B b = subtitle(number, in, 100);
    b.cumulative = status;
    return b;
}
B vertical(std::uint8_t row) {
    B b = subtitle(1, 0, 50);
    b.vertical = row;
    return b;
}
StlFileBuilder one(std::string_view text) {
    return fileOf({subtitle(1, 0, 50, text)});
}
StlFileBuilder openFile(std::string_view text) {
    return one(text).gsi(gsi::displayStandardCode, "0");
}

class DeliveryRuleTest : public ::testing::TestWithParam<Case> {};

TEST_P(DeliveryRuleTest, GivesExactlyTheExpectedFindings) {
    const Case& c = GetParam();
    EXPECT_EQ(deliveryFindings(c.file(), c.switches), c.expected);
}

const Case TIMING[] = {
    {"OverlapByOneFrame",
     {{501}},
     [] {
         return fileOf({subtitle(1, 0, 50), subtitle(2, 49, 100)});
     },
     {{501, E,
       "TTI # 1 - Subtitle 2 (10:00:01:24): Time Code In 10:00:01:24 is before the previous Time "
       "Code Out 10:00:02:00"}}},
    {"TouchingIsNoOverlap",
     {{501}},
     [] {
         return fileOf({subtitle(1, 0, 50), subtitle(2, 50, 100)});
     },
     {}},
    {"CumulativePartsShareTheirOut",
     {{501}},
     [] {
         return fileOf({cumulative(1, 1), cumulative(2, 2, 30), cumulative(3, 3, 60)});
     },
     {}},
    {"CommentsAreSkipped",
     {{501}},
     [] {
         return fileOf(
             {subtitle(1, 0, 50), with(subtitle(2, 10, 100), [](B& b) { b.comment = 1; })});
     },
     {}},
    {"UserDataIsSkipped",
     {{501}},
     [] {
         return fileOf(
             {subtitle(1, 0, 50), with(subtitle(2, 10, 100), [](B& b) { b.extension = 0xFE; })});
     },
     {}},
    {"GapAtThreshold",
     {{502, 2}},
     [] {
         return fileOf({subtitle(1, 0, 50), subtitle(2, 52, 100)});
     },
     {}},
    {"GapOneFrameShort",
     {{502, 2}},
     [] {
         return fileOf({subtitle(1, 0, 50), subtitle(2, 51, 100)});
     },
     {{502, W, "TTI # 1 - Subtitle 2 (10:00:02:01): Gap of 1 frames, less than 2"}}},
    {"DurationAtMinimum", {{503, 1000}}, [] { return fileOf({subtitle(1, 0, 25)}); }, {}},
    {"DurationOneFrameShort",
     {{503, 1000}},
     [] { return fileOf({subtitle(1, 0, 24)}); },
     {{503, W, "TTI # 0 - Subtitle 1 (10:00:00:00): Duration of 960 ms, less than 1000 ms"}}},
    {"FiveSixthsOfASecond",
     {{503, 833}},
     [] {
         return fileOf({subtitle(1, 0, 21), subtitle(2, 100, 120)});
     },
     {{503, W, "TTI # 1 - Subtitle 2 (10:00:04:00): Duration of 800 ms, less than 833 ms"}}},
    {"DurationAtMaximum", {{504, 7000}}, [] { return fileOf({subtitle(1, 0, 175)}); }, {}},
    {"DurationOneFrameLong",
     {{504, 7000}},
     [] { return fileOf({subtitle(1, 0, 176)}); },
     {{504, W, "TTI # 0 - Subtitle 1 (10:00:00:00): Duration of 7040 ms, more than 7000 ms"}}},
    {"ReadingSpeedAtThreshold",
     {{505, 15}},
     [] {
         return fileOf({subtitle(1, 0, 50,
                                 "ABCDEFGHIJKLMNO\x8a"
                                 "ABCDEFGHIJKLMNO")});
     },
     {}},
    {"ReadingSpeedOverAcrossExtensionBlocks",
     {{505, 15}},
     [] {
         B first = subtitle(1, 0, 50, "ABCDEFGHIJKLMNOP");
         first.extension = 0;
         return fileOf({first, subtitle(1, 0, 50,
                                        "\x8a"
                                        "ABCDEFGHIJKLMNO")});
     },
     {{505, W,
       "TTI # 0 - Subtitle 1 (10:00:00:00): 31 characters in 2.00 s: 15.50 characters per second, "
       "more than 15"}}},
    {"BeforeStartOfProgramme",
     {{509}},
     [] { return fileOf({subtitle(1, -1, 50)}); },
     {{509, W,
       "TTI # 0 - Subtitle 1 (09:59:59:24): Time Code In 09:59:59:24 is before the Time Code "
       "Start-of-Programme "
       "10:00:00:00"}}},
    {"FirstInCueMatches",
     {{510}},
     [] {
         return fileOf({subtitle(1, 0, 50), subtitle(2, 60, 100)});
     },
     {}},
    {"FirstInCueDiffers",
     {{510}},
     [] {
         return fileOf({subtitle(1, 1, 50), subtitle(2, 60, 100)});
     },
     {{510, W,
       "TTI # 0 - Subtitle 1 (10:00:00:01): Time Code First in-cue 10:00:00:00 differs from the "
       "first Time Code In "
       "10:00:00:01"}}},
};
INSTANTIATE_TEST_SUITE_P(Timing, DeliveryRuleTest, ::testing::ValuesIn(TIMING));

const Case LAYOUT[] = {
    {"TwoRowsWithDoubleHeightSpacing",
     {{506, 2}},
     [] {
         return one(
             "A\x8a\x8a"
             "B");
     },
     {}},
    {"ThreeRows",
     {{506, 2}},
     [] {
         return one(
             "A\x8a"
             "B\x8a"
             "C");
     },
     {{506, W, "TTI # 0 - Subtitle 1 (10:00:00:00): 3 rows, more than 2"}}},
    {"RowsBeyondMnr",
     {{506, 2}},
     [] {
         return one("A\x8a"
                    "B")
             .gsi(gsi::maximumNumberOfDisplayableRows, "01");
     },
     {{506, W, "TTI # 0 - Subtitle 1 (10:00:00:00): 2 rows, more than MNR = 1"}}},
    {"RowAtLengthWithOuterSpacesAndAccent",
     {{507, 37}},
     [] {
         return one(
             "  \xC2"
             "eBCDEFGHIJKLMNOPQRSTUVWXYZ 1234567890  ");
     },
     {}},
    {"RowOneCharacterLong",
     {{507, 37}},
     [] { return one("ABCDEFGHIJKLMNOPQRSTUVWXYZ 12345678901"); },
     {{507, W, "TTI # 0 - Subtitle 1 (10:00:00:00): Row 1 has 38 characters, more than 37"}}},
    {"FortyCells",
     {{508}},
     [] {
         return one(
             "\x0d\x0b\x0b"
             "ABCDEFGHIJKLMNOPQRSTUVWXYZ 1234567890");
     },
     {}},
    {"FortyOneCells",
     {{508}},
     [] {
         return one(
             "\x0d\x0b\x0b"
             "ABCDEFGHIJKLMNOPQRSTUVWXYZ 12345678901");
     },
     {{508, E, "TTI # 0 - Subtitle 1 (10:00:00:00): Row 1 is 41 cells wide, more than 40"}}},
    // End box codes after the last character need no room: 37 boxed characters fit.
    {"EndBoxAfterTheFortiethCell",
     {{508}},
     [] {
         return one(
             "\x0d\x0b\x0b"
             "ABCDEFGHIJKLMNOPQRSTUVWXYZ 1234567890\x0a\x0a  ");
     },
     {}},
    {"AllowedColour",
     {{511}},
     [] {
         return one(
             "\x03Yellow\x8a\x06"
             "Cyan");
     },
     {}},
    {"RefusedColour",
     {{511}},
     [] {
         return one(
             "\x01Red\x8a\x04"
             "Blue");
     },
     {{511, W, "TTI # 0 - Subtitle 1 (10:00:00:00): Colour red,blue is not allowed"}}},
    {"TeletextCodeInOpenFile",
     {{512}},
     [] { return openFile("\x0bText"); },
     {{512, E,
       "TTI # 0 - Subtitle 1 (10:00:00:00): Teletext control code 0Bh in an open subtitle file"}}},
    {"OpenCodeInTeletextFile",
     {{512}},
     [] { return one("\x80Text"); },
     {{512, E,
       "TTI # 0 - Subtitle 1 (10:00:00:00): Open subtitle control code 80h in a teletext file"}}},
    {"OpenCodeInOpenFile", {{512}}, [] { return openFile("\x80Text\x81"); }, {}},
    {"Boxed", {{513}}, [] { return one(" \x0b\x0bText\x0a\x0a"); }, {}},
    {"UnboxedSecondRow",
     {{513}},
     [] {
         return one(
             "\x0b\x0bText\x8a"
             "Text");
     },
     {{513, W, "TTI # 0 - Subtitle 1 (10:00:00:00): Row 2 has text outside a box"}}},
    {"DoubleHeight", {{514}}, [] { return one("\x0dText"); }, {}},
    {"SingleHeightAfterNormalSize",
     {{514}},
     [] { return one("\x0dTe\x0cxt"); },
     {{514, W, "TTI # 0 - Subtitle 1 (10:00:00:00): Row 1 has single height text"}}},
    {"TeletextRulesIgnoreOpenFiles",
     {{508}, {511}, {513}, {514}, {515}},
     [] { return openFile("Text"); },
     {}},
    {"VerticalPosition23", {{515}}, [] { return fileOf({vertical(23)}); }, {}},
    {"VerticalPosition0",
     {{515}},
     [] { return fileOf({vertical(0)}); },
     {{515, E,
       "TTI # 0 - Subtitle 1 (10:00:00:00): Invalid teletext Vertical Position value = 0"}}},
    {"VerticalPosition24",
     {{515}},
     [] { return fileOf({vertical(24)}); },
     {{515, E,
       "TTI # 0 - Subtitle 1 (10:00:00:00): Invalid teletext Vertical Position value = 24"}}},
    {"VerticalPositionBeyondMnr",
     {{515}},
     [] { return fileOf({vertical(21)}).gsi(gsi::maximumNumberOfDisplayableRows, "20"); },
     {{515, E,
       "TTI # 0 - Subtitle 1 (10:00:00:00): Invalid teletext Vertical Position value = 21"}}},
};
INSTANTIATE_TEST_SUITE_P(Layout, DeliveryRuleTest, ::testing::ValuesIn(LAYOUT));

const Case STRUCTURE[] = {
    {"GoodChain",
     {{516}},
     [] {
         return fileOf({ext(1, 0), ext(1, 1), ext(1, 0xFF)});
     },
     {}},
    {"ChainSkipsANumber",
     {{516}},
     [] {
         return fileOf({ext(1, 0), ext(1, 2), ext(1, 0xFF)});
     },
     {{516, E,
       "TTI # 1 - Subtitle 1 (10:00:00:00): Extension Block Number 02h out of order, 01h "
       "expected"}}},
    {"ChainChangesNumber",
     {{516}},
     [] {
         return fileOf({ext(1, 0), ext(2, 1), ext(2, 0xFF)});
     },
     {{516, E,
       "TTI # 1 - Subtitle 1 (10:00:00:00): Subtitle Number changes inside an extension chain"}}},
    {"ChainWithoutLast",
     {{516}},
     [] {
         return fileOf({ext(1, 0), ext(2, 0xFF)});
     },
     {{516, E, "TTI # 0 - Subtitle 1 (10:00:00:00): Extension chain without an FFh block"}}},
    {"ChainOpenAtEnd",
     {{516}},
     [] {
         return fileOf({ext(1, 0xFF), ext(2, 0)});
     },
     {{516, E, "TTI # 1 - Subtitle 2 (10:00:00:00): Extension chain without an FFh block"}}},
    {"CompleteSet",
     {{517}},
     [] {
         return fileOf({cumulative(1, 1), cumulative(2, 2), cumulative(3, 3)});
     },
     {}},
    {"IntermediateWithoutFirst",
     {{517}},
     [] {
         return fileOf({cumulative(1, 0), cumulative(2, 2)});
     },
     {{517, E, "TTI # 1 - Subtitle 2 (10:00:00:00): Cumulative Status 2 without a first part"}}},
    {"FirstWithoutLast",
     {{517}},
     [] {
         return fileOf({cumulative(1, 1), cumulative(2, 0)});
     },
     {{517, E, "TTI # 0 - Subtitle 1 (10:00:00:00): Cumulative set without a last part"}}},
    {"SetOpenAtEnd",
     {{517}},
     [] {
         return fileOf({cumulative(1, 0), cumulative(2, 1)});
     },
     {{517, E, "TTI # 1 - Subtitle 2 (10:00:00:00): Cumulative set without a last part"}}},
    {"ByteAfterUnusedSpace",
     {{518}},
     [] { return one("Text").blockBytes(0, 16 + 10, {'X'}); },
     {{518, E,
       "TTI # 0 - Subtitle 1 (10:00:00:00): Byte 58h at text offset 10 after the unused space"}}},
    // A block of a chain is named by its chain's subtitle: number and time of the first block.
    {"ByteAfterUnusedSpaceInAChain",
     {{518}},
     [] {
         return fileOf({ext(1, 0), ext(1, 0xFF)})
             .blockBytes(1, 5, {10, 0, 7, 0})
             .blockBytes(1, 16 + 10, {'X'});
     },
     {{518, E,
       "TTI # 1 - Subtitle 1 (10:00:00:00): Byte 58h at text offset 10 after the unused space"}}},
    {"UndefinedByte",
     {{519}},
     [] { return one("Te\x7Fxt"); },
     {{519, E,
       "TTI # 0 - Subtitle 1 (10:00:00:00): Byte 7Fh is not defined by character code table 00"}}},
    {"LoneDiacritic",
     {{519}},
     [] { return one("Caf\xC2 "); },
     {{519, E, "TTI # 0 - Subtitle 1 (10:00:00:00): Diacritic C2h not followed by a letter"}}},
    {"DiacriticOnLetter",
     {{519}},
     [] {
         return one(
             "Caf\xC2"
             "e");
     },
     {}},
    {"SubtitlesCounted",
     {{520}},
     [] {
         auto userData = ext(3, 0xFE);
         return fileOf({ext(1, 0), ext(1, 0xFF), ext(2, 0xFF), userData})
             .gsi(gsi::totalNumberOfSubtitles, "00002");
     },
     {}},
    {"SubtitlesMiscounted",
     {{520}},
     [] {
         return fileOf({ext(1, 0), ext(1, 0xFF)}).gsi(gsi::totalNumberOfSubtitles, "00002");
     },
     {{520, E, "GSI - TNS = 2, but 1 subtitles counted"}}},
};
INSTANTIATE_TEST_SUITE_P(Structure, DeliveryRuleTest, ::testing::ValuesIn(STRUCTURE));

}  // namespace

namespace {

// What the rules read from the subtitle model: every block present, colours in force at the
// text, a blank display standard, a blank programme start and decimal limits.
const Case MODEL[] = {
    {"BlocksPastTheAnnouncedCount",
     {{505, 15}},
     [] {
         return fileOf({subtitle(1, 0, 50), subtitle(2, 60, 70, "ABCDEFGHIJKLMNOPQRSTU")})
             .announce(1);
     },
     {{505, W,
       "TTI # 1 - Subtitle 2 (10:00:02:10): 21 characters in 0.40 s: 52.50 characters per second, "
       "more than 15"}}},
    {"BackgroundColourIsNoTextColour", {{511}}, [] { return one("\x04\x1d\x07Text"); }, {}},
    {"TextOnABlackBox",
     {{511}},
     [] { return one(std::string("\x00\x1d\x03\x0b\x0bText", 9)); },
     {}},
    {"TeletextCodeUnderABlankStandard",
     {{512}},
     [] { return one("\x0dText").gsi(gsi::displayStandardCode, " "); },
     {}},
    {"BlankStartOfProgramme",
     {{509}},
     [] { return one("Text").gsi(gsi::timeCodeStartOfProgramme, ""); },
     {{509, W, "Time Code Start-of-Programme is blank: the start of programme cannot be checked"}}},
    {"ReadingSpeedAtADecimalLimit",
     {{505, -1, 1550}},
     [] { return fileOf({subtitle(1, 0, 50, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE")}); },
     {}},
    {"ReadingSpeedOverADecimalLimit",
     {{505, -1, 1550}},
     [] { return fileOf({subtitle(1, 0, 50, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEF")}); },
     {{505, W,
       "TTI # 0 - Subtitle 1 (10:00:00:00): 32 characters in 2.00 s: 16.00 characters per second, "
       "more than 15.5"}}},
};
INSTANTIATE_TEST_SUITE_P(Model, DeliveryRuleTest, ::testing::ValuesIn(MODEL));

}  // namespace
