#pragma once
// The two block types of an STL file and the offsets of their fields.

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/WinTypes.h"

constexpr std::size_t GSI_BLOCK_SIZE = 1024;
constexpr std::size_t TTI_BLOCK_SIZE = 128;
constexpr std::size_t TTI_TEXT_FIELD_SIZE = 112;

// Raw bytes, never converted on read; fields are addressed by the offsets below.
struct GeneralSubtitleInformation {
    std::uint8_t bytes[GSI_BLOCK_SIZE];
};
struct TextAndTimingInformation {
    std::uint8_t bytes[TTI_BLOCK_SIZE];
};
static_assert(sizeof(GeneralSubtitleInformation) == 1024);
static_assert(sizeof(TextAndTimingInformation) == 128);

using PGeneralSubtitleInformation = GeneralSubtitleInformation*;
using PTextAndTimingInformation = TextAndTimingInformation*;

struct StlField {
    const char* name;  // the system's own field name, e.g. "CodePageNumber"
    std::uint16_t offset;
    std::uint16_t length;
};

namespace gsi {
constexpr StlField codePageNumber{"CodePageNumber", 0, 3};
constexpr StlField diskFormatCode{"DiskFormatCode", 3, 8};
constexpr StlField displayStandardCode{"DisplayStandardCode", 11, 1};
constexpr StlField characterCodeTableNumber{"CharacterCodeTableNumber", 12, 2};
constexpr StlField languageCode{"LanguageCode", 14, 2};
constexpr StlField originalProgrammeTitle{"OriginalProgrammeTitle", 16, 32};
constexpr StlField originalEpisodeTitle{"OriginalEpisodeTitle", 48, 32};
constexpr StlField translatedProgrammeTitle{"TranslatedProgrammeTitle", 80, 32};
constexpr StlField translatedEpisodeTitle{"TranslatedEpisodeTitle", 112, 32};
constexpr StlField translatorsName{"TranslatorsName", 144, 32};
constexpr StlField translatorsContactDetails{"TranslatorsContactDetails", 176, 32};
constexpr StlField subtitleListReferenceCode{"SubtitleListReferenceCode", 208, 16};
constexpr StlField creationDate{"CreationDate", 224, 6};
constexpr StlField revisionDate{"RevisionDate", 230, 6};
constexpr StlField revisionNumber{"RevisionNumber", 236, 2};
constexpr StlField totalNumberOfTti{"TotalNumberOfTTI", 238, 5};
constexpr StlField totalNumberOfSubtitles{"TotalNumberOfSubtitles", 243, 5};
constexpr StlField totalNumberOfSubtitleGroups{"TotalNumberOfSubtitleGroups", 248, 3};
constexpr StlField maximumNumberOfDisplayableCharacters{"MaximumNumberOfDisplayableCharacters", 251,
                                                        2};
constexpr StlField maximumNumberOfDisplayableRows{"MaximumNumberOfDisplayableRows", 253, 2};
constexpr StlField timeCodeStatus{"TimeCodeStatus", 255, 1};
constexpr StlField timeCodeStartOfProgramme{"TimeCodeStartOfProgramme", 256, 8};
constexpr StlField timeCodeFirstInCue{"TimeCodeFirstInCue", 264, 8};
constexpr StlField totalNumberOfDisks{"TotalNumberOfDisks", 272, 1};
constexpr StlField diskSequenceNumber{"DiskSequenceNumber", 273, 1};
constexpr StlField countryOfOrigin{"CountryOfOrigin", 274, 3};
constexpr StlField publisher{"Publisher", 277, 32};
constexpr StlField editorsName{"EditorsName", 309, 32};
constexpr StlField editorsContactDetails{"EditorsContactDetails", 341, 32};
constexpr StlField spareBytes{"SpareBytes", 373, 75};
constexpr StlField userDefinedArea{"UserDefinedArea", 448, 576};

// The named fields, in file order (the spare bytes and the user-defined area left out).
inline constexpr std::array<StlField, 29> namedFields = {
    codePageNumber,
    diskFormatCode,
    displayStandardCode,
    characterCodeTableNumber,
    languageCode,
    originalProgrammeTitle,
    originalEpisodeTitle,
    translatedProgrammeTitle,
    translatedEpisodeTitle,
    translatorsName,
    translatorsContactDetails,
    subtitleListReferenceCode,
    creationDate,
    revisionDate,
    revisionNumber,
    totalNumberOfTti,
    totalNumberOfSubtitles,
    totalNumberOfSubtitleGroups,
    maximumNumberOfDisplayableCharacters,
    maximumNumberOfDisplayableRows,
    timeCodeStatus,
    timeCodeStartOfProgramme,
    timeCodeFirstInCue,
    totalNumberOfDisks,
    diskSequenceNumber,
    countryOfOrigin,
    publisher,
    editorsName,
    editorsContactDetails,
};
}  // namespace gsi

namespace tti {
constexpr StlField subtitleGroupNumber{"SubtitleGroupNumber", 0, 1};
constexpr StlField subtitleNumber{"SubtitleNumber", 1, 2};
constexpr StlField extensionBlockNumber{"ExtensionBlockNumber", 3, 1};
constexpr StlField cumulativeStatus{"CumulativeStatus", 4, 1};
constexpr StlField timeCodeIn{"TimeCodeIn", 5, 4};
constexpr StlField timeCodeOut{"TimeCodeOut", 9, 4};
constexpr StlField verticalPosition{"VerticalPosition", 13, 1};
constexpr StlField justificationCode{"JustificationCode", 14, 1};
constexpr StlField commentFlag{"CommentFlag", 15, 1};
constexpr StlField textField{"TextField", 16, 112};
}  // namespace tti

// Offset of TTI block n, as a 64-bit number.
constexpr std::uint64_t ttiBlockOffset(std::uint32_t n) {
    return GSI_BLOCK_SIZE + std::uint64_t{TTI_BLOCK_SIZE} * n;
}
