#include "BlockDisplay.h"

#include <array>

#include "stl/CodePage.h"
#include "stl/STLUtils.h"

namespace {

constexpr int NameWidth = 36;

const std::array<STLField, 29> GSITreeFields = {
    gsi::CodePageNumber,
    gsi::DiskFormatCode,
    gsi::DisplayStandardCode,
    gsi::CharacterCodeTableNumber,
    gsi::LanguageCode,
    gsi::OriginalProgrammeTitle,
    gsi::OriginalEpisodeTitle,
    gsi::TranslatedProgrammeTitle,
    gsi::TranslatedEpisodeTitle,
    gsi::TranslatorsName,
    gsi::TranslatorsContactDetails,
    gsi::SubtitleListReferenceCode,
    gsi::CreationDate,
    gsi::RevisionDate,
    gsi::RevisionNumber,
    gsi::TotalNumberOfTTI,
    gsi::TotalNumberOfSubtitles,
    gsi::TotalNumberOfSubtitleGroups,
    gsi::MaximumNumberOfDisplayableCharacters,
    gsi::MaximumNumberOfDisplayableRows,
    gsi::TimeCodeStatus,
    gsi::TimeCodeStartOfProgramme,
    gsi::TimeCodeFirstInCue,
    gsi::TotalNumberOfDisks,
    gsi::DiskSequenceNumber,
    gsi::CountryOfOrigin,
    gsi::Publisher,
    gsi::EditorsName,
    gsi::EditorsContactDetails,
};

QString ByteLine(const TTextAndTimingInformation& Block, const STLField& Field) {
    return DetailLine(Field.Name, QString::number(Block.Bytes[Field.Offset]), Field.Length);
}

}  // namespace

QString TimeCodeText(const std::uint8_t* Bytes) {
    QString Text;
    Text.reserve(11);
    for (int i = 0; i < 4; ++i) {
        if (i) Text += QLatin1Char(':');
        if (Bytes[i] < 10) Text += QLatin1Char('0');
        Text += QString::number(Bytes[i]);
    }
    return Text;
}

QString SubtitleText(const TTextAndTimingInformation& Block, std::uint16_t CodePage) {
    const std::u16string Text = CodePageToUnicode(TextFieldDisplayBytes(Block), CodePage);
    return QString::fromUtf16(Text.data(), static_cast<qsizetype>(Text.size()));
}

QString DetailLine(const char* Name, const QString& Value, int Length) {
    QString Line = QString::fromLatin1(Name).leftJustified(NameWidth, QLatin1Char(' '));
    Line += QStringLiteral(" : ");
    Line += Value;
    Line += Length == 1 ? QStringLiteral(" (1 byte)") : QStringLiteral(" (%1 bytes)").arg(Length);
    return Line;
}

QStringList GSITreeLines(const TGeneralSubtitleInformation& GSI) {
    QStringList Lines;
    Lines.reserve(static_cast<qsizetype>(GSITreeFields.size()));
    for (const STLField& Field : GSITreeFields) {
        const std::u16string Value = GSIFieldToDisplayString(GSI, Field);
        Lines << DetailLine(Field.Name,
                            QString::fromUtf16(Value.data(), static_cast<qsizetype>(Value.size())),
                            Field.Length);
    }
    return Lines;
}

QStringList TTITreeLines(const TTextAndTimingInformation& Block, std::uint16_t CodePage) {
    return {
        ByteLine(Block, tti::SubtitleGroupNumber),
        DetailLine(tti::SubtitleNumber.Name, QString::number(SubtitleNumberOf(Block)),
                   tti::SubtitleNumber.Length),
        ByteLine(Block, tti::ExtensionBlockNumber),
        ByteLine(Block, tti::CumulativeStatus),
        DetailLine(tti::TimeCodeIn.Name, TimeCodeText(&Block.Bytes[tti::TimeCodeIn.Offset]),
                   tti::TimeCodeIn.Length),
        DetailLine(tti::TimeCodeOut.Name, TimeCodeText(&Block.Bytes[tti::TimeCodeOut.Offset]),
                   tti::TimeCodeOut.Length),
        ByteLine(Block, tti::VerticalPosition),
        ByteLine(Block, tti::JustificationCode),
        ByteLine(Block, tti::CommentFlag),
        DetailLine(tti::TextField.Name, SubtitleText(Block, CodePage), tti::TextField.Length),
    };
}
