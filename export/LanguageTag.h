#pragma once
// The GSI language code (two hexadecimal digits) as a language tag for documents that name their
// language, such as xml:lang.

#include <string>

#include "stl/StlTypes.h"

// "en" for 09, "fr" for 0F ...; an empty string for 00, reserved codes, codes no tag names
// clearly, and text that is not two hexadecimal digits.
std::string languageTag(const GeneralSubtitleInformation& gsi);
