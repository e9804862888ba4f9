#pragma once
// What a subtitle shows, cell by cell: the character of each cell with the attributes in force
// there, in rows placed on the screen. Every reader of subtitle text (preview, export, delivery
// rules, the list's copy) works from these.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace subtitle {

// Teletext colours in code order.
enum Colour : std::uint8_t { Black, Red, Green, Yellow, Blue, Magenta, Cyan, White };

enum class CellSize : std::uint8_t { Normal, DoubleHeight, DoubleWidth, DoubleSize };

struct Cell {
    char16_t chars[3] = {};   // the character and any combining mark kept with it
    std::uint8_t length = 0;  // 0 for a spacing attribute or a cell that shows nothing
    std::uint8_t code = 0;    // the first byte the cell came from
    Colour foreground = White;
    Colour background = Black;
    CellSize size = CellSize::Normal;
    std::uint8_t mosaic = 0;  // sextant bits (1 top left ... 0x20 bottom right) for mosaics
    bool isMosaic = false;
    bool separated = false;
    bool attribute = false;  // a teletext spacing attribute: one cell, shown as a space
    bool separator = false;  // an open-subtitle code standing between two words as a space
    bool boxed = false;
    bool flash = false;
    bool conceal = false;
    bool covered = false;  // under the right half of a double-width neighbour
    bool italic = false;
    bool underline = false;
    bool unclosedBox = false;  // boxed only because a start box was never ended

    std::u16string_view text() const { return {chars, length}; }
    void setText(std::u16string_view text);
    bool isSpace() const { return length == 1 && (chars[0] == u' ' || chars[0] == 0xA0); }
    // Shows something: a character other than a space, or a mosaic with a cell lit.
    bool visible() const { return isMosaic && !attribute ? mosaic != 0 : length > 0 && !isSpace(); }
    bool tall() const { return size == CellSize::DoubleHeight || size == CellSize::DoubleSize; }
    bool wide() const {
        return !attribute && (size == CellSize::DoubleWidth || size == CellSize::DoubleSize);
    }
};

// The attributes of From, field by field. Used where cells are made from the decoder's running
// state: the state's fields have just been written one by one, and a copy of the whole struct
// would wait for those writes before it could read them back as wider words.
inline void copyStyle(const Cell& from, Cell& to) {
    to.foreground = from.foreground;
    to.background = from.background;
    to.size = from.size;
    to.isMosaic = from.isMosaic;
    to.separated = from.separated;
    to.boxed = from.boxed;
    to.flash = from.flash;
    to.conceal = from.conceal;
    to.italic = from.italic;
    to.underline = from.underline;
}

struct Row {
    int line = 0;    // which line of the subtitle's text (0 first, one more after each break)
    int number = 0;  // teletext: row 1-23 (VP + line); open: row slot VP + line of MNR rows
    int column = 0;  // column of the first cell after justification (teletext; may be negative)
    int width = 0;   // cells up to the last visible one; codes after it need no room
    bool doubleHeight = false;  // some character takes the row below as well
    bool unclosedBox = false;   // a start box is never ended in the row
    std::vector<Cell> cells;

    bool hasText() const { return width > 0; }
};

// A stretch of a row's cells in one style, for renderers that lay text out themselves.
struct Run {
    std::u16string text;
    Colour foreground = White;
    Colour background = Black;
    bool boxed = false;
    bool italic = false;
    bool underline = false;
    bool flash = false;
    bool doubleHeight = false;
};

// The row as a person reads it: spacing attributes and open-subtitle separators between two
// characters as one space, nothing at the ends.
std::u16string plainText(const Row& row);
// The visible stretch of the row (from its first to its last visible cell) in runs of one style;
// spacing attributes inside it become spaces in the style of the cell before them.
std::vector<Run> runsOf(const Row& row);

}  // namespace subtitle
