#pragma once
// How the viewer writes the fields of one block: the lines of the two detail trees and the texts
// the subtitle list shows. Free of widgets so every line can be checked on its own.

#include <QString>
#include <QStringList>
#include <cstdint>

#include "stl/STLTypes.h"

// HH:MM:SS:FF from four bytes, each at least two decimal digits.
QString TimeCodeText(const std::uint8_t* Bytes);
// The TextField through the display chain, decoded with the code page (empty for a code page the
// platform refuses).
QString SubtitleText(const TTextAndTimingInformation& Block, std::uint16_t CodePage);

// One tree line: the name padded to 36 columns, " : ", the value and the size in bytes.
QString DetailLine(const char* Name, const QString& Value, int Length);

inline const QString GSIRootText = QStringLiteral("General Subtitle Information (GSI)");
inline const QString TTIRootText = QStringLiteral("Text and Timing Information (TTI)");

// The 29 children of the GSI tree, in order.
QStringList GSITreeLines(const TGeneralSubtitleInformation& GSI);
// The 10 children of the TTI tree, in order.
QStringList TTITreeLines(const TTextAndTimingInformation& Block, std::uint16_t CodePage);
