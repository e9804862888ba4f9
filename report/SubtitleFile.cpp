#include "SubtitleFile.h"

#include <algorithm>

#include "export/CueMarkup.h"
#include "export/FrameRate.h"
#include "export/LanguageTag.h"
#include "platform/CodePage.h"
#include "platform/Utf8.h"
#include "stl/TextTables.h"

namespace report {
namespace {

// GSI text in the header's own code page; byte for byte as Latin-1 when it names none.
std::string gsiText(const GeneralSubtitleInformation& gsi, const StlField& field) {
    const std::string bytes = fieldText(gsi.bytes, field);
    if (const auto page = gsiCodePage(gsi))
        if (const auto wide = platform::multiByteToWideChar(*page, bytes)) return toUtf8(*wide);
    std::string out;
    for (const unsigned char c : bytes) platform::appendUtf8(out, c);
    return out;
}

std::string joined(std::string first, const std::string& second) {
    if (first.empty()) return second;
    return second.empty() ? first : first + " \xE2\x80\x93 " + second;
}

std::string withMeaning(std::string value, const std::string& meaning) {
    return meaning.empty() ? value : value + " (" + meaning + ")";
}

std::string standardName(subtitle::Standard standard) {
    switch (standard) {
        case subtitle::Standard::Open:
            return "open subtitling";
        case subtitle::Standard::Teletext1:
            return "teletext level 1";
        case subtitle::Standard::Teletext2:
            return "teletext level 2";
        case subtitle::Standard::Blank:
            return "blank: read as open subtitling";
        default:
            return "";
    }
}

std::string timeCodeText(std::int64_t frames, int perSecond) {
    TimeCode time{};
    time.frames = static_cast<std::uint8_t>(frames % perSecond);
    const std::int64_t seconds = frames / perSecond;
    time.seconds = static_cast<std::uint8_t>(seconds % 60);
    time.minutes = static_cast<std::uint8_t>(seconds / 60 % 60);
    time.hours = static_cast<std::uint8_t>(std::min<std::int64_t>(seconds / 3600, 255));
    return formatTimeCode(time);
}

}  // namespace

SubtitleFile::SubtitleFile(const std::string& path) : m_file(subtitle::readDocument(path)) {
    m_read = m_file.error.empty();
    if (!m_read) return;
    const std::uint32_t codePage = subtitle::textCodePage(m_file.document.gsi);
    m_settings = subtitle::textSettings(m_file.document.gsi, codePage);
    m_decoder.emplace(codePage);
}

GsiEssentials SubtitleFile::essentials() const {
    GsiEssentials facts;
    if (!m_read) return facts;
    const GeneralSubtitleInformation& gsi = m_file.document.gsi;
    facts.title =
        joined(gsiText(gsi, gsi::originalProgrammeTitle), gsiText(gsi, gsi::originalEpisodeTitle));
    if (facts.title.empty())
        facts.title = joined(gsiText(gsi, gsi::translatedProgrammeTitle),
                             gsiText(gsi, gsi::translatedEpisodeTitle));
    facts.codePage = gsiText(gsi, gsi::codePageNumber);
    const auto table = characterCodeTable(gsi);
    facts.characterTable = withMeaning(characterCodeTableText(gsi), table ? table->name : "");
    facts.diskFormat = gsiText(gsi, gsi::diskFormatCode);
    facts.displayStandard = withMeaning(gsiText(gsi, gsi::displayStandardCode),
                                        standardName(subtitle::standardOf(gsi)));
    facts.language = withMeaning(gsiText(gsi, gsi::languageCode), languageTag(gsi));
    const auto start = startOfProgramme(gsi);
    facts.startOfProgramme =
        start ? formatTimeCode(*start) : gsiText(gsi, gsi::timeCodeStartOfProgramme);

    std::optional<std::int64_t> first, last;
    const auto rate = frameRateOf(gsi);
    for (const subtitle::Subtitle& s : m_file.document.subtitles) {
        if (s.comment) {
            ++facts.comments;
            continue;
        }
        ++facts.subtitles;
        if (!rate) continue;
        const std::int64_t in = frameCount(s.in, *rate), out = frameCount(s.out, *rate);
        first = std::min(first.value_or(in), in);
        last = std::max(last.value_or(out), out);
    }
    if (first && *last > *first)
        facts.duration = timeCodeText(*last - *first, rate->framesPerTimeCodeSecond);
    return facts;
}

const subtitle::Subtitle* SubtitleFile::subtitleAt(std::int32_t block) const {
    if (!m_read || block < 0) return nullptr;
    const auto& subtitles = m_file.document.subtitles;
    const auto index = static_cast<std::uint32_t>(block);
    // Subtitles stand in the order of their first blocks, and their chains do not overlap.
    auto after = std::upper_bound(
        subtitles.begin(), subtitles.end(), index,
        [](std::uint32_t b, const subtitle::Subtitle& s) { return b < s.firstBlock; });
    if (after == subtitles.begin()) return nullptr;
    const subtitle::Subtitle& candidate = *(after - 1);
    return index <= candidate.lastBlock ? &candidate : nullptr;
}

std::vector<subtitle::Row> SubtitleFile::rows(const subtitle::Subtitle& subtitle) const {
    return subtitle::subtitleRows(subtitle, *m_decoder, m_settings);
}

std::string SubtitleFile::text(const std::vector<subtitle::Row>& rows) const {
    std::string out;
    for (const std::u16string& row : subtitle::plainRows(rows)) {
        if (!out.empty()) out += '\n';
        out += toUtf8(row);
    }
    return out;
}

}  // namespace report
