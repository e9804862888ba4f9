#include "BlockDisplay.h"

#include <array>

#include "stl/CodePage.h"
#include "stl/StlUtils.h"
#include "stl/TextTables.h"

namespace {

constexpr int nameWidth = 36;

const auto& gsiTreeFields = gsi::namedFields;

QString byteLine(const TextAndTimingInformation& block, const StlField& field) {
    return detailLine(field.name, QString::number(block.bytes[field.offset]), field.length);
}

}  // namespace

QString timeCodeText(const std::uint8_t* bytes) {
    QString text;
    text.reserve(11);
    for (int i = 0; i < 4; ++i) {
        if (i) text += QLatin1Char(':');
        if (bytes[i] < 10) text += QLatin1Char('0');
        text += QString::number(bytes[i]);
    }
    return text;
}

QString subtitleText(const TextAndTimingInformation& block, std::uint16_t codePage) {
    const std::u16string text = subtitleDisplayText(block, codePage);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString detailLine(const char* name, const QString& value, int length) {
    QString line = QString::fromLatin1(name).leftJustified(nameWidth, QLatin1Char(' '));
    line += QStringLiteral(" : ");
    line += value;
    line += length == 1 ? QStringLiteral(" (1 byte)") : QStringLiteral(" (%1 bytes)").arg(length);
    return line;
}

QStringList gsiTreeLines(const GeneralSubtitleInformation& gsi, std::uint16_t codePage) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(gsiTreeFields.size()));
    for (const StlField& field : gsiTreeFields) {
        const std::u16string value = gsiFieldToDisplayString(gsi, field, codePage);
        lines << detailLine(field.name,
                            QString::fromUtf16(value.data(), static_cast<qsizetype>(value.size())),
                            field.length);
    }
    return lines;
}

QStringList ttiTreeLines(const TextAndTimingInformation& block, std::uint16_t codePage) {
    return {
        byteLine(block, tti::subtitleGroupNumber),
        detailLine(tti::subtitleNumber.name, QString::number(subtitleNumberOf(block)),
                   tti::subtitleNumber.length),
        byteLine(block, tti::extensionBlockNumber),
        byteLine(block, tti::cumulativeStatus),
        detailLine(tti::timeCodeIn.name, timeCodeText(&block.bytes[tti::timeCodeIn.offset]),
                   tti::timeCodeIn.length),
        detailLine(tti::timeCodeOut.name, timeCodeText(&block.bytes[tti::timeCodeOut.offset]),
                   tti::timeCodeOut.length),
        byteLine(block, tti::verticalPosition),
        byteLine(block, tti::justificationCode),
        byteLine(block, tti::commentFlag),
        detailLine(tti::textField.name, subtitleText(block, codePage), tti::textField.length),
    };
}
