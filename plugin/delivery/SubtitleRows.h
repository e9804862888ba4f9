#pragma once
// What the delivery rules count in a subtitle's text, from the subtitle model's cells in one walk
// over its bytes: its rows, their visible characters and teletext cells, the attributes in force
// over the text, and the codes it uses.

#include <cstdint>
#include <string_view>
#include <vector>

#include "subtitle/CodeFacts.h"
#include "subtitle/TextDecoder.h"

struct RowFacts {
    int visible = 0;  // characters between the first and last visible one, spaces included
    // Teletext cells up to the row's last visible character. Attributes and spaces after it need
    // no room on the screen.
    int cells = 0;
    bool unboxedText = false;
    bool singleHeightText = false;
};

struct SubtitleFacts {
    std::vector<RowFacts> rows;  // one per line, empty lines included
    int visible = 0;             // over all rows
    int nonEmptyRows = 0;
    std::int32_t colours = 0;  // text colours in force at visible characters, one bit each
    subtitle::CodeFacts codes;
};

// Text is the joined text of a subtitle's blocks. Facts keeps its rows' storage from call to call.
void analyseSubtitle(std::string_view text, const subtitle::CharacterDecoder& decoder,
                     const subtitle::TextSettings& settings, bool latin, SubtitleFacts& facts);
