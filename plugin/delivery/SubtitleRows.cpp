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
            m_width = m_cells;
            if (m_first < 0) m_first = m_characters;
            m_last = m_characters;
            m_unboxed = m_unboxed || !cell.boxed;
            m_single = m_single || !cell.tall();
            if (!cell.isMosaic) m_colours |= 1 << cell.foreground;
        }
        ++m_characters;
    }

    // The row is written once, from single values: a row kept as a struct and copied whole would
    // wait on the writes to its fields.
    void endLine(int) {
        const int visible = m_first < 0 ? 0 : m_last - m_first + 1;
        m_facts.visible += visible;
        if (visible > 0) ++m_facts.nonEmptyRows;
        m_facts.rows.push_back({visible, m_width, m_unboxed, m_single});
        m_width = m_cells = m_characters = 0;
        m_first = m_last = -1;
        m_unboxed = m_single = false;
    }

private:
    SubtitleFacts& m_facts;
    subtitle::Cell m_scratch;
    int m_cells = 0;
    int m_width = 0;  // cells up to the last visible character
    int m_characters = 0;
    int m_first = -1;
    int m_last = -1;
    bool m_unboxed = false;
    bool m_single = false;
    std::int32_t m_colours = 0;  // kept here, written to the facts once at the end

public:
    std::int32_t colours() const { return m_colours; }
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
    facts.colours = counter.colours();
    subtitle::scanCodes(text, latin, facts.codes);
}
