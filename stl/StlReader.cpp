#include "StlReader.h"
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

struct GsiLine {
    std::int32_t validationId;
    const char* caption;
    StlField field;
    bool isDate;
};

constexpr GsiLine gsiLines[] = {
    {301, "GSI - Code Page Number : ", gsi::codePageNumber, false},
    {302, "GSI - Disk Format Code : ", gsi::diskFormatCode, false},
    {303, "GSI - Display Standard Code : ", gsi::displayStandardCode, false},
    {304, "GSI - Character Code Table Number : ", gsi::characterCodeTableNumber, false},
    {305, "GSI - Language Code : ", gsi::languageCode, false},
    {306, "GSI - Original Programme Title : ", gsi::originalProgrammeTitle, false},
    {307, "GSI - Original Episode Title : ", gsi::originalEpisodeTitle, false},
    {308, "GSI - Translated Programme Title : ", gsi::translatedProgrammeTitle, false},
    {309, "GSI - Translated Episode Title : ", gsi::translatedEpisodeTitle, false},
    {310, "GSI - Translator's Name : ", gsi::translatorsName, false},
    {311, "GSI - Translator's Contact Details : ", gsi::translatorsContactDetails, false},
    {312, "GSI - Subtitle List Reference Code : ", gsi::subtitleListReferenceCode, false},
    {313, "GSI - Creation Date : ", gsi::creationDate, true},
    {314, "GSI - Revision Date : ", gsi::revisionDate, true},
    {315, "GSI - Revision Number : ", gsi::revisionNumber, false},
    {316, "GSI - Total Number Of TTI blocks : ", gsi::totalNumberOfTti, false},
    {317, "GSI - Total Number Of Subtitles : ", gsi::totalNumberOfSubtitles, false},
    {318, "GSI - Total Number Of Subtitle Groups : ", gsi::totalNumberOfSubtitleGroups, false},
    {319, "GSI - Maximum Number Of Displayable Characters : ",
     gsi::maximumNumberOfDisplayableCharacters, false},
    {320, "GSI - Maximum Number Of Displayable Rows : ", gsi::maximumNumberOfDisplayableRows,
     false},
    {321, "GSI - Time Code Status : ", gsi::timeCodeStatus, false},
    {322, "GSI - Time Code Start Of Programme : ", gsi::timeCodeStartOfProgramme, false},
    {323, "GSI - Time Code First In Cue : ", gsi::timeCodeFirstInCue, false},
    {324, "GSI - Total Number Of Disks : ", gsi::totalNumberOfDisks, false},
    {325, "GSI - Disk Sequence Number : ", gsi::diskSequenceNumber, false},
    {326, "GSI - Country Of Origin : ", gsi::countryOfOrigin, false},
    {327, "GSI - Publisher : ", gsi::publisher, false},
    {328, "GSI - Editor's Name : ", gsi::editorsName, false},
    {329, "GSI - Editor's Contact Details : ", gsi::editorsContactDetails, false},
};
static_assert(std::size(gsiLines) == 29);

// Reads until Count bytes arrived, the file ended or a read failed; returns the bytes read.
std::size_t readAt(int fd, std::uint8_t* buffer, std::size_t count, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void appendUtf8(std::string& out, char32_t c) {
    platform::appendUtf8(out, c);
}

// Report strings cross the plug-in boundary as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t{c} - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

}  // namespace

StlReader::StlReader(StlVariant variant) : m_variant(variant) {}

StlReader::~StlReader() {
    closeStream();
}

HRESULT StlReader::setReportFunction(ReportFunction reportFunction) {
    m_reportFunction = reportFunction;
    return S_OK;
}

HRESULT StlReader::openFile(const std::string& fileName, bool checkFileSize) {
    return platform::guarded(OPEN_FILE, E_FAIL, [&] {
        // Whatever step fails, and however, the reader ends up closed.
        struct CloseUnlessOpened {
            StlReader& reader;
            bool opened = false;
            ~CloseUnlessOpened() {
                if (!opened) reader.closeStream();
            }
        } closer{*this};
        const HRESULT result = openSteps(fileName, checkFileSize);
        closer.opened = result == S_OK;
        return result;
    });
}

HRESULT StlReader::openSteps(const std::string& fileName, bool checkFileSize) {
    // No caller opens a second file on one reader; if one does, the first is let go.
    closeStream();

    struct stat status {};
    if (fileName.find('\0') != std::string::npos ||
        (::stat(fileName.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR))) {
        platform::reportError(OPEN_FILE, "file not found.");
        return E_FAIL;
    }

    // O_NONBLOCK keeps a FIFO from hanging the open; it changes nothing for regular files.
    m_fileStream = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    // A directory, FIFO or device opens read-only on Linux but is no file to load: it is
    // refused like a file that cannot be opened, not as a short GSI block.
    if (m_fileStream < 0 || ::fstat(m_fileStream, &status) != 0 || !S_ISREG(status.st_mode)) {
        report(MODULE_SIEVRA, REPORT_TYPE_ERROR, "Cannot load STL file.", 201);
        return E_FAIL;
    }
    const std::int64_t fileSize = status.st_size;

    if (readAt(m_fileStream, m_generalSubtitleInformation.bytes, GSI_BLOCK_SIZE, 0) !=
        GSI_BLOCK_SIZE) {
        report(MODULE_SIEVRA, REPORT_TYPE_ERROR,
               "Insufficient data reading the General Subtitle Information block", 202);
        return E_FAIL;
    }

    if (m_variant == StlVariant::Plugin && !checkDiskFormatCode()) return E_FAIL;

    // A negative count announces nothing usable, like one that does not convert.
    const auto count = fieldToInt32(m_generalSubtitleInformation.bytes, gsi::totalNumberOfTti);
    if (!count || *count < 0) {
        platform::reportFailure(OPEN_FILE);
        return E_FAIL;
    }
    m_textAndTimingInformationCount = static_cast<std::uint32_t>(*count);
    const std::uint64_t announcedSize = ttiBlockOffset(m_textAndTimingInformationCount);
    const bool sizeTooSmall = static_cast<std::uint64_t>(fileSize) < announcedSize;

    if (m_variant == StlVariant::Viewer) {
        if (sizeTooSmall && m_nonStandardFramesPerSecond == 0) {
            platform::reportError(OPEN_FILE, "invalid STL file size.");
            return E_FAIL;
        }
        // Past 2^31 - 1 blocks (a file over 256 GB) the signed count accessor would turn
        // negative; the list could never show that many rows anyway.
        m_textAndTimingInformationTotalCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            ttiBlocksPresent(fileSize), std::numeric_limits<std::int32_t>::max()));
        if (!checkDiskFormatCode()) return E_FAIL;
    }

    reportGeneralSubtitleInformation();

    if (m_variant == StlVariant::Plugin && checkFileSize && sizeTooSmall) {
        report(MODULE_SIEVRA, REPORT_TYPE_ERROR,
               "Invalid STL file size and Text And Timing Information records count", 401);
        return E_FAIL;
    }
    return S_OK;
}

bool StlReader::checkDiskFormatCode() {
    int framesPerSecond = framesPerSecondFromDiskFormatCode(m_generalSubtitleInformation);
    if (framesPerSecond == 0 && m_variant == StlVariant::Viewer)
        framesPerSecond = m_nonStandardFramesPerSecond;
    if (framesPerSecond == 0) {
        report(MODULE_SIEVRA, REPORT_TYPE_ERROR, "Invalid STL file Disk Format Code", 203);
        return false;
    }
    m_framesPerSecond = framesPerSecond;
    return true;
}

void StlReader::reportGeneralSubtitleInformation() {
    // Without a callback the lines would go nowhere; skip decoding them.
    if (!m_reportFunction) return;
    for (const GsiLine& line : gsiLines) {
        std::string text;
        if (m_variant == StlVariant::Viewer) {
            const std::u16string value =
                gsiFieldToDisplayString(m_generalSubtitleInformation, line.field);
            text = utf16ToUtf8(line.isDate ? formatGsiDate(value) : value);
        } else {
            const std::string value =
                fieldText(m_generalSubtitleInformation.bytes, line.field, StlVariant::Plugin);
            text = line.isDate ? formatGsiDate(value) : value;
        }
        report(MODULE_SIEVRA, REPORT_TYPE_INFO, line.caption + text, line.validationId);
    }
}

HRESULT StlReader::closeFile() {
    return platform::guarded("TSTLReader.CloseFile", E_FAIL, [&] {
        closeStream();
        m_framesPerSecond = 0;
        return S_OK;
    });
}

void StlReader::closeStream() {
    if (m_fileStream >= 0) ::close(m_fileStream);
    m_fileStream = -1;
}

HRESULT StlReader::getGeneralSubtitleInformation(PGeneralSubtitleInformation* gsi) {
    return platform::guarded("TSTLReader.GetGeneralSubtitleInformation", E_FAIL, [&] {
        if (!gsi) {
            platform::reportFailure("TSTLReader.GetGeneralSubtitleInformation");
            return E_FAIL;
        }
        *gsi = &m_generalSubtitleInformation;
        return S_OK;
    });
}

std::int32_t StlReader::getTextAndTimingInformationCount() const {
    return static_cast<std::int32_t>(m_textAndTimingInformationCount);
}

std::int32_t StlReader::getTextAndTimingInformationTotalCount() const {
    return static_cast<std::int32_t>(m_textAndTimingInformationTotalCount);
}

HRESULT StlReader::getTextAndTimingInformation(std::uint32_t index,
                                               PTextAndTimingInformation* tti) {
    return platform::guarded(GET_TTI, E_FAIL, [&] {
        if (!tti) {
            platform::reportFailure(GET_TTI);
            return E_FAIL;
        }
        const std::uint32_t bound = m_variant == StlVariant::Viewer
                                        ? m_textAndTimingInformationTotalCount
                                        : m_textAndTimingInformationCount;
        if (index >= bound) {
            platform::reportError(GET_TTI, "invalid index.");
            return E_FAIL;
        }
        if (!readBlock(index)) return E_FAIL;
        *tti = &m_textAndTimingInformation;
        return S_OK;
    });
}

std::size_t StlReader::readTextAndTimingBlocks(std::uint32_t first, std::size_t count,
                                               TextAndTimingInformation* out) const {
    const std::uint32_t bound = m_variant == StlVariant::Viewer
                                    ? m_textAndTimingInformationTotalCount
                                    : m_textAndTimingInformationCount;
    if (m_fileStream < 0 || !out || first >= bound) return 0;
    count = std::min<std::size_t>(count, bound - first);
    const std::size_t got =
        readAt(m_fileStream, out[0].bytes, count * TTI_BLOCK_SIZE, ttiBlockOffset(first));
    return got / TTI_BLOCK_SIZE;
}

std::size_t StlReader::readPresentBlocks(std::uint32_t first, std::size_t count,
                                         TextAndTimingInformation* out) const {
    const std::uint64_t present = ttiBlocksPresent(fileSize());
    if (m_fileStream < 0 || !out || first >= present) return 0;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, present - first));
    const std::size_t got =
        readAt(m_fileStream, out[0].bytes, count * TTI_BLOCK_SIZE, ttiBlockOffset(first));
    return got / TTI_BLOCK_SIZE;
}

bool StlReader::readBlock(std::uint32_t index) {
    if (m_fileStream < 0) {
        platform::reportFailure(GET_TTI);
        return false;
    }
    // Read aside first so a short read leaves the buffer a caller may still hold untouched.
    TextAndTimingInformation block;
    if (readAt(m_fileStream, block.bytes, TTI_BLOCK_SIZE, ttiBlockOffset(index)) !=
        TTI_BLOCK_SIZE) {
        platform::reportError(GET_TTI, "cannot read Text And Timing Information.");
        return false;
    }
    m_textAndTimingInformation = block;
    return true;
}

std::int64_t StlReader::getDuration() {
    return platform::guarded(GET_DURATION, std::int64_t{0}, [&]() -> std::int64_t {
        if (m_textAndTimingInformationCount == 0) {
            platform::reportError(GET_DURATION, "no items.");
            return 0;
        }
        PTextAndTimingInformation block = nullptr;
        if (FAILED(getTextAndTimingInformation(0, &block))) {
            platform::reportError(GET_DURATION, "cannot retrieve the first Text And Timing item.");
            return 0;
        }
        const double start =
            timeCodeToSeconds(timeCodeAt(*block, tti::timeCodeIn), m_framesPerSecond);
        if (FAILED(getTextAndTimingInformation(m_textAndTimingInformationCount - 1, &block))) {
            platform::reportError(GET_DURATION, "cannot retrieve the last Text And Timing item.");
            return 0;
        }
        const double end =
            timeCodeToSeconds(timeCodeAt(*block, tti::timeCodeOut), m_framesPerSecond);
        return static_cast<std::int64_t>((end - start) * 10000000.0);
    });
}

std::int32_t StlReader::updateTotalCount() {
    const std::int64_t size = fileSize();
    if (m_variant == StlVariant::Viewer && size >= 0)
        m_textAndTimingInformationTotalCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            ttiBlocksPresent(size), std::numeric_limits<std::int32_t>::max()));
    return getTextAndTimingInformationTotalCount();
}

std::int64_t StlReader::fileSize() const {
    struct stat status {};
    if (m_fileStream < 0 || ::fstat(m_fileStream, &status) != 0) return -1;
    return status.st_size;
}

HRESULT StlReader::report(std::int32_t module, std::int32_t reportType, const std::string& text,
                          std::int32_t validationId) {
    return platform::guarded("TSTLReader.Report", E_FAIL, [&] {
        if (!m_reportFunction) return E_FAIL;
        return m_reportFunction.function(m_reportFunction.context, module, reportType, text.c_str(),
                                         validationId);
    });
}

bool isStlFile(const std::string& fileName, bool checkFileSize, StlVariant variant) {
    return platform::guarded("IsSTLFile", false, [&] {
        StlReader reader(variant);
        const bool opened = reader.openFile(fileName, checkFileSize) == S_OK;
        if (opened) reader.closeFile();
        return opened;
    });
}
