#pragma once
// The one reading of a subtitle's text bytes: every byte turned into cells with the attributes
// in force, line by line. Teletext rows follow the decoder's rules (spacing attributes, set-at and
// set-after codes, a fresh state on every row); open-subtitle rows carry italics, underline and
// boxing over line breaks until they are switched off, and a code standing between two words with
// no space beside it separates them as a space does.
//
// A template over the receiver so that the delivery rules can count from the same walk without
// keeping the cells.

#include <cstdint>
#include <string_view>

#include "CharacterDecoder.h"
#include "TextCodes.h"

namespace subtitle {

struct TextSettings {
    bool teletext = false;
    bool level2 = false;  // double width and double size are shown
    std::uint32_t codePage = latinCodePage;
    int maximumRows = 23;     // MNR (23 when the field is not a positive number)
    int maximumColumns = 40;  // MNC (40 when not 1-99)
};

// Receives the cells of each line in order, then endLine(boxStart) with the index of the first
// cell of a box left open (or -1).
template <class Sink>
void decodeLines(std::string_view text, const CharacterDecoder& decoder,
                 const TextSettings& settings, Sink& sink);

namespace detail {

// 7Fh is a character in teletext (a full block, all six cells of a mosaic) and nothing in open
// subtitles.
inline bool isControl(std::uint8_t byte, bool teletext) {
    return byte < 0x20 || (byte == 0x7F && !teletext) || (byte >= 0x80 && byte < 0xA0);
}

// Teletext: a code's effect on the cell it stands in (set-at) and on the cells after (set-after).
inline void teletextCode(std::uint8_t byte, Cell& state, Cell& cell, bool level2, bool& boxOpened) {
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
    cell.length = 0;
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
        boxOpened = !state.boxed;
        state.boxed = true;
    } else if (byte == code::doubleHeight) {
        state.size = CellSize::DoubleHeight;
    } else if (level2 && byte == code::doubleWidth) {
        state.size = CellSize::DoubleWidth;
    } else if (level2 && byte == code::doubleSize) {
        state.size = CellSize::DoubleSize;
    }
}

inline void openCode(std::uint8_t byte, Cell& state) {
    switch (byte) {
        case code::italicOn:
        case code::italicOff:
            state.italic = byte == code::italicOn;
            break;
        case code::underlineOn:
        case code::underlineOff:
            state.underline = byte == code::underlineOn;
            break;
        case code::boxOn:
        case code::boxOff:
            state.boxed = byte == code::boxOn;
            break;
        default:
            break;
    }
}

}  // namespace detail

template <class Sink>
void decodeLines(std::string_view text, const CharacterDecoder& decoder,
                 const TextSettings& settings, Sink& sink) {
    Cell open;  // open subtitles: styles carried from line to line
    const std::size_t size = text.size();
    std::size_t i = 0;
    for (;;) {
        Cell state = settings.teletext ? Cell{} : open;
        int boxStart = -1;
        int cells = 0;
        bool coverNext = false;
        bool lastWasText = false;  // the cell before is a character other than a space
        bool separatorWanted = false;
        std::uint8_t separatorCode = 0;
        for (; i < size; ++i) {
            const auto byte = static_cast<std::uint8_t>(text[i]);
            if (byte == code::lineBreak || byte == code::unusedSpace) break;
            Cell cell;
            if (byte < 0x20 && settings.teletext) {
                bool opened = false;
                detail::teletextCode(byte, state, cell, settings.level2, opened);
                if (opened) boxStart = cells + 1;
                lastWasText = false;
            } else if (detail::isControl(byte, settings.teletext)) {
                // No cell of its own; in open subtitles it keeps two words apart.
                if (!settings.teletext) detail::openCode(byte, state);
                if (lastWasText && !settings.teletext) {
                    separatorWanted = true;
                    separatorCode = byte;
                }
                continue;
            } else {
                cell = state;
                cell.attribute = false;
                const bool mosaicShape = (byte & 0x20) != 0 && byte < 0x80;
                if (state.isMosaic && mosaicShape) {
                    cell.mosaic =
                        static_cast<std::uint8_t>((byte & 0x1F) | ((byte & 0x40) ? 0x20 : 0));
                    cell.length = 0;
                } else {
                    cell.isMosaic = false;
                    cell.mosaic = 0;
                    const std::size_t taken = decoder.decode(text, i, cell);
                    i += taken - 1;
                }
                if (separatorWanted && !cell.isSpace()) {
                    Cell separator = cell;
                    separator.separator = true;
                    separator.chars[0] = u' ';
                    separator.length = 1;
                    separator.code = separatorCode;
                    sink.cell(separator);
                    ++cells;
                }
                separatorWanted = false;
                lastWasText = !cell.isSpace();
            }
            cell.code = byte;
            cell.covered = coverNext;
            coverNext = cell.wide();
            sink.cell(cell);
            ++cells;
        }
        if (!settings.teletext) open = state;
        sink.endLine(state.boxed ? boxStart : -1);
        if (i >= size || static_cast<std::uint8_t>(text[i]) == code::unusedSpace) break;
        ++i;  // past the line break
    }
}

}  // namespace subtitle
