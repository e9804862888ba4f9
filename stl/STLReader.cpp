#include "STLReader.h"
#include "platform/Utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "CodePage.h"
#include "platform/Guarded.h"

namespace {

constexpr const char* OPEN_FILE = "TSTLReader.OpenFile";
constexpr const char* GET_TTI = "TSTLReader.GetTextAndTimingInformation";
constexpr const char* GET_DURATION = "TSTLReader.GetDuration";

struct TGSILine {
    std::int32_t ValidationID;
    const char* Caption;
    STLField Field;
    bool IsDate;
};

constexpr TGSILine GSILines[] = {
    {301, "GSI - Code Page Number : ", gsi::CodePageNumber, false},
    {302, "GSI - Disk Format Code : ", gsi::DiskFormatCode, false},
    {303, "GSI - Display Standard Code : ", gsi::DisplayStandardCode, false},
    {304, "GSI - Character Code Table Number : ", gsi::CharacterCodeTableNumber, false},
    {305, "GSI - Language Code : ", gsi::LanguageCode, false},
    {306, "GSI - Original Programme Title : ", gsi::OriginalProgrammeTitle, false},
    {307, "GSI - Original Episode Title : ", gsi::OriginalEpisodeTitle, false},
    {308, "GSI - Translated Programme Title : ", gsi::TranslatedProgrammeTitle, false},
    {309, "GSI - Translated Episode Title : ", gsi::TranslatedEpisodeTitle, false},
    {310, "GSI - Translator's Name : ", gsi::TranslatorsName, false},
    {311, "GSI - Translator's Contact Details : ", gsi::TranslatorsContactDetails, false},
    {312, "GSI - Subtitle List Reference Code : ", gsi::SubtitleListReferenceCode, false},
    {313, "GSI - Creation Date : ", gsi::CreationDate, true},
    {314, "GSI - Revision Date : ", gsi::RevisionDate, true},
    {315, "GSI - Revision Number : ", gsi::RevisionNumber, false},
    {316, "GSI - Total Number Of TTI blocks : ", gsi::TotalNumberOfTTI, false},
    {317, "GSI - Total Number Of Subtitles : ", gsi::TotalNumberOfSubtitles, false},
    {318, "GSI - Total Number Of Subtitle Groups : ", gsi::TotalNumberOfSubtitleGroups, false},
    {319, "GSI - Maximum Number Of Displayable Characters : ",
     gsi::MaximumNumberOfDisplayableCharacters, false},
    {320, "GSI - Maximum Number Of Displayable Rows : ", gsi::MaximumNumberOfDisplayableRows,
     false},
    {321, "GSI - Time Code Status : ", gsi::TimeCodeStatus, false},
    {322, "GSI - Time Code Start Of Programme : ", gsi::TimeCodeStartOfProgramme, false},
    {323, "GSI - Time Code First In Cue : ", gsi::TimeCodeFirstInCue, false},
    {324, "GSI - Total Number Of Disks : ", gsi::TotalNumberOfDisks, false},
    {325, "GSI - Disk Sequence Number : ", gsi::DiskSequenceNumber, false},
    {326, "GSI - Country Of Origin : ", gsi::CountryOfOrigin, false},
    {327, "GSI - Publisher : ", gsi::Publisher, false},
    {328, "GSI - Editor's Name : ", gsi::EditorsName, false},
    {329, "GSI - Editor's Contact Details : ", gsi::EditorsContactDetails, false},
};
static_assert(std::size(GSILines) == 29);

// Reads until Count bytes arrived, the file ended or a read failed; returns the bytes read.
std::size_t ReadAt(int Fd, std::uint8_t* Buffer, std::size_t Count, std::uint64_t Offset) {
    std::size_t done = 0;
    while (done < Count) {
        const ssize_t n =
            ::pread(Fd, Buffer + done, Count - done, static_cast<off_t>(Offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void AppendUtf8(std::string& Out, char32_t C) {
    platform::appendUtf8(Out, C);
}

// Report strings cross the plug-in boundary as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view Text) {
    std::string out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char16_t c = Text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 &&
            Text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t{c} - 0xD800) << 10) + (Text[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

}  // namespace

TSTLReader::TSTLReader(TSTLVariant Variant) : FVariant(Variant) {}

TSTLReader::~TSTLReader() {
    CloseStream();
}

HRESULT TSTLReader::SetReportFunction(TReportFunction ReportFunction) {
    FReportFunction = ReportFunction;
    return S_OK;
}

HRESULT TSTLReader::OpenFile(const std::string& FileName, bool CheckFileSize) {
    return platform::guarded(OPEN_FILE, E_FAIL, [&] {
        // Whatever step fails, and however, the reader ends up closed.
        struct TCloseUnlessOpened {
            TSTLReader& Reader;
            bool Opened = false;
            ~TCloseUnlessOpened() {
                if (!Opened) Reader.CloseStream();
            }
        } closer{*this};
        const HRESULT result = OpenSteps(FileName, CheckFileSize);
        closer.Opened = result == S_OK;
        return result;
    });
}

HRESULT TSTLReader::OpenSteps(const std::string& FileName, bool CheckFileSize) {
    // No caller opens a second file on one reader; if one does, the first is let go.
    CloseStream();

    struct stat status {};
    if (FileName.find('\0') != std::string::npos ||
        (::stat(FileName.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR))) {
        platform::reportError(OPEN_FILE, "file not found.");
        return E_FAIL;
    }

    // O_NONBLOCK keeps a FIFO from hanging the open; it changes nothing for regular files.
    FFileStream = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    // A directory, FIFO or device opens read-only on Linux but is no file to load: it is
    // refused like a file that cannot be opened, not as a short GSI block.
    if (FFileStream < 0 || ::fstat(FFileStream, &status) != 0 || !S_ISREG(status.st_mode)) {
        Report(MODULE_SIEVRA, REPORT_TYPE_ERROR, "Cannot load STL file.", 201);
        return E_FAIL;
    }
    const std::int64_t fileSize = status.st_size;

    if (ReadAt(FFileStream, FGeneralSubtitleInformation.Bytes, GSI_BLOCK_SIZE, 0) !=
        GSI_BLOCK_SIZE) {
        Report(MODULE_SIEVRA, REPORT_TYPE_ERROR,
               "Insufficient data reading the General Subtitle Information block", 202);
        return E_FAIL;
    }

    if (FVariant == TSTLVariant::Plugin && !CheckDiskFormatCode()) return E_FAIL;

    // A negative count announces nothing usable, like one that does not convert.
    const auto count = FieldToInt32(FGeneralSubtitleInformation.Bytes, gsi::TotalNumberOfTTI);
    if (!count || *count < 0) {
        platform::reportFailure(OPEN_FILE);
        return E_FAIL;
    }
    FTextAndTimingInformationCount = static_cast<std::uint32_t>(*count);
    const std::uint64_t announcedSize = ttiBlockOffset(FTextAndTimingInformationCount);
    const bool sizeTooSmall = static_cast<std::uint64_t>(fileSize) < announcedSize;

    if (FVariant == TSTLVariant::Viewer) {
        if (sizeTooSmall) {
            platform::reportError(OPEN_FILE, "invalid STL file size.");
            return E_FAIL;
        }
        // Past 2^31 - 1 blocks (a file over 256 GB) the signed count accessor would turn
        // negative; the list could never show that many rows anyway.
        FTextAndTimingInformationTotalCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            TTIBlocksPresent(fileSize), std::numeric_limits<std::int32_t>::max()));
        if (!CheckDiskFormatCode()) return E_FAIL;
    }

    ReportGeneralSubtitleInformation();

    if (FVariant == TSTLVariant::Plugin && CheckFileSize && sizeTooSmall) {
        Report(MODULE_SIEVRA, REPORT_TYPE_ERROR,
               "Invalid STL file size and Text And Timing Information records count", 401);
        return E_FAIL;
    }
    return S_OK;
}

bool TSTLReader::CheckDiskFormatCode() {
    const int framesPerSecond = FramesPerSecondFromDiskFormatCode(FGeneralSubtitleInformation);
    if (framesPerSecond == 0) {
        Report(MODULE_SIEVRA, REPORT_TYPE_ERROR, "Invalid STL file Disk Format Code", 203);
        return false;
    }
    FFramesPerSecond = framesPerSecond;
    return true;
}

void TSTLReader::ReportGeneralSubtitleInformation() {
    // Without a callback the lines would go nowhere; skip decoding them.
    if (!FReportFunction) return;
    for (const TGSILine& line : GSILines) {
        std::string text;
        if (FVariant == TSTLVariant::Viewer) {
            const std::u16string value =
                GSIFieldToDisplayString(FGeneralSubtitleInformation, line.Field);
            text = Utf16ToUtf8(line.IsDate ? FormatGSIDate(value) : value);
        } else {
            const std::string value =
                FieldText(FGeneralSubtitleInformation.Bytes, line.Field, TSTLVariant::Plugin);
            text = line.IsDate ? FormatGSIDate(value) : value;
        }
        Report(MODULE_SIEVRA, REPORT_TYPE_INFO, line.Caption + text, line.ValidationID);
    }
}

HRESULT TSTLReader::CloseFile() {
    return platform::guarded("TSTLReader.CloseFile", E_FAIL, [&] {
        CloseStream();
        FFramesPerSecond = 0;
        return S_OK;
    });
}

void TSTLReader::CloseStream() {
    if (FFileStream >= 0) ::close(FFileStream);
    FFileStream = -1;
}

HRESULT TSTLReader::GetGeneralSubtitleInformation(PGeneralSubtitleInformation* Gsi) {
    return platform::guarded("TSTLReader.GetGeneralSubtitleInformation", E_FAIL, [&] {
        if (!Gsi) {
            platform::reportFailure("TSTLReader.GetGeneralSubtitleInformation");
            return E_FAIL;
        }
        *Gsi = &FGeneralSubtitleInformation;
        return S_OK;
    });
}

std::int32_t TSTLReader::GetTextAndTimingInformationCount() const {
    return static_cast<std::int32_t>(FTextAndTimingInformationCount);
}

std::int32_t TSTLReader::GetTextAndTimingInformationTotalCount() const {
    return static_cast<std::int32_t>(FTextAndTimingInformationTotalCount);
}

HRESULT TSTLReader::GetTextAndTimingInformation(std::uint32_t Index,
                                                PTextAndTimingInformation* Tti) {
    return platform::guarded(GET_TTI, E_FAIL, [&] {
        if (!Tti) {
            platform::reportFailure(GET_TTI);
            return E_FAIL;
        }
        const std::uint32_t bound = FVariant == TSTLVariant::Viewer
                                        ? FTextAndTimingInformationTotalCount
                                        : FTextAndTimingInformationCount;
        if (Index >= bound) {
            platform::reportError(GET_TTI, "invalid index.");
            return E_FAIL;
        }
        if (!ReadBlock(Index)) return E_FAIL;
        *Tti = &FTextAndTimingInformation;
        return S_OK;
    });
}

std::size_t TSTLReader::ReadTextAndTimingBlocks(std::uint32_t First, std::size_t Count,
                                                TTextAndTimingInformation* Out) const {
    const std::uint32_t bound = FVariant == TSTLVariant::Viewer
                                    ? FTextAndTimingInformationTotalCount
                                    : FTextAndTimingInformationCount;
    if (FFileStream < 0 || !Out || First >= bound) return 0;
    Count = std::min<std::size_t>(Count, bound - First);
    const std::size_t got =
        ReadAt(FFileStream, Out[0].Bytes, Count * TTI_BLOCK_SIZE, ttiBlockOffset(First));
    return got / TTI_BLOCK_SIZE;
}

bool TSTLReader::ReadBlock(std::uint32_t Index) {
    if (FFileStream < 0) {
        platform::reportFailure(GET_TTI);
        return false;
    }
    // Read aside first so a short read leaves the buffer a caller may still hold untouched.
    TTextAndTimingInformation block;
    if (ReadAt(FFileStream, block.Bytes, TTI_BLOCK_SIZE, ttiBlockOffset(Index)) != TTI_BLOCK_SIZE) {
        platform::reportError(GET_TTI, "cannot read Text And Timing Information.");
        return false;
    }
    FTextAndTimingInformation = block;
    return true;
}

std::int64_t TSTLReader::GetDuration() {
    return platform::guarded(GET_DURATION, std::int64_t{0}, [&]() -> std::int64_t {
        if (FTextAndTimingInformationCount == 0) {
            platform::reportError(GET_DURATION, "no items.");
            return 0;
        }
        PTextAndTimingInformation block = nullptr;
        if (FAILED(GetTextAndTimingInformation(0, &block))) {
            platform::reportError(GET_DURATION, "cannot retrieve the first Text And Timing item.");
            return 0;
        }
        const double start =
            TimeCodeToSeconds(TimeCodeAt(*block, tti::TimeCodeIn), FFramesPerSecond);
        if (FAILED(GetTextAndTimingInformation(FTextAndTimingInformationCount - 1, &block))) {
            platform::reportError(GET_DURATION, "cannot retrieve the last Text And Timing item.");
            return 0;
        }
        const double end =
            TimeCodeToSeconds(TimeCodeAt(*block, tti::TimeCodeOut), FFramesPerSecond);
        return static_cast<std::int64_t>((end - start) * 10000000.0);
    });
}

std::int64_t TSTLReader::FileSize() const {
    struct stat status {};
    if (FFileStream < 0 || ::fstat(FFileStream, &status) != 0) return -1;
    return status.st_size;
}

HRESULT TSTLReader::Report(std::int32_t Module, std::int32_t ReportType, const std::string& Text,
                           std::int32_t ValidationID) {
    return platform::guarded("TSTLReader.Report", E_FAIL, [&] {
        if (!FReportFunction) return E_FAIL;
        return FReportFunction.Function(FReportFunction.Context, Module, ReportType, Text.c_str(),
                                        ValidationID);
    });
}

bool IsSTLFile(const std::string& FileName, bool CheckFileSize, TSTLVariant Variant) {
    return platform::guarded("IsSTLFile", false, [&] {
        TSTLReader reader(Variant);
        const bool opened = reader.OpenFile(FileName, CheckFileSize) == S_OK;
        if (opened) reader.CloseFile();
        return opened;
    });
}
