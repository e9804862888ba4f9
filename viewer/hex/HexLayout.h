#pragma once
// Byte-layout arithmetic of the two hex displays, kept free of widgets so it can be checked on its
// own: which page a memo shows, where key and scroll-bar moves lead, and where a block's bytes sit
// in the edit grid.

#include <cstdint>
#include <optional>
#include <string>

namespace hexlayout {

inline constexpr int BytesPerLine = 16;
inline constexpr int LineHeight = 16;  // pixels per memo line when working out a page
inline constexpr int ScrollMax = 100000;
inline constexpr int PageBufferBytes = 10240;
inline constexpr int PageBufferLines = PageBufferBytes / BytesPerLine;
// Hex column width: 16 byte pairs and their blanks, padded to 50.
inline constexpr int HexColumnWidth = 50;
// "0x" + 16 digits + three blanks.
inline constexpr int OffsetColumnWidth = 21;
inline constexpr int FullLineWidth = OffsetColumnWidth + HexColumnWidth + BytesPerLine;

// Lines rendered for a memo of this client height: one less than fit, at least 1, at most what
// the page buffer holds.
int LinesOnPage(int ClientHeight);
// Lines a Page Up / Page Down moves: one more than a page shows (0 below 16 pixels).
int PageStepLines(int ClientHeight);
// Offset rounded down to its line.
std::int64_t LineStart(std::int64_t Offset);

// Navigation keys of the memo.
enum class NavKey { LineUp, LineDown, PageUp, PageDown, Home, End };
// The offset a move asks for, counted from the last requested (unrounded) offset; nullopt when
// the file is empty.
std::optional<std::int64_t> MoveTarget(NavKey Key, std::int64_t Last, std::int64_t FileSize,
                                       int ClientHeight);

// Scroll-bar position of an offset: integer part of 100000 x offset / size, 0 for an empty file.
int ScrollPosition(std::int64_t Offset, std::int64_t FileSize);
// Offset a thumb position stands for, at most the last byte; nullopt for an empty file.
std::optional<std::int64_t> TrackOffset(int Position, std::int64_t FileSize);

// "0x" + 16 uppercase hex digits.
std::string OffsetText(std::int64_t Offset);

}  // namespace hexlayout

// Where the bytes of a block starting at Offset sit in the edit grid: byte columns 1..16, rows
// from 1, each row starting on a multiple of 16.
struct HexGridLayout {
    std::int64_t Offset = 0;
    std::int64_t Size = 0;

    // Cells before the block's first byte in row 1.
    int Lead() const;
    int Rows() const;
    std::int64_t RowStartOffset(int Row) const;
    // Block byte held by a cell; may be negative or past the block for cells outside it.
    std::int64_t ByteIndex(int Col, int Row) const;
    int ColOf(std::int64_t ByteIndex) const;
    int RowOf(std::int64_t ByteIndex) const;
    // File offset a cell shows.
    std::int64_t FileOffset(int Col, int Row) const { return RowStartOffset(Row) + Col - 1; }
};

// What a cell becomes when its editor text changes: two characters with each unfilled position
// read as a blank.
struct HexCellEdit {
    std::string Text;    // the cell text as shown
    std::uint8_t Value;  // the byte the cell stands for
};
HexCellEdit NormalizeHexCellText(const std::string& EditorText);
