#include "FileValidator.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "delivery/DeliveryChecks.h"
#include "platform/Guarded.h"
#include "stl/StlReader.h"
#include "stl/StlUtils.h"
#include "stl/TtiBlockCursor.h"

namespace {

constexpr std::int32_t PROPOSED_TYPE = REPORT_TYPE_ERROR;

__attribute__((format(printf, 1, 2))) std::string format(const char* pattern, ...) {
    char buffer[512];
    va_list args;
    va_start(args, pattern);
    const int length = std::vsnprintf(buffer, sizeof buffer, pattern, args);
    va_end(args);
    if (length < 0) throw std::runtime_error("format");
    return std::string(buffer,
                       std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
}

// A GSI field as the checks see it: up to the first zero byte, bytes as they are, trimmed.
std::string gsiText(const std::uint8_t* gsi, const StlField& field) {
    return fieldText(gsi, field, StlVariant::Plugin);
}

std::optional<std::int32_t> hexFieldValue(const std::string& text) {
    return strToInt32("$" + text);
}

bool isOneOf(const std::string& text, std::initializer_list<std::string_view> values) {
    for (std::string_view value : values)
        if (text == value) return true;
    return false;
}

bool inRange(const std::optional<std::int32_t>& value, std::int32_t low, std::int32_t high) {
    return value && *value >= low && *value <= high;
}

}  // namespace

FileValidator::FileValidator() = default;

FileValidator::~FileValidator() = default;

HRESULT FileValidator::setReportFunction(ReportFunction callback) {
    return platform::guarded("TSTLFileValidator.SetReportFunction", E_FAIL, [&] {
        m_reportFunction = callback;
        return S_OK;
    });
}

HRESULT FileValidator::report(std::int32_t module, std::int32_t reportType,
                              const std::string& reportMessage, std::int32_t validationId) {
    return platform::guarded("TSTLFileValidator.Report", E_FAIL, [&] {
        if (!m_reportFunction) return E_FAIL;
        return m_reportFunction.function(m_reportFunction.context, module, reportType,
                                         reportMessage.c_str(), validationId);
    });
}

void FileValidator::clearSubtitleNumbers() {
    platform::guardedVoid("TSTLFileValidator.ClearSubtitleNumbers",
                          [&] { m_subtitleNumbers.reset(); });
}

HRESULT FileValidator::validateStl(StlReader* reader) {
    return platform::guarded("TSTLFileValidator.ValidateSTL", E_FAIL, [&] {
        if (!reader) throw std::invalid_argument("no reader");
        PGeneralSubtitleInformation gsi = nullptr;
        if (FAILED(reader->getGeneralSubtitleInformation(&gsi)) || !gsi) {
            platform::reportError("TSTLFileValidator.ValidateSTL",
                                  "unable to retrieve the GSI block.");
            return E_FAIL;
        }
        std::int32_t announcedCount = 0;
        validateGsi(gsi->bytes, announcedCount);
        validateFileSize(*reader, announcedCount);
        std::optional<DeliveryChecks> delivery;
        if (m_deliverySettings) {
            delivery.emplace(*m_deliverySettings,
                             [&](std::int32_t id, std::int32_t type, const std::string& message) {
                                 report(MODULE_SIEVRA, type, message, id);
                             });
            if (!delivery->begin(*reader)) delivery.reset();
        }
        const std::int32_t walked =
            validateTtIs(*reader, announcedCount, delivery ? &*delivery : nullptr);
        if (delivery) {
            // The delivery rules see every block present, also those past the announced count.
            if (walked == announcedCount) feedBlocksPastAnnounced(*reader, walked, *delivery);
            delivery->finish();
        }
        return S_OK;
    });
}

void FileValidator::validateGsi(const std::uint8_t* gsi, std::int32_t& announcedCount) {
    auto finding = [&](std::int32_t id, const char* pattern, const std::string& text) {
        report(MODULE_SIEVRA, PROPOSED_TYPE, format(pattern, text.c_str()), id);
    };

    const std::string codePageNumber = gsiText(gsi, gsi::codePageNumber);
    if (!strToInt32(codePageNumber))
        finding(402, "Invalid GSI - Code Page Number value = %s", codePageNumber);

    const std::string diskFormatCode = toUpperAscii(gsiText(gsi, gsi::diskFormatCode));
    if (!isOneOf(diskFormatCode, {"STL25.01", "STL30.01"}))
        finding(403, "Invalid GSI - Data Format Code = %s", diskFormatCode);

    const std::string displayStandardCode = toUpperAscii(gsiText(gsi, gsi::displayStandardCode));
    if (!isOneOf(displayStandardCode, {"", "0", "1", "2"}))
        finding(404, "Invalid GSI - Display Standard Code = %s", displayStandardCode);

    const std::string characterCodeTable =
        toUpperAscii(gsiText(gsi, gsi::characterCodeTableNumber));
    if (!isOneOf(characterCodeTable, {"00", "01", "02", "03", "04"}))
        finding(405, "Invalid GSI - Character Code Table Number = %s", characterCodeTable);

    // The language code is two hexadecimal digits below 80.
    const std::string languageCode = toUpperAscii(gsiText(gsi, gsi::languageCode));
    const auto language = hexFieldValue(languageCode);
    if (!language || *language >= 128)
        finding(406, "Invalid GSI - Language Code = %s", languageCode);

    const std::string creationDate = gsiText(gsi, gsi::creationDate);
    if (!creationDate.empty() && !strToInt32(creationDate))
        finding(407, "Invalid GSI - Creation Date = %s", creationDate);

    const std::string revisionDate = gsiText(gsi, gsi::revisionDate);
    if (!revisionDate.empty() && !strToInt32(revisionDate))
        finding(408, "Invalid GSI - Revision Date = %s", revisionDate);

    const std::string revisionNumber = gsiText(gsi, gsi::revisionNumber);
    if (!revisionNumber.empty() && !inRange(strToInt32(revisionNumber), 0, 99))
        finding(409, "Invalid GSI - Revision Number = %s", revisionNumber);

    const std::string totalTti = gsiText(gsi, gsi::totalNumberOfTti);
    const auto totalTtiValue = strToInt32(totalTti);
    if (!totalTtiValue) finding(410, "Invalid GSI - Total Number of TTI Blocks = %s", totalTti);

    const std::string totalSubtitles = gsiText(gsi, gsi::totalNumberOfSubtitles);
    const auto totalSubtitlesValue = strToInt32(totalSubtitles);
    if (!totalSubtitlesValue)
        finding(411, "Invalid GSI - Total Number of Subtitles = %s", totalSubtitles);

    announcedCount = totalTtiValue.value_or(0);
    if (totalSubtitlesValue.value_or(0) > announcedCount)
        report(MODULE_SIEVRA, PROPOSED_TYPE,
               format("GSI - TNS must be less or equal to TNB. TNB = %s. TNS = %s",
                      totalTti.c_str(), totalSubtitles.c_str()),
               412);

    const std::string subtitleGroups = gsiText(gsi, gsi::totalNumberOfSubtitleGroups);
    if (!hexFieldValue(subtitleGroups))
        finding(413, "Invalid GSI - Total Number of Subtitle Groups = %s", subtitleGroups);

    const std::string maxCharacters = gsiText(gsi, gsi::maximumNumberOfDisplayableCharacters);
    if (!inRange(strToInt32(maxCharacters), 0, 99))
        finding(414, "Invalid GSI - Maximum Number of Displayable Characters = %s", maxCharacters);

    const std::string maxRows = gsiText(gsi, gsi::maximumNumberOfDisplayableRows);
    if (!inRange(strToInt32(maxRows), 0, 99))
        finding(415, "Invalid GSI - Maximum Number of Displayable Rows = %s", maxRows);

    const std::string timeCodeStatus = toUpperAscii(gsiText(gsi, gsi::timeCodeStatus));
    if (!isOneOf(timeCodeStatus, {"0", "1"}))
        finding(416, "Invalid GSI - Time Code Status = %s", timeCodeStatus);

    const std::string startOfProgramme = gsiText(gsi, gsi::timeCodeStartOfProgramme);
    if (!startOfProgramme.empty() && !strToInt32(startOfProgramme))
        finding(417, "Invalid GSI - Time Code Start-of-Programme = %s", startOfProgramme);

    const std::string firstInCue = gsiText(gsi, gsi::timeCodeFirstInCue);
    if (!firstInCue.empty() && !strToInt32(firstInCue))
        finding(418, "Invalid GSI - Time Code First in-cue = %s", firstInCue);

    // A disk number above 9 is reported but still takes part in the DSN/TND comparison. An empty
    // text does not convert.
    const std::string totalDisks = gsiText(gsi, gsi::totalNumberOfDisks);
    const auto totalDisksValue = strToInt32(totalDisks);
    const std::int32_t disks = totalDisksValue.value_or(0);
    if (!totalDisks.empty() && (!totalDisksValue || disks > 9))
        finding(419, "Invalid GSI - Total Number of Disks = %s", totalDisks);

    const std::string diskSequence = gsiText(gsi, gsi::diskSequenceNumber);
    const auto diskSequenceValue = strToInt32(diskSequence);
    const std::int32_t sequence = diskSequenceValue.value_or(0);
    if (!diskSequence.empty() && (!diskSequenceValue || sequence > 9))
        finding(420, "Invalid GSI - Disk Sequence Number = %s", diskSequence);

    if (totalDisksValue.has_value() && diskSequenceValue.has_value() && sequence > disks)
        report(MODULE_SIEVRA, PROPOSED_TYPE,
               format("GSI - DSN must be less or equal to TND. TND = %s. DSN = %s",
                      totalDisks.c_str(), diskSequence.c_str()),
               421);
}

void FileValidator::validateFileSize(StlReader& reader, std::int32_t announcedCount) {
    const std::int64_t size = reader.fileSize();
    if (size < 0) throw std::runtime_error("no open file");
    const std::int64_t expected = 1024 + std::int64_t{128} * announcedCount;
    if (expected > size)
        report(MODULE_SIEVRA, PROPOSED_TYPE,
               "Invalid STL file size. File size is smaller than the announced Text And Timing "
               "Information records "
               "count",
               422);
    if (expected < size)
        report(MODULE_SIEVRA, PROPOSED_TYPE,
               "Invalid STL file size. File size is bigger than the announced Text And Timing "
               "Information records "
               "count",
               423);
}

void FileValidator::feedBlocksPastAnnounced(StlReader& reader, std::int32_t from,
                                            DeliveryChecks& delivery) {
    std::vector<TextAndTimingInformation> chunk(512);
    for (std::uint32_t next = static_cast<std::uint32_t>(std::max(0, from));;) {
        const std::size_t got = reader.readPresentBlocks(next, chunk.size(), chunk.data());
        if (got == 0) return;
        for (std::size_t k = 0; k < got; ++k)
            delivery.takeBlock(static_cast<std::int32_t>(next + k), chunk[k]);
        next += static_cast<std::uint32_t>(got);
    }
}

std::int32_t FileValidator::validateTtIs(StlReader& reader, std::int32_t announcedCount,
                                         DeliveryChecks* delivery) {
    clearSubtitleNumbers();
    std::int32_t previous = -1;
    const std::int32_t framesPerSecond = reader.framesPerSecond();
    const int frameLimit = framesPerSecond == 25 ? 24 : 29;

    auto finding = [&](std::int32_t id, const char* pattern, std::int32_t index, int value) {
        report(MODULE_SIEVRA, PROPOSED_TYPE, format(pattern, static_cast<int>(index), value), id);
    };
    // Four range checks on one time code; invalid parts still enter the seconds as they are.
    auto checkTimeCode = [&](const TimeCode& tc, std::int32_t index, std::int32_t firstId,
                             const char* const patterns[4]) {
        if (tc.hours > 23) finding(firstId, patterns[0], index, tc.hours);
        if (tc.minutes > 59) finding(firstId + 1, patterns[1], index, tc.minutes);
        if (tc.seconds > 59) finding(firstId + 2, patterns[2], index, tc.seconds);
        if (tc.frames > frameLimit) finding(firstId + 3, patterns[3], index, tc.frames);
        return timeCodeToSeconds(tc, framesPerSecond);
    };
    static const char* const TIME_IN[4] = {"TTI # %d - Invalid Time Code In - Hours = %d",
                                           "TTI # %d - Invalid Time Code In - Minutes = %d",
                                           "TTI # %d - Invalid Time Code In - Seconds = %d",
                                           "TTI # %d - Invalid Time Code In - Frames = %d"};
    static const char* const TIME_OUT[4] = {"TTI # %d - Invalid Time Code Out - Hours = %d",
                                            "TTI # %d - Invalid Time Code Out - Minutes = %d",
                                            "TTI # %d - Invalid Time Code Out - Seconds = %d",
                                            "TTI # %d - Invalid Time Code Out - Frames = %d"};

    TtiBlockCursor blocks(reader);
    for (std::int32_t i = 0; i < announcedCount; ++i) {
        PTextAndTimingInformation tti = nullptr;
        if (FAILED(blocks.get(static_cast<std::uint32_t>(i), &tti)) || !tti) {
            report(MODULE_SIEVRA, PROPOSED_TYPE,
                   format("TTI # %d - Unable to retrieve TTI blocks to the end of the file",
                          static_cast<int>(i)),
                   424);
            return i;
        }
        const std::uint8_t* block = tti->bytes;

        const std::uint16_t number = subtitleNumberOf(*tti);
        if (m_subtitleNumbers.test(number))
            finding(425, "TTI # %d - Dublicate Subtitle Number = %d", i, number);
        else
            m_subtitleNumbers.set(number);
        if (previous > 0 && number != previous && number != previous + 1)
            finding(426, "TTI # %d - Not equal or subsequent Subtitle Number = %d", i, number);
        previous = number;

        const std::uint8_t cumulative = block[tti::cumulativeStatus.offset];
        if (cumulative > 3)
            finding(427, "TTI # %d - Invalid Cumulative Status = %d", i, cumulative);

        const double timeIn = checkTimeCode(timeCodeAt(*tti, tti::timeCodeIn), i, 428, TIME_IN);
        const double timeOut = checkTimeCode(timeCodeAt(*tti, tti::timeCodeOut), i, 432, TIME_OUT);
        if (std::fabs(timeIn - timeOut) <= 0.01)
            report(MODULE_SIEVRA, PROPOSED_TYPE,
                   format("TTI # %d - Time Code In value is equal to the Time Code Out value",
                          static_cast<int>(i)),
                   436);
        if (timeOut < timeIn)
            report(MODULE_SIEVRA, PROPOSED_TYPE,
                   format("TTI # %d - Time Code In value is greater than the Time Code Out value",
                          static_cast<int>(i)),
                   437);

        const std::uint8_t vertical = block[tti::verticalPosition.offset];
        if (vertical > 99)
            finding(438, "TTI # %d - Invalid Vertical Position value = %d", i, vertical);
        const std::uint8_t justification = block[tti::justificationCode.offset];
        if (justification > 3)
            finding(439, "TTI # %d - Invalid Justification Code value = %d", i, justification);
        const std::uint8_t comment = block[tti::commentFlag.offset];
        if (comment > 3) finding(440, "TTI # %d - Invalid Comment Flag value = %d", i, comment);
        if (delivery) delivery->takeBlock(i, *tti);
    }
    return announcedCount;
}
