// The file validator's rules 402-440, on files built byte by byte.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "plugin/FileValidator.h"
#include "stl/StlReader.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

using testsupport::StlFileBuilder;

namespace {

struct Finding {
    std::int32_t id;
    std::string message;
    bool operator==(const Finding&) const = default;
};

void PrintTo(const Finding& f, std::ostream* out) {
    *out << f.id << " \"" << f.message << "\"";
}

struct FindingSink {
    std::vector<Finding> findings;
    int wrongModuleOrType = 0;

    ReportFunction function() { return {this, &FindingSink::callback}; }

    static HRESULT QVX_STDCALL callback(void* context, std::int32_t module, std::int32_t reportType,
                                        const char* message, std::int32_t validationId) {
        auto* self = static_cast<FindingSink*>(context);
        if (module != MODULE_SIEVRA || reportType != REPORT_TYPE_ERROR) ++self->wrongModuleOrType;
        self->findings.push_back({validationId, message});
        return S_OK;
    }
};

// Writes a GSI field into a GSI copy, blank padded, as a file would hold it.
void putField(GeneralSubtitleInformation& gsi, const StlField& field, std::string_view text) {
    for (std::size_t i = 0; i < field.length; ++i)
        gsi.bytes[field.offset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0x20;
}

struct RunResult {
    HRESULT result;
    std::vector<Finding> findings;
    int wrongModuleOrType;
};

// Opens the file with the plug-in's reader (without its size check, so short files still open),
// optionally changes the reader's GSI copy (fields the reader itself refuses to open with), and
// validates it.
RunResult validate(const StlFileBuilder& file,
                   const std::function<void(GeneralSubtitleInformation&)>& patchGsi = {}) {
    testsupport::TempDir dir;
    const std::string path = file.writeTo(dir.file("test.stl"));
    StlReader reader(StlVariant::Plugin);
    EXPECT_EQ(reader.openFile(path, false), S_OK);
    if (patchGsi) {
        PGeneralSubtitleInformation gsi = nullptr;
        EXPECT_EQ(reader.getGeneralSubtitleInformation(&gsi), S_OK);
        patchGsi(*gsi);
    }
    FindingSink sink;
    FileValidator validator;
    validator.setReportFunction(sink.function());
    const HRESULT result = validator.validateStl(&reader);
    return {result, sink.findings, sink.wrongModuleOrType};
}

StlFileBuilder twoBlocks() {
    StlFileBuilder file;
    file.addBlocks(2);
    return file;
}

// Block 0 with its time codes set; block 1 as addBlocks made it.
StlFileBuilder withTimes(std::vector<std::uint8_t> in, std::vector<std::uint8_t> out,
                         const char* diskFormat = "STL25.01") {
    StlFileBuilder file = twoBlocks();
    file.gsi(gsi::diskFormatCode, diskFormat);
    file.blockBytes(0, tti::timeCodeIn.offset, std::move(in));
    file.blockBytes(0, tti::timeCodeOut.offset, std::move(out));
    return file;
}

StlFileBuilder withNumbers(std::vector<std::uint16_t> numbers) {
    StlFileBuilder file;
    for (std::uint16_t number : numbers) {
        StlFileBuilder::Block block;
        block.number = number;
        file.addBlock(block);
    }
    file.announce(static_cast<int>(numbers.size()));
    return file;
}

StlFileBuilder withGsi(const StlField& field, std::string_view text) {
    StlFileBuilder file = twoBlocks();
    file.gsi(field, text);
    return file;
}

StlFileBuilder withByte(int block, const StlField& field, std::uint8_t value) {
    StlFileBuilder file = twoBlocks();
    file.blockBytes(block, field.offset, {value});
    return file;
}

struct RuleCase {
    const char* name;
    std::function<StlFileBuilder()> file;
    std::function<void(GeneralSubtitleInformation&)> patchGsi;
    std::vector<Finding> expected;
};

void PrintTo(const RuleCase& ruleCase, std::ostream* out) {
    *out << ruleCase.name;
}

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

TEST(FileValidator, WithoutReaderFailsAfterOneDiagnostic) {
    testsupport::DebugCapture capture;
    FindingSink sink;
    FileValidator validator;
    validator.setReportFunction(sink.function());
    EXPECT_EQ(validator.validateStl(nullptr), E_FAIL);
    EXPECT_TRUE(sink.findings.empty());
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{"vyr: Error in TSTLFileValidator.ValidateSTL call..."});
}

TEST(FileValidator, ReportWithoutCallbackLosesTheFinding) {
    FileValidator validator;
    EXPECT_EQ(validator.report(MODULE_SIEVRA, REPORT_TYPE_ERROR, "lost", 402), E_FAIL);
}

TEST(FileValidator, ReportPassesTheCallbackResult) {
    struct Context {
        std::string message;
    } ctx;
    FileValidator validator;
    validator.setReportFunction(
        {&ctx, [](void* c, std::int32_t, std::int32_t, const char* m, std::int32_t) {
             static_cast<Context*>(c)->message = m;
             return E_NOTIMPL;
         }});
    EXPECT_EQ(validator.report(7, 3, "text", 402), E_NOTIMPL);
    EXPECT_EQ(ctx.message, "text");
}

TEST(FileValidator, SubtitleNumbersStartFreshOnEveryRun) {
    testsupport::TempDir dir;
    const std::string path = withNumbers({1, 2}).writeTo(dir.file("run.stl"));
    StlReader reader(StlVariant::Plugin);
    ASSERT_EQ(reader.openFile(path, true), S_OK);
    FindingSink sink;
    FileValidator validator;
    validator.setReportFunction(sink.function());
    EXPECT_EQ(validator.validateStl(&reader), S_OK);
    EXPECT_EQ(validator.validateStl(&reader), S_OK);
    EXPECT_TRUE(sink.findings.empty());
}

TEST(FileValidator, SubtitleNumbersWrapAfter65535) {
    // 65,540 blocks numbered 1, 2, ...: the 16-bit number wraps to 0 (new, but not subsequent to
    // 65535), then 1, 2, 3 repeat (duplicates, yet subsequent to their predecessor).
    constexpr int BLOCKS = 65540;
    StlFileBuilder file;
    for (int i = 0; i < BLOCKS; ++i) {
        StlFileBuilder::Block block;
        block.number = static_cast<std::uint16_t>(i + 1);
        file.addBlock(block);
    }
    file.announce(BLOCKS);
    const RunResult run = validate(file);
    EXPECT_EQ(run.result, S_OK);
    EXPECT_EQ(run.findings, (std::vector<Finding>{
                                {426, "TTI # 65535 - Not equal or subsequent Subtitle Number = 0"},
                                {425, "TTI # 65536 - Dublicate Subtitle Number = 1"},
                                {425, "TTI # 65537 - Dublicate Subtitle Number = 2"},
                                {425, "TTI # 65538 - Dublicate Subtitle Number = 3"},
                                {425, "TTI # 65539 - Dublicate Subtitle Number = 4"},
                            }));
}

}  // namespace
