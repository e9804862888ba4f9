#pragma once
// What the delivery rules count in a subtitle's text, in one walk over its bytes: its rows, their
// visible characters and teletext cells, the teletext attributes in force over the text, and the
// first codes and bytes the text should not hold.

#include <cstdint>
#include <string_view>
#include <vector>

struct RowFacts {
    int visible = 0;  // printable characters between the first and last non-space
    // Teletext cells up to the row's last visible character: every byte before it but 80h-85h
    // and combining diacritics. Attributes and spaces after it need no room on the screen.
    int cells = 0;
    bool unboxedText = false;
    bool singleHeightText = false;
};

struct SubtitleFacts {
    std::vector<RowFacts> rows;  // one per CR/LF-separated row, empty rows included
    int visible = 0;             // over all rows
    int nonEmptyRows = 0;
    std::int32_t colours = 0;  // teletext alpha colour codes used, one bit each
    // The first byte of each kind, -1 when the text has none.
    int firstTeletextCode = -1;  // 00h-1Fh
    int firstOpenCode = -1;      // 80h-85h
    // The first byte the character table leaves undefined, or a diacritic not followed by a
    // letter (table 00), whichever comes first.
    int firstUndefined = -1;
    bool undefinedIsLoneDiacritic = false;
};

// Text is the joined text of a subtitle's blocks, each cut at its first 8Fh. Latin is true for
// character code table 00, whose diacritics C1h-CFh combine with the next letter. Facts keeps its
// rows' storage from call to call.
void analyseSubtitle(std::string_view text, bool latin, SubtitleFacts& facts);

inline bool isLatinDiacritic(std::uint8_t byte) {
    return byte >= 0xC1 && byte <= 0xCF;
}
