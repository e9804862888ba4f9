#pragma once
// What a subtitle looks like on screen, worked out from its bytes alone: rows of character cells
// with their attributes, plus the notes the preview writes under the picture. Free of Qt so it can
// be checked cell by cell and stays cheap enough to run on every selection change.

#include <cstdint>
#include <string>
#include <vector>

#include "stl/StlTypes.h"

namespace preview {

enum class DisplayMode { OpenSubtitling, TeletextLevel1, TeletextLevel2 };

// Teletext colours in code order: black, red, green, yellow, blue, magenta, cyan, white.
enum Colour : std::uint8_t { Black, Red, Green, Yellow, Blue, Magenta, Cyan, White };

enum class CellSize : std::uint8_t { Normal, DoubleHeight, DoubleWidth, DoubleSize };

struct Cell {
    std::u16string text;    // empty for a spacing attribute or a cell that shows nothing
    std::uint8_t code = 0;  // the first byte the cell came from
    Colour foreground = White;
    Colour background = Black;
    CellSize size = CellSize::Normal;
    std::uint8_t mosaic = 0;  // sextant bits (1 top left ... 0x40 bottom right) for mosaics
    bool isMosaic = false;
    bool separated = false;
    bool attribute = false;  // a spacing attribute: one cell, shown as a space
    bool boxed = false;
    bool flash = false;
    bool conceal = false;
    bool covered = false;  // hidden under the right half of a double-width neighbour
    bool italic = false;
    bool underline = false;
    bool unclosedBox = false;  // boxed only because a start box was never ended
};

struct Row {
    int number = 0;  // teletext row 1..23 (more when the bytes ask for it); open: line slot
    int column = 0;  // column of the first cell after justification (may be negative)
    std::vector<Cell> cells;
    bool doubleHeight = false;   // some cell takes the row below as well
    bool beyondLimit = false;    // below the file's maximum number of rows
    bool offPage = false;        // below the last row a decoder shows: not drawn
    int width = 0;               // cells up to the last character: codes after it need no room
    bool tooWide = false;        // a character beyond the last column
    bool hiddenByAbove = false;  // text under the lower half of a double-height row: not drawn
    bool lowerHalfCut = false;   // double height on the last row: lower half off the page
};

// One block of the subtitle shown, as the preview gathers it.
struct SourceBlock {
    TextAndTimingInformation block;
    std::uint32_t index = 0;
};

struct Layout {
    DisplayMode mode = DisplayMode::OpenSubtitling;
    int columns = 40;  // teletext 40; open subtitling the file's maximum characters per row
    int rows = 23;
    int maximumRows = 23;  // the file's maximum number of rows (teletext rows counted from 1)
    std::vector<Row> lines;
    std::vector<std::string> notes;  // under the picture, in order
    std::string label;               // above everything else: user data, comment
    bool showsText = true;           // false for a user-data block
};

struct LayoutOptions {
    DisplayMode mode = DisplayMode::OpenSubtitling;
    int maximumRows = 23;
    int maximumColumns = 40;
    std::uint16_t codePage = 20269;
};

// Display mode and limits from the GSI (DSC, MNR, MNC); code page as the subtitle list uses it.
LayoutOptions layoutOptions(const GeneralSubtitleInformation& gsi, std::uint16_t codePage);

// Lays out one subtitle. Blocks: the blocks of a cumulative set up to the selected subtitle, each
// subtitle as its chain of extension blocks, in file order; the selected subtitle comes last.
// Each subtitle's rows replace the rows it writes over.
Layout layOut(const std::vector<SourceBlock>& blocks, const LayoutOptions& options);

// Text field codes with a meaning of their own.
namespace code {
constexpr std::uint8_t alphaBlack = 0x00, alphaWhite = 0x07, flash = 0x08, steady = 0x09;
constexpr std::uint8_t endBox = 0x0A, startBox = 0x0B, normalSize = 0x0C, doubleHeight = 0x0D;
constexpr std::uint8_t doubleWidth = 0x0E, doubleSize = 0x0F, mosaicBlack = 0x10,
                       mosaicWhite = 0x17;
constexpr std::uint8_t conceal = 0x18, contiguous = 0x19, separated = 0x1A, blackBackground = 0x1C;
constexpr std::uint8_t newBackground = 0x1D, holdMosaics = 0x1E, releaseMosaics = 0x1F;
constexpr std::uint8_t italicOn = 0x80, italicOff = 0x81, underlineOn = 0x82, underlineOff = 0x83;
constexpr std::uint8_t boxOn = 0x84, boxOff = 0x85, lineBreak = 0x8A, unusedSpace = 0x8F;
}  // namespace code

}  // namespace preview
