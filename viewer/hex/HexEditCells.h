#pragma once
// Grid columns and cell-text helpers shared by the hex edit dialog's parts.

#include <QLatin1Char>
#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <string>

#include "HexLayout.h"

namespace hexcells {

inline constexpr int offsetCol = 0;
inline constexpr int charCol = 17;
inline constexpr int columnCount = 18;
// Blocks are 128 or 1024 bytes; anything far beyond that is a caller's mistake, not a block.
inline constexpr std::int64_t maxEditBytes = 1 << 20;

inline QString hexByte(std::uint8_t value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

inline bool isEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

inline bool isBlankText(const QString& text) {
    return text.isEmpty() || text == QLatin1String("  ");
}

inline HexCellEdit readCellText(const QString& text) {
    const QByteArray latin = text.left(2).toLatin1();
    return normalizeHexCellText(std::string(latin.constData(), static_cast<size_t>(latin.size())));
}

}  // namespace hexcells
