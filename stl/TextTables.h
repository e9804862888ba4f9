#pragma once
// The tables a file names for its own text: the Character Code Table for subtitle text and the
// Code Page Number for GSI text.

#include <cstdint>
#include <optional>
#include <string>

#include "StlTypes.h"

struct TextTable {
    std::uint16_t codePage;  // the code page that decodes it
    const char* name;        // "Latin (ISO 6937)", ...
};

// The table of the GSI's Character Code Table field (00 to 04); nullopt for any other value.
std::optional<TextTable> characterCodeTable(const GeneralSubtitleInformation& gsi);
// The GSI's Character Code Table field as it stands (two characters, unprintable ones as "?").
std::string characterCodeTableText(const GeneralSubtitleInformation& gsi);
// The code page of the GSI's Code Page Number field (437, 850, 860, 863, 865); nullopt otherwise.
std::optional<std::uint16_t> gsiCodePage(const GeneralSubtitleInformation& gsi);

// A block's TextField for display: cut at the first unused-space byte, decoded with the code page,
// every control code shown as a bar. Accents are composed before the control codes turn into bars,
// so an accent before a control code stands alone instead of landing on the bar.
std::u16string subtitleDisplayText(const TextAndTimingInformation& block, std::uint16_t codePage);
