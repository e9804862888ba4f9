#pragma once
// Turns the raw text of one subtitle (the TextFields of its blocks, joined) into styled rows:
// characters decoded with the chosen code page, control codes removed, their meaning kept as
// style where the file's display standard gives them one.

#include <cstdint>
#include <string_view>

#include "StyledText.h"
#include "stl/StlTypes.h"

// Blank or "0" is open subtitling, "1" and "2" teletext; anything else is taken as either.
enum class DisplayStandard { Open, Teletext, Unknown };
DisplayStandard displayStandardOf(const GeneralSubtitleInformation& gsi);

struct DecodeSettings {
    std::uint32_t codePage = 20269;
    DisplayStandard standard = DisplayStandard::Unknown;
};

// The bytes of one TextField up to its first unused-space byte.
std::string_view textFieldBytes(const TextAndTimingInformation& block);

// Rows split at line breaks; rows with no text left are dropped and each row is trimmed of
// spaces, since teletext pads rows and doubles line breaks for double height. A run of
// teletext attribute cells counts as one space, and only between two characters.
StyledText decodeSubtitleText(std::string_view raw, const DecodeSettings& settings);
