#include "FindingPlace.h"

#include <charconv>
#include <fstream>
#include <map>
#include <optional>

#include "stl/StlTypes.h"
#include "subtitle/Assembly.h"

namespace validationhost {
namespace {

constexpr std::uint32_t GSI_SIZE = 1024;
constexpr std::uint32_t BLOCK_SIZE = 128;
constexpr std::size_t BLOCKS_PER_READ = 4096;

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

// The subtitle of every block, as the subtitle model chains them.
class BlockSubtitles {
public:
    explicit BlockSubtitles(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        if (!in.ignore(GSI_SIZE) || in.gcount() != GSI_SIZE) return;
        subtitle::Assembler assembler([this](const subtitle::Subtitle& s) { keep(s); });
        std::vector<TextAndTimingInformation> blocks(BLOCKS_PER_READ);
        for (std::uint32_t index = 0; in;) {
            in.read(reinterpret_cast<char*>(blocks.data()), BLOCKS_PER_READ * BLOCK_SIZE);
            const auto got = static_cast<std::size_t>(in.gcount()) / BLOCK_SIZE;
            for (std::size_t i = 0; i < got; ++i, ++index) {
                m_own.push_back(ownPlace(blocks[i]));
                assembler.take(index, blocks[i]);
            }
        }
        assembler.finish();
    }

    void place(FindingPlace& place) const {
        const auto block = static_cast<std::size_t>(place.block);
        if (block >= m_own.size()) return;
        const Place& found = m_own[block];
        place.subtitleNumber = found.number;
        place.in = found.in;
        place.out = found.out;
    }

private:
    struct Place {
        std::uint16_t number;
        TimeCode in, out;
    };
    static Place ownPlace(const TextAndTimingInformation& block) {
        return {subtitleNumberOf(block), timeCodeAt(block, tti::timeCodeIn),
                timeCodeAt(block, tti::timeCodeOut)};
    }
    // Blocks of a chain take the place of its first block; user data keeps its own.
    void keep(const subtitle::Subtitle& s) {
        const Place first = m_own[s.firstBlock];
        for (std::uint32_t b = s.firstBlock + 1; b <= s.lastBlock && b < m_own.size(); ++b)
            m_own[b] = first;
    }

    std::vector<Place> m_own;
};

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

int ruleId(const std::string& message) {
    if (message.size() < 3 || message[0] != '[') return 0;
    const std::size_t close = message.find(']');
    if (close == std::string::npos || close == 1 || close > 10) return 0;
    int id = 0;
    for (std::size_t i = 1; i < close; ++i) {
        if (message[i] < '0' || message[i] > '9') return 0;
        id = id * 10 + (message[i] - '0');
    }
    return id;
}

void appendTimeCode(std::string& out, const TimeCode& time) {
    const std::uint8_t parts[] = {time.hours, time.minutes, time.seconds, time.frames};
    for (std::size_t i = 0; i < 4; ++i) {
        if (i) out += ':';
        if (parts[i] < 10) out += '0';
        char digits[4];
        out.append(digits, std::to_chars(digits, digits + sizeof digits, parts[i]).ptr);
    }
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
