// The file validator's rules 402-440, on files built byte by byte.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RuleTestSupport.h"

namespace {

using namespace ruletest;

class RuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RuleTest, GivesExactlyTheExpectedFindings) {
    const RuleCase& ruleCase = GetParam();
    const RunResult run = validate(ruleCase.file(), ruleCase.patchGsi);
    EXPECT_EQ(run.result, S_OK);
    EXPECT_EQ(run.findings, ruleCase.expected);
    EXPECT_EQ(run.wrongModuleOrType, 0) << "every finding is proposed as module 7, type Error";
}

const RuleCase RULE_CASES[] = {
    {"Clean", [] { return twoBlocks(); }, {}, {}},
    {"CodePageNumber",
     [] { return withGsi(gsi::codePageNumber, "85x"); },
     {},
     {{402, "Invalid GSI - Code Page Number value = 85x"}}},
    {"DiskFormatCodeUpperCased",
     [] { return twoBlocks(); },
     [](GeneralSubtitleInformation& g) { putField(g, gsi::diskFormatCode, "stl24.01"); },
     {{403, "Invalid GSI - Data Format Code = STL24.01"}}},
    {"DisplayStandardCodeBlankPasses",
     [] { return withGsi(gsi::displayStandardCode, " "); },
     {},
     {}},
    {"DisplayStandardCode3",
     [] { return withGsi(gsi::displayStandardCode, "3"); },
     {},
     {{404, "Invalid GSI - Display Standard Code = 3"}}},
    {"CharacterCodeTable",
     [] { return withGsi(gsi::characterCodeTableNumber, "0a"); },
     {},
     {{405, "Invalid GSI - Character Code Table Number = 0A"}}},
    {"LanguageCode7fPasses", [] { return withGsi(gsi::languageCode, "7f"); }, {}, {}},
    {"LanguageCode80",
     [] { return withGsi(gsi::languageCode, "80"); },
     {},
     {{406, "Invalid GSI - Language Code = 80"}}},
    {"LanguageCodeZz",
     [] { return withGsi(gsi::languageCode, "zz"); },
     {},
     {{406, "Invalid GSI - Language Code = ZZ"}}},
    {"LanguageCodeWithOwnPrefix",
     [] { return withGsi(gsi::languageCode, "$1"); },
     {},
     {{406, "Invalid GSI - Language Code = $1"}}},
    {"CreationDateBlankPasses", [] { return withGsi(gsi::creationDate, ""); }, {}, {}},
    {"CreationDate",
     [] { return withGsi(gsi::creationDate, "12a315"); },
     {},
     {{407, "Invalid GSI - Creation Date = 12a315"}}},
    {"RevisionDate",
     [] { return withGsi(gsi::revisionDate, "1203 6"); },
     {},
     {{408, "Invalid GSI - Revision Date = 1203 6"}}},
    {"RevisionNumberBlankPasses", [] { return withGsi(gsi::revisionNumber, ""); }, {}, {}},
    {"RevisionNumberNegative",
     [] { return withGsi(gsi::revisionNumber, "-1"); },
     {},
     {{409, "Invalid GSI - Revision Number = -1"}}},
    {"RevisionNumberText",
     [] { return withGsi(gsi::revisionNumber, "ab"); },
     {},
     {{409, "Invalid GSI - Revision Number = ab"}}},
    // The reader refuses such a count; given one anyway, no block is examined and the size is
    // compared against the GSI block alone.
    {"TotalNumberOfTTI",
     [] { return StlFileBuilder(); },
     [](GeneralSubtitleInformation& g) { putField(g, gsi::totalNumberOfTti, "1x"); },
     {{410, "Invalid GSI - Total Number of TTI Blocks = 1x"}}},
    {"TotalNumberOfSubtitles",
     [] { return withGsi(gsi::totalNumberOfSubtitles, "abc"); },
     {},
     {{411, "Invalid GSI - Total Number of Subtitles = abc"}}},
    {"SubtitlesAboveBlocks",
     [] { return withGsi(gsi::totalNumberOfSubtitles, "00003"); },
     {},
     {{412, "GSI - TNS must be less or equal to TNB. TNB = 00002. TNS = 00003"}}},
    {"SubtitleGroupsReadAsHex",
     [] { return withGsi(gsi::totalNumberOfSubtitleGroups, "0FF"); },
     {},
     {}},
    {"SubtitleGroups",
     [] { return withGsi(gsi::totalNumberOfSubtitleGroups, "0g1"); },
     {},
     {{413, "Invalid GSI - Total Number of Subtitle Groups = 0g1"}}},
    {"MaximumCharacters",
     [] { return withGsi(gsi::maximumNumberOfDisplayableCharacters, "-1"); },
     {},
     {{414, "Invalid GSI - Maximum Number of Displayable Characters = -1"}}},
    {"MaximumRows",
     [] { return withGsi(gsi::maximumNumberOfDisplayableRows, ""); },
     {},
     {{415, "Invalid GSI - Maximum Number of Displayable Rows = "}}},
    {"TimeCodeStatus",
     [] { return withGsi(gsi::timeCodeStatus, "2"); },
     {},
     {{416, "Invalid GSI - Time Code Status = 2"}}},
    {"StartOfProgramme",
     [] { return withGsi(gsi::timeCodeStartOfProgramme, "10:00:00"); },
     {},
     {{417, "Invalid GSI - Time Code Start-of-Programme = 10:00:00"}}},
    {"FirstInCue",
     [] { return withGsi(gsi::timeCodeFirstInCue, "1000000x"); },
     {},
     {{418, "Invalid GSI - Time Code First in-cue = 1000000x"}}},
    {"TotalDisks",
     [] { return withGsi(gsi::totalNumberOfDisks, "a"); },
     {},
     {{419, "Invalid GSI - Total Number of Disks = a"}}},
    {"DiskSequence",
     [] { return withGsi(gsi::diskSequenceNumber, "b"); },
     {},
     {{420, "Invalid GSI - Disk Sequence Number = b"}}},
    {"DiskSequenceAboveTotal",
     [] {
         StlFileBuilder file = withGsi(gsi::totalNumberOfDisks, "1");
         file.gsi(gsi::diskSequenceNumber, "2");
         return file;
     },
     {},
     {{421, "GSI - DSN must be less or equal to TND. TND = 1. DSN = 2"}}},
    {"BlankTotalDisksSuppressesComparison",
     [] {
         StlFileBuilder file = withGsi(gsi::totalNumberOfDisks, "");
         file.gsi(gsi::diskSequenceNumber, "2");
         return file;
     },
     {},
     {}},
    {"FileShorterThanAnnounced",
     [] {
         StlFileBuilder file = twoBlocks();
         file.announce(3);
         return file;
     },
     {},
     {{422,
       "Invalid STL file size. File size is smaller than the announced Text And Timing Information "
       "records count"},
      {424, "TTI # 2 - Unable to retrieve TTI blocks to the end of the file"}}},
    {"FileLongerThanAnnounced",
     [] {
         // Block 1 breaks every TTI rule; it lies beyond the announced count and is not examined.
         StlFileBuilder file = withByte(1, tti::cumulativeStatus, 9);
         file.announce(1);
         return file;
     },
     {},
     {{423,
       "Invalid STL file size. File size is bigger than the announced Text And Timing Information "
       "records count"}}},
    {"SubtitleNumbers1124",
     [] {
         return withNumbers({1, 1, 2, 4});
     },
     {},
     {{425, "TTI # 1 - Dublicate Subtitle Number = 1"},
      {426, "TTI # 3 - Not equal or subsequent Subtitle Number = 4"}}},
    {"SubtitleNumbers05",
     [] {
         return withNumbers({0, 5});
     },
     {},
     {}},
    {"SubtitleNumber65535Twice",
     [] {
         return withNumbers({65535, 65535});
     },
     {},
     {{425, "TTI # 1 - Dublicate Subtitle Number = 65535"}}},
    {"CumulativeStatusIndexIsBlockNotNumber",
     [] { return withByte(1, tti::cumulativeStatus, 4); },
     {},
     {{427, "TTI # 1 - Invalid Cumulative Status = 4"}}},
    {"Hours",
     [] {
         return withTimes({24, 0, 0, 0}, {25, 0, 0, 0});
     },
     {},
     {{428, "TTI # 0 - Invalid Time Code In - Hours = 24"},
      {432, "TTI # 0 - Invalid Time Code Out - Hours = 25"}}},
    {"Minutes",
     [] {
         return withTimes({0, 60, 0, 0}, {0, 61, 0, 0});
     },
     {},
     {{429, "TTI # 0 - Invalid Time Code In - Minutes = 60"},
      {433, "TTI # 0 - Invalid Time Code Out - Minutes = 61"}}},
    {"Seconds",
     [] {
         return withTimes({0, 0, 60, 0}, {0, 0, 61, 0});
     },
     {},
     {{430, "TTI # 0 - Invalid Time Code In - Seconds = 60"},
      {434, "TTI # 0 - Invalid Time Code Out - Seconds = 61"}}},
    {"AllFourPartsOfOneTimeCode",
     [] {
         return withTimes({24, 60, 60, 25}, {99, 0, 0, 0});
     },
     {},
     {{428, "TTI # 0 - Invalid Time Code In - Hours = 24"},
      {429, "TTI # 0 - Invalid Time Code In - Minutes = 60"},
      {430, "TTI # 0 - Invalid Time Code In - Seconds = 60"},
      {431, "TTI # 0 - Invalid Time Code In - Frames = 25"},
      {432, "TTI # 0 - Invalid Time Code Out - Hours = 99"}}},
    {"Frames25",
     [] {
         return withTimes({0, 0, 0, 25}, {0, 0, 2, 26});
     },
     {},
     {{431, "TTI # 0 - Invalid Time Code In - Frames = 25"},
      {435, "TTI # 0 - Invalid Time Code Out - Frames = 26"}}},
    {"Frame29At30Passes",
     [] {
         return withTimes({0, 0, 0, 29}, {0, 0, 2, 29}, "STL30.01");
     },
     {},
     {}},
    {"Frame30At30",
     [] {
         return withTimes({0, 0, 0, 30}, {0, 0, 2, 0}, "STL30.01");
     },
     {},
     {{431, "TTI # 0 - Invalid Time Code In - Frames = 30"}}},
    {"EqualTimeCodes",
     [] {
         return withTimes({0, 0, 10, 0}, {0, 0, 10, 0});
     },
     {},
     {{436, "TTI # 0 - Time Code In value is equal to the Time Code Out value"}}},
    {"ReversedTimeCodes",
     [] {
         return withTimes({0, 0, 10, 1}, {0, 0, 10, 0});
     },
     {},
     {{437, "TTI # 0 - Time Code In value is greater than the Time Code Out value"}}},
    // Invalid parts still count: 00:00:00:30 at 25 fps lies after 00:00:01:00.
    {"InvalidFramesStillCount",
     [] {
         return withTimes({0, 0, 0, 30}, {0, 0, 1, 0});
     },
     {},
     {{431, "TTI # 0 - Invalid Time Code In - Frames = 30"},
      {437, "TTI # 0 - Time Code In value is greater than the Time Code Out value"}}},
    {"VerticalPosition",
     [] { return withByte(0, tti::verticalPosition, 100); },
     {},
     {{438, "TTI # 0 - Invalid Vertical Position value = 100"}}},
    {"JustificationCode",
     [] { return withByte(0, tti::justificationCode, 4); },
     {},
     {{439, "TTI # 0 - Invalid Justification Code value = 4"}}},
    {"CommentFlag2Passes", [] { return withByte(0, tti::commentFlag, 2); }, {}, {}},
    {"CommentFlag4",
     [] { return withByte(0, tti::commentFlag, 4); },
     {},
     {{440, "TTI # 0 - Invalid Comment Flag value = 4"}}},
};

INSTANTIATE_TEST_SUITE_P(Rules, RuleTest, ::testing::ValuesIn(RULE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileValidator, EveryRuleFromTheCasesIsCovered) {
    std::vector<bool> seen(441, false);
    for (const RuleCase& ruleCase : RULE_CASES)
        for (const Finding& f : ruleCase.expected) seen.at(static_cast<std::size_t>(f.id)) = true;
    for (int id = 402; id <= 440; ++id) EXPECT_TRUE(seen[static_cast<std::size_t>(id)]) << id;
}

}  // namespace
