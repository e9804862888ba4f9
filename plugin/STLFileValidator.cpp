#include "STLFileValidator.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "platform/Guarded.h"
#include "stl/STLReader.h"
#include "stl/TTIBlockCursor.h"
#include "stl/STLUtils.h"

namespace {

constexpr std::int32_t PROPOSED_TYPE = REPORT_TYPE_ERROR;

__attribute__((format(printf, 1, 2))) std::string Format(const char* Pattern, ...) {
    char Buffer[512];
    va_list Args;
    va_start(Args, Pattern);
    const int Length = std::vsnprintf(Buffer, sizeof Buffer, Pattern, Args);
    va_end(Args);
    if (Length < 0) throw std::runtime_error("format");
    return std::string(Buffer,
                       std::min<std::size_t>(static_cast<std::size_t>(Length), sizeof Buffer - 1));
}

// A GSI field as the checks see it: up to the first zero byte, bytes as they are, trimmed.
std::string GsiText(const std::uint8_t* Gsi, const STLField& Field) {
    return FieldText(Gsi, Field, TSTLVariant::Plugin);
}

std::optional<std::int32_t> HexFieldValue(const std::string& Text) {
    return StrToInt32("$" + Text);
}

bool IsOneOf(const std::string& Text, std::initializer_list<std::string_view> Values) {
    for (std::string_view Value : Values)
        if (Text == Value) return true;
    return false;
}

bool InRange(const std::optional<std::int32_t>& Value, std::int32_t Low, std::int32_t High) {
    return Value && *Value >= Low && *Value <= High;
}

}  // namespace

TSTLFileValidator::TSTLFileValidator() = default;

TSTLFileValidator::~TSTLFileValidator() = default;

HRESULT TSTLFileValidator::SetReportFunction(TReportFunction Callback) {
    return platform::guarded("TSTLFileValidator.SetReportFunction", E_FAIL, [&] {
        FReportFunction = Callback;
        return S_OK;
    });
}

HRESULT TSTLFileValidator::Report(std::int32_t Module, std::int32_t ReportType,
                                  const std::string& ReportMessage, std::int32_t ValidationID) {
    return platform::guarded("TSTLFileValidator.Report", E_FAIL, [&] {
        if (!FReportFunction) return E_FAIL;
        return FReportFunction.Function(FReportFunction.Context, Module, ReportType,
                                        ReportMessage.c_str(), ValidationID);
    });
}

void TSTLFileValidator::ClearSubtitleNumbers() {
    platform::guardedVoid("TSTLFileValidator.ClearSubtitleNumbers",
                          [&] { FSubtitleNumbers.reset(); });
}

HRESULT TSTLFileValidator::ValidateSTL(TSTLReader* Reader) {
    return platform::guarded("TSTLFileValidator.ValidateSTL", E_FAIL, [&] {
        if (!Reader) throw std::invalid_argument("no reader");
        PGeneralSubtitleInformation Gsi = nullptr;
        if (FAILED(Reader->GetGeneralSubtitleInformation(&Gsi)) || !Gsi) {
            platform::reportError("TSTLFileValidator.ValidateSTL",
                                  "unable to retrieve the GSI block.");
            return E_FAIL;
        }
        std::int32_t AnnouncedCount = 0;
        ValidateGSI(Gsi->Bytes, AnnouncedCount);
        ValidateFileSize(*Reader, AnnouncedCount);
        ValidateTTIs(*Reader, AnnouncedCount);
        return S_OK;
    });
}

void TSTLFileValidator::ValidateGSI(const std::uint8_t* Gsi, std::int32_t& AnnouncedCount) {
    auto Finding = [&](std::int32_t ID, const char* Pattern, const std::string& Text) {
        Report(MODULE_SIEVRA, PROPOSED_TYPE, Format(Pattern, Text.c_str()), ID);
    };

    const std::string CodePageNumber = GsiText(Gsi, gsi::CodePageNumber);
    if (!StrToInt32(CodePageNumber))
        Finding(402, "Invalid GSI - Code Page Number value = %s", CodePageNumber);

    const std::string DiskFormatCode = ToUpperAscii(GsiText(Gsi, gsi::DiskFormatCode));
    if (!IsOneOf(DiskFormatCode, {"STL25.01", "STL30.01"}))
        Finding(403, "Invalid GSI - Data Format Code = %s", DiskFormatCode);

    const std::string DisplayStandardCode = ToUpperAscii(GsiText(Gsi, gsi::DisplayStandardCode));
    if (!IsOneOf(DisplayStandardCode, {"", "0", "1", "2"}))
        Finding(404, "Invalid GSI - Display Standard Code = %s", DisplayStandardCode);

    const std::string CharacterCodeTable =
        ToUpperAscii(GsiText(Gsi, gsi::CharacterCodeTableNumber));
    if (!IsOneOf(CharacterCodeTable, {"00", "01", "02", "03", "04"}))
        Finding(405, "Invalid GSI - Character Code Table Number = %s", CharacterCodeTable);

    // The language code is two hexadecimal digits below 80.
    const std::string LanguageCode = ToUpperAscii(GsiText(Gsi, gsi::LanguageCode));
    const auto Language = HexFieldValue(LanguageCode);
    if (!Language || *Language >= 128)
        Finding(406, "Invalid GSI - Language Code = %s", LanguageCode);

    const std::string CreationDate = GsiText(Gsi, gsi::CreationDate);
    if (!CreationDate.empty() && !StrToInt32(CreationDate))
        Finding(407, "Invalid GSI - Creation Date = %s", CreationDate);

    const std::string RevisionDate = GsiText(Gsi, gsi::RevisionDate);
    if (!RevisionDate.empty() && !StrToInt32(RevisionDate))
        Finding(408, "Invalid GSI - Revision Date = %s", RevisionDate);

    const std::string RevisionNumber = GsiText(Gsi, gsi::RevisionNumber);
    if (!RevisionNumber.empty() && !InRange(StrToInt32(RevisionNumber), 0, 99))
        Finding(409, "Invalid GSI - Revision Number = %s", RevisionNumber);

    const std::string TotalTTI = GsiText(Gsi, gsi::TotalNumberOfTTI);
    const auto TotalTTIValue = StrToInt32(TotalTTI);
    if (!TotalTTIValue) Finding(410, "Invalid GSI - Total Number of TTI Blocks = %s", TotalTTI);

    const std::string TotalSubtitles = GsiText(Gsi, gsi::TotalNumberOfSubtitles);
    const auto TotalSubtitlesValue = StrToInt32(TotalSubtitles);
    if (!TotalSubtitlesValue)
        Finding(411, "Invalid GSI - Total Number of Subtitles = %s", TotalSubtitles);

    AnnouncedCount = TotalTTIValue.value_or(0);
    if (TotalSubtitlesValue.value_or(0) > AnnouncedCount)
        Report(MODULE_SIEVRA, PROPOSED_TYPE,
               Format("GSI - TNS must be less or equal to TNB. TNB = %s. TNS = %s",
                      TotalTTI.c_str(), TotalSubtitles.c_str()),
               412);

    const std::string SubtitleGroups = GsiText(Gsi, gsi::TotalNumberOfSubtitleGroups);
    if (!HexFieldValue(SubtitleGroups))
        Finding(413, "Invalid GSI - Total Number of Subtitle Groups = %s", SubtitleGroups);

    const std::string MaxCharacters = GsiText(Gsi, gsi::MaximumNumberOfDisplayableCharacters);
    if (!InRange(StrToInt32(MaxCharacters), 0, 99))
        Finding(414, "Invalid GSI - Maximum Number of Displayable Characters = %s", MaxCharacters);

    const std::string MaxRows = GsiText(Gsi, gsi::MaximumNumberOfDisplayableRows);
    if (!InRange(StrToInt32(MaxRows), 0, 99))
        Finding(415, "Invalid GSI - Maximum Number of Displayable Rows = %s", MaxRows);

    const std::string TimeCodeStatus = ToUpperAscii(GsiText(Gsi, gsi::TimeCodeStatus));
    if (!IsOneOf(TimeCodeStatus, {"0", "1"}))
        Finding(416, "Invalid GSI - Time Code Status = %s", TimeCodeStatus);

    const std::string StartOfProgramme = GsiText(Gsi, gsi::TimeCodeStartOfProgramme);
    if (!StartOfProgramme.empty() && !StrToInt32(StartOfProgramme))
        Finding(417, "Invalid GSI - Time Code Start-of-Programme = %s", StartOfProgramme);

    const std::string FirstInCue = GsiText(Gsi, gsi::TimeCodeFirstInCue);
    if (!FirstInCue.empty() && !StrToInt32(FirstInCue))
        Finding(418, "Invalid GSI - Time Code First in-cue = %s", FirstInCue);

    // A disk number above 9 is reported but still takes part in the DSN/TND comparison. An empty
    // text does not convert.
    const std::string TotalDisks = GsiText(Gsi, gsi::TotalNumberOfDisks);
    const auto TotalDisksValue = StrToInt32(TotalDisks);
    const std::int32_t Disks = TotalDisksValue.value_or(0);
    if (!TotalDisks.empty() && (!TotalDisksValue || Disks > 9))
        Finding(419, "Invalid GSI - Total Number of Disks = %s", TotalDisks);

    const std::string DiskSequence = GsiText(Gsi, gsi::DiskSequenceNumber);
    const auto DiskSequenceValue = StrToInt32(DiskSequence);
    const std::int32_t Sequence = DiskSequenceValue.value_or(0);
    if (!DiskSequence.empty() && (!DiskSequenceValue || Sequence > 9))
        Finding(420, "Invalid GSI - Disk Sequence Number = %s", DiskSequence);

    if (TotalDisksValue.has_value() && DiskSequenceValue.has_value() && Sequence > Disks)
        Report(MODULE_SIEVRA, PROPOSED_TYPE,
               Format("GSI - DSN must be less or equal to TND. TND = %s. DSN = %s",
                      TotalDisks.c_str(), DiskSequence.c_str()),
               421);
}

void TSTLFileValidator::ValidateFileSize(TSTLReader& Reader, std::int32_t AnnouncedCount) {
    const std::int64_t Size = Reader.FileSize();
    if (Size < 0) throw std::runtime_error("no open file");
    const std::int64_t Expected = 1024 + std::int64_t{128} * AnnouncedCount;
    if (Expected > Size)
        Report(MODULE_SIEVRA, PROPOSED_TYPE,
               "Invalid STL file size. File size is smaller than the announced Text And Timing "
               "Information records "
               "count",
               422);
    if (Expected < Size)
        Report(MODULE_SIEVRA, PROPOSED_TYPE,
               "Invalid STL file size. File size is bigger than the announced Text And Timing "
               "Information records "
               "count",
               423);
}

void TSTLFileValidator::ValidateTTIs(TSTLReader& Reader, std::int32_t AnnouncedCount) {
    ClearSubtitleNumbers();
    std::int32_t Previous = -1;
    const std::int32_t FramesPerSecond = Reader.FramesPerSecond();
    const int FrameLimit = FramesPerSecond == 25 ? 24 : 29;

    auto Finding = [&](std::int32_t ID, const char* Pattern, std::int32_t Index, int Value) {
        Report(MODULE_SIEVRA, PROPOSED_TYPE, Format(Pattern, static_cast<int>(Index), Value), ID);
    };
    // Four range checks on one time code; invalid parts still enter the seconds as they are.
    auto CheckTimeCode = [&](const TTimeCode& Tc, std::int32_t Index, std::int32_t FirstID,
                             const char* const Patterns[4]) {
        if (Tc.Hours > 23) Finding(FirstID, Patterns[0], Index, Tc.Hours);
        if (Tc.Minutes > 59) Finding(FirstID + 1, Patterns[1], Index, Tc.Minutes);
        if (Tc.Seconds > 59) Finding(FirstID + 2, Patterns[2], Index, Tc.Seconds);
        if (Tc.Frames > FrameLimit) Finding(FirstID + 3, Patterns[3], Index, Tc.Frames);
        return TimeCodeToSeconds(Tc, FramesPerSecond);
    };
    static const char* const TIME_IN[4] = {"TTI # %d - Invalid Time Code In - Hours = %d",
                                           "TTI # %d - Invalid Time Code In - Minutes = %d",
                                           "TTI # %d - Invalid Time Code In - Seconds = %d",
                                           "TTI # %d - Invalid Time Code In - Frames = %d"};
    static const char* const TIME_OUT[4] = {"TTI # %d - Invalid Time Code Out - Hours = %d",
                                            "TTI # %d - Invalid Time Code Out - Minutes = %d",
                                            "TTI # %d - Invalid Time Code Out - Seconds = %d",
                                            "TTI # %d - Invalid Time Code Out - Frames = %d"};

    TTTIBlockCursor Blocks(Reader);
    for (std::int32_t i = 0; i < AnnouncedCount; ++i) {
        PTextAndTimingInformation Tti = nullptr;
        if (FAILED(Blocks.Get(static_cast<std::uint32_t>(i), &Tti)) ||
            !Tti) {
            Report(MODULE_SIEVRA, PROPOSED_TYPE,
                   Format("TTI # %d - Unable to retrieve TTI blocks to the end of the file",
                          static_cast<int>(i)),
                   424);
            break;
        }
        const std::uint8_t* Block = Tti->Bytes;

        const std::uint16_t Number = SubtitleNumberOf(*Tti);
        if (FSubtitleNumbers.test(Number))
            Finding(425, "TTI # %d - Dublicate Subtitle Number = %d", i, Number);
        else
            FSubtitleNumbers.set(Number);
        if (Previous > 0 && Number != Previous && Number != Previous + 1)
            Finding(426, "TTI # %d - Not equal or subsequent Subtitle Number = %d", i, Number);
        Previous = Number;

        const std::uint8_t Cumulative = Block[tti::CumulativeStatus.Offset];
        if (Cumulative > 3)
            Finding(427, "TTI # %d - Invalid Cumulative Status = %d", i, Cumulative);

        const double TimeIn = CheckTimeCode(TimeCodeAt(*Tti, tti::TimeCodeIn), i, 428, TIME_IN);
        const double TimeOut = CheckTimeCode(TimeCodeAt(*Tti, tti::TimeCodeOut), i, 432, TIME_OUT);
        if (std::fabs(TimeIn - TimeOut) <= 0.01)
            Report(MODULE_SIEVRA, PROPOSED_TYPE,
                   Format("TTI # %d - Time Code In value is equal to the Time Code Out value",
                          static_cast<int>(i)),
                   436);
        if (TimeOut < TimeIn)
            Report(MODULE_SIEVRA, PROPOSED_TYPE,
                   Format("TTI # %d - Time Code In value is greater than the Time Code Out value",
                          static_cast<int>(i)),
                   437);

        const std::uint8_t Vertical = Block[tti::VerticalPosition.Offset];
        if (Vertical > 99)
            Finding(438, "TTI # %d - Invalid Vertical Position value = %d", i, Vertical);
        const std::uint8_t Justification = Block[tti::JustificationCode.Offset];
        if (Justification > 3)
            Finding(439, "TTI # %d - Invalid Justification Code value = %d", i, Justification);
        const std::uint8_t Comment = Block[tti::CommentFlag.Offset];
        if (Comment > 3) Finding(440, "TTI # %d - Invalid Comment Flag value = %d", i, Comment);
    }
}
