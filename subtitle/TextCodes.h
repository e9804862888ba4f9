#pragma once
// Text field codes with a meaning of their own. Only the subtitle model interprets them.

#include <cstdint>

namespace subtitle::code {
constexpr std::uint8_t alphaBlack = 0x00, alphaWhite = 0x07, flash = 0x08, steady = 0x09;
constexpr std::uint8_t endBox = 0x0A, startBox = 0x0B, normalSize = 0x0C, doubleHeight = 0x0D;
constexpr std::uint8_t doubleWidth = 0x0E, doubleSize = 0x0F, mosaicBlack = 0x10,
                       mosaicWhite = 0x17;
constexpr std::uint8_t conceal = 0x18, contiguous = 0x19, separated = 0x1A, blackBackground = 0x1C;
constexpr std::uint8_t newBackground = 0x1D, holdMosaics = 0x1E, releaseMosaics = 0x1F;
constexpr std::uint8_t italicOn = 0x80, italicOff = 0x81, underlineOn = 0x82, underlineOff = 0x83;
constexpr std::uint8_t boxOn = 0x84, boxOff = 0x85, lineBreak = 0x8A, unusedSpace = 0x8F;
constexpr std::uint8_t lastExtension = 0xFF, userData = 0xFE, firstReserved = 0xF0;
}  // namespace subtitle::code
