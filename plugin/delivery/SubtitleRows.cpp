#include "SubtitleRows.h"

namespace {

class RowCounter {
public:
    static constexpr bool keepsAttributeCells = false;

    void attributeCell() { ++m_cells; }
    explicit RowCounter(SubtitleFacts& facts) : m_facts(facts) {}

    // Only what is counted is taken over, field by field: the decoder has just written single
    // fields of Base, and a copy of the whole cell would wait on those writes at every code.
    subtitle::Cell& slot(const subtitle::Cell& base) {
        m_scratch.foreground = base.foreground;
        m_scratch.size = base.size;
        m_scratch.boxed = base.boxed;
        m_scratch.isMosaic = base.isMosaic;
        m_scratch.attribute = false;
        m_scratch.length = 0;
        m_scratch.mosaic = 0;
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
        // Field by field, for the same reason as in slot().
        RowFacts& row = m_facts.rows.emplace_back();
        row.visible = m_row.visible;
        row.cells = m_row.cells;
        row.unboxedText = m_row.unboxedText;
        row.singleHeightText = m_row.singleHeightText;
        m_row.cells = 0;
        m_row.unboxedText = m_row.singleHeightText = false;
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
