#include "SubtitleRows.h"

namespace {

class RowCounter {
public:
    explicit RowCounter(SubtitleFacts& facts) : m_facts(facts) {}

    subtitle::Cell& slot(const subtitle::Cell& base) {
        m_scratch = base;
        return m_scratch;
    }

    void cell(const subtitle::Cell& cell) {
        ++m_cells;
        if (cell.attribute) return;
        // A mosaic shape counts as a character wherever its byte is not a space.
        const bool visible = cell.isMosaic ? cell.code != ' ' : cell.visible();
        if (visible) {
            m_row.cells = m_cells;
            if (m_first < 0) m_first = m_characters;
            m_last = m_characters;
            m_row.unboxedText |= !cell.boxed;
            m_row.singleHeightText |= !cell.tall();
            if (!cell.isMosaic) m_facts.colours |= 1 << cell.foreground;
        }
        ++m_characters;
    }

    void endLine(int) {
        m_row.visible = m_first < 0 ? 0 : m_last - m_first + 1;
        m_facts.visible += m_row.visible;
        if (m_row.visible > 0) ++m_facts.nonEmptyRows;
        m_facts.rows.push_back(m_row);
        m_row = RowFacts{};
        m_cells = m_characters = 0;
        m_first = m_last = -1;
    }

private:
    SubtitleFacts& m_facts;
    subtitle::Cell m_scratch;
    RowFacts m_row;
    int m_cells = 0;
    int m_characters = 0;
    int m_first = -1;
    int m_last = -1;
};

}  // namespace

void analyseSubtitle(std::string_view text, const subtitle::CharacterDecoder& decoder,
                     const subtitle::TextSettings& settings, bool latin, SubtitleFacts& facts) {
    facts.rows.clear();
    facts.visible = 0;
    facts.nonEmptyRows = 0;
    facts.colours = 0;
    RowCounter counter(facts);
    subtitle::decodeLines(text, decoder, settings, counter);
    facts.codes = subtitle::scanCodes(text, latin);
}
