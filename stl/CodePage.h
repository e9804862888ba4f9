#pragma once
// Decoding of 8-bit display text with the code page the user picked (viewer only).

#include <cstdint>
#include <string>
#include <string_view>

#include "StlTypes.h"

// Empty for empty text and for a code page the platform refuses; 0, 1, 2 mean the system ANSI,
// OEM and Mac code pages.
std::u16string codePageToUnicode(std::string_view text, std::uint16_t codePage);

// GSI text: field up to its first zero byte, decoded with the code page (0, the system ANSI code
// page, unless the file's own Code Page Number is followed), trimmed of 0x00..0x20 at both ends.
std::u16string gsiFieldToDisplayString(const GeneralSubtitleInformation& gsi, const StlField& field,
                                       std::uint16_t codePage = 0);
