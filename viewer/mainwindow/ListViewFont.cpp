#include "ListViewFont.h"

#include <QPalette>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "viewer/FixedFont.h"

namespace listviewfont {
namespace {

// LOGFONTW field offsets.
constexpr std::size_t offHeight = 0, offWidth = 4, offEscapement = 8, offOrientation = 12,
                      offWeight = 16, offItalic = 20, offUnderline = 21, offStrikeOut = 22,
                      offCharSet = 23, offOutPrecision = 24, offClipPrecision = 25, offQuality = 26,
                      offPitchAndFamily = 27, offFaceName = 28;
constexpr int faceNameUnits = 32;

constexpr std::uint8_t defaultCharset = 1;
constexpr std::uint8_t nonAntialiasedQuality = 3, antialiasedQuality = 4;
constexpr std::uint8_t fixedPitch = 1, variablePitch = 2;
constexpr std::uint8_t familyRoman = 0x10, familySwiss = 0x20, familyModern = 0x30,
                       familyScript = 0x40, familyDecorative = 0x50;

void putInt32(std::uint8_t* at, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::int32_t getInt32(const std::uint8_t* at) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= std::uint32_t{at[i]} << (8 * i);
    return static_cast<std::int32_t>(u);
}

// MulDiv: the product divided with rounding half away from zero.
std::int32_t mulDiv(std::int64_t number, std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t product = number * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<std::int32_t>(product >= 0 ? (product + half) / denominator
                                                  : (product - half) / denominator);
}

std::uint8_t familyBits(const QFont& font) {
    switch (font.styleHint()) {
        case QFont::TypeWriter:
        case QFont::Monospace:
            return familyModern;
        case QFont::Serif:
            return familyRoman;
        case QFont::SansSerif:
            return familySwiss;
        case QFont::Cursive:
            return familyScript;
        case QFont::Decorative:
        case QFont::Fantasy:
            return familyDecorative;
        default:
            return font.fixedPitch() ? familyModern : 0;
    }
}

QFont::StyleHint styleHintOf(std::uint8_t pitchAndFamily) {
    switch (pitchAndFamily & 0xF0) {
        case familyModern:
            return QFont::TypeWriter;
        case familyRoman:
            return QFont::Serif;
        case familySwiss:
            return QFont::SansSerif;
        case familyScript:
            return QFont::Cursive;
        case familyDecorative:
            return QFont::Decorative;
        default:
            return (pitchAndFamily & 0x03) == fixedPitch ? QFont::TypeWriter : QFont::AnyStyle;
    }
}

}  // namespace

LogFont fontToLogFont(const QFont& font) {
    LogFont r{};
    std::int32_t height;
    if (font.pixelSize() > 0)
        height = -font.pixelSize();
    else
        height = -static_cast<std::int32_t>(std::lround(font.pointSizeF() * logicalDpi / 72.0));
    putInt32(&r[offHeight], height);
    putInt32(&r[offWidth], 0);
    putInt32(&r[offEscapement], 0);
    putInt32(&r[offOrientation], 0);
    putInt32(&r[offWeight], font.weight());
    r[offItalic] = font.italic() ? 1 : 0;
    r[offUnderline] = font.underline() ? 1 : 0;
    r[offStrikeOut] = font.strikeOut() ? 1 : 0;
    r[offCharSet] = defaultCharset;
    r[offOutPrecision] = 0;
    r[offClipPrecision] = 0;
    const auto strategy = font.styleStrategy();
    r[offQuality] = (strategy & QFont::NoAntialias)       ? nonAntialiasedQuality
                    : (strategy & QFont::PreferAntialias) ? antialiasedQuality
                                                          : 0;
    r[offPitchAndFamily] = static_cast<std::uint8_t>(
        (font.fixedPitch() ? fixedPitch : variablePitch) | familyBits(font));
    const QString face = font.family().left(faceNameUnits - 1);
    for (int i = 0; i < face.size(); ++i) {
        const char16_t unit = face.at(i).unicode();
        r[offFaceName + 2 * i] = static_cast<std::uint8_t>(unit & 0xFF);
        r[offFaceName + 2 * i + 1] = static_cast<std::uint8_t>(unit >> 8);
    }
    return r;
}

QFont logFontToFont(const LogFont& r) {
    QString face;
    for (int i = 0; i < faceNameUnits; ++i) {
        const char16_t unit =
            static_cast<char16_t>(r[offFaceName + 2 * i] | (r[offFaceName + 2 * i + 1] << 8));
        if (unit == 0) break;
        face.append(QChar(unit));
    }
    QFont font(face);
    const std::int32_t height = getInt32(&r[offHeight]);
    // Negative heights are character heights, positive ones cell heights; both are read as the
    // font's size in points the way the original settings did.
    if (height != 0) {
        const std::int64_t pixels = height < 0 ? -std::int64_t{height} : std::int64_t{height};
        font.setPointSize(std::clamp<std::int32_t>(mulDiv(pixels, 72, logicalDpi), 1, 1638));
    }
    const std::int32_t weight = getInt32(&r[offWeight]);
    font.setWeight(weight <= 0 ? QFont::Normal
                               : static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(r[offItalic] != 0);
    font.setUnderline(r[offUnderline] != 0);
    font.setStrikeOut(r[offStrikeOut] != 0);
    if (r[offQuality] == nonAntialiasedQuality) font.setStyleStrategy(QFont::NoAntialias);
    if (r[offQuality] == antialiasedQuality) font.setStyleStrategy(QFont::PreferAntialias);
    const std::uint8_t pitchAndFamily = r[offPitchAndFamily];
    font.setStyleHint(styleHintOf(pitchAndFamily), font.styleStrategy());
    if ((pitchAndFamily & 0x03) == fixedPitch) font.setFixedPitch(true);
    return font;
}

QColor colorValueToColor(std::uint32_t value, const QPalette& palette) {
    if ((value >> 24) == 0xFF) {
        // The system colours a list's text can sensibly take; the rest read as window text.
        switch (value & 0xFF) {
            case 5:  // window background
                return palette.color(QPalette::Base);
            case 13:  // highlight
                return palette.color(QPalette::Highlight);
            case 14:  // highlighted text
                return palette.color(QPalette::HighlightedText);
            case 15:  // button face
                return palette.color(QPalette::Button);
            case 17:  // grey text
                return palette.color(QPalette::Disabled, QPalette::Text);
            case 18:  // button text
                return palette.color(QPalette::ButtonText);
            case 23:  // tool-tip text
                return palette.color(QPalette::ToolTipText);
            default:
                return palette.color(QPalette::Text);
        }
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

std::uint32_t colorToColorValue(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<std::uint32_t>(rgb.red()) | (static_cast<std::uint32_t>(rgb.green()) << 8) |
           (static_cast<std::uint32_t>(rgb.blue()) << 16);
}

std::vector<std::uint8_t> encodeRecord(const ListFont& value) {
    std::vector<std::uint8_t> record(recordSize);
    putInt32(record.data(), static_cast<std::int32_t>(value.color));
    const LogFont log = fontToLogFont(value.font);
    std::memcpy(record.data() + 4, log.data(), log.size());
    return record;
}

std::optional<ListFont> decodeRecord(const std::vector<std::uint8_t>& record) {
    if (record.size() != recordSize) return std::nullopt;
    LogFont log;
    std::memcpy(log.data(), record.data() + 4, log.size());
    return ListFont{logFontToFont(log), static_cast<std::uint32_t>(getInt32(record.data()))};
}

QFont designedListFace() {
    QFont font(QStringLiteral("Courier New"), 8);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QFont designedListFont() {
    return fixedPitchFont(designedListFace());
}

}  // namespace listviewfont
