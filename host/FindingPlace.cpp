#include "FindingPlace.h"

#include <map>
#include <optional>

#include "BlockSubtitles.h"
#include "stl/StlTypes.h"

namespace validationhost {
namespace {

constexpr std::uint32_t GSI_SIZE = 1024;
constexpr std::uint32_t BLOCK_SIZE = 128;

// The header field each header rule is about; rules that compare two fields, or read none,
// point at the whole header.
const std::map<int, StlField>& headerFields() {
    static const std::map<int, StlField> fields = {
        {402, gsi::codePageNumber},
        {403, gsi::diskFormatCode},
        {404, gsi::displayStandardCode},
        {405, gsi::characterCodeTableNumber},
        {406, gsi::languageCode},
        {407, gsi::creationDate},
        {408, gsi::revisionDate},
        {409, gsi::revisionNumber},
        {410, gsi::totalNumberOfTti},
        {411, gsi::totalNumberOfSubtitles},
        {413, gsi::totalNumberOfSubtitleGroups},
        {414, gsi::maximumNumberOfDisplayableCharacters},
        {415, gsi::maximumNumberOfDisplayableRows},
        {416, gsi::timeCodeStatus},
        {417, gsi::timeCodeStartOfProgramme},
        {418, gsi::timeCodeFirstInCue},
        {419, gsi::totalNumberOfDisks},
        {420, gsi::diskSequenceNumber},
        {509, gsi::timeCodeStartOfProgramme},
        {520, gsi::totalNumberOfSubtitles},
    };
    return fields;
}

bool isHeaderFinding(int rule, const std::string& message) {
    return rule == 412 || rule == 421 || message.find("GSI") != std::string::npos;
}

}  // namespace

std::vector<FindingPlace> locateFindings(const std::string& file,
                                         const std::vector<CustomReport>& reports,
                                         const std::vector<std::int32_t>& blocks) {
    std::vector<FindingPlace> places(reports.size());
    std::optional<BlockSubtitles> subtitles;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        FindingPlace& place = places[i];
        place.block = i < blocks.size() ? blocks[i] : -1;
        if (place.block >= 0) {
            if (!subtitles) subtitles.emplace(file);
            subtitles->place(place);
            place.byteOffset = GSI_SIZE + BLOCK_SIZE * static_cast<std::uint32_t>(place.block);
            place.byteLength = BLOCK_SIZE;
            continue;
        }
        const int rule = ruleId(reports[i].reportMessage);
        const auto field = headerFields().find(rule);
        if (field != headerFields().end()) {
            place.byteOffset = field->second.offset;
            place.byteLength = field->second.length;
        } else if (isHeaderFinding(rule, reports[i].reportMessage)) {
            place.byteLength = GSI_SIZE;
        }
    }
    return places;
}

int ruleId(std::string_view message) {
    if (message.size() < 3 || message[0] != '[') return 0;
    const std::size_t close = message.find(']');
    if (close == std::string_view::npos || close == 1 || close > 10) return 0;
    int id = 0;
    for (std::size_t i = 1; i < close; ++i) {
        if (message[i] < '0' || message[i] > '9') return 0;
        id = id * 10 + (message[i] - '0');
    }
    return id;
}

void appendTimeCode(std::string& out, const TimeCode& time) {
    const std::uint8_t parts[] = {time.hours, time.minutes, time.seconds, time.frames};
    char text[16];  // two digits a part; a byte over 99 takes three
    std::size_t length = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        unsigned value = parts[i];
        if (i) text[length++] = ':';
        if (value >= 100) {
            text[length++] = static_cast<char>('0' + value / 100);
            value %= 100;
        }
        text[length++] = static_cast<char>('0' + value / 10);
        text[length++] = static_cast<char>('0' + value % 10);
    }
    out.append(text, length);
}

std::string subtitleText(const FindingPlace& place) {
    if (!place.hasSubtitle()) return {};
    std::string text = "Subtitle " + std::to_string(place.subtitleNumber) + " (";
    appendTimeCode(text, place.in);
    return text + ")";
}

std::string placedMessage(const std::string& message, const FindingPlace& place) {
    const std::string subtitle = subtitleText(place);
    if (subtitle.empty() || message.find(subtitle) != std::string::npos) return message;
    return message + " - " + subtitle;
}

}  // namespace validationhost
