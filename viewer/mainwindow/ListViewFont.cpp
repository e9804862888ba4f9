#include "ListViewFont.h"

#include <QPalette>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace listviewfont {
namespace {

// LOGFONTW field offsets.
constexpr std::size_t OffHeight = 0, OffWidth = 4, OffEscapement = 8, OffOrientation = 12,
                      OffWeight = 16, OffItalic = 20, OffUnderline = 21, OffStrikeOut = 22,
                      OffCharSet = 23, OffOutPrecision = 24, OffClipPrecision = 25, OffQuality = 26,
                      OffPitchAndFamily = 27, OffFaceName = 28;
constexpr int FaceNameUnits = 32;

constexpr std::uint8_t DefaultCharset = 1;
constexpr std::uint8_t NonAntialiasedQuality = 3, AntialiasedQuality = 4;
constexpr std::uint8_t FixedPitch = 1, VariablePitch = 2;
constexpr std::uint8_t FamilyRoman = 0x10, FamilySwiss = 0x20, FamilyModern = 0x30,
                       FamilyScript = 0x40, FamilyDecorative = 0x50;

void PutInt32(std::uint8_t* At, std::int32_t Value) {
    const auto U = static_cast<std::uint32_t>(Value);
    for (int i = 0; i < 4; ++i) At[i] = static_cast<std::uint8_t>(U >> (8 * i));
}

std::int32_t GetInt32(const std::uint8_t* At) {
    std::uint32_t U = 0;
    for (int i = 0; i < 4; ++i) U |= std::uint32_t{At[i]} << (8 * i);
    return static_cast<std::int32_t>(U);
}

// MulDiv: the product divided with rounding half away from zero.
std::int32_t MulDiv(std::int64_t Number, std::int64_t Numerator, std::int64_t Denominator) {
    const std::int64_t Product = Number * Numerator;
    const std::int64_t Half = Denominator / 2;
    return static_cast<std::int32_t>(Product >= 0 ? (Product + Half) / Denominator
                                                  : (Product - Half) / Denominator);
}

std::uint8_t FamilyBits(const QFont& Font) {
    switch (Font.styleHint()) {
        case QFont::TypeWriter:
        case QFont::Monospace:
            return FamilyModern;
        case QFont::Serif:
            return FamilyRoman;
        case QFont::SansSerif:
            return FamilySwiss;
        case QFont::Cursive:
            return FamilyScript;
        case QFont::Decorative:
        case QFont::Fantasy:
            return FamilyDecorative;
        default:
            return Font.fixedPitch() ? FamilyModern : 0;
    }
}

QFont::StyleHint StyleHintOf(std::uint8_t PitchAndFamily) {
    switch (PitchAndFamily & 0xF0) {
        case FamilyModern:
            return QFont::TypeWriter;
        case FamilyRoman:
            return QFont::Serif;
        case FamilySwiss:
            return QFont::SansSerif;
        case FamilyScript:
            return QFont::Cursive;
        case FamilyDecorative:
            return QFont::Decorative;
        default:
            return (PitchAndFamily & 0x03) == FixedPitch ? QFont::TypeWriter : QFont::AnyStyle;
    }
}

}  // namespace

LogFont FontToLogFont(const QFont& Font) {
    LogFont R{};
    std::int32_t Height;
    if (Font.pixelSize() > 0)
        Height = -Font.pixelSize();
    else
        Height = -static_cast<std::int32_t>(std::lround(Font.pointSizeF() * LogicalDpi / 72.0));
    PutInt32(&R[OffHeight], Height);
    PutInt32(&R[OffWidth], 0);
    PutInt32(&R[OffEscapement], 0);
    PutInt32(&R[OffOrientation], 0);
    PutInt32(&R[OffWeight], Font.weight());
    R[OffItalic] = Font.italic() ? 1 : 0;
    R[OffUnderline] = Font.underline() ? 1 : 0;
    R[OffStrikeOut] = Font.strikeOut() ? 1 : 0;
    R[OffCharSet] = DefaultCharset;
    R[OffOutPrecision] = 0;
    R[OffClipPrecision] = 0;
    const auto Strategy = Font.styleStrategy();
    R[OffQuality] = (Strategy & QFont::NoAntialias)       ? NonAntialiasedQuality
                    : (Strategy & QFont::PreferAntialias) ? AntialiasedQuality
                                                          : 0;
    R[OffPitchAndFamily] = static_cast<std::uint8_t>(
        (Font.fixedPitch() ? FixedPitch : VariablePitch) | FamilyBits(Font));
    const QString Face = Font.family().left(FaceNameUnits - 1);
    for (int i = 0; i < Face.size(); ++i) {
        const char16_t Unit = Face.at(i).unicode();
        R[OffFaceName + 2 * i] = static_cast<std::uint8_t>(Unit & 0xFF);
        R[OffFaceName + 2 * i + 1] = static_cast<std::uint8_t>(Unit >> 8);
    }
    return R;
}

QFont LogFontToFont(const LogFont& R) {
    QString Face;
    for (int i = 0; i < FaceNameUnits; ++i) {
        const char16_t Unit =
            static_cast<char16_t>(R[OffFaceName + 2 * i] | (R[OffFaceName + 2 * i + 1] << 8));
        if (Unit == 0) break;
        Face.append(QChar(Unit));
    }
    QFont Font(Face);
    const std::int32_t Height = GetInt32(&R[OffHeight]);
    // Negative heights are character heights, positive ones cell heights; both are read as the
    // font's size in points the way the original settings did.
    if (Height != 0) {
        const std::int64_t Pixels = Height < 0 ? -std::int64_t{Height} : std::int64_t{Height};
        Font.setPointSize(std::clamp<std::int32_t>(MulDiv(Pixels, 72, LogicalDpi), 1, 1638));
    }
    const std::int32_t Weight = GetInt32(&R[OffWeight]);
    Font.setWeight(Weight <= 0 ? QFont::Normal
                               : static_cast<QFont::Weight>(std::clamp(Weight, 1, 1000)));
    Font.setItalic(R[OffItalic] != 0);
    Font.setUnderline(R[OffUnderline] != 0);
    Font.setStrikeOut(R[OffStrikeOut] != 0);
    if (R[OffQuality] == NonAntialiasedQuality) Font.setStyleStrategy(QFont::NoAntialias);
    if (R[OffQuality] == AntialiasedQuality) Font.setStyleStrategy(QFont::PreferAntialias);
    const std::uint8_t PitchAndFamily = R[OffPitchAndFamily];
    Font.setStyleHint(StyleHintOf(PitchAndFamily), Font.styleStrategy());
    if ((PitchAndFamily & 0x03) == FixedPitch) Font.setFixedPitch(true);
    return Font;
}

QColor ColorValueToColor(std::uint32_t Value, const QPalette& Palette) {
    if ((Value >> 24) == 0xFF) {
        // The system colours a list's text can sensibly take; the rest read as window text.
        switch (Value & 0xFF) {
            case 5:  // window background
                return Palette.color(QPalette::Base);
            case 13:  // highlight
                return Palette.color(QPalette::Highlight);
            case 14:  // highlighted text
                return Palette.color(QPalette::HighlightedText);
            case 15:  // button face
                return Palette.color(QPalette::Button);
            case 17:  // grey text
                return Palette.color(QPalette::Disabled, QPalette::Text);
            case 18:  // button text
                return Palette.color(QPalette::ButtonText);
            case 23:  // tool-tip text
                return Palette.color(QPalette::ToolTipText);
            default:
                return Palette.color(QPalette::Text);
        }
    }
    return QColor(Value & 0xFF, (Value >> 8) & 0xFF, (Value >> 16) & 0xFF);
}

std::uint32_t ColorToColorValue(const QColor& Color) {
    const QColor Rgb = Color.toRgb();
    return static_cast<std::uint32_t>(Rgb.red()) | (static_cast<std::uint32_t>(Rgb.green()) << 8) |
           (static_cast<std::uint32_t>(Rgb.blue()) << 16);
}

std::vector<std::uint8_t> EncodeRecord(const ListFont& Value) {
    std::vector<std::uint8_t> Record(RecordSize);
    PutInt32(Record.data(), static_cast<std::int32_t>(Value.Color));
    const LogFont Log = FontToLogFont(Value.Font);
    std::memcpy(Record.data() + 4, Log.data(), Log.size());
    return Record;
}

std::optional<ListFont> DecodeRecord(const std::vector<std::uint8_t>& Record) {
    if (Record.size() != RecordSize) return std::nullopt;
    LogFont Log;
    std::memcpy(Log.data(), Record.data() + 4, Log.size());
    return ListFont{LogFontToFont(Log), static_cast<std::uint32_t>(GetInt32(Record.data()))};
}

QFont DesignedListFont() {
    QFont Font(QStringLiteral("Courier New"));
    Font.setPointSize(8);
    Font.setStyleHint(QFont::TypeWriter);
    Font.setFixedPitch(true);
    return Font;
}

}  // namespace listviewfont
