// The file validator's rules 402-440, on files built byte by byte.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "plugin/STLFileValidator.h"
#include "stl/STLReader.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

using testsupport::StlFileBuilder;

namespace {

struct Finding {
    std::int32_t ID;
    std::string Message;
    bool operator==(const Finding&) const = default;
};

void PrintTo(const Finding& F, std::ostream* Out) {
    *Out << F.ID << " \"" << F.Message << "\"";
}

struct FindingSink {
    std::vector<Finding> Findings;
    int WrongModuleOrType = 0;

    TReportFunction Function() { return {this, &FindingSink::Callback}; }

    static HRESULT QVX_STDCALL Callback(void* Context, std::int32_t Module, std::int32_t ReportType,
                                        const char* Message, std::int32_t ValidationID) {
        auto* Self = static_cast<FindingSink*>(Context);
        if (Module != MODULE_SIEVRA || ReportType != REPORT_TYPE_ERROR) ++Self->WrongModuleOrType;
        Self->Findings.push_back({ValidationID, Message});
        return S_OK;
    }
};

// Writes a GSI field into a GSI copy, blank padded, as a file would hold it.
void PutField(TGeneralSubtitleInformation& Gsi, const STLField& Field, std::string_view Text) {
    for (std::size_t i = 0; i < Field.Length; ++i)
        Gsi.Bytes[Field.Offset + i] = i < Text.size() ? static_cast<std::uint8_t>(Text[i]) : 0x20;
}

struct RunResult {
    HRESULT Result;
    std::vector<Finding> Findings;
    int WrongModuleOrType;
};

// Opens the file with the plug-in's reader (without its size check, so short files still open),
// optionally changes the reader's GSI copy (fields the reader itself refuses to open with), and
// validates it.
RunResult Validate(const StlFileBuilder& File,
                   const std::function<void(TGeneralSubtitleInformation&)>& PatchGsi = {}) {
    testsupport::TempDir Dir;
    const std::string Path = File.writeTo(Dir.file("test.stl"));
    TSTLReader Reader(TSTLVariant::Plugin);
    EXPECT_EQ(Reader.OpenFile(Path, false), S_OK);
    if (PatchGsi) {
        PGeneralSubtitleInformation Gsi = nullptr;
        EXPECT_EQ(Reader.GetGeneralSubtitleInformation(&Gsi), S_OK);
        PatchGsi(*Gsi);
    }
    FindingSink Sink;
    TSTLFileValidator Validator;
    Validator.SetReportFunction(Sink.Function());
    const HRESULT Result = Validator.ValidateSTL(&Reader);
    return {Result, Sink.Findings, Sink.WrongModuleOrType};
}

StlFileBuilder TwoBlocks() {
    StlFileBuilder File;
    File.addBlocks(2);
    return File;
}

// Block 0 with its time codes set; block 1 as addBlocks made it.
StlFileBuilder WithTimes(std::vector<std::uint8_t> In, std::vector<std::uint8_t> Out,
                         const char* DiskFormat = "STL25.01") {
    StlFileBuilder File = TwoBlocks();
    File.gsi(gsi::DiskFormatCode, DiskFormat);
    File.blockBytes(0, tti::TimeCodeIn.Offset, std::move(In));
    File.blockBytes(0, tti::TimeCodeOut.Offset, std::move(Out));
    return File;
}

StlFileBuilder WithNumbers(std::vector<std::uint16_t> Numbers) {
    StlFileBuilder File;
    for (std::uint16_t Number : Numbers) {
        StlFileBuilder::Block Block;
        Block.number = Number;
        File.addBlock(Block);
    }
    File.announce(static_cast<int>(Numbers.size()));
    return File;
}

StlFileBuilder WithGsi(const STLField& Field, std::string_view Text) {
    StlFileBuilder File = TwoBlocks();
    File.gsi(Field, Text);
    return File;
}

StlFileBuilder WithByte(int Block, const STLField& Field, std::uint8_t Value) {
    StlFileBuilder File = TwoBlocks();
    File.blockBytes(Block, Field.Offset, {Value});
    return File;
}

struct RuleCase {
    const char* Name;
    std::function<StlFileBuilder()> File;
    std::function<void(TGeneralSubtitleInformation&)> PatchGsi;
    std::vector<Finding> Expected;
};

void PrintTo(const RuleCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class RuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RuleTest, GivesExactlyTheExpectedFindings) {
    const RuleCase& Case = GetParam();
    const RunResult Run = Validate(Case.File(), Case.PatchGsi);
    EXPECT_EQ(Run.Result, S_OK);
    EXPECT_EQ(Run.Findings, Case.Expected);
    EXPECT_EQ(Run.WrongModuleOrType, 0) << "every finding is proposed as module 7, type Error";
}

const RuleCase RULE_CASES[] = {
    {"Clean", [] { return TwoBlocks(); }, {}, {}},
    {"CodePageNumber",
     [] { return WithGsi(gsi::CodePageNumber, "85x"); },
     {},
     {{402, "Invalid GSI - Code Page Number value = 85x"}}},
    {"DiskFormatCodeUpperCased",
     [] { return TwoBlocks(); },
     [](TGeneralSubtitleInformation& G) { PutField(G, gsi::DiskFormatCode, "stl24.01"); },
     {{403, "Invalid GSI - Data Format Code = STL24.01"}}},
    {"DisplayStandardCodeBlankPasses",
     [] { return WithGsi(gsi::DisplayStandardCode, " "); },
     {},
     {}},
    {"DisplayStandardCode3",
     [] { return WithGsi(gsi::DisplayStandardCode, "3"); },
     {},
     {{404, "Invalid GSI - Display Standard Code = 3"}}},
    {"CharacterCodeTable",
     [] { return WithGsi(gsi::CharacterCodeTableNumber, "0a"); },
     {},
     {{405, "Invalid GSI - Character Code Table Number = 0A"}}},
    {"LanguageCode7fPasses", [] { return WithGsi(gsi::LanguageCode, "7f"); }, {}, {}},
    {"LanguageCode80",
     [] { return WithGsi(gsi::LanguageCode, "80"); },
     {},
     {{406, "Invalid GSI - Language Code = 80"}}},
    {"LanguageCodeZz",
     [] { return WithGsi(gsi::LanguageCode, "zz"); },
     {},
     {{406, "Invalid GSI - Language Code = ZZ"}}},
    {"LanguageCodeWithOwnPrefix",
     [] { return WithGsi(gsi::LanguageCode, "$1"); },
     {},
     {{406, "Invalid GSI - Language Code = $1"}}},
    {"CreationDateBlankPasses", [] { return WithGsi(gsi::CreationDate, ""); }, {}, {}},
    {"CreationDate",
     [] { return WithGsi(gsi::CreationDate, "12a315"); },
     {},
     {{407, "Invalid GSI - Creation Date = 12a315"}}},
    {"RevisionDate",
     [] { return WithGsi(gsi::RevisionDate, "1203 6"); },
     {},
     {{408, "Invalid GSI - Revision Date = 1203 6"}}},
    {"RevisionNumberBlankPasses", [] { return WithGsi(gsi::RevisionNumber, ""); }, {}, {}},
    {"RevisionNumberNegative",
     [] { return WithGsi(gsi::RevisionNumber, "-1"); },
     {},
     {{409, "Invalid GSI - Revision Number = -1"}}},
    {"RevisionNumberText",
     [] { return WithGsi(gsi::RevisionNumber, "ab"); },
     {},
     {{409, "Invalid GSI - Revision Number = ab"}}},
    // The reader refuses such a count; given one anyway, no block is examined and the size is
    // compared against the GSI block alone.
    {"TotalNumberOfTTI",
     [] { return StlFileBuilder(); },
     [](TGeneralSubtitleInformation& G) { PutField(G, gsi::TotalNumberOfTTI, "1x"); },
     {{410, "Invalid GSI - Total Number of TTI Blocks = 1x"}}},
    {"TotalNumberOfSubtitles",
     [] { return WithGsi(gsi::TotalNumberOfSubtitles, "abc"); },
     {},
     {{411, "Invalid GSI - Total Number of Subtitles = abc"}}},
    {"SubtitlesAboveBlocks",
     [] { return WithGsi(gsi::TotalNumberOfSubtitles, "00003"); },
     {},
     {{412, "GSI - TNS must be less or equal to TNB. TNB = 00002. TNS = 00003"}}},
    {"SubtitleGroupsReadAsHex",
     [] { return WithGsi(gsi::TotalNumberOfSubtitleGroups, "0FF"); },
     {},
     {}},
    {"SubtitleGroups",
     [] { return WithGsi(gsi::TotalNumberOfSubtitleGroups, "0g1"); },
     {},
     {{413, "Invalid GSI - Total Number of Subtitle Groups = 0g1"}}},
    {"MaximumCharacters",
     [] { return WithGsi(gsi::MaximumNumberOfDisplayableCharacters, "-1"); },
     {},
     {{414, "Invalid GSI - Maximum Number of Displayable Characters = -1"}}},
    {"MaximumRows",
     [] { return WithGsi(gsi::MaximumNumberOfDisplayableRows, ""); },
     {},
     {{415, "Invalid GSI - Maximum Number of Displayable Rows = "}}},
    {"TimeCodeStatus",
     [] { return WithGsi(gsi::TimeCodeStatus, "2"); },
     {},
     {{416, "Invalid GSI - Time Code Status = 2"}}},
    {"StartOfProgramme",
     [] { return WithGsi(gsi::TimeCodeStartOfProgramme, "10:00:00"); },
     {},
     {{417, "Invalid GSI - Time Code Start-of-Programme = 10:00:00"}}},
    {"FirstInCue",
     [] { return WithGsi(gsi::TimeCodeFirstInCue, "1000000x"); },
     {},
     {{418, "Invalid GSI - Time Code First in-cue = 1000000x"}}},
    {"TotalDisks",
     [] { return WithGsi(gsi::TotalNumberOfDisks, "a"); },
     {},
     {{419, "Invalid GSI - Total Number of Disks = a"}}},
    {"DiskSequence",
     [] { return WithGsi(gsi::DiskSequenceNumber, "b"); },
     {},
     {{420, "Invalid GSI - Disk Sequence Number = b"}}},
    {"DiskSequenceAboveTotal",
     [] {
         StlFileBuilder File = WithGsi(gsi::TotalNumberOfDisks, "1");
         File.gsi(gsi::DiskSequenceNumber, "2");
         return File;
     },
     {},
     {{421, "GSI - DSN must be less or equal to TND. TND = 1. DSN = 2"}}},
    {"BlankTotalDisksSuppressesComparison",
     [] {
         StlFileBuilder File = WithGsi(gsi::TotalNumberOfDisks, "");
         File.gsi(gsi::DiskSequenceNumber, "2");
         return File;
     },
     {},
     {}},
    {"FileShorterThanAnnounced",
     [] {
         StlFileBuilder File = TwoBlocks();
         File.announce(3);
         return File;
     },
     {},
     {{422,
       "Invalid STL file size. File size is smaller than the announced Text And Timing Information "
       "records count"},
      {424, "TTI # 2 - Unable to retrieve TTI blocks to the end of the file"}}},
    {"FileLongerThanAnnounced",
     [] {
         // Block 1 breaks every TTI rule; it lies beyond the announced count and is not examined.
         StlFileBuilder File = WithByte(1, tti::CumulativeStatus, 9);
         File.announce(1);
         return File;
     },
     {},
     {{423,
       "Invalid STL file size. File size is bigger than the announced Text And Timing Information "
       "records count"}}},
    {"SubtitleNumbers1124",
     [] {
         return WithNumbers({1, 1, 2, 4});
     },
     {},
     {{425, "TTI # 1 - Dublicate Subtitle Number = 1"},
      {426, "TTI # 3 - Not equal or subsequent Subtitle Number = 4"}}},
    {"SubtitleNumbers05",
     [] {
         return WithNumbers({0, 5});
     },
     {},
     {}},
    {"SubtitleNumber65535Twice",
     [] {
         return WithNumbers({65535, 65535});
     },
     {},
     {{425, "TTI # 1 - Dublicate Subtitle Number = 65535"}}},
    {"CumulativeStatusIndexIsBlockNotNumber",
     [] { return WithByte(1, tti::CumulativeStatus, 4); },
     {},
     {{427, "TTI # 1 - Invalid Cumulative Status = 4"}}},
    {"Hours",
     [] {
         return WithTimes({24, 0, 0, 0}, {25, 0, 0, 0});
     },
     {},
     {{428, "TTI # 0 - Invalid Time Code In - Hours = 24"},
      {432, "TTI # 0 - Invalid Time Code Out - Hours = 25"}}},
    {"Minutes",
     [] {
         return WithTimes({0, 60, 0, 0}, {0, 61, 0, 0});
     },
     {},
     {{429, "TTI # 0 - Invalid Time Code In - Minutes = 60"},
      {433, "TTI # 0 - Invalid Time Code Out - Minutes = 61"}}},
    {"Seconds",
     [] {
         return WithTimes({0, 0, 60, 0}, {0, 0, 61, 0});
     },
     {},
     {{430, "TTI # 0 - Invalid Time Code In - Seconds = 60"},
      {434, "TTI # 0 - Invalid Time Code Out - Seconds = 61"}}},
    {"AllFourPartsOfOneTimeCode",
     [] {
         return WithTimes({24, 60, 60, 25}, {99, 0, 0, 0});
     },
     {},
     {{428, "TTI # 0 - Invalid Time Code In - Hours = 24"},
      {429, "TTI # 0 - Invalid Time Code In - Minutes = 60"},
      {430, "TTI # 0 - Invalid Time Code In - Seconds = 60"},
      {431, "TTI # 0 - Invalid Time Code In - Frames = 25"},
      {432, "TTI # 0 - Invalid Time Code Out - Hours = 99"}}},
    {"Frames25",
     [] {
         return WithTimes({0, 0, 0, 25}, {0, 0, 2, 26});
     },
     {},
     {{431, "TTI # 0 - Invalid Time Code In - Frames = 25"},
      {435, "TTI # 0 - Invalid Time Code Out - Frames = 26"}}},
    {"Frame29At30Passes",
     [] {
         return WithTimes({0, 0, 0, 29}, {0, 0, 2, 29}, "STL30.01");
     },
     {},
     {}},
    {"Frame30At30",
     [] {
         return WithTimes({0, 0, 0, 30}, {0, 0, 2, 0}, "STL30.01");
     },
     {},
     {{431, "TTI # 0 - Invalid Time Code In - Frames = 30"}}},
    {"EqualTimeCodes",
     [] {
         return WithTimes({0, 0, 10, 0}, {0, 0, 10, 0});
     },
     {},
     {{436, "TTI # 0 - Time Code In value is equal to the Time Code Out value"}}},
    {"ReversedTimeCodes",
     [] {
         return WithTimes({0, 0, 10, 1}, {0, 0, 10, 0});
     },
     {},
     {{437, "TTI # 0 - Time Code In value is greater than the Time Code Out value"}}},
    // Invalid parts still count: 00:00:00:30 at 25 fps lies after 00:00:01:00.
    {"InvalidFramesStillCount",
     [] {
         return WithTimes({0, 0, 0, 30}, {0, 0, 1, 0});
     },
     {},
     {{431, "TTI # 0 - Invalid Time Code In - Frames = 30"},
      {437, "TTI # 0 - Time Code In value is greater than the Time Code Out value"}}},
    {"VerticalPosition",
     [] { return WithByte(0, tti::VerticalPosition, 100); },
     {},
     {{438, "TTI # 0 - Invalid Vertical Position value = 100"}}},
    {"JustificationCode",
     [] { return WithByte(0, tti::JustificationCode, 4); },
     {},
     {{439, "TTI # 0 - Invalid Justification Code value = 4"}}},
    {"CommentFlag2Passes", [] { return WithByte(0, tti::CommentFlag, 2); }, {}, {}},
    {"CommentFlag4",
     [] { return WithByte(0, tti::CommentFlag, 4); },
     {},
     {{440, "TTI # 0 - Invalid Comment Flag value = 4"}}},
};

INSTANTIATE_TEST_SUITE_P(Rules, RuleTest, ::testing::ValuesIn(RULE_CASES),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(FileValidator, EveryRuleFromTheCasesIsCovered) {
    std::vector<bool> Seen(441, false);
    for (const RuleCase& Case : RULE_CASES)
        for (const Finding& F : Case.Expected) Seen.at(static_cast<std::size_t>(F.ID)) = true;
    for (int ID = 402; ID <= 440; ++ID) EXPECT_TRUE(Seen[static_cast<std::size_t>(ID)]) << ID;
}

TEST(FileValidator, WithoutReaderFailsAfterOneDiagnostic) {
    testsupport::DebugCapture Capture;
    FindingSink Sink;
    TSTLFileValidator Validator;
    Validator.SetReportFunction(Sink.Function());
    EXPECT_EQ(Validator.ValidateSTL(nullptr), E_FAIL);
    EXPECT_TRUE(Sink.Findings.empty());
    EXPECT_EQ(Capture.lines(),
              std::vector<std::string>{"vyr: Error in TSTLFileValidator.ValidateSTL call..."});
}

TEST(FileValidator, ReportWithoutCallbackLosesTheFinding) {
    TSTLFileValidator Validator;
    EXPECT_EQ(Validator.Report(MODULE_SIEVRA, REPORT_TYPE_ERROR, "lost", 402), E_FAIL);
}

TEST(FileValidator, ReportPassesTheCallbackResult) {
    struct Context {
        std::string Message;
    } Ctx;
    TSTLFileValidator Validator;
    Validator.SetReportFunction(
        {&Ctx, [](void* C, std::int32_t, std::int32_t, const char* M, std::int32_t) {
             static_cast<Context*>(C)->Message = M;
             return E_NOTIMPL;
         }});
    EXPECT_EQ(Validator.Report(7, 3, "text", 402), E_NOTIMPL);
    EXPECT_EQ(Ctx.Message, "text");
}

TEST(FileValidator, SubtitleNumbersStartFreshOnEveryRun) {
    testsupport::TempDir Dir;
    const std::string Path = WithNumbers({1, 2}).writeTo(Dir.file("run.stl"));
    TSTLReader Reader(TSTLVariant::Plugin);
    ASSERT_EQ(Reader.OpenFile(Path, true), S_OK);
    FindingSink Sink;
    TSTLFileValidator Validator;
    Validator.SetReportFunction(Sink.Function());
    EXPECT_EQ(Validator.ValidateSTL(&Reader), S_OK);
    EXPECT_EQ(Validator.ValidateSTL(&Reader), S_OK);
    EXPECT_TRUE(Sink.Findings.empty());
}

TEST(FileValidator, SubtitleNumbersWrapAfter65535) {
    // 65,540 blocks numbered 1, 2, ...: the 16-bit number wraps to 0 (new, but not subsequent to
    // 65535), then 1, 2, 3 repeat (duplicates, yet subsequent to their predecessor).
    constexpr int BLOCKS = 65540;
    StlFileBuilder File;
    for (int i = 0; i < BLOCKS; ++i) {
        StlFileBuilder::Block Block;
        Block.number = static_cast<std::uint16_t>(i + 1);
        File.addBlock(Block);
    }
    File.announce(BLOCKS);
    const RunResult Run = Validate(File);
    EXPECT_EQ(Run.Result, S_OK);
    EXPECT_EQ(Run.Findings, (std::vector<Finding>{
                                {426, "TTI # 65535 - Not equal or subsequent Subtitle Number = 0"},
                                {425, "TTI # 65536 - Dublicate Subtitle Number = 1"},
                                {425, "TTI # 65537 - Dublicate Subtitle Number = 2"},
                                {425, "TTI # 65538 - Dublicate Subtitle Number = 3"},
                                {425, "TTI # 65539 - Dublicate Subtitle Number = 4"},
                            }));
}

}  // namespace
