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

inline constexpr std::size_t LogFontSize = 92;
inline constexpr std::size_t RecordSize = 4 + LogFontSize;
// The window-text system colour, the list's designed colour.
inline constexpr std::uint32_t WindowTextColor = 0xFF000008;
// Sizes in the record are pixels at this resolution (the common desktop default), so a record
// reads back as the same point size on every machine.
inline constexpr int LogicalDpi = 96;

using LogFont = std::array<std::uint8_t, LogFontSize>;

LogFont FontToLogFont(const QFont& Font);
QFont LogFontToFont(const LogFont& Record);

// Colour value 0x00BBGGRR, or 0xFF0000nn for system colour nn, resolved against a palette.
QColor ColorValueToColor(std::uint32_t Value, const QPalette& Palette);
std::uint32_t ColorToColorValue(const QColor& Color);

struct ListFont {
    QFont Font;
    std::uint32_t Color = WindowTextColor;
};

std::vector<std::uint8_t> EncodeRecord(const ListFont& Value);
// nullopt unless the record is exactly 96 bytes.
std::optional<ListFont> DecodeRecord(const std::vector<std::uint8_t>& Record);

// The list's designed font: "Courier New", 8 points, falling back to a fixed-pitch face where it
// is not installed.
QFont DesignedListFont();

}  // namespace listviewfont
