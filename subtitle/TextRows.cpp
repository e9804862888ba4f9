#include "TextRows.h"

#include <algorithm>

namespace subtitle {
namespace {

constexpr double safeTop = 0.1;
constexpr double safeHeight = 0.8;
constexpr int rowsCountedUpTo = 30;  // an MNR above this counts no rows
constexpr int fewestRows = 11;       // smaller MNRs do not make larger text

bool countsRows(int verticalPosition, int maximumRows) {
    return maximumRows >= 1 && maximumRows <= rowsCountedUpTo && verticalPosition <= maximumRows;
}

class RowSink {
public:
    static constexpr bool keepsAttributeCells = true;
    RowSink(const TextSettings& settings, const Placement& placement, std::size_t bytes)
        : m_settings(settings), m_placement(placement), m_bytes(bytes) {}

    Cell& slot(const Cell& base) {
        if (m_row.cells.empty()) m_row.cells.reserve(m_bytes);
        Cell& cell = m_row.cells.emplace_back();
        copyStyle(base, cell);
        return cell;
    }
    void cell(const Cell&) {}

    void endLine(int boxStart) {
        Row& row = m_row;
        row.line = m_line;
        row.number = m_placement.verticalPosition + m_line;
        ++m_line;
        if (boxStart >= 0) {
            row.unclosedBox = true;
            for (std::size_t c = static_cast<std::size_t>(boxStart); c < row.cells.size(); ++c)
                row.cells[c].unclosedBox = true;
        }
        if (m_settings.teletext) justify(row);
        measure(row);
        if (m_settings.teletext)
            row.column =
                justifiedColumn(m_placement.justification, leadingCells(row), row.width, 40);
        m_rows.push_back(std::move(row));
        m_row = Row{};
    }

    std::vector<Row> take() { return std::move(m_rows); }

private:
    // A justified row loses the spaces before its first character and after its last, also those
    // among the colour and box codes at either end (files padded for column 0 and marked centred
    // keep their lines centred on each other); the codes stay. JC 0 keeps the row as typed.
    void justify(Row& row) const {
        if (m_placement.justification < 1 || m_placement.justification > 3) return;
        auto& cells = row.cells;
        std::size_t first = 0, last = cells.size();
        const auto isText = [](const Cell& c) { return !c.attribute && !c.isSpace(); };
        while (first < last && !isText(cells[first])) ++first;
        while (last > first && !isText(cells[last - 1])) --last;
        std::size_t out = 0;
        for (std::size_t i = 0; i < cells.size(); ++i)
            if (!cells[i].isSpace() || cells[i].attribute || (i >= first && i < last))
                cells[out++] = cells[i];
        cells.resize(out);
    }

    // Cells before the first visible one (all of them when none shows).
    static int leadingCells(const Row& row) {
        int leading = 0;
        while (leading < row.width && !row.cells[static_cast<std::size_t>(leading)].visible())
            ++leading;
        return leading;
    }

    static void measure(Row& row) {
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            const Cell& cell = row.cells[i];
            if (!cell.visible()) continue;
            row.width = static_cast<int>(i) + 1;
            if (cell.tall() && !cell.attribute) row.doubleHeight = true;
        }
    }

    const TextSettings& m_settings;
    const Placement& m_placement;
    std::size_t m_bytes;  // no row has more cells than the text has bytes
    Row m_row;
    int m_line = 0;
    std::vector<Row> m_rows;
};

// Notes whether any character shows; the cells themselves are not kept.
class TextPresence {
public:
    static constexpr bool keepsAttributeCells = false;

    void attributeCell() {}
    Cell& slot(const Cell& base) {
        m_scratch.isMosaic = base.isMosaic;
        m_scratch.size = base.size;  // a wide character hides the cell after it
        m_scratch.length = 0;
        m_scratch.mosaic = 0;
        return m_scratch;
    }
    void cell(const Cell& cell) {
        m_shows = m_shows || (!cell.isMosaic && !cell.covered && cell.visible());
    }
    void endLine(int) {}
    bool shows() const { return m_shows; }

private:
    Cell m_scratch;
    bool m_shows = false;
};

}  // namespace

bool showsText(std::string_view text, const CharacterDecoder& decoder,
               const TextSettings& settings) {
    // Without mosaics a byte shows text when it stands for a character other than a space; a
    // mosaic or double-width code, or a byte that needs the next one, takes the whole reading.
    bool simple = true, shows = false;
    for (const char c : text) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte == code::unusedSpace) break;
        if (detail::isControl(byte, settings.teletext)) {
            // Mosaics turn bytes into shapes; double width hides the cell after a character.
            const bool mosaic = byte >= code::mosaicBlack && byte <= code::mosaicWhite;
            const bool wide =
                settings.level2 && (byte == code::doubleWidth || byte == code::doubleSize);
            simple = simple && !(settings.teletext && (mosaic || wide));
            continue;
        }
        const char16_t ch = decoder.single(byte);
        simple = simple && ch != 0;
        shows = shows || (ch != 0 && ch != u' ' && ch != 0xA0);
    }
    if (simple) return shows;
    TextPresence presence;
    decodeLines(text, decoder, settings, presence);
    return presence.shows();
}

std::vector<Row> textRows(std::string_view text, const CharacterDecoder& decoder,
                          const TextSettings& settings, const Placement& placement) {
    RowSink sink(settings, placement, text.size());
    decodeLines(text, decoder, settings, sink);
    return sink.take();
}

int justifiedColumn(int justification, int leading, int width, int columns) {
    switch (justification) {
        case 2:
            // The text is centred; the codes before it stand to its left.
            return std::max(0, (columns - (width - leading)) / 2 - leading);
        case 3:
            return std::max(0, columns - width);
        default:
            return 0;
    }
}

double openRowHeight(int verticalPosition, int maximumRows) {
    if (!countsRows(verticalPosition, maximumRows)) return safeHeight / 18;
    return safeHeight / std::max(maximumRows, fewestRows);
}

double openRowTop(int verticalPosition, int line, int maximumRows) {
    const double height = openRowHeight(verticalPosition, maximumRows);
    if (!countsRows(verticalPosition, maximumRows)) return verticalPosition / 100.0 + line * height;
    const int slot = std::max(verticalPosition, 1) - 1;
    return safeTop + slot * safeHeight / maximumRows + line * height;
}

}  // namespace subtitle
