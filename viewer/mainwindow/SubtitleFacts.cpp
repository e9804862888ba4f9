#include "SubtitleFacts.h"

#include <QString>
#include <algorithm>
#include <array>
#include <cmath>

#include "stl/StlReader.h"
#include "stl/TtiBlockCursor.h"
#include "subtitle/Document.h"
#include "subtitle/TextDecoder.h"
#include "subtitle/Timeline.h"

namespace {

// One walk over a subtitle's bytes: counts what the reading-speed rule counts (visible
// characters from the first to the last of each row, spaces between included) and writes the
// rows as a person reads them, as the copy of a subtitle does, without keeping the cells.
class ReadingSink {
public:
    static constexpr bool keepsAttributeCells = false;

    ReadingSink(SubtitleFacts::Reading& reading, std::u16string& text)
        : m_reading(reading), m_text(text) {}

    subtitle::Cell& slot(const subtitle::Cell& base) {
        m_scratch = base;
        return m_scratch;
    }
    void attributeCell() { m_gap = true; }

    void cell(const subtitle::Cell& cell) {
        // A mosaic shape counts as a character wherever its byte is not a space.
        const bool visible = cell.isMosaic ? cell.code != ' ' : cell.visible();
        if (visible) {
            if (m_first < 0) m_first = m_characters;
            m_last = m_characters;
        }
        ++m_characters;
        if (cell.covered) return;
        if (cell.isMosaic || cell.length == 0) {
            m_gap = true;
            return;
        }
        if (m_gap && !m_row.empty() && m_row.back() != u' ' && !cell.isSpace()) m_row += u' ';
        m_gap = false;
        m_row += cell.text();
    }

    void endLine(int) {
        const int visible = m_first < 0 ? 0 : m_last - m_first + 1;
        m_reading.visible += visible;
        m_reading.longest = std::max(m_reading.longest, visible);
        const auto first = m_row.find_first_not_of(u' ');
        if (visible > 0 && first != std::u16string::npos) {
            ++m_reading.rows;
            if (m_text.size() > m_start) m_text += u' ';
            m_text.append(m_row, first, m_row.find_last_not_of(u' ') - first + 1);
        }
        m_row.clear();
        m_characters = 0;
        m_first = m_last = -1;
        m_gap = false;
    }

private:
    SubtitleFacts::Reading& m_reading;
    std::u16string& m_text;
    std::size_t m_start = m_text.size();
    subtitle::Cell m_scratch;
    std::u16string m_row;
    int m_characters = 0;
    int m_first = -1;
    int m_last = -1;
    bool m_gap = false;
};

char16_t foldOne(char16_t c) {
    QChar ch(c);
    if (ch.isSurrogate()) return c;
    // Canonical decompositions put the base letter first (é is e and an accent); decomposed
    // again for letters with two marks.
    for (int depth = 0; depth < 3 && ch.decompositionTag() == QChar::Canonical; ++depth)
        ch = ch.decomposition().at(0);
    return ch.toCaseFolded().unicode();
}

const std::array<char16_t, 65536>& foldTable() {
    static const auto table = [] {
        std::array<char16_t, 65536> t{};
        for (std::size_t c = 0; c < t.size(); ++c) t[c] = foldOne(static_cast<char16_t>(c));
        return t;
    }();
    return table;
}

}  // namespace

std::u16string foldedForSearch(std::u16string_view text) {
    const auto& table = foldTable();
    std::u16string folded(text.size(), u'\0');
    std::transform(text.begin(), text.end(), folded.begin(), [&](char16_t c) { return table[c]; });
    return folded;
}

void SubtitleFacts::begin(int framesPerSecond, std::size_t blocks) {
    *this = SubtitleFacts();
    m_fps = framesPerSecond > 0 ? framesPerSecond : 25;
    m_subtitles.reserve(blocks);
    m_startOf.assign(blocks, -1);
    m_assembler.emplace([this](const subtitle::Subtitle& s) {
        Entry e;
        e.firstBlock = s.firstBlock;
        e.in = subtitle::frameOf(s.in, m_fps);
        e.out = subtitle::frameOf(s.out, m_fps);
        e.comment = s.comment;
        e.number = s.number;
        if (m_startOf.size() <= s.firstBlock) m_startOf.resize(s.firstBlock + 1, -1);
        m_startOf[s.firstBlock] = static_cast<std::int32_t>(m_subtitles.size());
        m_subtitles.push_back(e);
    });
}

void SubtitleFacts::take(std::uint32_t index, const TextAndTimingInformation& block) {
    if (m_assembler) m_assembler->take(index, block);
}

void SubtitleFacts::finish() {
    if (m_assembler) m_assembler->finish();
    m_assembler.reset();
    m_nextShown.assign(m_subtitles.size(), -1);
    std::int32_t next = -1;
    for (std::size_t i = m_subtitles.size(); i-- > 0;) {
        m_nextShown[i] = next;
        if (!m_subtitles[i].comment) next = static_cast<std::int32_t>(i);
    }
}

std::optional<std::int64_t> SubtitleFacts::duration(int subtitle) const {
    if (subtitle < 0) return std::nullopt;
    const Entry& e = m_subtitles[std::size_t(subtitle)];
    return e.out - e.in;
}

std::optional<std::int64_t> SubtitleFacts::gapToNext(int subtitle) const {
    if (subtitle < 0 || std::size_t(subtitle) >= m_nextShown.size() ||
        m_subtitles[std::size_t(subtitle)].comment)
        return std::nullopt;
    const std::int32_t next = m_nextShown[std::size_t(subtitle)];
    if (next < 0) return std::nullopt;
    return m_subtitles[std::size_t(next)].in - m_subtitles[std::size_t(subtitle)].out;
}

std::optional<double> SubtitleFacts::charactersPerSecond(int subtitle) const {
    const auto frames = duration(subtitle);
    if (!m_readingsBuilt || !frames || *frames <= 0) return std::nullopt;
    // Rounded up as the rule quotes it, so the column and a finding show the same figure.
    const double visible = reading(subtitle).visible;
    return std::ceil(visible * m_fps * 100 / double(*frames)) / 100;
}

void SubtitleFacts::dropReadings() {
    m_readingsBuilt = false;
    m_readings = {};
    m_textStarts = {};
    m_plain = {};
    m_folded = {};
}

void SubtitleFacts::buildReadings(StlReader& reader, std::uint16_t codePage) {
    dropReadings();
    const auto settings = subtitle::textSettings(reader.generalSubtitleInformation(), codePage);
    const subtitle::CharacterDecoder decoder(codePage);
    m_readings.reserve(m_subtitles.size());
    m_textStarts.reserve(m_subtitles.size() + 1);
    m_plain.reserve(m_subtitles.size() * 40);
    subtitle::Assembler assembler([&](const subtitle::Subtitle& s) {
        // The same blocks make the same chains as in the load pass.
        if (m_readings.size() >= m_subtitles.size()) return;
        m_textStarts.push_back(m_plain.size());
        ReadingSink sink(m_readings.emplace_back(), m_plain);
        subtitle::decodeLines(s.text, decoder, settings, sink);
        m_plain += u'\0';
    });
    TtiBlockCursor cursor(reader);
    PTextAndTimingInformation block = nullptr;
    const std::int32_t present = std::max(0, reader.updateTotalCount());
    for (std::int32_t index = 0; index < present; ++index) {
        if (cursor.get(static_cast<std::uint32_t>(index), &block) != S_OK || !block) break;
        assembler.take(static_cast<std::uint32_t>(index), *block);
    }
    assembler.finish();
    // A block that could not be read again leaves the subtitles after it without a reading.
    while (m_readings.size() < m_subtitles.size()) {
        m_textStarts.push_back(m_plain.size());
        m_readings.emplace_back();
        m_plain += u'\0';
    }
    m_textStarts.push_back(m_plain.size());
    m_folded = foldedForSearch(m_plain);
    m_readingsBuilt = true;
}

int SubtitleFacts::subtitleAtText(std::size_t offset) const {
    const auto after = std::upper_bound(m_textStarts.begin(), m_textStarts.end(), offset);
    return static_cast<int>(after - m_textStarts.begin()) - 1;
}
