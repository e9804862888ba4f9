#pragma once
// A subtitle's text as rows of cells placed on the screen: teletext rows by VP and the line
// breaks (a double-height row's lower half is the next row), open-subtitle rows as slots of the
// file's maximum number of rows, each justified by JC.

#include <string_view>
#include <vector>

#include "Cell.h"
#include "TextDecoder.h"

namespace subtitle {

struct Placement {
    int verticalPosition = 0;  // VP
    int justification = 0;     // JC
};

// Every line of the text, empty ones included, in order.
std::vector<Row> textRows(std::string_view text, const CharacterDecoder& decoder,
                          const TextSettings& settings, const Placement& placement);

// True when some row of the text shows a character (a mosaic alone shows no text). Cheaper than
// making the rows.
bool showsText(std::string_view text, const CharacterDecoder& decoder,
               const TextSettings& settings);

// Teletext column of a row under justification JC on a page of Columns: Width cells up to its last
// visible one, the first Leading of them codes before the text. Centring centres the text.
int justifiedColumn(int justification, int leading, int width, int columns);

// Where line Line of an open subtitle at VP lies in the picture: its top as a fraction of the
// picture height. VP counts rows of the safe area against MNR (VP = MNR is the bottom row), as
// the files in use write it; a VP beyond MNR, or an MNR too large to count rows, is taken as a
// percentage of the picture height.
double openRowTop(int verticalPosition, int line, int maximumRows);
// The height of one open-subtitle row as a fraction of the picture height.
double openRowHeight(int verticalPosition, int maximumRows);

}  // namespace subtitle
