#pragma once
// The kinds of code a subtitle's text uses, for the checks that a file uses only the codes of its
// display standard and of its character table.

#include <cstdint>
#include <string_view>
#include <vector>

#include "TextDecoder.h"

namespace subtitle {

struct CodeFacts {
    // The first byte of each kind, -1 when the text has none.
    int firstTeletextCode = -1;  // 00h-1Fh
    int firstOpenCode = -1;      // 80h-85h
    // The first byte the character table leaves undefined, or a Latin diacritic not followed by
    // a letter, whichever comes first.
    int firstUndefined = -1;
    bool undefinedIsLoneDiacritic = false;
};

// Latin is true for character code table 00, whose diacritics C1h-CFh combine with a letter.
// Written into Facts field by field rather than returned: callers copy it into a larger struct,
// and a returned struct copied whole there waits on the writes to its fields.
void scanCodes(std::string_view text, bool latin, CodeFacts& facts);

// The codes of the text that mean nothing in its display mode, each once, in order.
std::vector<std::uint8_t> meaninglessCodes(std::string_view text, const TextSettings& settings);

}  // namespace subtitle
