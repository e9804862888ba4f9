#pragma once
// The stored "ListView Font" record: 96 bytes, a 32-bit colour value followed by a LOGFONTW, kept
// byte for byte in the layout the settings have always had, so stored values stay interchangeable.
// This is the one place where QFont and colours meet that layout.

#include <QColor>
#include <QFont>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QPalette;

namespace listviewfont {

inline constexpr std::size_t logFontSize = 92;
inline constexpr std::size_t recordSize = 4 + logFontSize;
// The window-text system colour, the list's designed colour.
inline constexpr std::uint32_t windowTextColor = 0xFF000008;
// Sizes in the record are pixels at this resolution (the common desktop default), so a record
// reads back as the same point size on every machine.
inline constexpr int logicalDpi = 96;

using LogFont = std::array<std::uint8_t, logFontSize>;

LogFont fontToLogFont(const QFont& font);
QFont logFontToFont(const LogFont& record);

// Colour value 0x00BBGGRR, or 0xFF0000nn for system colour nn, resolved against a palette.
QColor colorValueToColor(std::uint32_t value, const QPalette& palette);
std::uint32_t colorToColorValue(const QColor& color);

struct ListFont {
    QFont font;
    std::uint32_t color = windowTextColor;
};

std::vector<std::uint8_t> encodeRecord(const ListFont& value);
// nullopt unless the record is exactly 96 bytes.
std::optional<ListFont> decodeRecord(const std::vector<std::uint8_t>& record);

// The list's designed face as stored: "Courier New", 8 points.
QFont designedListFace();
// The designed face, or a fixed-pitch stand-in at its size where it is not installed.
QFont designedListFont();

}  // namespace listviewfont
