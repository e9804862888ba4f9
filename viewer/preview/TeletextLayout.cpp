// Bytes to cells. Teletext rows follow the decoder's rules (spacing attributes, set-at and
// set-after codes, a fresh state on every row); open-subtitling rows carry italics, underline and
// boxing over line breaks until they are switched off.

#include "TeletextLayout.h"

#include <algorithm>
#include <string_view>

#include "TextCells.h"
#include "stl/StlUtils.h"

namespace preview {
namespace {

constexpr int teletextRows = 23;

std::string hex(std::uint8_t byte) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[byte >> 4], digits[byte & 15]};
}

// The text field up to its first unused-space byte.
std::string_view usedText(const TextAndTimingInformation& block) {
    const auto* text = reinterpret_cast<const char*>(block.bytes + tti::textField.offset);
    std::string_view field(text, TTI_TEXT_FIELD_SIZE);
    return field.substr(0,
                        std::min(field.find(static_cast<char>(code::unusedSpace)), field.size()));
}

bool isTeletext(DisplayMode mode) {
    return mode != DisplayMode::OpenSubtitling;
}

bool isControl(std::uint8_t byte) {
    return byte < 0x20 || (byte >= 0x80 && byte < 0xA0);
}

// When the row is justified, the spaces before its first character and after its last go, also
// those among the colour and box codes at either end (files padded for column 0 and marked
// centred keep their lines centred on each other); the codes stay. JC 0 keeps the row as typed.
std::string justifiedBytes(std::string_view row, int justification) {
    if (justification < 1 || justification > 3) return std::string(row);
    std::size_t first = 0, last = row.size();
    while (first < last && (row[first] == ' ' || isControl(static_cast<std::uint8_t>(row[first]))))
        ++first;
    while (last > first &&
           (row[last - 1] == ' ' || isControl(static_cast<std::uint8_t>(row[last - 1]))))
        --last;
    std::string bytes;
    bytes.reserve(row.size());
    for (std::size_t i = 0; i < row.size(); ++i)
        if (row[i] != ' ' || (i >= first && i < last)) bytes += row[i];
    return bytes;
}

int startColumn(int justification, int width, int columns) {
    switch (justification) {
        case 2:
            return std::max(0, (columns - width) / 2);
        case 3:
            return std::max(0, columns - width);
        default:
            return 0;
    }
}

class RowBuilder {
public:
    RowBuilder(const LayoutOptions& options, Layout& layout)
        : m_options(options), m_layout(layout), m_decoder(options.codePage) {}

    std::vector<Cell> teletextRow(std::string_view bytes, int rowNumber);
    std::vector<Cell> openRow(std::string_view bytes);
    void resetOpenState() { m_open = Cell{}; }

private:
    void note(const std::string& text) {
        if (std::find(m_layout.notes.begin(), m_layout.notes.end(), text) == m_layout.notes.end())
            m_layout.notes.push_back(text);
    }

    const LayoutOptions& m_options;
    Layout& m_layout;
    CellDecoder m_decoder;
    Cell m_open;  // italics, underline and boxing carried from row to row
};

std::vector<Cell> RowBuilder::teletextRow(std::string_view bytes, int rowNumber) {
    std::vector<Cell> cells;
    cells.reserve(bytes.size());
    Cell state;  // white on black, steady, normal size, not boxed
    bool coverNext = false;
    std::size_t boxStart = 0;
    const bool level2 = m_options.mode == DisplayMode::TeletextLevel2;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        Cell cell;
        if (byte < 0x20) {
            // Set-at codes change the cell they stand in.
            switch (byte) {
                case code::steady:
                    state.flash = false;
                    break;
                case code::normalSize:
                    state.size = CellSize::Normal;
                    break;
                case code::conceal:
                    state.conceal = true;
                    break;
                case code::contiguous:
                    state.separated = false;
                    break;
                case code::separated:
                    state.separated = true;
                    break;
                case code::blackBackground:
                    state.background = Black;
                    break;
                case code::newBackground:
                    state.background = state.foreground;
                    break;
                default:
                    break;
            }
            cell = state;
            cell.attribute = true;
            cell.isMosaic = false;
            ++i;
            // Set-after codes change the cells that follow.
            if (byte <= code::alphaWhite) {
                state.foreground = static_cast<Colour>(byte);
                state.isMosaic = false;
                state.conceal = false;
            } else if (byte >= code::mosaicBlack && byte <= code::mosaicWhite) {
                state.foreground = static_cast<Colour>(byte - code::mosaicBlack);
                state.isMosaic = true;
                state.conceal = false;
            } else if (byte == code::flash) {
                state.flash = true;
            } else if (byte == code::endBox) {
                state.boxed = false;
            } else if (byte == code::startBox) {
                if (!state.boxed) boxStart = cells.size() + 1;
                state.boxed = true;
            } else if (byte == code::doubleHeight) {
                state.size = CellSize::DoubleHeight;
            } else if (byte == code::doubleWidth || byte == code::doubleSize) {
                if (level2)
                    state.size =
                        byte == code::doubleWidth ? CellSize::DoubleWidth : CellSize::DoubleSize;
                else
                    note(
                        "Double width and double size (0x0E, 0x0F) need teletext level 2: shown "
                        "at normal size.");
            }
        } else if (byte >= 0x80 && byte < 0xA0) {
            note("Code 0x" + hex(byte) + " has no meaning in teletext: ignored.");
            ++i;
            continue;
        } else {
            cell = state;
            cell.attribute = false;
            const bool mosaicShape = (byte & 0x20) != 0 && byte < 0x80;
            if (state.isMosaic && mosaicShape) {
                cell.mosaic = static_cast<std::uint8_t>((byte & 0x1F) | ((byte & 0x40) ? 0x20 : 0));
                cell.text.clear();
                ++i;
            } else {
                cell.isMosaic = false;
                i += m_decoder.decode(bytes, i, cell.text);
            }
        }
        cell.code = byte;
        cell.covered = coverNext;
        coverNext = !cell.attribute &&
                    (cell.size == CellSize::DoubleWidth || cell.size == CellSize::DoubleSize);
        cells.push_back(std::move(cell));
    }
    if (state.boxed) {
        for (std::size_t c = boxStart; c < cells.size(); ++c) cells[c].unclosedBox = true;
        note("Row " + std::to_string(rowNumber) +
             ": start box without end box, boxed to the end of the row.");
    }
    return cells;
}

std::vector<Cell> RowBuilder::openRow(std::string_view bytes) {
    std::vector<Cell> cells;
    cells.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        if (byte < 0x20 || (byte >= 0x80 && byte < 0xA0)) {
            ++i;
            switch (byte) {
                case code::italicOn:
                case code::italicOff:
                    m_open.italic = byte == code::italicOn;
                    break;
                case code::underlineOn:
                case code::underlineOff:
                    m_open.underline = byte == code::underlineOn;
                    break;
                case code::boxOn:
                case code::boxOff:
                    m_open.boxed = byte == code::boxOn;
                    break;
                default:
                    note("Code 0x" + hex(byte) + " has no meaning in open subtitling: ignored.");
                    break;
            }
            continue;
        }
        Cell cell = m_open;
        cell.code = byte;
        i += m_decoder.decode(bytes, i, cell.text);
        cells.push_back(std::move(cell));
    }
    return cells;
}

struct Subtitle {
    std::size_t first = 0;
    std::size_t last = 0;  // inclusive
};

std::vector<Subtitle> subtitlesOf(const std::vector<SourceBlock>& blocks) {
    std::vector<Subtitle> subtitles;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const bool continues =
            i > 0 && extensionBlockNumberOf(blocks[i - 1].block) != 0xFF &&
            subtitleNumberOf(blocks[i - 1].block) == subtitleNumberOf(blocks[i].block);
        if (continues)
            subtitles.back().last = i;
        else
            subtitles.push_back({i, i});
    }
    return subtitles;
}

// Puts a row in place of any row at the same place written by an earlier block of the set.
void placeRow(Layout& layout, Row row) {
    for (Row& existing : layout.lines) {
        if (existing.number == row.number) {
            existing = std::move(row);
            return;
        }
    }
    layout.lines.push_back(std::move(row));
}

void finishRow(Row& row, const Layout& layout, int justification) {
    const int width = static_cast<int>(row.cells.size());
    row.column = startColumn(justification, width, layout.columns);
    if (isTeletext(layout.mode) && !row.cells.empty() && row.cells.back().unclosedBox) {
        // The inserter pads the row to 40 cells with spaces, and those are boxed too.
        Cell pad = row.cells.back();
        pad.text.clear();
        pad.attribute = false;
        pad.covered = false;
        pad.code = ' ';
        while (row.column + static_cast<int>(row.cells.size()) < layout.columns)
            row.cells.push_back(pad);
    }
    for (int i = 0; i < width; ++i) {
        const Cell& cell = row.cells[static_cast<std::size_t>(i)];
        if ((!cell.text.empty() && cell.text != u" ") || (cell.isMosaic && cell.mosaic != 0))
            row.width = i + 1;
    }
    row.tooWide = row.column + row.width > layout.columns;
    for (const Cell& cell : row.cells)
        if (!cell.attribute && cell.size != CellSize::Normal && cell.size != CellSize::DoubleWidth)
            row.doubleHeight = true;
}

void layOutSubtitle(const std::vector<SourceBlock>& blocks, const Subtitle& subtitle,
                    RowBuilder& builder, Layout& layout) {
    std::string text;
    for (std::size_t b = subtitle.first; b <= subtitle.last; ++b) text += usedText(blocks[b].block);
    const TextAndTimingInformation& head = blocks[subtitle.first].block;
    const int vertical = head.bytes[tti::verticalPosition.offset];
    const int justification = head.bytes[tti::justificationCode.offset];
    const bool teletext = isTeletext(layout.mode);
    builder.resetOpenState();
    std::size_t start = 0;
    for (int line = 0; start <= text.size(); ++line) {
        const auto end =
            std::min(text.find(static_cast<char>(code::lineBreak), start), text.size());
        const std::string bytes =
            justifiedBytes(std::string_view(text).substr(start, end - start), justification);
        start = end + 1;
        Row row;
        row.number = teletext ? vertical + line : line;
        row.cells = teletext ? builder.teletextRow(bytes, row.number) : builder.openRow(bytes);
        if (row.cells.empty()) continue;
        row.beyondLimit = teletext ? row.number > layout.maximumRows : line >= layout.maximumRows;
        if (!teletext) row.number = vertical * 1000 + line;
        finishRow(row, layout, justification);
        placeRow(layout, std::move(row));
    }
}

// In a subtitle page the picture shows wherever no box is.
void noteUnboxedText(Layout& layout) {
    int hidden = 0;
    for (const Row& row : layout.lines) {
        if (row.offPage || row.hiddenByAbove) continue;
        for (const Cell& cell : row.cells)
            if (!cell.boxed && !cell.attribute &&
                (cell.isMosaic || (!cell.text.empty() && cell.text != u" ")))
                ++hidden;
    }
    if (hidden > 0)
        layout.notes.push_back(
            std::to_string(hidden) +
            " characters outside boxes are not shown: the picture shows through.");
}

// Marks and notes that need every row in place.
void markRows(Layout& layout) {
    std::sort(layout.lines.begin(), layout.lines.end(),
              [](const Row& a, const Row& b) { return a.number < b.number; });
    const bool teletext = isTeletext(layout.mode);
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        Row& row = layout.lines[i];
        const std::string name = teletext ? "Row " + std::to_string(row.number)
                                          : "Line " + std::to_string(row.number % 1000 + 1);
        if (teletext && (row.number < 1 || row.number > teletextRows)) {
            row.offPage = true;
            layout.notes.push_back(name + ": outside rows 1-23, not shown.");
            continue;
        }
        if (!teletext && row.number / 1000 * 23 + (row.number % 1000) * 100 >= 100 * 23) {
            row.offPage = true;
            layout.notes.push_back(name + ": below the picture, not shown.");
            continue;
        }
        if (teletext && i > 0 && layout.lines[i - 1].doubleHeight &&
            layout.lines[i - 1].number == row.number - 1 && !layout.lines[i - 1].offPage) {
            row.hiddenByAbove = true;
            layout.notes.push_back(name +
                                   ": under the lower half of a double-height row, not shown.");
            continue;
        }
        if (row.beyondLimit)
            layout.notes.push_back(name + ": beyond the file's maximum of " +
                                   std::to_string(layout.maximumRows) + " rows.");
        if (row.tooWide)
            layout.notes.push_back(name + ": " + std::to_string(row.column + row.width) +
                                   " cells, more than " + std::to_string(layout.columns) +
                                   "; the rest is cut.");
        if (teletext && row.doubleHeight && row.number == teletextRows) {
            row.lowerHalfCut = true;
            layout.notes.push_back(name + ": double height on the last row, lower half cut.");
        }
    }
}

}  // namespace

LayoutOptions layoutOptions(const GeneralSubtitleInformation& gsi, std::uint16_t codePage) {
    LayoutOptions options;
    options.codePage = codePage;
    switch (gsi.bytes[gsi::displayStandardCode.offset]) {
        case '1':
            options.mode = DisplayMode::TeletextLevel1;
            break;
        case '2':
            options.mode = DisplayMode::TeletextLevel2;
            break;
        default:
            options.mode = DisplayMode::OpenSubtitling;
            break;
    }
    const auto rows = fieldToInt32(gsi.bytes, gsi::maximumNumberOfDisplayableRows);
    const auto columns = fieldToInt32(gsi.bytes, gsi::maximumNumberOfDisplayableCharacters);
    options.maximumRows = rows && *rows > 0 ? *rows : teletextRows;
    options.maximumColumns = columns && *columns > 0 && *columns < 100 ? *columns : 40;
    return options;
}

Layout layOut(const std::vector<SourceBlock>& blocks, const LayoutOptions& options) {
    Layout layout;
    layout.mode = options.mode;
    layout.maximumRows = options.maximumRows;
    layout.columns = isTeletext(options.mode) ? 40 : options.maximumColumns;
    if (blocks.empty()) return layout;
    const TextAndTimingInformation& selected = blocks.back().block;
    if (extensionBlockNumberOf(selected) == 0xFE) {
        layout.label = "User data (extension block FE): not subtitle text.";
        layout.showsText = false;
        return layout;
    }
    if (selected.bytes[tti::commentFlag.offset] == 1)
        layout.label = "Comment (comment flag 1): not transmitted.";
    RowBuilder builder(options, layout);
    const std::vector<Subtitle> subtitles = subtitlesOf(blocks);
    for (const Subtitle& subtitle : subtitles) {
        layOutSubtitle(blocks, subtitle, builder, layout);
        if (subtitle.last > subtitle.first)
            layout.notes.push_back(
                "Subtitle " + std::to_string(subtitleNumberOf(blocks[subtitle.first].block)) +
                ": blocks " + std::to_string(blocks[subtitle.first].index + 1) + "-" +
                std::to_string(blocks[subtitle.last].index + 1) + " joined.");
    }
    if (subtitles.size() > 1)
        layout.notes.push_back("Cumulative set: " + std::to_string(subtitles.size()) +
                               " subtitles shown together.");
    markRows(layout);
    if (isTeletext(layout.mode)) noteUnboxedText(layout);
    return layout;
}

}  // namespace preview
