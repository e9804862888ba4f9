#pragma once
// What the delivery rules count in a subtitle's text: its rows, their visible characters and
// teletext cells, and the teletext attributes in force over the text.

#include <cstdint>
#include <string_view>
#include <vector>

struct RowFacts {
    int visible = 0;  // printable characters between the first and last non-space
    int cells = 0;    // teletext cells: every byte but 80h-85h and combining diacritics
    bool unboxedText = false;
    bool singleHeightText = false;
};

struct SubtitleFacts {
    std::vector<RowFacts> rows;  // one per CR/LF-separated row, empty rows included
    int visible = 0;             // over all rows
    int nonEmptyRows = 0;
    std::int32_t colours = 0;  // teletext alpha colour codes used, one bit each
};

// Text is the joined text of a subtitle's blocks, each cut at its first 8Fh. Latin is true for
// character code table 00, whose diacritics C1h-CFh combine with the next letter.
void analyseSubtitle(std::string_view text, bool latin, SubtitleFacts& facts);

inline bool isLatinDiacritic(std::uint8_t byte) {
    return byte >= 0xC1 && byte <= 0xCF;
}
