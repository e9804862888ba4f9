#pragma once
// Byte-layout arithmetic of the two hex displays, kept free of widgets so it can be checked on its
// own: which page a memo shows, where key and scroll-bar moves lead, and where a block's bytes sit
// in the edit grid.

#include <cstdint>
#include <optional>
#include <string>

namespace hexlayout {

inline constexpr int bytesPerLine = 16;
inline constexpr int lineHeight = 16;  // pixels per memo line when working out a page
inline constexpr int scrollMax = 100000;
inline constexpr int pageBufferBytes = 10240;
inline constexpr int pageBufferLines = pageBufferBytes / bytesPerLine;
// Hex column width: 16 byte pairs and their blanks, padded to 50.
inline constexpr int hexColumnWidth = 50;
// "0x" + 16 digits + three blanks.
inline constexpr int offsetColumnWidth = 21;
inline constexpr int fullLineWidth = offsetColumnWidth + hexColumnWidth + bytesPerLine;

// Lines rendered for a memo of this client height: one less than fit, at least 1, at most what
// the page buffer holds.
int linesOnPage(int clientHeight);
// Lines a Page Up / Page Down moves: one more than a page shows (0 below 16 pixels).
int pageStepLines(int clientHeight);
// Offset rounded down to its line.
std::int64_t lineStart(std::int64_t offset);

// Navigation keys of the memo.
enum class NavKey { LineUp, LineDown, PageUp, PageDown, Home, End };
// The offset a move asks for, counted from the last requested (unrounded) offset; nullopt when
// the file is empty.
std::optional<std::int64_t> moveTarget(NavKey key, std::int64_t last, std::int64_t fileSize,
                                       int clientHeight);

// Scroll-bar position of an offset: integer part of 100000 x offset / size, 0 for an empty file.
int scrollPosition(std::int64_t offset, std::int64_t fileSize);
// Offset a thumb position stands for, at most the last byte; nullopt for an empty file.
std::optional<std::int64_t> trackOffset(int position, std::int64_t fileSize);

// "0x" + 16 uppercase hex digits.
std::string offsetText(std::int64_t offset);

}  // namespace hexlayout

// Where the bytes of a block starting at Offset sit in the edit grid: byte columns 1..16, rows
// from 1, each row starting on a multiple of 16.
struct HexGridLayout {
    std::int64_t offset = 0;
    std::int64_t size = 0;

    // Cells before the block's first byte in row 1.
    int lead() const;
    int rows() const;
    std::int64_t rowStartOffset(int row) const;
    // Block byte held by a cell; may be negative or past the block for cells outside it.
    std::int64_t byteIndex(int col, int row) const;
    int colOf(std::int64_t byteIndex) const;
    int rowOf(std::int64_t byteIndex) const;
    // File offset a cell shows.
    std::int64_t fileOffset(int col, int row) const { return rowStartOffset(row) + col - 1; }
};

// What a cell becomes when its editor text changes: two characters with each unfilled position
// read as a blank.
struct HexCellEdit {
    std::string text;    // the cell text as shown
    std::uint8_t value;  // the byte the cell stands for
};
HexCellEdit normalizeHexCellText(const std::string& editorText);
