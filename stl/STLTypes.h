#pragma once
// The two block types of an STL file and the offsets of their fields.

#include <cstddef>
#include <cstdint>

#include "platform/WinTypes.h"

constexpr std::size_t GSI_BLOCK_SIZE = 1024;
constexpr std::size_t TTI_BLOCK_SIZE = 128;
constexpr std::size_t TTI_TEXT_FIELD_SIZE = 112;

// Raw bytes, never converted on read; fields are addressed by the offsets below.
struct TGeneralSubtitleInformation {
    std::uint8_t Bytes[GSI_BLOCK_SIZE];
};
struct TTextAndTimingInformation {
    std::uint8_t Bytes[TTI_BLOCK_SIZE];
};
static_assert(sizeof(TGeneralSubtitleInformation) == 1024);
static_assert(sizeof(TTextAndTimingInformation) == 128);

using PGeneralSubtitleInformation = TGeneralSubtitleInformation*;
using PTextAndTimingInformation = TTextAndTimingInformation*;

struct STLField {
    const char* Name;  // the system's own field name, e.g. "CodePageNumber"
    std::uint16_t Offset;
    std::uint16_t Length;
};

namespace gsi {
constexpr STLField CodePageNumber{"CodePageNumber", 0, 3};
constexpr STLField DiskFormatCode{"DiskFormatCode", 3, 8};
constexpr STLField DisplayStandardCode{"DisplayStandardCode", 11, 1};
constexpr STLField CharacterCodeTableNumber{"CharacterCodeTableNumber", 12, 2};
constexpr STLField LanguageCode{"LanguageCode", 14, 2};
constexpr STLField OriginalProgrammeTitle{"OriginalProgrammeTitle", 16, 32};
constexpr STLField OriginalEpisodeTitle{"OriginalEpisodeTitle", 48, 32};
constexpr STLField TranslatedProgrammeTitle{"TranslatedProgrammeTitle", 80, 32};
constexpr STLField TranslatedEpisodeTitle{"TranslatedEpisodeTitle", 112, 32};
constexpr STLField TranslatorsName{"TranslatorsName", 144, 32};
constexpr STLField TranslatorsContactDetails{"TranslatorsContactDetails", 176, 32};
constexpr STLField SubtitleListReferenceCode{"SubtitleListReferenceCode", 208, 16};
constexpr STLField CreationDate{"CreationDate", 224, 6};
constexpr STLField RevisionDate{"RevisionDate", 230, 6};
constexpr STLField RevisionNumber{"RevisionNumber", 236, 2};
constexpr STLField TotalNumberOfTTI{"TotalNumberOfTTI", 238, 5};
constexpr STLField TotalNumberOfSubtitles{"TotalNumberOfSubtitles", 243, 5};
constexpr STLField TotalNumberOfSubtitleGroups{"TotalNumberOfSubtitleGroups", 248, 3};
constexpr STLField MaximumNumberOfDisplayableCharacters{"MaximumNumberOfDisplayableCharacters", 251, 2};
constexpr STLField MaximumNumberOfDisplayableRows{"MaximumNumberOfDisplayableRows", 253, 2};
constexpr STLField TimeCodeStatus{"TimeCodeStatus", 255, 1};
constexpr STLField TimeCodeStartOfProgramme{"TimeCodeStartOfProgramme", 256, 8};
constexpr STLField TimeCodeFirstInCue{"TimeCodeFirstInCue", 264, 8};
constexpr STLField TotalNumberOfDisks{"TotalNumberOfDisks", 272, 1};
constexpr STLField DiskSequenceNumber{"DiskSequenceNumber", 273, 1};
constexpr STLField CountryOfOrigin{"CountryOfOrigin", 274, 3};
constexpr STLField Publisher{"Publisher", 277, 32};
constexpr STLField EditorsName{"EditorsName", 309, 32};
constexpr STLField EditorsContactDetails{"EditorsContactDetails", 341, 32};
constexpr STLField SpareBytes{"SpareBytes", 373, 75};
constexpr STLField UserDefinedArea{"UserDefinedArea", 448, 576};
}  // namespace gsi

namespace tti {
constexpr STLField SubtitleGroupNumber{"SubtitleGroupNumber", 0, 1};
constexpr STLField SubtitleNumber{"SubtitleNumber", 1, 2};
constexpr STLField ExtensionBlockNumber{"ExtensionBlockNumber", 3, 1};
constexpr STLField CumulativeStatus{"CumulativeStatus", 4, 1};
constexpr STLField TimeCodeIn{"TimeCodeIn", 5, 4};
constexpr STLField TimeCodeOut{"TimeCodeOut", 9, 4};
constexpr STLField VerticalPosition{"VerticalPosition", 13, 1};
constexpr STLField JustificationCode{"JustificationCode", 14, 1};
constexpr STLField CommentFlag{"CommentFlag", 15, 1};
constexpr STLField TextField{"TextField", 16, 112};
}  // namespace tti

// Offset of TTI block n, as a 64-bit number.
constexpr std::uint64_t ttiBlockOffset(std::uint32_t n) {
    return GSI_BLOCK_SIZE + std::uint64_t{TTI_BLOCK_SIZE} * n;
}
