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

// The sink hands out each cell to fill (slot(base), a copy of Base kept where it will stay), is
// told when it is filled (cell(c)), and gets endLine(boxStart) at the end of every line with the
// index of the first cell of a box left open (or -1). A sink whose keepsAttributeCells is false
// is only told that a spacing attribute took a cell (attributeCell()).
template <class Sink>
void decodeLines(std::string_view text, const CharacterDecoder& decoder,
                 const TextSettings& settings, Sink& sink);

namespace detail {

// 7Fh is a character in teletext (a full block, all six cells of a mosaic) and nothing in open
// subtitles.
inline bool isControl(std::uint8_t byte, bool teletext) {
    return byte < 0x20 || (byte == 0x7F && !teletext) || (byte >= 0x80 && byte < 0xA0);
}

// Teletext codes that change the cell they stand in.
inline void setAt(std::uint8_t byte, Cell& state) {
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
}

// Teletext codes that change the cells after them. True when the code opens a box.
inline bool setAfter(std::uint8_t byte, Cell& state, bool level2) {
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
        const bool opens = !state.boxed;
        state.boxed = true;
        return opens;
    } else if (byte == code::doubleHeight) {
        state.size = CellSize::DoubleHeight;
    } else if (level2 && byte == code::doubleWidth) {
        state.size = CellSize::DoubleWidth;
    } else if (level2 && byte == code::doubleSize) {
        state.size = CellSize::DoubleSize;
    }
    return false;
}

// Both effects of a code at once, for receivers that keep no attribute cells; one jump instead of
// two (the delivery rules run this for every code of every subtitle). True when a box opens.
inline bool applyCode(std::uint8_t byte, Cell& state, bool level2) {
    switch (byte) {
        case 0x00:
        case 0x01:
        case 0x02:
        case 0x03:
        case 0x04:
        case 0x05:
        case 0x06:
        case 0x07:
            state.foreground = static_cast<Colour>(byte);
            state.isMosaic = false;
            state.conceal = false;
            return false;
        case 0x10:
        case 0x11:
        case 0x12:
        case 0x13:
        case 0x14:
        case 0x15:
        case 0x16:
        case 0x17:
            state.foreground = static_cast<Colour>(byte - code::mosaicBlack);
            state.isMosaic = true;
            state.conceal = false;
            return false;
        case code::startBox: {
            const bool opens = !state.boxed;
            state.boxed = true;
            return opens;
        }
        case code::doubleWidth:
        case code::doubleSize:
            if (level2) setAfter(byte, state, level2);
            return false;
        case code::endBox:
        case code::flash:
        case code::doubleHeight:
            return setAfter(byte, state, level2);
        default:
            setAt(byte, state);
            return false;
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
        state.length = 0;
        int boxStart = -1;
        int cells = 0;
        bool coverNext = false;
        bool lastWasText = false;  // the cell before is a character other than a space
        bool separatorWanted = false;
        std::uint8_t separatorCode = 0;
        for (; i < size; ++i) {
            const auto byte = static_cast<std::uint8_t>(text[i]);
            if (byte == code::lineBreak || byte == code::unusedSpace) break;
            if (byte < 0x20 && settings.teletext) {
                bool opened = false;
                if constexpr (Sink::keepsAttributeCells) {
                    detail::setAt(byte, state);
                    // Filled in place: the cell is written where it is kept, not copied after.
                    Cell& cell = sink.slot(state);
                    cell.attribute = true;
                    cell.isMosaic = false;
                    cell.code = byte;
                    cell.covered = coverNext;
                    sink.cell(cell);
                    opened = detail::setAfter(byte, state, settings.level2);
                } else {
                    sink.attributeCell();
                    opened = detail::applyCode(byte, state, settings.level2);
                }
                coverNext = false;
                if (opened) boxStart = cells + 1;
                lastWasText = false;
                ++cells;
                continue;
            }
            if (detail::isControl(byte, settings.teletext)) {
                // No cell of its own; in open subtitles it keeps two words apart.
                if (!settings.teletext) detail::openCode(byte, state);
                if (lastWasText && !settings.teletext) {
                    separatorWanted = true;
                    separatorCode = byte;
                }
                continue;
            }
            if (separatorWanted && byte != ' ') {
                Cell& separator = sink.slot(state);
                separator.separator = true;
                separator.chars[0] = u' ';
                separator.length = 1;
                separator.code = separatorCode;
                sink.cell(separator);
                ++cells;
            }
            separatorWanted = false;
            Cell& cell = sink.slot(state);
            const bool mosaicShape = (byte & 0x20) != 0 && byte < 0x80;
            if (state.isMosaic && mosaicShape) {
                cell.mosaic = static_cast<std::uint8_t>((byte & 0x1F) | ((byte & 0x40) ? 0x20 : 0));
            } else {
                cell.isMosaic = false;
                i += decoder.decode(text, i, cell) - 1;
            }
            cell.code = byte;
            cell.covered = coverNext;
            // The right half of a wide character hides nothing itself.
            coverNext = cell.wide() && !cell.covered;
            lastWasText = !cell.isSpace();
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
