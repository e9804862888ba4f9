#pragma once
// How the viewer writes the fields of one block: the lines of the two detail trees and the texts
// the subtitle list shows. Free of widgets so every line can be checked on its own.

#include <QString>
#include <QStringList>
#include <cstdint>

#include "stl/StlTypes.h"

// HH:MM:SS:FF from four bytes, each at least two decimal digits.
QString timeCodeText(const std::uint8_t* bytes);
// The TextField through the display chain, decoded with the code page (empty for a code page the
// platform refuses).
QString subtitleText(const TextAndTimingInformation& block, std::uint16_t codePage);

// One tree line: the name padded to 36 columns, " : ", the value and the size in bytes.
QString detailLine(const char* name, const QString& value, int length);

inline const QString gsiRootText = QStringLiteral("General Subtitle Information (GSI)");
inline const QString ttiRootText = QStringLiteral("Text and Timing Information (TTI)");

// The 29 children of the GSI tree, in order.
QStringList gsiTreeLines(const GeneralSubtitleInformation& gsi, std::uint16_t codePage = 0);
// The 10 children of the TTI tree, in order.
QStringList ttiTreeLines(const TextAndTimingInformation& block, std::uint16_t codePage);
